#include "marco_windows.h"

#include <windows.h>   // the build defines WIN32_LEAN_AND_MEAN and NOMINMAX

#include <dwmapi.h>

namespace pindel::escritorio {

bool margenesDelMarco(void *ventana, MargenesMarco &margenes)
{
    const HWND hwnd = static_cast<HWND>(ventana);
    RECT marco;
    if (FAILED(DwmGetWindowAttribute(hwnd, DWMWA_EXTENDED_FRAME_BOUNDS, &marco, sizeof marco))
        && !GetWindowRect(hwnd, &marco))
        return false;
    RECT cliente;
    POINT origen{0, 0};
    if (!GetClientRect(hwnd, &cliente) || !ClientToScreen(hwnd, &origen))
        return false;
    margenes.izquierda = origen.x - marco.left;
    margenes.arriba = origen.y - marco.top;
    margenes.derecha = marco.right - (origen.x + cliente.right);
    margenes.abajo = marco.bottom - (origen.y + cliente.bottom);
    return true;
}

} // namespace pindel::escritorio
