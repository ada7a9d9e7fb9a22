// The published solution, played on the board model: the 31 moves of the solution window,
// numbered as that window numbers the squares, translated to hole indices through their grid
// places, are all legal and win.

#include "board.h"

#include <QtTest>

using pindel::Board;
using pindel::DropOutcome;

namespace {

constexpr int kCentre = -1;

// The solution window's numbering over the 7 x 7 grid: 0 off the cross, -1 the centre.
constexpr int kNumbering[7][7] = {
    {0, 0, 1, 2, 3, 0, 0},
    {0, 0, 4, 5, 6, 0, 0},
    {7, 8, 9, 10, 11, 12, 13},
    {14, 15, 16, kCentre, 17, 18, 19},
    {20, 21, 22, 23, 24, 25, 26},
    {0, 0, 27, 28, 29, 0, 0},
    {0, 0, 30, 31, 32, 0, 0},
};

// From, over, to.
constexpr int kMoves[31][3] = {
    {15, 16, kCentre}, {27, 22, 16}, {20, 21, 22}, {7, 14, 20},  {16, 22, 27},
    {30, 27, 22},      {23, 22, 21}, {20, 21, 22}, {25, 24, 23}, {22, 23, 24},
    {31, 28, 23},      {23, 24, 25}, {32, 29, 24}, {25, 24, 23}, {12, 18, 25},
    {26, 25, 24},      {13, 19, 26}, {23, 24, 25}, {26, 25, 24}, {10, 11, 12},
    {24, 17, 11},      {12, 11, 10}, {3, 6, 11},   {10, 11, 12}, {8, 9, 10},
    {1, 4, 9},         {9, 10, 11},  {2, 5, 10},   {kCentre, 10, 5}, {12, 11, 10},
    {5, 10, kCentre},
};

// The board's hole index for a number of the solution window, found by its place.
int holeOf(int number)
{
    for (int row = 0; row < 7; ++row)
        for (int column = 0; column < 7; ++column)
            if (kNumbering[row][column] == number)
                return pindel::holeAtCell(row, column);
    return -1;
}

} // namespace

class TestSolucion : public QObject {
    Q_OBJECT
private slots:
    void numberingCoversTheBoard();
    void solutionWins();
};

void TestSolucion::numberingCoversTheBoard()
{
    // Every hole gets exactly one number, the centre hole the centre mark.
    QSet<int> seen;
    for (int number = 1; number <= 32; ++number) {
        const int hole = holeOf(number);
        QVERIFY2(hole > 0, qPrintable(QString::number(number)));
        seen.insert(hole);
    }
    QCOMPARE(seen.size(), 32);
    QCOMPARE(holeOf(kCentre), pindel::kCentre);
}

void TestSolucion::solutionWins()
{
    Board board;
    for (int i = 0; i < 31; ++i) {
        const int from = holeOf(kMoves[i][0]);
        const int over = holeOf(kMoves[i][1]);
        const int to = holeOf(kMoves[i][2]);
        const QByteArray move = "move " + QByteArray::number(i + 1);
        QVERIFY2(!board.isEmpty(from) && !board.isEmpty(over) && board.isEmpty(to),
                 move.constData());
        QVERIFY2(board.drop(from, to) == DropOutcome::Moved, move.constData());
        // The listed middle hole is the one that was jumped.
        QVERIFY2(board.isEmpty(from) && board.isEmpty(over) && !board.isEmpty(to),
                 move.constData());
        QCOMPARE(int(board.movimientos()), i + 1);
    }
    QVERIFY(board.isWon());
    QCOMPARE(int(board.movimientos()), 31);
    QCOMPARE(int(board.restantes()), 1);
    QCOMPARE(QByteArray::fromStdString(board.toText()),
             QByteArray(".......\n"
                        ".......\n"
                        ".......\n"
                        "...o...\n"
                        ".......\n"
                        ".......\n"
                        ".......\n"));
}

QTEST_MAIN(TestSolucion)
#include "test_solucion.moc"
