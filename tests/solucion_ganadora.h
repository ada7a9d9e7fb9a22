#pragma once
// The winning line that the solution window publishes, in that window's numbering, and the
// translation of its numbers to the board's hole indices by grid place.  Shared by the
// tests that play it on the model, through the board window, and in the failure drills.

#include "board.h"

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

// The 31 moves, in order: from, over, to.
inline constexpr Salto kMovimientos[31] = {
    {15, 16, kCentro}, {27, 22, 16}, {20, 21, 22}, {7, 14, 20},  {16, 22, 27},
    {30, 27, 22},      {23, 22, 21}, {20, 21, 22}, {25, 24, 23}, {22, 23, 24},
    {31, 28, 23},      {23, 24, 25}, {32, 29, 24}, {25, 24, 23}, {12, 18, 25},
    {26, 25, 24},      {13, 19, 26}, {23, 24, 25}, {26, 25, 24}, {10, 11, 12},
    {24, 17, 11},      {12, 11, 10}, {3, 6, 11},   {10, 11, 12}, {8, 9, 10},
    {1, 4, 9},         {9, 10, 11},  {2, 5, 10},   {kCentro, 10, 5}, {12, 11, 10},
    {5, 10, kCentro},
};

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
