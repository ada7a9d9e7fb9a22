#pragma once
// The 33-hole cross board: holes, their on-screen positions, pegs, counters, the jump rule
// and the end-of-game verdict.  No toolkit here: the windows show this model and ask it to
// decide; it re-checks every move itself, whatever the widgets did.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace pindel {

inline constexpr int kHoleCount = 33;
inline constexpr int kGridSize = 7;
inline constexpr int kHoleSize = 36;     // side of a hole control, pixels
inline constexpr int kCellPitch = 48;    // centre-to-centre distance of neighbours, pixels
inline constexpr int kCentre = 0;        // the index of the centre hole

// One hole of the board.  The index is the number of its picture control; it is not in
// reading order.  Left and Top are pixels of the board window's drawing area.
struct Hole {
    std::int16_t index;
    int row;
    int column;
    int left;
    int top;
};

// The layout of the board, in index order.
const std::array<Hole, kHoleCount> &holes();

// Whether a grid cell belongs to the cross.
constexpr bool isHoleCell(int row, int column)
{
    return row >= 0 && row < kGridSize && column >= 0 && column < kGridSize
           && ((row >= 2 && row <= 4) || (column >= 2 && column <= 4));
}

// The index of the hole whose control stands exactly at (left, top), or -1.  Neighbours are
// always found this way, from positions; indices carry no geometry.
int holeAt(int left, int top);

// The index of the hole in a grid cell, or -1 for a cell outside the cross.
int holeAtCell(int row, int column);

// What one drop did.
enum class DropOutcome {
    Ignored,   // empty source, or a jump over an empty hole: nothing may be written
    NoMove,    // a peg was dropped but no jump was possible: labels are rewritten
    Moved,     // one jump was made
};

class Board {
public:
    // The start position: every hole pegged but the centre, no moves yet.
    Board();

    // Builds a position from seven lines of seven characters, 'o' a peg and anything
    // else no peg (cells off the cross must not hold 'o').  The counters are derived from
    // the pegs: Restantes = pegs, Movimientos = 32 - pegs.  Throws std::invalid_argument on
    // a malformed picture.
    static Board fromText(std::string_view picture);
    // The same picture format, '.' for no peg and for cells off the cross.
    std::string toText() const;

    // The start-position set-up: counters first, then the centre emptied, then pegs in
    // holes 1..32.
    void setUp();

    // The three hole operations.  Index must be 0..32.
    bool isEmpty(int index) const;
    void makeEmpty(int index);
    void putPeg(int index);

    std::int16_t movimientos() const { return m_movimientos; }
    std::int16_t restantes() const { return m_restantes; }
    int pegCount() const;

    // Handles the drop onto hole `target` of hole `source` (the order of the board window's
    // drop handler, and of every caller on the way to it) exactly as the jump rule is
    // ordered: empty source ends it; the right, left, down and up tests each run in turn
    // against the board as it is at that moment; a guard scan abandons the whole drop when
    // the jumped hole is empty; a move fills the target, empties the source and every hole
    // at the jumped position, and counts.  Out-of-range indices are ignored.
    DropOutcome drop(int target, int source);

    // The win test: one peg left and the centre holds a peg.
    bool isWon() const;
    // The loss test, meaningful after the win test has been handled: one peg left.
    bool isLost() const { return m_restantes == 1; }

    bool operator==(const Board &other) const;
    bool operator!=(const Board &other) const { return !(*this == other); }

private:
    // Tries one direction; returns Ignored if the guard scan abandoned the drop.
    DropOutcome tryJump(int source, int target, int dLeft, int dTop);

    std::array<bool, kHoleCount> m_peg{};
    std::int16_t m_movimientos = 0;
    std::int16_t m_restantes = 32;
};

} // namespace pindel
