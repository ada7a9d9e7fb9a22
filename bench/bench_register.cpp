// The winners file: load for short, long and absurdly long lists, the load as the board
// does it (into a list widget), and the save after a win: one winner added, with the lock,
// the fresh read and the atomic replace.

#include "bench.h"

#include "winners_file.h"

#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>

PINDEL_BENCH("winners file")
{
    struct Size { int names; int runs; };
    for (const Size size : {Size{10, 51}, Size{1000, 21}, Size{100000, 7}}) {
        QTemporaryDir dir;
        pindel::winners::WinnersFile file(dir.path());
        QStringList names;
        for (int i = 0; i < size.names; ++i)
            names << QStringLiteral("Jugador número %1").arg(i);
        QFile out(file.path());
        const QByteArray bytes = pindel::winners::encodeLines(names);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
            return;
        out.close();
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

        // Each run adds one name: the list grows by a few lines over the runs, no more.
        const double save = bench::medianMicros(size.runs, [&] { file.addWinner(QStringLiteral("Ganadora")); });
        bench::report(QStringLiteral("save %1 names (a winner added, lock included)").arg(count),
                      save / 1000.0, "ms");
    }
}
