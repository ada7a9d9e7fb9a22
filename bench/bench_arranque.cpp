// What the start-up asks before the first window: whether an X server answers (a connect and
// close through xcb, against a real Xvfb), whether a Wayland socket does, and whether a
// screen reader runs (a private session bus with the real accessibility bus launcher: one
// that answers, none at all, and one that does not answer).

#include "bench.h"

#include "module1_posix.h"
#include "plataforma.h"
#include "servidores.h"

#include <cstdio>

PINDEL_BENCH("start-up checks")
{
    servidores::ServidorX x;
    if (x.arrancar()) {
        const QByteArray pantalla = x.pantalla();
        const double alcanzable = bench::medianMicros(51, [&] { pindel::servidorXAlcanzable(pantalla); });
        bench::report(QStringLiteral("X server probe, server answers"), alcanzable / 1000.0, "ms");
    } else {
        std::printf("(Xvfb did not start: no X probe figure)\n");
    }
    const double sinX = bench::medianMicros(51, [] { pindel::servidorXAlcanzable(":1987"); });
    bench::report(QStringLiteral("X server probe, nobody serves the display"), sinX / 1000.0, "ms");
    const double sinWayland = bench::medianMicros(
        51, [] { pindel::compositorWaylandAlcanzable({}, "wayland-9", "/nonexistent"); });
    bench::report(QStringLiteral("Wayland socket probe, nobody listens"), sinWayland / 1000.0, "ms");

    QTemporaryDir vacio;
    const QString nadie = QStringLiteral("unix:path=") + vacio.filePath(QStringLiteral("nadie"));
    const double sinBus = bench::medianMicros(21, [&] { pindel::lectorDePantallaActivoEn(nadie); });
    bench::report(QStringLiteral("screen-reader question, no session bus"), sinBus / 1000.0, "ms",
                  QStringLiteral("< 100 ms"));

    servidores::BusPrivado bus;
    if (!bus.arrancar() || !bus.arrancarLanzador() || !bus.anunciarLector(true)) {
        std::printf("(the private bus or the accessibility launcher did not start: no figure)\n");
        return;
    }
    const QString direccion = bus.direccion();
    bool activo = false;
    const double responde = bench::medianMicros(21, [&] { activo = pindel::lectorDePantallaActivoEn(direccion); });
    bench::report(QStringLiteral("screen-reader question, the launcher answers%1").arg(activo ? "" : " (WRONG: no)"),
                  responde / 1000.0, "ms", QStringLiteral("< 5 ms, connection included"));
    bus.detenerLanzador();
    const double noResponde = bench::medianMicros(5, [&] { pindel::lectorDePantallaActivoEn(direccion); });
    bus.continuarLanzador();
    bench::report(QStringLiteral("screen-reader question, the launcher does not answer"), noResponde / 1000.0, "ms",
                  QStringLiteral("< 100 ms"));
}
