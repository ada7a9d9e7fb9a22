#pragma once
// Real servers for the start-up tests, each started by the test and ended by it (by the
// process it started, never by name): a private X server (Xvfb), a headless Wayland
// compositor (weston), a private session bus (dbus-daemon) with or without the real
// accessibility bus launcher (at-spi-bus-launcher); the game itself is a Proceso (proceso.h).
// Every wait is bounded.

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>

#include "proceso.h"

#include <functional>
#include <memory>

namespace servidores {

inline bool esperar(const std::function<bool()> &condicion, int ms = 10000)
{
    QDeadlineTimer plazo(ms);
    while (!condicion()) {
        if (plazo.hasExpired())
            return false;
        QThread::msleep(20);
    }
    return true;
}

// Xvfb on a free display of its choosing.  -noreset: a server that resets when its last client
// leaves refuses connections for a moment, and every probe is a client that leaves.
class ServidorX {
public:
    bool arrancar()
    {
        if (!m_xvfb.arrancar(QStringLiteral("Xvfb"), {"-displayfd", "1", "-nolisten", "tcp", "-noreset",
                                                      "-screen", "0", "800x600x24"}))
            return false;
        const QByteArray numero = m_xvfb.primeraLinea();
        if (numero.isEmpty())
            return false;
        m_pantalla = ':' + numero;
        return true;
    }
    QByteArray pantalla() const { return m_pantalla; }

private:
    Proceso m_xvfb;
    QByteArray m_pantalla;
};

// weston with its headless back end, listening on "wayland-0" in a runtime directory of its
// own (mode 0700, as libwayland wants it).
class CompositorWayland {
public:
    bool arrancar()
    {
        if (!m_dir.isValid() || !QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
            return false;
        QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
        entorno.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.path());
        entorno.remove(QStringLiteral("WAYLAND_DISPLAY"));
        entorno.remove(QStringLiteral("DISPLAY"));
        if (!m_weston.arrancar(QStringLiteral("weston"),
                               {"--backend=headless-backend.so", "--socket=wayland-0", "--idle-time=0"},
                               entorno))
            return false;
        return esperar([this] { return QFileInfo(zocalo()).exists(); });
    }
    QString dirEjecucion() const { return m_dir.path(); }
    QString zocalo() const { return m_dir.filePath(QStringLiteral("wayland-0")); }

private:
    QTemporaryDir m_dir;
    Proceso m_weston;
};

// A session bus of the test's own (no service files: nothing starts by itself on it), and
// on demand the real accessibility bus launcher on it.
class BusPrivado {
public:
    BusPrivado() = default;
    BusPrivado(const BusPrivado &) = delete;
    BusPrivado &operator=(const BusPrivado &) = delete;
    ~BusPrivado() { QDBusConnection::disconnectFromBus(nombreConexion()); }

    bool arrancar()
    {
        QFile conf(m_dir.filePath(QStringLiteral("bus.conf")));
        if (!m_dir.isValid() || !conf.open(QIODevice::WriteOnly))
            return false;
        conf.write("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                   " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                   "<busconfig><type>session</type><listen>unix:dir=" + m_dir.path().toUtf8() + "</listen>\n"
                   "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                   "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy>\n"
                   "</busconfig>\n");
        conf.close();
        if (!m_demonio.arrancar(QStringLiteral("dbus-daemon"),
                                {"--config-file=" + conf.fileName(), "--nofork", "--print-address=1"}))
            return false;
        m_direccion = QString::fromUtf8(m_demonio.primeraLinea());
        return !m_direccion.isEmpty();
    }

    // at-spi-bus-launcher on this bus, its settings in memory and its own accessibility bus
    // under this test's runtime directory; waits until it owns org.a11y.Bus.
    bool arrancarLanzador()
    {
        QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
        entorno.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_direccion);
        entorno.insert(QStringLiteral("GSETTINGS_BACKEND"), QStringLiteral("memory"));
        entorno.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.path());
        entorno.remove(QStringLiteral("DISPLAY"));
        if (!m_lanzador.arrancar(QStringLiteral("/usr/libexec/at-spi-bus-launcher"), {}, entorno))
            return false;
        QDBusConnection bus = conexion();
        return esperar([&bus] { return bus.interface()->isServiceRegistered(QStringLiteral("org.a11y.Bus")).value(); });
    }

    // What a screen reader does when it starts: tells the launcher it runs.
    bool anunciarLector(bool activo)
    {
        QDBusMessage set = QDBusMessage::createMethodCall(
            QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Set"));
        set << QStringLiteral("org.a11y.Status") << QStringLiteral("ScreenReaderEnabled")
            << QVariant::fromValue(QDBusVariant(activo));
        return conexion().call(set, QDBus::Block, 5000).type() == QDBusMessage::ReplyMessage;
    }

    // The launcher stops answering (as a process stuck or swapped out would), and goes on.
    void detenerLanzador() { m_lanzador.detener(); }
    void continuarLanzador() { m_lanzador.continuar(); }

    QString direccion() const { return m_direccion; }

private:
    QString nombreConexion() const { return QStringLiteral("prueba-") + m_dir.path(); }
    QDBusConnection conexion() { return QDBusConnection::connectToBus(m_direccion, nombreConexion()); }

    QTemporaryDir m_dir;
    Proceso m_demonio;
    Proceso m_lanzador;
    QString m_direccion;
};

// The real program's environment with no window system at all and an empty runtime
// directory, so nothing of the machine's own desktop can be reached.
inline QProcessEnvironment entornoSinEscritorio(const QString &dirEjecucion)
{
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    for (const char *nombre : {"DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET", "QT_QPA_PLATFORM",
                               "DBUS_SESSION_BUS_ADDRESS", "PINDEL_TRACE"})
        entorno.remove(QLatin1String(nombre));
    entorno.insert(QStringLiteral("XDG_RUNTIME_DIR"), dirEjecucion);
    entorno.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    return entorno;
}

} // namespace servidores
