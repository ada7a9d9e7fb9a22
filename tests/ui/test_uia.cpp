// The keyboard game as Windows' UI Automation meets it: the real board in keyboard mode on
// Qt's Windows platform, its windows real windows on the desktop, and Qt's own UI Automation
// bridge between them and the system.  What a screen reader gets is read from the providers
// that bridge hands the system, and from the events it raises, the moment it raises them.
//
// The system's UI Automation core takes part through four calls, and here the test takes its
// place in the process for them: under Wine 8.0 the core cannot carry anything to a client
// (UiaClientsAreListening always answers no, so Qt raises nothing; the raise calls do nothing;
// UiaAddEvent answers E_NOTIMPL; UiaRaiseNotificationEvent does not exist).  The test answers
// WM_GETOBJECT's provider (UiaReturnRawElementProvider), says that a client listens, and keeps
// what the raise calls carry, reading each element's properties at once from Qt's real
// provider, as the core does for a client's cache.  Everything else is the program's and Qt's.
// Windows build only, under Wine on a private X display (tests/ui/CMakeLists.txt).

#include "dialogs.h"
#include "solucion_ganadora.h"
#include "tablero_de_prueba.h"
#include "carpeta_datos.h"

#include "accesibilidad.h"
#include "campoteclado.h"
#include "frmsolucion.h"
#include "fuentes.h"
#include "lifecycle.h"
#include "tablero.h"

#include <QLineEdit>
#include <QtTest>

#include <windows.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <QtGui/private/qwindowsuiawrapper_p.h>   // UI Automation's types, ids and provider interfaces

#include <cstring>

using pindel::CampoTeclado;
using pindel::Tablero;

namespace {

template <typename T>
using Com = Microsoft::WRL::ComPtr<T>;

// The interface `U` of what `p` holds; empty where it has none.
template <typename U, typename T>
Com<U> como(const Com<T> &p)
{
    Com<U> u;
    if (p)
        p.As(&u);
    return u;
}

using Elemento = Com<IRawElementProviderSimple>;

QString texto(IRawElementProviderSimple *p, PROPERTYID id)
{
    VARIANT v;
    VariantInit(&v);
    if (!p || FAILED(p->GetPropertyValue(id, &v)))
        return QStringLiteral("<error>");
    QString s = v.vt == VT_BSTR ? QString::fromWCharArray(v.bstrVal, int(SysStringLen(v.bstrVal))) : QString();
    VariantClear(&v);
    return s;
}

long entero(IRawElementProviderSimple *p, PROPERTYID id)
{
    VARIANT v;
    VariantInit(&v);
    if (!p || FAILED(p->GetPropertyValue(id, &v)) || v.vt != VT_I4)
        return -1;
    return v.lVal;
}

// UI Automation's control types by the names its documentation gives them.
QString tipo(IRawElementProviderSimple *p)
{
    switch (entero(p, UIA_ControlTypePropertyId)) {
    case UIA_WindowControlTypeId: return QStringLiteral("Window");
    case UIA_TableControlTypeId: return QStringLiteral("Table");
    case UIA_DataItemControlTypeId: return QStringLiteral("DataItem");
    case UIA_TextControlTypeId: return QStringLiteral("Text");
    case UIA_EditControlTypeId: return QStringLiteral("Edit");
    case UIA_CustomControlTypeId: return QStringLiteral("Custom");
    default: return QString::number(entero(p, UIA_ControlTypePropertyId));
    }
}

Elemento navegar(IRawElementProviderSimple *p, NavigateDirection hacia)
{
    Com<IRawElementProviderFragment> fragmento;
    if (p)
        p->QueryInterface(__uuidof(IRawElementProviderFragment), reinterpret_cast<void **>(fragmento.ReleaseAndGetAddressOf()));
    Com<IRawElementProviderFragment> otro;
    if (!fragmento || FAILED(fragmento->Navigate(hacia, otro.ReleaseAndGetAddressOf())))
        return {};
    return como<IRawElementProviderSimple>(otro);
}

// The window an element belongs to: its last ancestor.
QString ventanaDe(IRawElementProviderSimple *p)
{
    Elemento actual(p);
    for (Elemento arriba = navegar(actual.Get(), NavigateDirection_Parent); arriba;
         arriba = navegar(actual.Get(), NavigateDirection_Parent))
        actual = std::move(arriba);
    return texto(actual.Get(), UIA_NamePropertyId);
}

// The element of `raiz`'s tree whose automation id (Qt's: the object names, outermost first,
// joined by dots) is `id`, searched depth first as a client walks the tree.
Elemento buscar(IRawElementProviderSimple *raiz, const QString &id)
{
    for (Elemento hijo = navegar(raiz, NavigateDirection_FirstChild); hijo;
         hijo = navegar(hijo.Get(), NavigateDirection_NextSibling)) {
        if (texto(hijo.Get(), UIA_AutomationIdPropertyId) == id)
            return hijo;
        if (Elemento dentro = buscar(hijo.Get(), id))
            return dentro;
    }
    return {};
}

bool mismoElemento(IUnknown *a, IUnknown *b)
{
    Com<IUnknown> ua, ub;
    return a && b && SUCCEEDED(a->QueryInterface(IID_IUnknown, reinterpret_cast<void **>(ua.ReleaseAndGetAddressOf())))
           && SUCCEEDED(b->QueryInterface(IID_IUnknown, reinterpret_cast<void **>(ub.ReleaseAndGetAddressOf()))) && ua.Get() == ub.Get();
}

// --- the UI Automation core's side of Qt's calls ------------------------------------------

const char *const kTituloTablero = " Pindel.  Maberto.";

struct Nucleo {
    QStringList oido;      // what a client would be told, in order
    QStringList vias;      // how each message came: "notificación" or "valor"
    IRawElementProviderSimple *raiz = nullptr;   // the last window provider handed out

    void suceso(IRawElementProviderSimple *p, EVENTID id)
    {
        const QString nombre = texto(p, UIA_NamePropertyId);
        if (id == UIA_AutomationFocusChangedEventId) {
            const QString ventana = ventanaDe(p);
            oido << QStringLiteral("foco: %1 %2").arg(tipo(p), nombre)
                        + (ventana == QLatin1String(kTituloTablero) ? QString() : QStringLiteral(" ← ") + ventana);
        } else if (id == UIA_Window_WindowOpenedEventId) {
            oido << QStringLiteral("ventana: ") + nombre;
        } else {
            oido << QStringLiteral("suceso %1: %2").arg(id).arg(nombre);
        }
    }
    void aviso(IRawElementProviderSimple *p, const QString &via, const QString &mensaje)
    {
        oido << QStringLiteral("aviso (%1 %2): %3").arg(tipo(p), texto(p, UIA_AutomationIdPropertyId), mensaje);
        vias << via;
    }
};

Nucleo g_nucleo;

LRESULT WINAPI devolverProveedor(HWND, WPARAM, LPARAM, IRawElementProviderSimple *proveedor)
{
    if (proveedor) {
        proveedor->AddRef();
        if (g_nucleo.raiz)
            g_nucleo.raiz->Release();
        g_nucleo.raiz = proveedor;
    }
    return 0;
}

BOOL WINAPI clientesEscuchando() { return TRUE; }

HRESULT WINAPI suceso(IRawElementProviderSimple *p, EVENTID id)
{
    g_nucleo.suceso(p, id);
    return S_OK;
}

HRESULT WINAPI cambioDePropiedad(IRawElementProviderSimple *p, PROPERTYID id, VARIANT, VARIANT nuevo)
{
    if (id == UIA_ValueValuePropertyId && nuevo.vt == VT_BSTR)
        g_nucleo.aviso(p, QStringLiteral("valor"), QString::fromWCharArray(nuevo.bstrVal, int(SysStringLen(nuevo.bstrVal))));
    else
        g_nucleo.oido << QStringLiteral("propiedad %1 de %2").arg(id).arg(texto(p, UIA_NamePropertyId));
    return S_OK;
}

HRESULT WINAPI notificacion(IRawElementProviderSimple *p, NotificationKind, NotificationProcessing, BSTR mensaje, BSTR)
{
    g_nucleo.aviso(p, QStringLiteral("notificación"), QString::fromWCharArray(mensaje, int(SysStringLen(mensaje))));
    return S_OK;
}

// Sends every call of `nombre` in `modulo` to `destino`: a jump written over the function's
// first twelve bytes (x86-64: mov rax, destino; jmp rax).  False when the module has no such
// function.
bool desviar(HMODULE modulo, const char *nombre, const void *destino)
{
    auto *funcion = reinterpret_cast<unsigned char *>(GetProcAddress(modulo, nombre));
    if (!funcion)
        return false;
    unsigned char salto[12] = {0x48, 0xB8, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xE0};
    const auto direccion = reinterpret_cast<quintptr>(destino);
    std::memcpy(salto + 2, &direccion, sizeof direccion);
    DWORD antes = 0;
    if (!VirtualProtect(funcion, sizeof salto, PAGE_EXECUTE_READWRITE, &antes))
        return false;
    std::memcpy(funcion, salto, sizeof salto);
    VirtualProtect(funcion, sizeof salto, antes, &antes);
    FlushInstructionCache(GetCurrentProcess(), funcion, sizeof salto);
    return true;
}

// "fila,columna" of a hole, counted from 1.
QString lugar(int index)
{
    const pindel::Hole &h = pindel::holes()[index];
    return QStringLiteral("%1,%2").arg(h.row + 1).arg(h.column + 1);
}

} // namespace

class TestUia : public QObject, public TableroDePrueba {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void elements_data();
    void elements();
    void grid_data();
    void grid();
    void heard_data();
    void heard();
    void invokedToTheWin();

private:
    void abrir();
    void pulsar(const QString &teclas);
    IRawElementProviderSimple *raiz(QWidget *ventana);
    CampoTeclado *campo() const { return m_tablero->findChild<CampoTeclado *>(); }
};

void TestUia::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("windows"));
    wchar_t sistema[MAX_PATH];
    const UINT largo = GetSystemDirectoryW(sistema, MAX_PATH);
    QVERIFY(largo > 0 && largo < MAX_PATH);
    const std::wstring ruta = std::wstring(sistema, largo) + L"\\UIAutomationCore.dll";
    HMODULE nucleo = LoadLibraryW(ruta.c_str());
    QVERIFY2(nucleo, "no UI Automation core");
    QVERIFY(desviar(nucleo, "UiaReturnRawElementProvider", reinterpret_cast<const void *>(&devolverProveedor)));
    QVERIFY(desviar(nucleo, "UiaClientsAreListening", reinterpret_cast<const void *>(&clientesEscuchando)));
    QVERIFY(desviar(nucleo, "UiaRaiseAutomationEvent", reinterpret_cast<const void *>(&suceso)));
    QVERIFY(desviar(nucleo, "UiaRaiseAutomationPropertyChangedEvent", reinterpret_cast<const void *>(&cambioDePropiedad)));
    // Windows 10 1709 and later have it; Wine 8.0 has not, and Qt then changes the Value.
    const bool conNotificaciones =
        desviar(nucleo, "UiaRaiseNotificationEvent", reinterpret_cast<const void *>(&notificacion));
    qInfo("UiaRaiseNotificationEvent: %s", conNotificaciones ? "there" : "missing");
    iniciarPrograma();
    // A screen reader is there before the board: it has asked for a window already (the one
    // the player came from), which turns Qt's accessibility on for the rest of the run.
    QWidget anterior;
    anterior.setWindowTitle(QStringLiteral("Antes"));
    anterior.resize(80, 60);
    anterior.show();
    QVERIFY(QTest::qWaitForWindowExposed(&anterior));
    QVERIFY(raiz(&anterior));
}

void TestUia::init()
{
    QVERIFY(prepararPrueba());
    g_nucleo.oido.clear();
    g_nucleo.vias.clear();
}

void TestUia::cleanup()
{
    limpiarPrueba();
    if (g_nucleo.raiz) {
        g_nucleo.raiz->Release();
        g_nucleo.raiz = nullptr;
    }
}

// The provider of a window, as a client's first request gets it.
IRawElementProviderSimple *TestUia::raiz(QWidget *ventana)
{
    if (g_nucleo.raiz) {
        g_nucleo.raiz->Release();
        g_nucleo.raiz = nullptr;
    }
    SendMessageW(reinterpret_cast<HWND>(ventana->winId()), WM_GETOBJECT, 0, LPARAM(UiaRootObjectId));
    return g_nucleo.raiz;
}

// The board as the program opens it: made, described, shown and active.
void TestUia::abrir()
{
    pindel::describirControles(&hacerTablero(true));
    pindel::Lifecycle::show(*m_tablero);
    m_tablero->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_tablero.get()));
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(campo()));
    QCoreApplication::processEvents();
}

// The keys of a table's letters (pulsarTeclaDePrueba); the drops the keys queue are run before
// it returns.
void TestUia::pulsar(const QString &teclas)
{
    for (const QChar c : teclas)
        QVERIFY2(pulsarTeclaDePrueba(c), "no widget has the focus, or a letter of the table is no key");
    QCoreApplication::processEvents();
}

void TestUia::elements_data()
{
    QTest::addColumn<QString>("teclas");
    QTest::addColumn<QString>("id");     // the automation id; empty: the window itself
    QTest::addColumn<QString>("tipo");
    QTest::addColumn<QString>("nombre");

    QTest::newRow("the window") << "" << "" << "Window" << kTituloTablero;
    QTest::newRow("the field is a table") << "" << "Tablero.CampoTeclado" << "Table" << "Huecos del tablero";
    QTest::newRow("remaining discs") << "" << "Tablero.LblResto" << "Text" << "Resto: 32";
    QTest::newRow("moves made") << "" << "Tablero.LblMarcador" << "Text" << "Jugadas: 0";
    QTest::newRow("remaining after a move") << "LL_RR_" << "Tablero.LblResto" << "Text" << "Resto: 31";
    QTest::newRow("moves after a move") << "LL_RR_" << "Tablero.LblMarcador" << "Text" << "Jugadas: 1";
    QTest::newRow("no notification before the first message") << "L" << "Tablero.AvisoTeclado" << "" << "";
    QTest::newRow("the notification keeps the last message")
        << "L_R_" << "Tablero.AvisoTeclado" << "Custom" << "Movimiento no válido";
}

void TestUia::elements()
{
    QFETCH(QString, teclas);
    QFETCH(QString, id);
    QFETCH(QString, tipo);
    QFETCH(QString, nombre);

    abrir();
    pulsar(teclas);
    IRawElementProviderSimple *ventana = raiz(m_tablero.get());
    QVERIFY(ventana);
    Elemento elemento(ventana);
    if (!id.isEmpty())
        elemento = buscar(ventana, id);
    if (tipo.isEmpty()) {
        QVERIFY2(!elemento, "a hidden element in the tree");
        return;
    }
    QVERIFY(elemento);
    QCOMPARE(::tipo(elemento.Get()), tipo);
    QCOMPARE(texto(elemento.Get(), UIA_NamePropertyId), nombre);
    if (id == QLatin1String("Tablero.AvisoTeclado")) {
        // Its Value pattern holds the message too, which is what a Value change announces.
        Com<IUnknown> patron;
        QVERIFY(SUCCEEDED(elemento->GetPatternProvider(UIA_ValuePatternId, patron.ReleaseAndGetAddressOf())) && patron);
        auto valor = como<IValueProvider>(patron);
        QVERIFY(valor);
        BSTR b = nullptr;
        QVERIFY(SUCCEEDED(valor->get_Value(&b)));
        QCOMPARE(QString::fromWCharArray(b, int(SysStringLen(b))), nombre);
        SysFreeString(b);
    }
}

void TestUia::grid_data()
{
    QTest::addColumn<int>("fila");        // counted from 0, as UI Automation counts
    QTest::addColumn<int>("columna");
    QTest::addColumn<QString>("nombre");  // empty: no item there

    QTest::newRow("centre") << 3 << 3 << "Fila 4, columna 4, vacío";
    QTest::newRow("top of the top arm") << 0 << 2 << "Fila 1, columna 3, con Cd-rom";
    QTest::newRow("end of the right arm") << 3 << 6 << "Fila 4, columna 7, con Cd-rom";
    QTest::newRow("bottom right hole") << 6 << 4 << "Fila 7, columna 5, con Cd-rom";
    QTest::newRow("a corner off the cross") << 0 << 0 << "";
    QTest::newRow("another corner") << 5 << 6 << "";
}

void TestUia::grid()
{
    QFETCH(int, fila);
    QFETCH(int, columna);
    QFETCH(QString, nombre);

    abrir();
    IRawElementProviderSimple *ventana = raiz(m_tablero.get());
    QVERIFY(ventana);
    Elemento tabla = buscar(ventana, QStringLiteral("Tablero.CampoTeclado"));
    QVERIFY(tabla);
    Com<IUnknown> patron;
    QVERIFY(SUCCEEDED(tabla->GetPatternProvider(UIA_GridPatternId, patron.ReleaseAndGetAddressOf())) && patron);
    auto rejilla = como<IGridProvider>(patron);
    QVERIFY(rejilla);
    int filas = 0, columnas = 0;
    QVERIFY(SUCCEEDED(rejilla->get_RowCount(&filas)) && SUCCEEDED(rejilla->get_ColumnCount(&columnas)));
    QCOMPARE(filas, 7);
    QCOMPARE(columnas, 7);

    Elemento celda;
    QVERIFY(SUCCEEDED(rejilla->GetItem(fila, columna, celda.ReleaseAndGetAddressOf())));
    if (nombre.isEmpty()) {
        QVERIFY(!celda);
        return;
    }
    QVERIFY(celda);
    QCOMPARE(tipo(celda.Get()), QStringLiteral("DataItem"));
    QCOMPARE(texto(celda.Get(), UIA_NamePropertyId), nombre);
    Com<IUnknown> item;
    QVERIFY(SUCCEEDED(celda->GetPatternProvider(UIA_GridItemPatternId, item.ReleaseAndGetAddressOf())) && item);
    auto enRejilla = como<IGridItemProvider>(item);
    QVERIFY(enRejilla);
    int f = -1, c = -1;
    QVERIFY(SUCCEEDED(enRejilla->get_Row(&f)) && SUCCEEDED(enRejilla->get_Column(&c)));
    QCOMPARE(f, fila);
    QCOMPARE(c, columna);
    Elemento contenedora;
    QVERIFY(SUCCEEDED(enRejilla->get_ContainingGrid(contenedora.ReleaseAndGetAddressOf())));
    QVERIFY(mismoElemento(contenedora.Get(), tabla.Get()));
    // The reader's table navigation asks for the focus on the cell it reaches: the game's
    // cursor goes there, and the reader is told so.
    Com<IRawElementProviderFragment> fragmento = como<IRawElementProviderFragment>(celda);
    QVERIFY(fragmento);
    g_nucleo.oido.clear();
    QVERIFY(SUCCEEDED(fragmento->SetFocus()));
    QCoreApplication::processEvents();
    QCOMPARE(lugar(campo()->cursor()), QStringLiteral("%1,%2").arg(fila + 1).arg(columna + 1));
    if (fila != 3 || columna != 3)
        QCOMPARE(g_nucleo.oido.join(QLatin1String(" | ")), QStringLiteral("foco: DataItem ") + nombre);
}

void TestUia::heard_data()
{
    QTest::addColumn<QString>("teclas");
    QTest::addColumn<QStringList>("oido");

    const QString aviso = QStringLiteral("aviso (Custom Tablero.AvisoTeclado): ");
    QTest::newRow("a step") << "L" << QStringList{"foco: DataItem Fila 4, columna 3, con Cd-rom"};
    QTest::newRow("take and put back")
        << "L_X" << QStringList{"foco: DataItem Fila 4, columna 3, con Cd-rom", aviso + "Cd-rom tomado",
                                aviso + "Cd-rom devuelto a su hueco"};
    QTest::newRow("a move") << "LL_RR_"
                            << QStringList{"foco: DataItem Fila 4, columna 3, con Cd-rom",
                                           "foco: DataItem Fila 4, columna 2, con Cd-rom", aviso + "Cd-rom tomado",
                                           "foco: DataItem Fila 4, columna 3, con Cd-rom",
                                           "foco: DataItem Fila 4, columna 4, vacío",
                                           aviso + "Movimiento hecho. Jugadas: 1, Resto: 31"};
    QTest::newRow("a refused drop") << "L_R_"
                                    << QStringList{"foco: DataItem Fila 4, columna 3, con Cd-rom",
                                                   aviso + "Cd-rom tomado", "foco: DataItem Fila 4, columna 4, vacío",
                                                   aviso + "Movimiento no válido"};
}

void TestUia::heard()
{
    QFETCH(QString, teclas);
    QFETCH(QStringList, oido);

    // The board opening: its window, then the hole under the cursor.
    abrir();
    QVERIFY2(g_nucleo.oido.contains(QStringLiteral("ventana: ") + kTituloTablero),
             qPrintable(g_nucleo.oido.join(QLatin1String(" | "))));
    QCOMPARE(g_nucleo.oido.last(), QStringLiteral("foco: DataItem Fila 4, columna 4, vacío"));
    g_nucleo.oido.clear();
    g_nucleo.vias.clear();

    pulsar(teclas);
    QCOMPARE(g_nucleo.oido.join(QLatin1String(" | ")), oido.join(QLatin1String(" | ")));
    const QString via = GetProcAddress(GetModuleHandleW(L"UIAutomationCore.dll"), "UiaRaiseNotificationEvent")
                            ? QStringLiteral("notificación") : QStringLiteral("valor");
    for (const QString &v : std::as_const(g_nucleo.vias))
        QCOMPARE(v, via);
}

void TestUia::invokedToTheWin()
{
    // The whole winning line, each hole pressed through UI Automation's Invoke pattern (a
    // reader's "activate"); what the last move raises is the name box, named, with the
    // focus in it; the name typed there gives a new board, its centre heard again.
    abrir();
    DialogScript dialogs;
    QStringList alPreguntar;   // what the reader had been told once the box had the focus
    dialogs.then([&alPreguntar](QWidget *w) {
        auto *caja = qobject_cast<QInputDialog *>(w);
        QVERIFY2(caja, "expected the name box");
        if (QTest::qWaitFor([caja] { return caja->isActiveWindow() && qobject_cast<QLineEdit *>(QApplication::focusWidget()); },
                            5000)) {
            QCoreApplication::processEvents();
            alPreguntar = g_nucleo.oido;
        }
        caja->setTextValue(QStringLiteral("Lector"));
        caja->accept();
    });
    IRawElementProviderSimple *ventana = raiz(m_tablero.get());
    QVERIFY(ventana);
    Elemento tabla = buscar(ventana, QStringLiteral("Tablero.CampoTeclado"));
    QVERIFY(tabla);
    Com<IUnknown> patron;
    QVERIFY(SUCCEEDED(tabla->GetPatternProvider(UIA_GridPatternId, patron.ReleaseAndGetAddressOf())));
    auto rejilla = como<IGridProvider>(patron);
    QVERIFY(rejilla);
    auto invocar = [&](int hueco) {
        const pindel::Hole &h = pindel::holes()[hueco];
        Elemento celda;
        if (FAILED(rejilla->GetItem(h.row, h.column, celda.ReleaseAndGetAddressOf())) || !celda)
            return false;
        Com<IUnknown> p;
        if (FAILED(celda->GetPatternProvider(UIA_InvokePatternId, p.ReleaseAndGetAddressOf())) || !p)
            return false;
        auto invoke = como<IInvokeProvider>(p);
        return invoke && SUCCEEDED(invoke->Invoke());
    };
    const int jugadas = int(solucion::movimientos().size());
    for (int i = 0; i < jugadas; ++i) {
        const solucion::Salto &s = solucion::movimientos()[i];
        if (i == jugadas - 1)
            g_nucleo.oido.clear();
        QVERIFY(invocar(solucion::hueco(s.desde)));
        QCoreApplication::processEvents();
        QVERIFY(invocar(solucion::hueco(s.a)));
        QCoreApplication::processEvents();
    }
    QTRY_COMPARE_WITH_TIMEOUT(dialogs.answered(), 1, 10000);
    QCOMPARE(dialogs.titles, QStringList{"Lo ha conseguido"});
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(campo()));
    QCoreApplication::processEvents();
    qInfo() << alPreguntar;
    QVERIFY2(!alPreguntar.isEmpty(), "the name box was never active with the focus in its text box");
    QCOMPARE(alPreguntar.last(),
             QStringLiteral("foco: Edit Ha conseguido dejar una sola imagen en el centro en tan solo 31 intentos,  "
                            "¡¡Enhorabuena!!.  SEA TAN AMABLE DE INTRODUCIR SU NOMBRE ← Lo ha conseguido"));
    QCOMPARE(g_nucleo.oido.last(), QStringLiteral("foco: DataItem Fila 4, columna 4, vacío"));
}

QTEST_MAIN(TestUia)
#include "test_uia.moc"
