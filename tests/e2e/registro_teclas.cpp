// Writes down every key event the Windows desktop delivers, for the real-desktop scenarios of
// the Windows build: a low-level keyboard hook (WH_KEYBOARD_LL) sees the keys of every
// program, those a program sends with keybd_event or SendInput as well, before any window
// gets them.
//
//   registro_teclas.exe FILE SECONDS
//
// Writes "listo" to FILE once the hook is in place, then one line per key event,
// "abajo|arriba <virtual-key code> inyectada|real", flushed at once; ends after SECONDS.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

FILE *g_registro = nullptr;

LRESULT CALLBACK alPulsar(int codigo, WPARAM mensaje, LPARAM datos)
{
    if (codigo == HC_ACTION) {
        const auto *tecla = reinterpret_cast<const KBDLLHOOKSTRUCT *>(datos);
        const bool abajo = mensaje == WM_KEYDOWN || mensaje == WM_SYSKEYDOWN;
        std::fprintf(g_registro, "%s %lu %s\n", abajo ? "abajo" : "arriba",
                     static_cast<unsigned long>(tecla->vkCode),
                     (tecla->flags & LLKHF_INJECTED) ? "inyectada" : "real");
        std::fflush(g_registro);
    }
    return CallNextHookEx(nullptr, codigo, mensaje, datos);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3 || std::atoi(argv[2]) <= 0) {
        std::fputs("uso: registro_teclas ARCHIVO SEGUNDOS\n", stderr);
        return 2;
    }
    g_registro = std::fopen(argv[1], "w");
    if (!g_registro) {
        std::fprintf(stderr, "registro_teclas: no se pudo abrir %s\n", argv[1]);
        return 1;
    }
    const HHOOK gancho = SetWindowsHookExW(WH_KEYBOARD_LL, alPulsar, GetModuleHandleW(nullptr), 0);
    if (!gancho) {
        std::fprintf(stderr, "registro_teclas: SetWindowsHookEx: error %lu\n", GetLastError());
        return 1;
    }
    std::fputs("listo\n", g_registro);
    std::fflush(g_registro);
    // The hook runs on this thread, inside its message loop; the timer ends the loop.
    SetTimer(nullptr, 0, static_cast<UINT>(std::atoi(argv[2])) * 1000u, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER)
            break;
        DispatchMessageW(&msg);
    }
    UnhookWindowsHookEx(gancho);
    std::fclose(g_registro);
    return 0;
}
