// Reads, as a UI Automation client in a process of its own, what Windows' UI Automation gives
// a screen reader for a top-level window, for the real-desktop scenarios of the Windows build.
//
//   ventana_uia.exe TITLE FILE
//
// Writes to FILE, in UTF-8, the window's element, then what the system answers the calls a
// screen reader makes to follow a program:
//   element <control type id>|<name>|<automation id>|<has keyboard focus 0/1>|<is dialog 0/1>
//   clients-listening <what UiaClientsAreListening answers here, 0/1>
//   add-event <HRESULT of UiaAddEvent for focus changes on the window, 0x........>
//   notification-call <present|missing>   (UiaRaiseNotificationEvent, for the program's side)
//   com-client <HRESULT of creating CUIAutomation, the COM client object screen readers use>
// Ends with 0 when the file is written, 1 when there is no such window or no element for it,
// 2 on a wrong call.
//
// Only the window's own element is read: under Wine 8.0 a client that goes down to any element
// inside the window (UiaNavigate) never gets an answer, and the program stops answering too.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <string>

namespace {

// UI Automation's client calls, as its documentation declares them; looked up at run time, as
// the core is a system library a program may find without some of them.
using Nodo = void *;
struct Condicion { int tipo; };   // ConditionType_True is 0
struct PeticionCache {
    Condicion *vista;
    int alcance;                  // TreeScope_Element is 1
    int *propiedades;
    int numPropiedades;
    int *patrones;
    int numPatrones;
    int modo;
};
using NodoDeVentana = HRESULT(WINAPI *)(HWND, Nodo *);
using ValorDePropiedad = HRESULT(WINAPI *)(Nodo, int, VARIANT *);
using SoltarNodo = BOOL(WINAPI *)(Nodo);
using Aviso = void(WINAPI *)(void *argumentos, SAFEARRAY *datos, BSTR arbol);
using AnadirSuceso = HRESULT(WINAPI *)(Nodo, int, Aviso, int, int *, int, PeticionCache *, void **);
using QuitarSuceso = HRESULT(WINAPI *)(void *);
using Escuchando = BOOL(WINAPI *)();

constexpr int kControlType = 30003, kName = 30005, kHasKeyboardFocus = 30008, kAutomationId = 30011,
              kIsDialog = 30174;
constexpr int kFocusChanged = 20005;

void WINAPI alSuceso(void *, SAFEARRAY *, BSTR) {}

// A call of the core by name; null where it has none.
template <typename F>
F llamada(HMODULE nucleo, const char *nombre)
{
    return nucleo ? reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(nucleo, nombre))) : nullptr;
}

std::string utf8(const wchar_t *texto, int largo)
{
    std::string s(static_cast<size_t>(largo) * 3 + 1, '\0');
    const int n = WideCharToMultiByte(CP_UTF8, 0, texto, largo, s.data(), int(s.size()), nullptr, nullptr);
    s.resize(n > 0 ? size_t(n) : 0);
    return s;
}

std::string propiedad(ValorDePropiedad valor, Nodo nodo, int id)
{
    VARIANT v;
    VariantInit(&v);
    if (FAILED(valor(nodo, id, &v)))
        return "?";
    std::string s;
    if (v.vt == VT_BSTR)
        s = utf8(v.bstrVal, int(SysStringLen(v.bstrVal)));
    else if (v.vt == VT_I4)
        s = std::to_string(v.lVal);
    else if (v.vt == VT_BOOL)
        s = v.boolVal ? "1" : "0";
    else
        s = "?";
    VariantClear(&v);
    return s;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc != 3) {
        std::fputs("uso: ventana_uia TITULO ARCHIVO\n", stderr);
        return 2;
    }
    HMODULE nucleo = LoadLibraryW(L"uiautomationcore.dll");
    auto nodoDeVentana = llamada<NodoDeVentana>(nucleo, "UiaNodeFromHandle");
    auto valor = llamada<ValorDePropiedad>(nucleo, "UiaGetPropertyValue");
    auto soltar = llamada<SoltarNodo>(nucleo, "UiaNodeRelease");
    auto anadir = llamada<AnadirSuceso>(nucleo, "UiaAddEvent");
    auto quitar = llamada<QuitarSuceso>(nucleo, "UiaRemoveEvent");
    auto escuchando = llamada<Escuchando>(nucleo, "UiaClientsAreListening");
    if (!nodoDeVentana || !valor || !soltar || !anadir || !quitar || !escuchando) {
        std::fputs("ventana_uia: el núcleo de UI Automation no tiene las llamadas de un cliente\n", stderr);
        return 1;
    }
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    HWND ventana = FindWindowW(nullptr, argv[1]);
    Nodo nodo = nullptr;
    if (!ventana || FAILED(nodoDeVentana(ventana, &nodo)) || !nodo) {
        std::fprintf(stderr, "ventana_uia: ninguna ventana «%s» con elemento\n", utf8(argv[1], int(wcslen(argv[1]))).c_str());
        return 1;
    }
    const std::string linea = "element " + propiedad(valor, nodo, kControlType) + "|" + propiedad(valor, nodo, kName) + "|"
                              + propiedad(valor, nodo, kAutomationId) + "|" + propiedad(valor, nodo, kHasKeyboardFocus)
                              + "|" + propiedad(valor, nodo, kIsDialog) + "\n";
    Condicion cierta{0};
    PeticionCache peticion{&cierta, 1, nullptr, 0, nullptr, 0, 0};
    void *suceso = nullptr;
    // A screen reader's own subscription, asked while it is open: are clients listening?
    const HRESULT alta = anadir(nodo, kFocusChanged, alSuceso, 1, nullptr, 0, &peticion, &suceso);
    const bool escucha = escuchando();
    if (SUCCEEDED(alta) && suceso)
        quitar(suceso);
    const bool notificaciones = GetProcAddress(nucleo, "UiaRaiseNotificationEvent") != nullptr;
    // CLSID_CUIAutomation and IID_IUIAutomation, as UI Automation's documentation gives them.
    const GUID claseCliente = {0xff48dba4, 0x60ef, 0x4201, {0xaa, 0x87, 0x54, 0x10, 0x3e, 0xef, 0x59, 0x4e}};
    const GUID interfazCliente = {0x30cbe57d, 0xd9d0, 0x452a, {0xab, 0x13, 0x7a, 0xc5, 0xac, 0x48, 0x25, 0xee}};
    IUnknown *cliente = nullptr;
    const HRESULT com = CoCreateInstance(claseCliente, nullptr, CLSCTX_INPROC_SERVER, interfazCliente,
                                         reinterpret_cast<void **>(&cliente));
    if (cliente)
        cliente->Release();
    soltar(nodo);

    FILE *salida = _wfopen(argv[2], L"wb");
    if (!salida) {
        std::fputs("ventana_uia: no se pudo abrir el archivo\n", stderr);
        return 1;
    }
    std::fputs(linea.c_str(), salida);
    std::fprintf(salida, "clients-listening %d\nadd-event 0x%08lx\nnotification-call %s\ncom-client 0x%08lx\n",
                 escucha ? 1 : 0, static_cast<unsigned long>(alta), notificaciones ? "present" : "missing",
                 static_cast<unsigned long>(com));
    return std::fclose(salida) == 0 ? 0 : 1;
}
