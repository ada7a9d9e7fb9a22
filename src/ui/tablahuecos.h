#pragma once
// What a screen reader gets from the keyboard field: a 7 x 7 table named "Huecos del
// tablero" whose cells are the 33 holes of the cross, each named by its row, column and
// state ("Fila 4, columna 4, vacío").  The 16 cells outside the cross have no cell.  The cell
// under the cursor holds the focus while the field does, and its description carries the
// field's last message.
//
// A screen reader is told what a key did through a notification: an empty widget of the
// board window, never painted, whose accessible name is the message and which is shown to
// say it (Orca speaks a notification as it appears; it speaks no change of a cell's name or
// description through Qt 6.4's events).

class QAccessibleInterface;

namespace pindel {

class CampoTeclado;

// The object name of the notification widget.
extern const char *const kObjetoAviso;

// Makes the field reach screen readers as that table.  Called by the field itself, first
// thing in its constructor.
void instalarTablaHuecos(CampoTeclado *campo);

// The table cell of hole `index` of `campo`.
QAccessibleInterface *celdaDeHueco(CampoTeclado *campo, int index);

} // namespace pindel
