#pragma once
// Program-wide values and the system declarations.
//
// The first half is the program's own: its identity, where the winners file was last found,
// and the drawing freeze of the presentation's advert.  The second half declares, once, every
// call the program makes to the system it runs on.  Each system answers them in a file of its
// own, which CMake picks (cmake/PindelPlataforma.cmake):
//
//   module1_x11.cpp       the X11 desktop (also XWayland): xcb
//   module1_wayland.cpp   a desktop with no X server to reach: Wayland, and any other
//   module1_posix.cpp     what Linux answers whatever its desktop: the accessibility bus, the
//                         terminal, the command line as the locale encodes it
//   module1_windows.cpp   Windows, through escritorio_windows.cpp (the Windows API alone)
//
// No other file of the program asks the system anything of this kind.

#include "identidad.h"

#include <QByteArray>
#include <QRect>
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace pindel::Module1 {

// --- The program's own values ---------------------------------------------------------------

// The winners directory, as the location rule gives it.  Set by every load of the winners
// list (the board's load handler), where the next save writes.
extern QString DirectorioSistema;

// The program's identity, as its version record states it: the build's, from CMake's
// project() (identidad.h is made from identidad.h.in at configure time).
inline constexpr const char *kProductName = PINDEL_PRODUCTO;
inline constexpr const char *kInternalName = PINDEL_NOMBRE_INTERNO;
inline constexpr const char *kVersion = PINDEL_VERSION;

// Names the program (internal name, product, version) and makes Spanish (Spain) the
// default locale.  Runs once, after the application object exists.
void setProgramIdentity();

// Freezes drawing of `window` until unlockWindowUpdate(): while frozen, update() and
// repaint() of the window itself do nothing.  Controls changed meanwhile are drawn after the
// release, by the event loop, once and only where they changed.  (QWidget::setUpdatesEnabled(true)
// would instead redraw the whole window on every release, which for a 50 ms animation costs
// several times the work of the change itself.)  One window at a time: a new lock releases
// the previous one.  A window whose updates are already disabled is left as it is.
void lockWindowUpdate(QWidget *window);
void unlockWindowUpdate();

// --- The system declarations ----------------------------------------------------------------

// Leaves a sign, held until the process ends however it ends, that the game is running, for
// an installer or uninstaller to wait on before it touches the program's files.  Called once,
// first thing.  Does nothing where no installer looks for one.
void markGameRunning();

// The words of the command line, the program's name first, as the player typed them.
QStringList commandLine(int argc, char **argv);

// Shows the command line's answer (`text`, lines ended by '\n') where whoever started the
// program can see it: `error` for a refusal.  True when it was shown.
bool showText(const QString &text, bool error);

// The window-system plug-in to ask Qt for when the player named none, before any window
// system is touched: a name for QT_QPA_PLATFORM, or an empty text to leave the choice to Qt.
// `xDisplay` is the -display the player gave (empty: DISPLAY's).  Nothing when no window
// system can be reached at all.
std::optional<QByteArray> defaultPlatform(const QByteArray &xDisplay);

// Whether the desktop says a screen reader is running.  Keyboard play turns itself on when
// one is: a player who hears the screen cannot drag a disc with the mouse.  Asked once, at
// start-up, after the application object exists; an answer that does not come at once is
// "no".
bool screenReaderRunning();

// Asks the desktop to minimise every window but the program's own (`except` among them).
// Never fails, never blocks; does nothing where the desktop lets no program do it.
void minimizeAllWindows(const QWidget *except = nullptr);

// The frame of the top-level `window` as the player sees it, in the coordinates of
// QWidget::pos().  Where Qt knows the frame the system draws, Qt's frame.
QRect outerFrame(const QWidget *window);

// The folders where the older program kept its winners file, as the system names them (see
// winners::olderProgramFiles for where its copies of them are).  Empty where there was no
// older program.
QStringList olderProgramFolders();

} // namespace pindel::Module1
