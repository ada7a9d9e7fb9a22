#pragma once
// The frame Windows draws round a window, in plain C++ over the Windows API and without Qt,
// so that the cross compiler can check it on machines where the program is not built for
// Windows.

namespace pindel::escritorio {

// How far the frame reaches beyond the client area on each side, in physical pixels.
struct MargenesMarco {
    long izquierda = 0;
    long arriba = 0;
    long derecha = 0;
    long abajo = 0;
};

// The frame of `ventana` (a window handle) as the player sees it: the bounds the desktop
// compositor draws, which leave out Windows 10's invisible resize borders; where there is no
// compositor to ask (Wine), the window's own rectangle.  False when the window has none.
bool margenesDelMarco(void *ventana, MargenesMarco &margenes);

} // namespace pindel::escritorio
