// The winners file: load and save for short, long and absurdly long lists, and the load
// as the board does it, into a list widget.

#include "bench.h"

#include "winners_file.h"

#include <QListWidget>
#include <QTemporaryDir>

PINDEL_BENCH("winners file")
{
    struct Size { int names; int runs; };
    for (const Size size : {Size{10, 51}, Size{1000, 21}, Size{100000, 7}}) {
        QTemporaryDir dir;
        pindel::winners::WinnersFile file(dir.path());
        file.load();
        QStringList names;
        for (int i = 0; i < size.names; ++i)
            names << QStringLiteral("Jugador número %1").arg(i);
        if (!file.save(names).ok)
            return;
        const QString count = QLocale(QLocale::English).toString(size.names);
        const bool huge = size.names == 100000;

        const double load = bench::medianMicros(size.runs, [&] { file.load(); });
        bench::report(QStringLiteral("load %1 names").arg(count), load / 1000.0, "ms");

        QListWidget list;
        const double shown = bench::medianMicros(size.runs, [&] {
            list.clear();
            list.addItems(file.load().lines);
        });
        bench::report(QStringLiteral("load %1 names into a QListWidget").arg(count), shown / 1000.0, "ms",
                      huge ? QStringLiteral("<= 150 ms") : QString());

        const double save = bench::medianMicros(size.runs, [&] { file.save(names); });
        bench::report(QStringLiteral("save %1 names (atomic, synced to disk)").arg(count), save / 1000.0, "ms");
    }
}
