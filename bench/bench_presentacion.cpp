// The presentation window's advert, tick by tick: what one tick costs while the full advert
// is held (no drawing), and a letter tick with the drawing it causes.  Twenty ticks a second
// run for as long as the window lives, so these set its idle load.

#include "bench.h"

#include "forpresentacion.h"
#include "frmsolucion.h"
#include "fuentes.h"
#include "lifecycle.h"
#include "tablero.h"

#include <QCoreApplication>
#include <QTimer>

PINDEL_BENCH("presentation advert")
{
    using namespace pindel;
    instalarFuentes();
    LazyWindow solucion([] { return std::make_unique<FrmSolucion>(); });
    LazyWindow tablero([&] { return std::make_unique<Tablero>(solucion); });
    ForPresentacion presentacion(tablero);
    Lifecycle::show(presentacion);
    QCoreApplication::processEvents();
    auto *timer2 = presentacion.findChild<QTimer *>(QStringLiteral("Timer2"));

    // Typing: every second tick adds a letter; the drawing runs when events are processed.
    const double typing = bench::medianMicros(200, [&] {
        presentacion.Timer2_Timer();
        presentacion.Timer2_Timer();
        QCoreApplication::processEvents();
    });
    while (presentacion.AumentaPublicidad() < presentacion.Publicidad())
        presentacion.Timer2_Timer();
    QCoreApplication::processEvents();
    const double holding = bench::medianMicros(60, [&] {
        presentacion.Timer2_Timer();
        QCoreApplication::processEvents();
    });
    timer2->stop();
    bench::report(QStringLiteral("advert: two ticks and one letter drawn"), typing, QStringLiteral("us"));
    bench::report(QStringLiteral("advert: one tick holding the full text"), holding, QStringLiteral("us"));
    // Twenty ticks a second: the typing phase's share of one core.
    bench::report(QStringLiteral("advert: typing load (10 letters/s)"), typing * 10 / 1e4,
                  QStringLiteral("% of a core"), QStringLiteral("<= 1 %"));
    Lifecycle::close(presentacion);
}
