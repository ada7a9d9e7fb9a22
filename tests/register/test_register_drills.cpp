// Failure drills for the winners register: a save killed at random moments, a full disk,
// two programs saving over each other, and files no player would write by hand (huge, one
// enormous line, binary garbage).  Each drill checks that no stored line is lost and that
// every failure comes back with a reason.
//
// The saving side of the process drills runs in a child: this same program, started with
// one of the modes handled in main().

#include "register_test_util.h"
#include "winners_file.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <sys/resource.h>

using namespace pindel;
using winners::LoadResult;
using winners::WinnersFile;

namespace {

// Two lists of different sizes, so that a torn file could never pass for either.
QStringList listA() { return regtest::names(20000, QStringLiteral("Ganador")); }
QStringList listB() { return regtest::names(31000, QStringLiteral("Jugadora")); }

// Child mode: load, save B once and tell the parent how long that took, then save A and
// B in turn until killed.
int saveLoop(const QString &directory)
{
    WinnersFile register_(directory);
    if (!register_.load().ok())
        return 2;
    const QStringList lists[2] = {listA(), listB()};
    QElapsedTimer timer;
    timer.start();
    if (!register_.save(lists[1]).ok)
        return 3;
    std::printf("ready %lld\n", timer.nsecsElapsed() / 1000);
    std::fflush(stdout);
    for (unsigned i = 0; register_.save(lists[i % 2]).ok; ++i) {
    }
    return 3;
}

// Child mode: load once, save `count` names once, print whether it worked and the reason.
int saveOnce(const QString &directory, int count)
{
    WinnersFile register_(directory);
    if (!register_.load().ok())
        return 2;
    const winners::SaveResult result = register_.save(regtest::names(count, QStringLiteral("Nombre")));
    std::printf("%d\n%s\n", result.ok ? 1 : 0, result.error.toUtf8().constData());
    return 0;
}

// This program in a child mode; killed (by its own pid) when the test is done with it.
struct Child {
    QProcess process;
    explicit Child(const QStringList &arguments)
    {
        process.setProgram(QCoreApplication::applicationFilePath());
        process.setArguments(arguments);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    }
    ~Child() { kill(); }
    // Starts a save loop and waits for its "ready" line; returns the duration of one save
    // as the child measured it, in microseconds, or -1.
    qint64 startAndWaitReady()
    {
        process.start();
        QElapsedTimer timer;
        timer.start();
        while (process.waitForStarted(10000) && !process.canReadLine() && timer.elapsed() < 60000)
            process.waitForReadyRead(200);
        const QByteArray line = process.readLine().trimmed();
        return line.startsWith("ready ") ? line.mid(6).toLongLong() : -1;
    }
    void kill()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(10000);
        }
    }
};

} // namespace

class TestRegisterDrills : public QObject {
    Q_OBJECT

private slots:
    void killedMidSave();
    void twoProgramsSavingAtOnce();
    void diskFull_data();
    void diskFull();
    void twoRegistersOneAfterTheOther();
    void largeAndStrangeFiles_data();
    void largeAndStrangeFiles();
};

// SIGKILL at random moments of a child that does nothing but save: afterwards the file is
// exactly one of the two lists it alternates, complete, never a mix or a stub.
void TestRegisterDrills::killedMidSave()
{
    QTemporaryDir dir;
    const QByteArray before("Eva\r\nLuis\r\n");
    const QString path = winners::filePath(dir.path());
    const QByteArray a = winners::encodeLines(listA());
    const QByteArray b = winners::encodeLines(listB());

    const quint32 seed = QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    qint64 saveMicros = 0;
    int seen[2] = {0, 0};
    constexpr int kKills = 25;
    for (int round = 0; round < kKills; ++round) {
        QVERIFY(regtest::writeBytes(path, before));
        Child child({QStringLiteral("--save-loop"), dir.path()});
        const qint64 micros = child.startAndWaitReady();
        QVERIFY2(micros >= 0, "the saving child did not start");
        // Kill moments spread over a few saves, as the child measured one.
        saveMicros = std::max<qint64>(micros, 1000);
        QThread::usleep(random.bounded(quint32(4 * saveMicros)));
        child.kill();
        QCOMPARE(child.process.exitStatus(), QProcess::CrashExit);

        const QByteArray after = regtest::readBytes(path);
        const int which = after == a ? 0 : after == b ? 1 : -1;
        QVERIFY2(which >= 0, qPrintable(QStringLiteral("round %1 (seed %2): torn file of %3 bytes")
                                            .arg(round).arg(seed).arg(after.size())));
        ++seen[which];

        // Whatever a killed save left beside the file, the next load and save work.
        WinnersFile register_(dir.path());
        const LoadResult loaded = register_.load();
        QCOMPARE(loaded.status, LoadResult::Status::Read);
        QVERIFY(register_.save(loaded.lines).ok);
        QCOMPARE(regtest::readBytes(path), after);
    }
    qInfo("%d kills over 0..%lld us (seed %u): list A %d, list B %d; %lld file(s) in the directory",
          kKills, 4 * saveMicros, seed, seen[0], seen[1],
          qlonglong(regtest::entriesOf(dir.path()).size()));
}

// Two copies of the program saving over each other as fast as they can: at any moment the
// file is one copy's list, complete.
void TestRegisterDrills::twoProgramsSavingAtOnce()
{
    QTemporaryDir dir;
    const QString path = winners::filePath(dir.path());
    QVERIFY(regtest::writeBytes(path, "Eva\r\n"));
    const QByteArray a = winners::encodeLines(listA());
    const QByteArray b = winners::encodeLines(listB());
    Child first({QStringLiteral("--save-loop"), dir.path()});
    Child second({QStringLiteral("--save-loop"), dir.path()});
    QVERIFY(first.startAndWaitReady() >= 0);
    QVERIFY(second.startAndWaitReady() >= 0);
    for (int look = 0; look < 20; ++look) {
        QThread::msleep(15);
        const QByteArray now = regtest::readBytes(path);
        QVERIFY2(now == a || now == b, qPrintable(QStringLiteral("look %1: %2 bytes").arg(look).arg(now.size())));
    }
    first.kill();
    second.kill();
    const QByteArray last = regtest::readBytes(path);
    QVERIFY(last == a || last == b);
}

// A full disk, simulated by a file size limit in the child (SIGXFSZ ignored, so writes
// fail with EFBIG instead of killing it): the save reports why, the old file stays whole,
// and no temporary file is left behind.
void TestRegisterDrills::diskFull_data()
{
    QTest::addColumn<int>("limit");  // bytes any one file of the child may reach
    QTest::addColumn<int>("count");  // names it tries to save
    QTest::newRow("100,000 names, 64 KiB left") << 64 * 1024 << 100000;
    QTest::newRow("three names, 16 bytes left") << 16 << 3;
}

void TestRegisterDrills::diskFull()
{
    QFETCH(int, limit);
    QFETCH(int, count);
    QTemporaryDir dir;
    const QString path = winners::filePath(dir.path());
    const QByteArray before("Aun no lo ha logrado nadie\r\nAna\r\n");
    QVERIFY(regtest::writeBytes(path, before));

    Child child({QStringLiteral("--save-once"), dir.path(), QString::number(count)});
    child.process.setChildProcessModifier([limit] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit fileSize{rlim_t(limit), rlim_t(limit)};
        setrlimit(RLIMIT_FSIZE, &fileSize);
    });
    child.process.start();
    QVERIFY(child.process.waitForFinished(60000));
    QCOMPARE(child.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.process.exitCode(), 0);
    // "0" (the save failed), then the reason.
    const QString report = QString::fromUtf8(child.process.readAllStandardOutput());
    qInfo("reported: %s", qPrintable(report));
    QCOMPARE(report, "0\nNo se pudo guardar el archivo de ganadores " + path + ": "
                         + QString::fromLocal8Bit(std::strerror(EFBIG)) + "\n");

    QCOMPARE(regtest::readBytes(path), before);
    QCOMPARE(regtest::entriesOf(dir.path()), QStringList{"001MpTa.cms"});

    // With room again, the same save goes through.
    WinnersFile register_(dir.path());
    QVERIFY(register_.load().ok());
    QVERIFY(register_.save(regtest::names(count, QStringLiteral("Nombre"))).ok);
    QCOMPARE(register_.load().lines.size(), count);
}

// Two registers on one file, as two copies of the program would be: each saves its own
// list whole, and the later save is what the file holds.
void TestRegisterDrills::twoRegistersOneAfterTheOther()
{
    QTemporaryDir dir;
    WinnersFile first(dir.path()), second(dir.path());
    QCOMPARE(first.load().status, LoadResult::Status::Created);
    QCOMPARE(second.load().status, LoadResult::Status::Read);
    QVERIFY(first.save({"Ana"}).ok);
    QCOMPARE(regtest::readBytes(first.path()), QByteArray("Ana\r\n"));
    QVERIFY(second.save({"Luis", "Eva"}).ok);
    QCOMPARE(regtest::readBytes(first.path()), QByteArray("Luis\r\nEva\r\n"));
    QCOMPARE(first.load().lines, (QStringList{"Luis", "Eva"}));
}

void TestRegisterDrills::largeAndStrangeFiles_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("lines");

    QTest::newRow("100,000 names") << winners::encodeLines(regtest::names(100000, QStringLiteral("Ganador")))
                                   << 100000;
    QTest::newRow("one line of 1 MiB") << QByteArray(1 << 20, '\xf1') + "\r\n" << 1;
    QTest::newRow("1 MiB line, no line end") << QByteArray(1 << 20, 'x') << 1;
    QRandomGenerator random(20261207);
    QByteArray noise(1 << 20, Qt::Uninitialized);
    for (char &byte : noise)
        byte = char(random.bounded(256));
    QTest::newRow("binary garbage") << noise << -1;
    // The same garbage with every line end made CR LF: it must come back byte for byte.
    QTest::newRow("binary garbage, CR LF lines") << regtest::normalised(noise) << -1;
    QTest::newRow("only CRs") << QByteArray(50000, '\r') << 50000;
    QTest::newRow("only LFs") << QByteArray(50000, '\n') << 1;
    QTest::newRow("NULs") << QByteArray(70000, '\0') << 1;
}

// Loaded whole, saved, the bytes are the file's with line ends made CR LF, exactly.
void TestRegisterDrills::largeAndStrangeFiles()
{
    QFETCH(QByteArray, file);
    QFETCH(int, lines);
    QTemporaryDir dir;
    WinnersFile register_(dir.path());
    QVERIFY(regtest::writeBytes(register_.path(), file));

    const LoadResult loaded = register_.load();
    QCOMPARE(loaded.status, LoadResult::Status::Read);
    if (lines >= 0)
        QCOMPARE(loaded.lines.size(), lines);
    QVERIFY(loaded.lines.size() <= file.count('\r') + 1);

    const winners::SaveResult saved = register_.save(loaded.lines);
    QVERIFY2(saved.ok, qPrintable(saved.error));
    const QByteArray after = regtest::readBytes(register_.path());
    QCOMPARE(after.size(), regtest::normalised(file).size());
    QVERIFY(after == regtest::normalised(file));   // QCOMPARE would print a megabyte
    QCOMPARE(register_.load().lines, loaded.lines);
}

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--save-loop") == 0)
        return saveLoop(QString::fromLocal8Bit(argv[2]));
    if (argc == 4 && qstrcmp(argv[1], "--save-once") == 0)
        return saveOnce(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]));
    QCoreApplication app(argc, argv);
    TestRegisterDrills drills;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&drills, argc, argv);
}

#include "test_register_drills.moc"
