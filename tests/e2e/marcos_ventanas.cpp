// Writes down where Windows draws each visible top-level window, for the real-desktop
// scenarios of the Windows build: under Wine the window manager of the X display draws a
// frame of its own, and only Windows can tell the frame a Windows player sees.
//
//   marcos_ventanas.exe FILE
//
// One line per window, in physical pixels:
//   <window left> <top> <right> <bottom> <client left> <top> <width> <height> <title, UTF-8>
// Ends when the file is written.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>

namespace {

BOOL CALLBACK anotar(HWND ventana, LPARAM datos)
{
    if (!IsWindowVisible(ventana))
        return TRUE;
    wchar_t titulo[256];
    char utf8[1024];
    const int largo = GetWindowTextW(ventana, titulo, 256);
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, titulo, largo, utf8, sizeof utf8 - 1, nullptr, nullptr);
    utf8[bytes > 0 ? bytes : 0] = '\0';
    RECT marco;
    RECT cliente;
    POINT origen{0, 0};
    if (!GetWindowRect(ventana, &marco) || !GetClientRect(ventana, &cliente) || !ClientToScreen(ventana, &origen))
        return TRUE;
    std::fprintf(reinterpret_cast<FILE *>(datos), "%ld %ld %ld %ld %ld %ld %ld %ld %s\n", marco.left, marco.top,
                 marco.right, marco.bottom, origen.x, origen.y, cliente.right, cliente.bottom, utf8);
    return TRUE;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fputs("uso: marcos_ventanas ARCHIVO\n", stderr);
        return 2;
    }
    // Physical pixels at any display scale, as the X server counts them.
    SetProcessDPIAware();
    FILE *salida = std::fopen(argv[1], "w");
    if (!salida) {
        std::fprintf(stderr, "marcos_ventanas: no se pudo abrir %s\n", argv[1]);
        return 1;
    }
    EnumWindows(anotar, reinterpret_cast<LPARAM>(salida));
    return std::fclose(salida) == 0 ? 0 : 1;
}
