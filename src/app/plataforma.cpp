#include "plataforma.h"

#include "ordenes.h"

#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN) && !defined(Q_OS_ANDROID)
#define PINDEL_ELIGE_PLATAFORMA 1
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#if PINDEL_HAVE_XCB
#include <xcb/xcb.h>
#endif
#else
#define PINDEL_ELIGE_PLATAFORMA 0
#endif

namespace pindel {

bool servidorXAlcanzable(const QByteArray &pantalla)
{
#if PINDEL_ELIGE_PLATAFORMA && PINDEL_HAVE_XCB
    if (pantalla.isEmpty())
        return false;
    xcb_connection_t *conexion = xcb_connect(pantalla.constData(), nullptr);
    const bool alcanzable = xcb_connection_has_error(conexion) == 0;
    xcb_disconnect(conexion);
    return alcanzable;
#else
    Q_UNUSED(pantalla);
    return false;
#endif
}

bool compositorWaylandAlcanzable(const QByteArray &waylandSocket, const QByteArray &waylandDisplay,
                                 const QByteArray &xdgRuntimeDir)
{
#if PINDEL_ELIGE_PLATAFORMA
    if (!waylandSocket.isEmpty())
        return true;
    const QByteArray nombre = waylandDisplay.isEmpty() ? QByteArrayLiteral("wayland-0") : waylandDisplay;
    QByteArray ruta;
    if (nombre.startsWith('/'))
        ruta = nombre;
    else if (!xdgRuntimeDir.isEmpty())
        ruta = xdgRuntimeDir + '/' + nombre;
    else
        return false;

    sockaddr_un direccion{};
    direccion.sun_family = AF_UNIX;
    if (ruta.size() >= static_cast<qsizetype>(sizeof direccion.sun_path))
        return false;
    qstrncpy(direccion.sun_path, ruta.constData(), sizeof direccion.sun_path);
    const int zocalo = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (zocalo < 0)
        return false;
    const bool alcanzable =
        ::connect(zocalo, reinterpret_cast<const sockaddr *>(&direccion), sizeof direccion) == 0;
    ::close(zocalo);
    return alcanzable;
#else
    Q_UNUSED(waylandSocket);
    Q_UNUSED(waylandDisplay);
    Q_UNUSED(xdgRuntimeDir);
    return false;
#endif
}

bool elegirPlataforma(const Ordenes &ordenes)
{
#if PINDEL_ELIGE_PLATAFORMA
    // The user's choice wins (Qt lets -platform win over QT_QPA_PLATFORM); an empty
    // QT_QPA_PLATFORM is no choice, for Qt as for us.
    if (!ordenes.plataforma.isEmpty() || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return true;
    // Qt's default would follow XDG_SESSION_TYPE, which on a Wayland session makes the
    // program a native Wayland client even where XWayland could give it its whole design.
    // Qt's X11 platform reads -display before DISPLAY.
    const QByteArray pantallaX =
        ordenes.pantallaX.isEmpty() ? qgetenv("DISPLAY") : ordenes.pantallaX.toLocal8Bit();
    if (servidorXAlcanzable(pantallaX)) {
        qputenv("QT_QPA_PLATFORM", "xcb");
        return true;
    }
    if (compositorWaylandAlcanzable(qgetenv("WAYLAND_SOCKET"), qgetenv("WAYLAND_DISPLAY"),
                                    qgetenv("XDG_RUNTIME_DIR"))) {
        qputenv("QT_QPA_PLATFORM", "wayland");
        return true;
    }
    return false;
#else
    Q_UNUSED(ordenes);
    return true;
#endif
}

QString textoSinPantalla()
{
    return QStringLiteral(
        "pindel: no hay ninguna pantalla gráfica a la que conectarse (se han mirado DISPLAY y "
        "WAYLAND_DISPLAY); inicie el juego desde una sesión gráfica de escritorio.\n");
}

namespace {

QtMessageHandler g_manejadorAnterior = nullptr;

void manejadorDeArranque(QtMsgType tipo, const QMessageLogContext &contexto, const QString &mensaje)
{
    if (g_manejadorAnterior)
        g_manejadorAnterior(tipo, contexto, mensaje);
    if (tipo == QtFatalMsg) {
        // Qt would abort right after this; its message is out, the reason is in it.
        std::fflush(stderr);
        std::_Exit(1);
    }
}

} // namespace

void salirSinAbortoAlArrancar()
{
    g_manejadorAnterior = qInstallMessageHandler(manejadorDeArranque);
}

void dejarDeVigilarElArranque()
{
    qInstallMessageHandler(g_manejadorAnterior);
    g_manejadorAnterior = nullptr;
}

} // namespace pindel
