// The board window's own costs: setting up a game, one drop through the drop handler, and a
// key of keyboard play to the repaint it causes.

#include "bench.h"

#include "frmsolucion.h"
#include "lifecycle.h"
#include "tablero.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QStandardPaths>
#include <QTest>

#include <cstdio>

namespace {

void writeTenNames()
{
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/pindel";
    QDir().mkpath(dir);
    QFile file(dir + "/001MpTa.cms");
    if (file.open(QIODevice::WriteOnly))
        for (int i = 0; i < 10; ++i)
            file.write("Jugador " + QByteArray::number(i) + "\r\n");
}

} // namespace

PINDEL_BENCH("board window")
{
    writeTenNames();
    pindel::LazyWindow solucion([] { return std::make_unique<pindel::FrmSolucion>(); });
    pindel::Tablero tablero(solucion);
    pindel::Lifecycle::show(tablero);

    const double setUp = bench::medianMicros(201, [&] {
        tablero.resetToDesign();
        tablero.load();
    });
    bench::report("set-up: controls as designed + load handler (10 names)", setUp / 1000.0, "ms", "<= 2 ms");

    // Each timed drop starts from a fresh start position, set up outside the timing.
    std::vector<double> legal, refused;
    for (int i = 0; i < 2001; ++i) {
        tablero.resetToDesign();
        tablero.load();
        // From the start position 26 is next to the empty centre: a peg dropped one cell
        // away, refused after the four tests, with the labels rewritten and the judgement run.
        refused.push_back(bench::medianMicros(1, [&] { tablero.Image1_DragDrop(0, 26); }));
        legal.push_back(bench::medianMicros(1, [&] { tablero.Image1_DragDrop(0, 23); }));
        if (tablero.board().movimientos() != 1) {
            std::printf("board window: the timed drops did not play as expected\n");
            return;
        }
    }
    std::sort(legal.begin(), legal.end());
    std::sort(refused.begin(), refused.end());
    bench::report("one drop, legal jump (handler + labels + judgement)", legal[legal.size() / 2], "us", "<= 20 us");
    bench::report("one drop, refused (labels rewritten + judgement)", refused[refused.size() / 2], "us", "<= 20 us");
    pindel::Lifecycle::close(tablero);
}

namespace {

// Notes when the watched widget has been painted.
class Pintado : public QObject {
public:
    bool pintado = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            pintado = true;
        return false;
    }
};

} // namespace

PINDEL_BENCH("keyboard play")
{
    pindel::LazyWindow solucion([] { return std::make_unique<pindel::FrmSolucion>(); });
    pindel::Tablero tablero(solucion, true);
    pindel::Lifecycle::show(tablero);
    const bool expuesta = QTest::qWaitForWindowExposed(&tablero);
    tablero.activateWindow();
    const bool activa = QTest::qWaitForWindowActive(&tablero);
    QWidget *campo = tablero.findChild<QWidget *>(QStringLiteral("CampoTeclado"));
    if (!expuesta || !activa || !campo || !campo->hasFocus()) {
        std::printf("keyboard play: the field has no focus\n");
        return;
    }
    Pintado pintado;
    campo->installEventFilter(&pintado);

    // From the press being delivered to the field until its repaint has been done: the
    // cursor walks left and right along the middle row.
    std::vector<double> tiempos;
    for (int i = 0; i < 400; ++i) {
        const Qt::Key key = (i / 6) % 2 ? Qt::Key_Right : Qt::Key_Left;
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        pintado.pintado = false;
        QElapsedTimer timer;
        timer.start();
        QApplication::sendEvent(campo, &press);
        while (!pintado.pintado && timer.elapsed() < 1000)
            QCoreApplication::processEvents();
        tiempos.push_back(timer.nsecsElapsed() / 1e6);
        QApplication::sendEvent(campo, &release);
    }
    std::sort(tiempos.begin(), tiempos.end());
    bench::report("key press to the cursor's repaint, median", tiempos[tiempos.size() / 2], "ms", "< 16 ms");
    bench::report("key press to the cursor's repaint, 95th percentile", tiempos[tiempos.size() * 95 / 100], "ms",
                  "< 16 ms");
    pindel::Lifecycle::close(tablero);
}
