// The board window's own costs: setting up a game, and one drop through the drop handler.

#include "bench.h"

#include "frmsolucion.h"
#include "lifecycle.h"
#include "tablero.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

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
