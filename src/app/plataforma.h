#pragma once
// Which window-system plug-in the program asks Qt for, and what happens when there is none.
//
// On a Wayland desktop a native Wayland client may neither place its own windows nor
// minimise the others, and the program does both at start-up.  Where an X server is
// reachable (XWayland on such a desktop, or plain X11) the program therefore runs on it;
// only without an X display does it run as a native Wayland client.  With neither (over ssh,
// in a text console) Qt would abort with an English message about reinstalling; the program
// says why in Spanish instead and ends with status 1.

#include <QByteArray>
#include <QString>

namespace pindel {

struct Ordenes;

// Whether an X server accepts a connection at `pantalla` (a DISPLAY value).  Empty: no.
// Connects with xcb and closes again: one round trip to a server that answers.
bool servidorXAlcanzable(const QByteArray &pantalla);

// Whether a Wayland compositor listens where Qt's Wayland platform would connect.  Qt asks
// libwayland with no name, so its rule holds: an inherited WAYLAND_SOCKET is taken as is;
// otherwise WAYLAND_DISPLAY, "wayland-0" when unset or empty, is a socket path when absolute
// and a name under XDG_RUNTIME_DIR when not (no XDG_RUNTIME_DIR, no compositor).  A socket
// connect and close; no Wayland request is sent.
bool compositorWaylandAlcanzable(const QByteArray &waylandSocket, const QByteArray &waylandDisplay,
                                 const QByteArray &xdgRuntimeDir);

// Chooses the platform for the QApplication about to be made and sets QT_QPA_PLATFORM to it,
// probing only what the choice needs (no probe when the user chose).  Returns false when no
// window system can be reached.  Only where Qt chooses between X11 and Wayland; elsewhere it
// returns true and does nothing.
bool elegirPlataforma(const Ordenes &ordenes);

// The line printed on standard error when elegirPlataforma() found nothing.
QString textoSinPantalla();

// Between these two calls, a fatal message from Qt (a platform the user chose could not
// start) ends the program with status 1 once Qt has printed it: no abort, no core dump.
void salirSinAbortoAlArrancar();
void dejarDeVigilarElArranque();

} // namespace pindel
