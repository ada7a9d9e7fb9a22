// The board model: layout, start position, the jump rule and the verdict, on boards drawn
// as text ('o' a peg, '.' no peg or no hole).

#include "board.h"

#include <QtTest>

using pindel::Board;
using pindel::DropOutcome;

Q_DECLARE_METATYPE(DropOutcome)

namespace {

const char *const kStart =
    "..ooo..\n"
    "..ooo..\n"
    "ooooooo\n"
    "ooo.ooo\n"
    "ooooooo\n"
    "..ooo..\n"
    "..ooo..\n";

QByteArray text(const Board &board) { return QByteArray::fromStdString(board.toText()); }

} // namespace

class TestBoard : public QObject {
    Q_OBJECT
private slots:
    void layout_data();
    void layout();
    void positionsFollowTheGrid();
    void startPosition();
    void setUpDiscardsAGame();
    void drop_data();
    void drop();
    void outOfRangeIndicesAreIgnored();
    void verdict_data();
    void verdict();
    void malformedPicturesAreRejected_data();
    void malformedPicturesAreRejected();
};

void TestBoard::layout_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    // The indices are not in reading order; these are the ones that catch index arithmetic.
    QTest::newRow("centre") << 0 << 3 << 3;
    QTest::newRow("1 bottom right of the lower arm") << 1 << 6 << 4;
    QTest::newRow("2 below the centre") << 2 << 4 << 3;
    QTest::newRow("3 top right") << 3 << 0 << 4;
    QTest::newRow("5 top left") << 5 << 0 << 2;
    QTest::newRow("9 above the centre") << 9 << 2 << 3;
    QTest::newRow("12 right end of row 2") << 12 << 2 << 6;
    QTest::newRow("19 left end of row 4") << 19 << 4 << 0;
    QTest::newRow("21 left end of row 2") << 21 << 2 << 0;
    QTest::newRow("26 left of the centre") << 26 << 3 << 2;
    QTest::newRow("31 bottom left") << 31 << 6 << 2;
    QTest::newRow("32 bottom middle") << 32 << 6 << 3;
}

void TestBoard::layout()
{
    QFETCH(int, index);
    QFETCH(int, row);
    QFETCH(int, column);
    const pindel::Hole &hole = pindel::holes()[index];
    QCOMPARE(int(hole.index), index);
    QCOMPARE(hole.row, row);
    QCOMPARE(hole.column, column);
    QCOMPARE(hole.left, 23 + 48 * column);
    QCOMPARE(hole.top, 24 + 48 * row);
    QCOMPARE(pindel::holeAt(hole.left, hole.top), index);
    QCOMPARE(pindel::holeAtCell(row, column), index);
}

void TestBoard::positionsFollowTheGrid()
{
    // Every cell of the cross holds exactly one hole, every other cell none, and no hole
    // stands where the hidden pictures do.
    QSet<int> seen;
    for (int row = 0; row < 7; ++row) {
        for (int column = 0; column < 7; ++column) {
            const int index = pindel::holeAt(23 + 48 * column, 24 + 48 * row);
            const bool cross = (row >= 2 && row <= 4) || (column >= 2 && column <= 4);
            QCOMPARE(index >= 0, cross);
            if (index >= 0) {
                QVERIFY(!seen.contains(index));
                seen.insert(index);
            }
        }
    }
    QCOMPARE(seen.size(), 33);
    QCOMPARE(pindel::holeAt(24, 272), -1);
    QCOMPARE(pindel::holeAt(64, 272), -1);
}

void TestBoard::startPosition()
{
    const Board board;
    QCOMPARE(text(board), QByteArray(kStart));
    QVERIFY(board.isEmpty(0));
    for (int i = 1; i <= 32; ++i)
        QVERIFY(!board.isEmpty(i));
    QCOMPARE(int(board.movimientos()), 0);
    QCOMPARE(int(board.restantes()), 32);
    QCOMPARE(board.pegCount(), 32);
    QVERIFY(!board.isWon());
    QVERIFY(!board.isLost());
}

void TestBoard::setUpDiscardsAGame()
{
    Board board;
    QCOMPARE(board.drop(0, 23), DropOutcome::Moved);
    QCOMPARE(board.drop(26, 2), DropOutcome::NoMove);  // not in line
    board.setUp();
    QVERIFY(board == Board());
}

void TestBoard::drop_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<int>("source");
    QTest::addColumn<int>("target");
    QTest::addColumn<DropOutcome>("outcome");
    QTest::addColumn<QByteArray>("after");

    // The four legal first moves, and the ones next to them that are not.
    QTest::newRow("23 onto 0, right over 26") << QByteArray(kStart) << 23 << 0 << DropOutcome::Moved
                                              << QByteArray("..ooo..\n..ooo..\nooooooo\no..oooo\nooooooo\n..ooo..\n..ooo..\n");
    QTest::newRow("14 onto 0, left over 17") << QByteArray(kStart) << 14 << 0 << DropOutcome::Moved
                                             << QByteArray("..ooo..\n..ooo..\nooooooo\noooo..o\nooooooo\n..ooo..\n..ooo..\n");
    QTest::newRow("7 onto 0, down over 9") << QByteArray(kStart) << 7 << 0 << DropOutcome::Moved
                                           << QByteArray("..ooo..\n..o.o..\nooo.ooo\nooooooo\nooooooo\n..ooo..\n..ooo..\n");
    QTest::newRow("29 onto 0, up over 2") << QByteArray(kStart) << 29 << 0 << DropOutcome::Moved
                                          << QByteArray("..ooo..\n..ooo..\nooooooo\nooooooo\nooo.ooo\n..o.o..\n..ooo..\n");

    // Refusals from the start position.
    QTest::newRow("empty source") << QByteArray(kStart) << 0 << 23 << DropOutcome::Ignored << QByteArray(kStart);
    QTest::newRow("onto an occupied hole") << QByteArray(kStart) << 23 << 17 << DropOutcome::NoMove << QByteArray(kStart);
    QTest::newRow("one cell away") << QByteArray(kStart) << 26 << 0 << DropOutcome::NoMove << QByteArray(kStart);
    QTest::newRow("diagonal") << QByteArray(kStart) << 25 << 0 << DropOutcome::NoMove << QByteArray(kStart);
    QTest::newRow("three cells away") << QByteArray(kStart) << 20 << 0 << DropOutcome::NoMove << QByteArray(kStart);
    QTest::newRow("onto itself") << QByteArray(kStart) << 17 << 17 << DropOutcome::NoMove << QByteArray(kStart);
    // Index 2 is "two more" than 0 but below it: index arithmetic would call this a jump.
    QTest::newRow("index neighbours are not board neighbours") << QByteArray(kStart) << 1 << 0
                                                               << DropOutcome::NoMove << QByteArray(kStart);

    // A jump over an empty hole is abandoned without counting.
    const QByteArray gap = "..ooo..\n..ooo..\noo..ooo\nooooooo\nooooooo\n..ooo..\n..ooo..\n";
    QTest::newRow("over an empty hole") << gap << 16 << 25 << DropOutcome::Ignored << gap;

    // The arms: hole 5 (row 0, column 2) down onto an empty 25 over 8.
    const QByteArray arm = "..ooo..\n..ooo..\noo.oooo\nooooooo\nooooooo\n..ooo..\n..ooo..\n";
    QTest::newRow("arm: 5 down onto 25 over 8") << arm << 5 << 25 << DropOutcome::Moved
                                                << QByteArray("...oo..\n...oo..\nooooooo\nooooooo\nooooooo\n..ooo..\n..ooo..\n");
    // Jumps along the far rows and columns, each direction once more.
    const QByteArray edge = "..ooo..\n..ooo..\nooooooo\nooooooo\nooooo.o\n..ooo..\n..o.o..\n";
    QTest::newRow("three cells along row 4") << edge << 27 << 13 << DropOutcome::NoMove << edge;
    QTest::newRow("right along row 4: 2 over 18 into 13") << edge << 2 << 13 << DropOutcome::Moved
                                                          << QByteArray("..ooo..\n..ooo..\nooooooo\nooooooo\nooo..oo\n..ooo..\n..o.o..\n");
    QTest::newRow("down the lower arm: 2 over 29 into 32") << edge << 2 << 32 << DropOutcome::Moved
                                                        << QByteArray("..ooo..\n..ooo..\nooooooo\nooooooo\nooo.o.o\n..o.o..\n..ooo..\n");
    const QByteArray west = "..ooo..\n..ooo..\n.oooooo\nooooooo\nooooooo\n..ooo..\n..ooo..\n";
    QTest::newRow("left along row 2 into 21") << west << 25 << 21 << DropOutcome::Moved
                                              << QByteArray("..ooo..\n..ooo..\no..oooo\nooooooo\nooooooo\n..ooo..\n..ooo..\n");
    QTest::newRow("up column 0: 19 over 20 into 21") << west << 19 << 21 << DropOutcome::Moved
                                                     << QByteArray("..ooo..\n..ooo..\nooooooo\n.oooooo\n.oooooo\n..ooo..\n..ooo..\n");
}

void TestBoard::drop()
{
    QFETCH(QByteArray, before);
    QFETCH(int, source);
    QFETCH(int, target);
    QFETCH(DropOutcome, outcome);
    QFETCH(QByteArray, after);

    Board board = Board::fromText(before.toStdString());
    const int moves = board.movimientos();
    const int left = board.restantes();
    QCOMPARE(board.drop(target, source), outcome);
    QCOMPARE(text(board), after);
    const int counted = outcome == DropOutcome::Moved ? 1 : 0;
    QCOMPARE(int(board.movimientos()), moves + counted);
    QCOMPARE(int(board.restantes()), left - counted);
    QCOMPARE(int(board.restantes()), board.pegCount());
}

void TestBoard::outOfRangeIndicesAreIgnored()
{
    Board board;
    QCOMPARE(board.drop(0, -1), DropOutcome::Ignored);
    QCOMPARE(board.drop(33, 23), DropOutcome::Ignored);
    QCOMPARE(board.drop(0, 40), DropOutcome::Ignored);
    QVERIFY(board == Board());
}

void TestBoard::verdict_data()
{
    QTest::addColumn<QByteArray>("picture");
    QTest::addColumn<bool>("won");
    QTest::addColumn<bool>("lost");
    QTest::newRow("start") << QByteArray(kStart) << false << false;
    QTest::newRow("one peg in the centre")
        << QByteArray(".......\n.......\n.......\n...o...\n.......\n.......\n.......\n") << true << true;
    QTest::newRow("one peg elsewhere") << QByteArray(".......\n.......\n.......\n.......\n.......\n.......\n....o..\n")
                                       << false << true;
    QTest::newRow("two pegs, no jump") << QByteArray("..o....\n.......\n.......\n.......\n.......\n.......\n....o..\n")
                                       << false << false;
}

void TestBoard::verdict()
{
    QFETCH(QByteArray, picture);
    QFETCH(bool, won);
    QFETCH(bool, lost);
    const Board board = Board::fromText(picture.toStdString());
    QCOMPARE(board.isWon(), won);
    // The loss test only means "lost" once a win has been handled; alone it sees one peg.
    QCOMPARE(board.isLost(), lost);
}

void TestBoard::malformedPicturesAreRejected_data()
{
    QTest::addColumn<QByteArray>("picture");
    QTest::newRow("peg off the cross") << QByteArray("o......\n.......\n.......\n.......\n.......\n.......\n.......\n");
    QTest::newRow("short row") << QByteArray("......\n.......\n.......\n.......\n.......\n.......\n.......\n");
    QTest::newRow("six rows") << QByteArray(".......\n.......\n.......\n.......\n.......\n.......\n");
    QTest::newRow("eight rows") << QByteArray(".......\n.......\n.......\n.......\n.......\n.......\n.......\n.......\n");
}

void TestBoard::malformedPicturesAreRejected()
{
    QFETCH(QByteArray, picture);
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, Board::fromText(picture.toStdString()));
}

QTEST_APPLESS_MAIN(TestBoard)
#include "test_board.moc"
