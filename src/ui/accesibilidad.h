#pragma once
// What a screen reader hears: Spanish accessible names and descriptions for the controls of
// the three windows, set from one table and never shown on screen.
//
// The windows stay as designed; nothing visible and no behaviour changes.  The holes of the
// board describe themselves (which hole, and whether it holds a Cd-rom), since only the
// board knows when that changes.

class QWidget;

namespace pindel {

// Makes `window` reach a screen reader as a window (role frame on Linux) named by its title,
// or by the accessible name the table gives it.  Then gives every control of `window` that
// the table knows (found by object name, the window recognised by its own object name:
// "Tablero", "FrmSolucion", "ForPresentacion") its accessible name and description.  The two
// counters of the board are read as what they count followed by their current value
// ("Resto: 31"), kept up to date as the game goes on.  Call once per window after its
// controls exist; calling again does no harm.  A window the table does not know, or a
// control it lacks, is left alone.
void describirControles(QWidget *window);

} // namespace pindel
