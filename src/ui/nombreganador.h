#pragma once
// The box a winner types their name into ("Lo ha conseguido"): the prompt, today's date as
// the default answer, and only what the winners file can hold accepted as typed.  The loop
// that asks until the name is good is the board's (Tablero::Conseguido).

#include <QString>

class QWidget;

namespace pindel {

// Shows the name box over `parent` with `prompt` and waits for it.  The text typed, or an
// empty text when the player cancels or closes it.
QString pedirNombreGanador(QWidget *parent, const QString &prompt);

// The box's default answer: today in the system's short date format; in a format the winners
// file could not hold (a script outside its code page), the same date written the
// international way.
QString fechaDeHoy();

} // namespace pindel
