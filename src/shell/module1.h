#pragma once
// Program-wide values and the thin layer over the platform that the windows need: where
// the winners file lives, the line buffer every winners line passes through, and the
// desktop requests of the presentation window.

#include <QRect>
#include <QString>
#include <QStringList>

class QWidget;

namespace pindel::Module1 {

// The winners directory, cleaned by the location rule.  Set by every winners load, used by
// the next save.
extern QString DirectorioSistema;
// Each line read from or written to the winners file passes through here.
extern QString Linea;

// Stands in for the system directory: the folder "pindel" in the per-user data directory
// ($XDG_DATA_HOME/pindel, by default ~/.local/share/pindel, on Linux), whatever the
// application name is.  Not created here.
QString systemDirectory();

// Whether the file system of the winners directory ignores the case of names.
bool fileSystemIgnoresCase();

// The folders where the older program kept the winners file, most likely first, as Windows
// reports them: the system folder; its per-user VirtualStore copy (where Windows put that
// program's writes to the system folder when it had no right to it); then the same two for
// the 32-bit system folder of 64-bit Windows, where the writes of the 32-bit older program
// went.  Empty on other systems, where there was no older program.
QStringList legacyDirectories();

// Asks the desktop to minimise every other window.  Never fails, never blocks; does
// nothing where the platform offers no way to do it.
void minimizeAllWindows(const QWidget *except = nullptr);

// The frame of the top-level `window` as the player sees it, in the coordinates of
// QWidget::pos(): the frame Qt knows, except on Windows, where Qt 6.4 takes Windows 10's
// invisible resize borders off every framed window, drawn or not (none are under Wine, nor
// round a window without a resize border), and the frame drawn is asked of Windows itself.
QRect outerFrame(const QWidget *window);

// The program's identity, as its version record states it.
inline constexpr const char *kProductName = "PINDEL";
inline constexpr const char *kInternalName = "Pindel";
inline constexpr const char *kVersion = "1.00";
inline constexpr const char *kDescription = "Juego para una persona.";

// Names the program (internal name, product, version) and makes Spanish (Spain) the
// default locale.  Runs once, after the application object exists.
void setProgramIdentity();

// Freezes drawing of `window` until unlockWindowUpdate(): while frozen, update() and
// repaint() of the window itself do nothing.  Controls changed meanwhile are drawn after the
// release, by the event loop, once and only where they changed.  (QWidget::setUpdatesEnabled(true) would instead redraw the whole window on every
// release, which for a 50 ms animation costs several times the work of the change itself.)
// One window at a time: a new lock releases the previous one.  A window whose updates are
// already disabled is left as it is.
void lockWindowUpdate(QWidget *window);
void unlockWindowUpdate();

} // namespace pindel::Module1
