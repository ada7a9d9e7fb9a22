#pragma once
// The winning line as the solution window publishes it, read from the window's own list (the
// program's one copy of it), in that window's numbering, and the translation of its numbers to
// the board's hole indices by grid place.  Shared by the tests that play it on the model,
// through the board window, and in the failure drills: that the line wins is proven by playing
// it through the rules, not by a second copy of it.

#include "board.h"
#include "frmsolucion.h"

#include <QRegularExpression>

#include <vector>

namespace solucion {

inline constexpr int kCentro = -1;

// The solution window's numbering over the 7 x 7 grid: 0 off the cross, -1 the centre.
inline constexpr int kNumeracion[7][7] = {
    {0, 0, 1, 2, 3, 0, 0},
    {0, 0, 4, 5, 6, 0, 0},
    {7, 8, 9, 10, 11, 12, 13},
    {14, 15, 16, kCentro, 17, 18, 19},
    {20, 21, 22, 23, 24, 25, 26},
    {0, 0, 27, 28, 29, 0, 0},
    {0, 0, 30, 31, 32, 0, 0},
};

struct Salto {
    int desde, sobre, a;
};

// One item of the window's list read as a move: "- Desde 15 sobre 16 a Centro" is
// {15, 16, kCentro}.  All zero for an item that is not a move.
inline Salto leer(const QString &item)
{
    static const QRegularExpression forma(QStringLiteral("^- Desde +(\\d+|C) sobre +(\\d+|C) a +(\\d+|C|Centro)$"));
    const QRegularExpressionMatch m = forma.match(item);
    if (!m.hasMatch())
        return {0, 0, 0};
    const auto numero = [&m](int i) { return m.captured(i).front().isDigit() ? m.captured(i).toInt() : kCentro; };
    return {numero(1), numero(2), numero(3)};
}

// The items of the solution window's list, as designed, in order.
inline QStringList items()
{
    for (const pindel::SolucionControl &control : pindel::FrmSolucion::design())
        if (control.name == QLatin1String("List1"))
            return control.items;
    return {};
}

// The moves of the window's list, in order: from, over, to.
inline const std::vector<Salto> &movimientos()
{
    static const std::vector<Salto> todos = [] {
        std::vector<Salto> m;
        for (const QString &item : items())
            m.push_back(leer(item));
        return m;
    }();
    return todos;
}

// The board's hole index for a number of the solution window (kCentro for the centre),
// found by its place on the grid; -1 for a number that is not on the picture.
inline int hueco(int numero)
{
    for (int row = 0; row < 7; ++row)
        for (int column = 0; column < 7; ++column)
            if (kNumeracion[row][column] == numero)
                return pindel::holeAtCell(row, column);
    return -1;
}

} // namespace solucion
