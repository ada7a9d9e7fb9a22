#pragma once
// What the program asks of Windows itself, in plain C++ over the Windows API and without Qt,
// so that the cross compiler can check it on machines where the program is not built for
// Windows: the desktop's shortcut to minimise every window, the system folders where the
// older program kept its winners, the desktop's screen-reader setting, and the text the
// command line answers with.

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

} // namespace pindel::escritorio
