// Module1 on Linux, whatever its desktop: the command line as the locale encodes it, the
// terminal for its answers, the accessibility bus for the screen-reader question, the frame
// Qt knows.  The desktop's own part is module1_x11.cpp or module1_wayland.cpp.

#include "module1.h"
#include "module1_posix.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QMetaType>
#include <QWidget>

#include <cstdio>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace pindel {

namespace {

// The desktop says whether a screen reader runs through the accessibility bus launcher
// (org.a11y.Bus on the session bus), in the property org.a11y.Status.ScreenReaderEnabled
// that screen readers and the desktop's settings set.  A desktop without the launcher,
// without a session bus, or one too slow to answer, counts as "no".
bool preguntar(const QDBusConnection &bus)
{
    if (!bus.isConnected())
        return false;
    QDBusMessage pregunta = QDBusMessage::createMethodCall(
        QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    pregunta << QStringLiteral("org.a11y.Status") << QStringLiteral("ScreenReaderEnabled");
    // Where the launcher is not running no screen reader is either: starting it just to ask
    // would cost a process and the wait.
    pregunta.setAutoStartService(false);
    const QDBusMessage respuesta = bus.call(pregunta, QDBus::Block, kEsperaLectorMs);
    if (respuesta.type() != QDBusMessage::ReplyMessage || respuesta.arguments().size() != 1)
        return false;
    const QVariant valor = qvariant_cast<QDBusVariant>(respuesta.arguments().constFirst()).variant();
    return valor.typeId() == QMetaType::Bool && valor.toBool();
}

} // namespace

bool lectorDePantallaActivoEn(const QString &direccion)
{
    const QString nombre = QStringLiteral("pindel-lector");
    bool activo = false;
    {
        const QDBusConnection bus = QDBusConnection::connectToBus(direccion, nombre);
        activo = preguntar(bus);
    }
    QDBusConnection::disconnectFromBus(nombre);
    return activo;
}

bool compositorWaylandAlcanzable(const QByteArray &waylandSocket, const QByteArray &waylandDisplay,
                                 const QByteArray &xdgRuntimeDir)
{
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
}

namespace Module1 {

void markGameRunning() {}

QStringList commandLine(int argc, char **argv)
{
    QStringList palabras;
    for (int i = 0; i < argc; ++i)
        palabras << QString::fromLocal8Bit(argv[i]);
    return palabras;
}

bool showText(const QString &text, bool error)
{
    std::FILE *salida = error ? stderr : stdout;
    std::fputs(text.toLocal8Bit().constData(), salida);
    return std::fflush(salida) == 0;
}

bool screenReaderRunning()
{
    return preguntar(QDBusConnection::sessionBus());
}

QRect outerFrame(const QWidget *window)
{
    return window->frameGeometry();
}

QStringList olderProgramFolders()
{
    return {};
}

} // namespace Module1

} // namespace pindel
