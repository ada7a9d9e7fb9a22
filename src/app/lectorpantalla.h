#pragma once
// Whether the desktop says a screen reader is running.  Keyboard play turns itself on when
// one is: a player who hears the screen cannot drag a disc with the mouse.
//
// On Linux the desktop says it through the accessibility bus launcher (org.a11y.Bus on the
// session bus), in the property org.a11y.Status.ScreenReaderEnabled that screen readers and
// the desktop's settings set; a desktop without the launcher, without a session bus, or one
// too slow to answer, counts as "no".  On Windows it says it in the system setting that
// screen readers turn on (SPI_GETSCREENREADER).  The question is asked once, at start-up.

#include <QString>

namespace pindel {

// How long the program waits for the answer before it takes it for "no": long enough for a
// busy desktop to answer (the first call also starts Qt's D-Bus thread), short enough that
// nobody notices the wait where nothing answers.
constexpr int kEsperaLectorMs = 80;

// Asks on the session bus (Linux; needs the QApplication) or Windows' setting.  False
// elsewhere, without asking anything.
bool lectorDePantallaActivo();

// Asks on the bus at `direccion` (a D-Bus address) over a connection of its own, closed
// again before it returns.
bool lectorDePantallaActivoEn(const QString &direccion);

} // namespace pindel
