#include "board.h"

#include <stdexcept>

namespace pindel {

namespace {

// Which hole index stands in each cell of the 7 x 7 grid; -1 where the cross has no hole.
// This table is the board window's design and the only place that ties indices to places.
constexpr std::int16_t kLayout[kGridSize][kGridSize] = {
    {-1, -1, 5, 4, 3, -1, -1},
    {-1, -1, 8, 7, 6, -1, -1},
    {21, 24, 25, 9, 16, 15, 12},
    {20, 23, 26, 0, 17, 14, 11},
    {19, 22, 27, 2, 18, 13, 10},
    {-1, -1, 28, 29, 30, -1, -1},
    {-1, -1, 31, 32, 1, -1, -1},
};

constexpr int leftOf(int column) { return 23 + kCellPitch * column; }
constexpr int topOf(int row) { return 24 + kCellPitch * row; }

std::array<Hole, kHoleCount> buildHoles()
{
    std::array<Hole, kHoleCount> result{};
    for (int row = 0; row < kGridSize; ++row) {
        for (int column = 0; column < kGridSize; ++column) {
            const int index = kLayout[row][column];
            if (index >= 0)
                result[index] = Hole{static_cast<std::int16_t>(index), row, column,
                                     leftOf(column), topOf(row)};
        }
    }
    return result;
}

bool validIndex(int index) { return index >= 0 && index < kHoleCount; }

} // namespace

const std::array<Hole, kHoleCount> &holes()
{
    static const std::array<Hole, kHoleCount> table = buildHoles();
    return table;
}

int holeAt(int left, int top)
{
    for (const Hole &hole : holes()) {
        if (hole.left == left && hole.top == top)
            return hole.index;
    }
    return -1;
}

int holeAtCell(int row, int column)
{
    return isHoleCell(row, column) ? kLayout[row][column] : -1;
}

Board::Board() { setUp(); }

void Board::setUp()
{
    m_movimientos = 0;
    m_restantes = 32;
    makeEmpty(kCentre);
    for (int x = 1; x <= 32; ++x)
        putPeg(x);
}

Board Board::fromText(std::string_view picture)
{
    Board board;
    int row = 0;
    int column = 0;
    int pegs = 0;
    board.m_peg.fill(false);
    for (char ch : picture) {
        if (ch == '\r')
            continue;
        if (ch == '\n') {
            if (column != kGridSize)
                throw std::invalid_argument("board picture: each row needs 7 cells");
            ++row;
            column = 0;
            continue;
        }
        if (row >= kGridSize || column >= kGridSize)
            throw std::invalid_argument("board picture: more than 7 x 7 cells");
        if (ch == 'o') {
            const int index = holeAtCell(row, column);
            if (index < 0)
                throw std::invalid_argument("board picture: a peg off the cross");
            board.m_peg[index] = true;
            ++pegs;
        }
        ++column;
    }
    const bool lastRowDone = (row == kGridSize - 1 && column == kGridSize)
                             || (row == kGridSize && column == 0);
    if (!lastRowDone)
        throw std::invalid_argument("board picture: 7 rows of 7 cells needed");
    board.m_restantes = static_cast<std::int16_t>(pegs);
    board.m_movimientos = static_cast<std::int16_t>(32 - pegs);
    return board;
}

std::string Board::toText() const
{
    std::string text;
    for (int row = 0; row < kGridSize; ++row) {
        for (int column = 0; column < kGridSize; ++column) {
            const int index = holeAtCell(row, column);
            text += (index >= 0 && m_peg[index]) ? 'o' : '.';
        }
        text += '\n';
    }
    return text;
}

bool Board::isEmpty(int index) const { return !m_peg.at(index); }
void Board::makeEmpty(int index) { m_peg.at(index) = false; }
void Board::putPeg(int index) { m_peg.at(index) = true; }

int Board::pegCount() const
{
    int count = 0;
    for (bool peg : m_peg)
        count += peg ? 1 : 0;
    return count;
}

DropOutcome Board::drop(int target, int source)
{
    if (!validIndex(source) || !validIndex(target) || isEmpty(source))
        return DropOutcome::Ignored;

    // The four tests are not alternatives: each runs against the board as the previous
    // one left it.  After a move the target holds a peg, so the later tests fail.
    const int directions[4][2] = {
        {+2 * kCellPitch, 0}, // right
        {-2 * kCellPitch, 0}, // left
        {0, +2 * kCellPitch}, // down
        {0, -2 * kCellPitch}, // up
    };
    DropOutcome outcome = DropOutcome::NoMove;
    for (const auto &direction : directions) {
        const DropOutcome step = tryJump(source, target, direction[0], direction[1]);
        if (step == DropOutcome::Ignored)
            return DropOutcome::Ignored;
        if (step == DropOutcome::Moved)
            outcome = DropOutcome::Moved;
    }
    return outcome;
}

DropOutcome Board::tryJump(int source, int target, int dLeft, int dTop)
{
    const Hole &from = holes()[source];
    const Hole &to = holes()[target];
    const bool inLine = dTop == 0 ? to.top == from.top : to.left == from.left;
    const bool landsRight = to.left == from.left + dLeft && to.top == from.top + dTop;
    if (!inLine || !isEmpty(target) || !landsRight)
        return DropOutcome::NoMove;

    const int overLeft = from.left + dLeft / 2;
    const int overTop = from.top + dTop / 2;

    // Guard scan: a jump over an empty hole abandons the whole drop.
    for (const Hole &hole : holes()) {
        if (hole.left == overLeft && hole.top == overTop && isEmpty(hole.index))
            return DropOutcome::Ignored;
    }

    putPeg(target);
    makeEmpty(source);
    // Removal scan: every hole at the jumped position loses its peg.
    for (const Hole &hole : holes()) {
        if (hole.left == overLeft && hole.top == overTop)
            makeEmpty(hole.index);
    }
    m_movimientos = static_cast<std::int16_t>(m_movimientos + 1);
    m_restantes = static_cast<std::int16_t>(m_restantes - 1);
    return DropOutcome::Moved;
}

bool Board::isWon() const { return m_restantes == 1 && !isEmpty(kCentre); }

bool Board::operator==(const Board &other) const
{
    return m_peg == other.m_peg && m_movimientos == other.m_movimientos
           && m_restantes == other.m_restantes;
}

} // namespace pindel
