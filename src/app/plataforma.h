#pragma once
// Which window-system plug-in the program asks Qt for, and what happens when there is none.
//
// The player's choice (-platform, QT_QPA_PLATFORM) always wins.  Otherwise the system's own
// rule picks (Module1::defaultPlatform): on Linux, where an X server is reachable (XWayland
// on a Wayland desktop, or plain X11) the program runs on it, since a native Wayland client
// may neither place its own windows nor minimise the others, and only without an X display
// as a native Wayland client.  With no window system at all (over ssh, in a text console) Qt
// would abort with an English message about reinstalling; the program says why in Spanish
// instead and ends with status 1.

#include <QString>

namespace pindel {

struct Ordenes;

// Chooses the platform for the QApplication about to be made and sets QT_QPA_PLATFORM to it,
// probing only what the choice needs (no probe when the player chose).  Returns false when
// no window system can be reached.
bool elegirPlataforma(const Ordenes &ordenes);

// The line printed on standard error when elegirPlataforma() found nothing.
QString textoSinPantalla();

// Between these two calls, a fatal message from Qt (a platform the user chose could not
// start) ends the program with status 1 once Qt has printed it: no abort, no core dump.
void salirSinAbortoAlArrancar();
void dejarDeVigilarElArranque();

} // namespace pindel
