// Writes down what each visible top-level window says, for the checks of the Windows build
// under Wine: a message box's question and its buttons are controls of their own, whose text
// only Windows can tell (no X client sees it).
//
//   textos_ventanas.exe FILE
//
// One line per window, UTF-8, fields separated by tabs: the X window Wine shows it in (0 where
// there is none: on Windows itself), its title, then the text of each of its visible controls
// that has one, in the order Windows keeps them (the buttons of a message box keep the & of
// their access keys).  A line break inside a text is written as \n.  Ends when the file is
// written.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string textoDe(HWND ventana)
{
    wchar_t texto[2048];
    const int largo = GetWindowTextW(ventana, texto, 2048);
    std::wstring limpio;
    for (int i = 0; i < largo; ++i) {
        if (texto[i] == L'\n')
            limpio += L"\\n";
        else if (texto[i] != L'\r' && texto[i] != L'\t')
            limpio += texto[i];
    }
    char utf8[8192];
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, limpio.data(), int(limpio.size()), utf8, sizeof utf8, nullptr, nullptr);
    return std::string(utf8, bytes > 0 ? std::size_t(bytes) : 0);
}

BOOL CALLBACK anotarControl(HWND control, LPARAM linea)
{
    if (IsWindowVisible(control)) {
        const std::string texto = textoDe(control);
        if (!texto.empty())
            *reinterpret_cast<std::string *>(linea) += "\t" + texto;
    }
    return TRUE;
}

BOOL CALLBACK anotarVentana(HWND ventana, LPARAM datos)
{
    if (!IsWindowVisible(ventana))
        return TRUE;
    // Wine's own property: the X window that shows this one, for a test to send it keys.
    const auto ventanaX = reinterpret_cast<unsigned long long>(GetPropA(ventana, "__wine_x11_whole_window"));
    std::string linea = std::to_string(ventanaX) + "\t" + textoDe(ventana);
    EnumChildWindows(ventana, anotarControl, reinterpret_cast<LPARAM>(&linea));
    std::fprintf(reinterpret_cast<FILE *>(datos), "%s\n", linea.c_str());
    return TRUE;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fputs("uso: textos_ventanas ARCHIVO\n", stderr);
        return 2;
    }
    FILE *salida = std::fopen(argv[1], "w");
    if (!salida) {
        std::fprintf(stderr, "textos_ventanas: no se pudo abrir %s\n", argv[1]);
        return 1;
    }
    EnumWindows(anotarVentana, reinterpret_cast<LPARAM>(salida));
    return std::fclose(salida) == 0 ? 0 : 1;
}
