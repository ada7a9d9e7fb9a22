#include "bench.h"

#include "lifecycle.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

void bench::report(const QString &name, double value, const QString &unit, const QString &target)
{
    QString line = QStringLiteral("%1: %2 %3").arg(name, -52).arg(value, 0, 'f', 2).arg(unit);
    if (!target.isEmpty())
        line += QStringLiteral("   (target %1)").arg(target);
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

int main(int argc, char **argv)
{
    // Benchmarks run on the offscreen platform in a scratch data directory, so they never
    // touch a player's winners file.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", QDir(data.path()).absolutePath().toLocal8Bit());
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    // Each case is a small program of its own: none may end the ones after it.
    pindel::Lifecycle::setExitFunctionForTesting([](int) {});
    for (const bench::Case &c : bench::registry()) {
        std::printf("== %s\n", c.name);
        c.run();
        pindel::Lifecycle::resetEndForTesting();
    }
    return 0;
}
