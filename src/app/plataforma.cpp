#include "plataforma.h"

#include "module1.h"
#include "ordenes.h"

#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

namespace pindel {

bool elegirPlataforma(const Ordenes &ordenes)
{
    // The player's choice wins (Qt lets -platform win over QT_QPA_PLATFORM); an empty
    // QT_QPA_PLATFORM is no choice, for Qt as for us.
    if (!ordenes.plataforma.isEmpty() || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return true;
    const std::optional<QByteArray> plataforma = Module1::defaultPlatform(ordenes.pantallaX.toLocal8Bit());
    if (!plataforma)
        return false;
    if (!plataforma->isEmpty())
        qputenv("QT_QPA_PLATFORM", *plataforma);
    return true;
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
