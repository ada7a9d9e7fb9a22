// The published solution, played on the board model: the 31 moves of the solution window's
// list, numbered as that window numbers the squares, translated to hole indices through their
// grid places, are all legal, jump the hole they name, and win.

#include "board.h"
#include "solucion_ganadora.h"

#include <QtTest>

using pindel::Board;
using pindel::DropOutcome;

using solucion::hueco;
using solucion::kCentro;

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
        const int hole = hueco(number);
        QVERIFY2(hole > 0, qPrintable(QString::number(number)));
        seen.insert(hole);
    }
    QCOMPARE(seen.size(), 32);
    QCOMPARE(hueco(kCentro), pindel::kCentre);
}

void TestSolucion::solutionWins()
{
    const std::vector<solucion::Salto> &moves = solucion::movimientos();
    QCOMPARE(int(moves.size()), 31);
    Board board;
    for (int i = 0; i < 31; ++i) {
        const int from = hueco(moves[i].desde);
        const int over = hueco(moves[i].sobre);
        const int to = hueco(moves[i].a);
        const QByteArray move = "move " + QByteArray::number(i + 1);
        QVERIFY2(!board.isEmpty(from) && !board.isEmpty(over) && board.isEmpty(to),
                 move.constData());
        QVERIFY2(board.drop(to, from) == DropOutcome::Moved, move.constData());
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
