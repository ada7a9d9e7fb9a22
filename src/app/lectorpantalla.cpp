#include "lectorpantalla.h"

#if defined(Q_OS_WIN)
#include "escritorio_windows.h"
#endif

#if PINDEL_HAVE_ATSPI
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QMetaType>
#endif

namespace pindel {

#if PINDEL_HAVE_ATSPI

namespace {

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

bool lectorDePantallaActivo()
{
    return preguntar(QDBusConnection::sessionBus());
}

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

#else

bool lectorDePantallaActivo()
{
#if defined(Q_OS_WIN)
    return escritorio::hayLectorDePantalla();
#else
    return false;
#endif
}

bool lectorDePantallaActivoEn(const QString &) { return false; }

#endif

} // namespace pindel
