#pragma once
// What the Linux half of Module1 asks on its way to an answer, declared for its own tests:
// whether an X server or a Wayland compositor answers, and the screen-reader question on a
// named bus.  The program itself only calls Module1.

#include <QByteArray>
#include <QString>

namespace pindel {

// Whether an X server accepts a connection at `pantalla` (a DISPLAY value).  Empty: no.
// Connects with xcb and closes again: one round trip to a server that answers.  Only where
// the program is built for X11 (module1_x11.cpp).
bool servidorXAlcanzable(const QByteArray &pantalla);

// Whether a Wayland compositor listens where Qt's Wayland platform would connect.  Qt asks
// libwayland with no name, so its rule holds: an inherited WAYLAND_SOCKET is taken as is;
// otherwise WAYLAND_DISPLAY, "wayland-0" when unset or empty, is a socket path when absolute
// and a name under XDG_RUNTIME_DIR when not (no XDG_RUNTIME_DIR, no compositor).  A socket
// connect and close; no Wayland request is sent.
bool compositorWaylandAlcanzable(const QByteArray &waylandSocket, const QByteArray &waylandDisplay,
                                 const QByteArray &xdgRuntimeDir);

// How long the screen-reader question waits for the answer before it takes it for "no": long
// enough for a busy desktop to answer (the first call also starts Qt's D-Bus thread), short
// enough that nobody notices the wait where nothing answers.
constexpr int kEsperaLectorMs = 80;

// The screen-reader question asked on the bus at `direccion` (a D-Bus address) over a
// connection of its own, closed again before it returns.
bool lectorDePantallaActivoEn(const QString &direccion);

} // namespace pindel
