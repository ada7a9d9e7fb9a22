#pragma once
// Which window-system plug-in the program asks Qt for when the user has not chosen one.
//
// On a Wayland desktop a native Wayland client may neither place its own windows nor
// minimise the others, and the program does both at start-up.  Where an X server is
// reachable (XWayland on such a desktop, or plain X11) the program therefore runs on it;
// only without an X display does it run as a native Wayland client.

#include <QByteArray>

namespace pindel {

// The QT_QPA_PLATFORM value to use, from the values of QT_QPA_PLATFORM and DISPLAY as the
// program found them (empty when unset).  An empty result means: leave the user's choice
// alone.  A list such as "xcb;wayland" is tried in order, so a DISPLAY that names no live
// server still ends on Wayland.
QByteArray plataformaPorDefecto(const QByteArray &qtQpaPlatform, const QByteArray &display);

// Sets QT_QPA_PLATFORM from plataformaPorDefecto() for the QApplication about to be made.
// Only on systems where Qt chooses between X11 and Wayland; elsewhere it does nothing.
void elegirPlataforma();

} // namespace pindel
