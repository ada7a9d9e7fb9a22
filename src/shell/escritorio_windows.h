#pragma once
// The Windows desktop's requests, in plain C++ over the Windows API and without Qt, so that
// the cross compiler can check them on machines where the program is not built for Windows.

namespace pindel::escritorio {

// Asks the desktop to minimise every window through its own shortcut: the left Windows key
// down, M down, the left Windows key up.  The desktop acts on the key-downs, so no key-up is
// sent for M.  Returns at once; the desktop does the rest in its own time.
void minimizarTodasLasVentanas();

} // namespace pindel::escritorio
