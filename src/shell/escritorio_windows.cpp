#include "escritorio_windows.h"

#include <windows.h>   // the build defines WIN32_LEAN_AND_MEAN and NOMINMAX

namespace pindel::escritorio {

namespace {

// The size of the older program's buffer for the system folder.
constexpr UINT kCarpetaMaxima = 128;

std::string carpetaSegun(UINT(WINAPI *preguntar)(LPSTR, UINT))
{
    char buffer[kCarpetaMaxima] = {};
    const UINT longitud = preguntar(buffer, kCarpetaMaxima);
    if (longitud == 0 || longitud >= kCarpetaMaxima)
        return {};
    return std::string(buffer, longitud);
}

bool escribirEnConsola(HANDLE consola, const std::wstring &texto)
{
    DWORD escritos = 0;
    return WriteConsoleW(consola, texto.data(), DWORD(texto.size()), &escritos, nullptr)
        && escritos == texto.size();
}

// The text as a file or a pipe on Windows holds it: UTF-8, CR LF.
std::string bytesDeArchivo(const std::wstring &texto)
{
    std::wstring conCr;
    for (const wchar_t letra : texto) {
        if (letra == L'\n')
            conCr += L'\r';
        conCr += letra;
    }
    const int tamano = WideCharToMultiByte(CP_UTF8, 0, conCr.data(), int(conCr.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(tamano > 0 ? std::size_t(tamano) : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, conCr.data(), int(conCr.size()), bytes.data(), tamano, nullptr, nullptr);
    return bytes;
}

bool escribirEnArchivo(HANDLE archivo, const std::string &bytes)
{
    for (std::size_t hecho = 0; hecho < bytes.size();) {
        DWORD escritos = 0;
        if (!WriteFile(archivo, bytes.data() + hecho, DWORD(bytes.size() - hecho), &escritos, nullptr) || escritos == 0)
            return false;
        hecho += escritos;
    }
    return true;
}

// On the standard handle, when there is one this program may write to.  A console handle
// of a console the program is not attached to (a shell's, handed to a desktop program) is
// refused by both writes.
bool escribirEnLaSalida(HANDLE salida, const std::wstring &texto)
{
    if (salida == nullptr || salida == INVALID_HANDLE_VALUE || GetFileType(salida) == FILE_TYPE_UNKNOWN)
        return false;
    DWORD modo = 0;
    if (GetConsoleMode(salida, &modo))
        return escribirEnConsola(salida, texto);
    return escribirEnArchivo(salida, bytesDeArchivo(texto));
}

bool escribirEnLaConsolaDelPadre(const std::wstring &texto)
{
    if (!AttachConsole(ATTACH_PARENT_PROCESS))
        return false;
    const HANDLE consola = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, 0, nullptr);
    const bool escrito = consola != INVALID_HANDLE_VALUE && escribirEnConsola(consola, L"\n" + texto);
    if (consola != INVALID_HANDLE_VALUE)
        CloseHandle(consola);
    FreeConsole();
    return escrito;
}

} // namespace

void minimizarTodasLasVentanas()
{
    keybd_event(VK_LWIN, 0, 0, 0);
    keybd_event('M', 0, 0, 0);
    keybd_event(VK_LWIN, 0, KEYEVENTF_KEYUP, 0);
}

std::string carpetaDeSistema()
{
    return carpetaSegun(GetSystemDirectoryA);
}

std::string carpetaDeSistemaDe32Bits()
{
    return carpetaSegun(GetSystemWow64DirectoryA);
}

bool hayLectorDePantalla()
{
    BOOL activo = FALSE;
    return SystemParametersInfoW(SPI_GETSCREENREADER, 0, &activo, 0) && activo;
}

bool mostrarTexto(const std::wstring &texto, Canal canal)
{
    if (escribirEnLaSalida(GetStdHandle(canal == Canal::Salida ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE), texto))
        return true;
    if (escribirEnLaConsolaDelPadre(texto))
        return true;
    const UINT icono = canal == Canal::Salida ? MB_ICONINFORMATION : MB_ICONWARNING;
    return MessageBoxW(nullptr, texto.c_str(), L"Pindel", MB_OK | icono | MB_SETFOREGROUND) != 0;
}

bool anunciarJuegoAbierto()
{
    // Never closed: the handle is the sign, and the process's end is what removes it.
    return CreateMutexW(nullptr, FALSE, kMutexJuegoAbierto) != nullptr;
}

} // namespace pindel::escritorio
