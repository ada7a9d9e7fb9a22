#pragma once
// What a screen reader gets from the keyboard field: a 7 x 7 table named "Huecos del
// tablero" whose cells are the 33 holes of the cross, each named by its row, column and
// state ("Fila 4, columna 4, vacío").  The 16 cells outside the cross have no cell.  The cell
// under the cursor holds the focus while the field does, and its description carries the
// field's last message (what a key did is told as it happens through anuncio.h: Qt 6.4's
// bridges carry no change of a cell's name or description to a screen reader).

class QAccessibleInterface;

namespace pindel {

class CampoTeclado;

// Makes the field reach screen readers as that table.  Called by the field itself, first
// thing in its constructor.
void instalarTablaHuecos(CampoTeclado *campo);

// The table cell of hole `index` of `campo`.
QAccessibleInterface *celdaDeHueco(CampoTeclado *campo, int index);

} // namespace pindel
