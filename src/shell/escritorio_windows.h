#pragma once
// What the program asks of Windows itself, in plain C++ over the Windows API and without Qt,
// so that the cross compiler can check it on machines where the program is not built for
// Windows: the desktop's shortcut to minimise every window, the system folders where the
// older program kept its winners, the desktop's screen-reader setting, the text the command
// line answers with, and the sign that the game is running.

#include <string>

namespace pindel::escritorio {

// Asks the desktop to minimise every window through its own shortcut: the left Windows key
// down, M down, the left Windows key up.  The desktop acts on the key-downs, so no key-up is
// sent for M.  Returns at once; the desktop does the rest in its own time.
void minimizarTodasLasVentanas();

// The system folder as GetSystemDirectoryA reports it, in the ANSI code page, asked as the
// older program asked it: a buffer of 128 characters, its size given as 128.  Empty when the
// call fails (0) or the folder does not fit the buffer (128 or more, the size it would need).
std::string carpetaDeSistema();

// The same for GetSystemWow64DirectoryA: the system folder of the 32-bit programs on 64-bit
// Windows, where the writes of the older 32-bit program to the system folder went.  Empty on
// 32-bit Windows.
std::string carpetaDeSistemaDe32Bits();

// Whether the desktop says a screen reader is running (SPI_GETSCREENREADER).
bool hayLectorDePantalla();

enum class Canal { Salida, Error };

// Shows `texto` (lines ended by '\n') to whoever started the program, which has no console
// of its own:
// - on the standard handle of `canal` when it is usable: a console through WriteConsoleW
//   (any letter comes out right whatever the console's code page), a file or a pipe as
//   UTF-8 with CR LF line ends;
// - otherwise on the console of the program that started it (cmd.exe, PowerShell), after a
//   line break, since such a shell does not wait for a desktop program and has already
//   shown its prompt;
// - otherwise (started from a shortcut) in a message box titled "Pindel", which waits for
//   the player: an information icon for standard output, a warning icon for standard error.
// False only when the text could be shown nowhere.
bool mostrarTexto(const std::wstring &texto, Canal canal);

// The mutex the game holds while it runs, in the namespace every session sees.  The installer
// and the uninstaller look for it by this name (the build hands it to them) and touch nothing
// while it is there, since Windows keeps a running program's files from being replaced.
inline constexpr wchar_t kMutexJuegoAbierto[] = L"Global\\Pindel.Maberto.JuegoAbierto";

// Creates that mutex and keeps it until the process ends, when Windows lets it go however the
// process ends.  Called once, first thing.  False when Windows gave no handle: when another
// user's game holds it, which keeps installs away just the same.
bool anunciarJuegoAbierto();

} // namespace pindel::escritorio
