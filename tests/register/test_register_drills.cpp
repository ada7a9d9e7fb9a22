// Failure drills for the winners register: a save killed at random moments, a full disk,
// two copies of the program adding winners to one file at once (one of them killed while
// it holds the lock), and files no player would write by hand (huge, one enormous line,
// binary garbage), a copy stalled in the middle of its save while another saves, and a file
// changed by someone else between a save's read and its replace.  Each drill checks that no
// stored line is lost and that every failure comes back with a reason.
//
// The saving side of the process drills runs in a child: this same program, started with
// one of the modes handled in main().

#include "register_test_util.h"
#include "durable_file.h"
#include "winners_file.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#else
#include <csignal>
#include <sys/resource.h>
#endif

using namespace pindel;
using winners::LoadResult;
using winners::WinnersFile;

namespace {

const QByteArray kPlaceholderFile("Aun no lo ha logrado nadie\r\n");

// What the killed saves add to: large enough that one save takes a while.
QStringList baseList() { return regtest::names(20000, QStringLiteral("Ganador")); }

// Child mode: load, add "Nombre 000000" and tell the parent how long that took, then add
// "Nombre 000001", "Nombre 000002" ... until killed.
int addLoop(const QString &directory)
{
    WinnersFile register_(directory);
    if (!register_.load().ok())
        return 2;
    const QStringList names = regtest::names(100000, QStringLiteral("Nombre"));
    QElapsedTimer timer;
    timer.start();
    if (!register_.addWinner(names[0]).ok)
        return 3;
    std::printf("ready %lld\n", timer.nsecsElapsed() / 1000);
    std::fflush(stdout);
    for (int i = 1; i < names.size() && register_.addWinner(names[i]).ok; ++i) {
    }
    return 3;
}

// Child mode: load once, add one winner, print whether it worked and the reason.
int addOnce(const QString &directory)
{
    WinnersFile register_(directory);
    if (!register_.load().ok())
        return 2;
    const winners::SaveResult result = register_.addWinner(QStringLiteral("Nombre"));
    std::printf("%d\n%s\n", result.ok ? 1 : 0, result.error.toUtf8().constData());
    return 0;
}

// Child mode: load once, print the load's status (as a number) and its reason.
int loadOnce(const QString &directory)
{
    const LoadResult result = WinnersFile(directory).load();
    std::printf("%d\n%s\n", int(result.status), result.error.toUtf8().constData());
    return 0;
}

// Child mode: load, say "ready", wait for a line from the parent, add `count` names as fast
// as possible, say "done <failed adds> <slowest add in us>" and end once the parent closes
// its input.  With `hold`, instead take the winners lock as any copy would, say "locked" and
// wait (at most a minute) to be killed.  (A line printed just as a process ends was seen to
// be lost by Qt 6.4's pipe reader under Wine, after the killings of killedMidSave: the
// parent reads "done" while the child still runs.)
int addMany(const QString &directory, const QString &stem, int count, bool hold)
{
    WinnersFile register_(directory);
    if (!register_.load().ok())
        return 2;
    const QStringList names = regtest::names(count, stem);
    std::printf("ready\n");
    std::fflush(stdout);
    char go[16];
    if (!std::fgets(go, sizeof go, stdin))
        return 4;
    int failed = 0;
    qint64 slowest = 0;
    for (const QString &name : names) {
        QElapsedTimer timer;
        timer.start();
        failed += register_.addWinner(name).ok ? 0 : 1;
        slowest = std::max(slowest, timer.nsecsElapsed() / 1000);
    }
    std::printf("done %d %lld\n", failed, slowest);
    std::fflush(stdout);
    if (!hold) {
        while (std::fgets(go, sizeof go, stdin)) {
        }
        return 0;
    }
    QLockFile lock(winners::lockPath(directory));
    if (!lock.tryLock(10000))
        return 5;
    std::printf("locked\n");
    std::fflush(stdout);
    QThread::sleep(60);
    return 6;
}

// A copy of the program stopped where it stands, as a debugger or the shell's job control
// stops one: it says "stopping" (on Windows with the id of the thread that stops), then
// stops itself; the test sees it stopped and lets it go on.
#ifdef Q_OS_WIN
void stopHere()
{
    std::printf("stopping %lu\n", ::GetCurrentThreadId());
    std::fflush(stdout);
    ::SuspendThread(::GetCurrentThread());
}

class StoppedCopy {
public:
    StoppedCopy(qint64, const QByteArray &stopping)
        : m_thread(::OpenThread(THREAD_SUSPEND_RESUME, FALSE, DWORD(stopping.mid(9).toULong())))
    {
    }
    ~StoppedCopy()
    {
        if (m_thread)
            ::CloseHandle(m_thread);
    }
    StoppedCopy(const StoppedCopy &) = delete;
    StoppedCopy &operator=(const StoppedCopy &) = delete;
    // Suspending the thread once more tells how often it was already.
    bool stopped() const
    {
        const DWORD before = m_thread ? ::SuspendThread(m_thread) : DWORD(-1);
        if (before != DWORD(-1))
            ::ResumeThread(m_thread);
        return before != DWORD(-1) && before > 0;
    }
    bool resume() const { return m_thread && ::ResumeThread(m_thread) == 1; }

private:
    HANDLE m_thread;
};
#else
void stopHere()
{
    std::printf("stopping\n");
    std::fflush(stdout);
    std::raise(SIGSTOP);
}

class StoppedCopy {
public:
    StoppedCopy(qint64 pid, const QByteArray &)
        : m_pid(pid)
    {
    }
    // Its state letter in /proc is 'T'.
    bool stopped() const
    {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(m_pid));
        if (!stat.open(QIODevice::ReadOnly))
            return false;
        const QByteArray line = stat.readAll();
        const qsizetype close = line.lastIndexOf(')');
        return close >= 0 && close + 2 < line.size() && line.at(close + 2) == 'T';
    }
    bool resume() const { return ::kill(pid_t(m_pid), SIGCONT) == 0; }

private:
    qint64 m_pid;
};
#endif

// Child mode: load, say "ready", wait for a line from the parent, then add `name`, stopping
// itself in the save's first round, after reading the file and writing the new one beside
// it and before replacing it.  Once let go on it finishes the save and prints whether it
// worked and the reason.
int addStopped(const QString &directory, const QString &name)
{
    WinnersFile register_(directory);
    if (!register_.load().ok())
        return 2;
    std::printf("ready\n");
    std::fflush(stdout);
    char go[16];
    if (!std::fgets(go, sizeof go, stdin))
        return 4;
    bool first = true;
    winners::testing::setBeforeReplace([&first] {
        if (std::exchange(first, false))
            stopHere();
    });
    const winners::SaveResult result = register_.addWinner(name);
    std::printf("%d\n%s\n", result.ok ? 1 : 0, result.error.toUtf8().constData());
    return 0;
}

// Removes the save's pause point when a test is done with it, whatever way it ends.
struct PausePoint {
    explicit PausePoint(std::function<void()> hook) { winners::testing::setBeforeReplace(std::move(hook)); }
    ~PausePoint() { winners::testing::setBeforeReplace({}); }
};

// This program in a child mode; killed (by its own pid) and reaped when the test is done
// with it.  What it prints goes to a file, read line by line as it grows: under Wine, Qt
// 6.4's pipe reader was seen to lose a running child's lines when polled this busily.  (A
// child whose files are limited in size prints to a pipe again, see FullDisk.)
struct Child {
    QTemporaryDir outputDir;
    QFile output;
    QByteArray pending;   // read, not yet taken as lines
    QProcess process;

    explicit Child(const QStringList &arguments)
        : output(outputDir.filePath(QStringLiteral("stdout")))
    {
        process.setProgram(QCoreApplication::applicationFilePath());
        process.setArguments(arguments);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.setStandardOutputFile(output.fileName());
        if (output.open(QIODevice::WriteOnly))
            output.close();
    }
    // Its output file goes with it; a child just ended may hold it a moment longer.
    ~Child()
    {
        kill();
        process.close();
        output.close();
        for (int tries = 0; tries < 100 && !outputDir.remove(); ++tries)
            QThread::msleep(10);
    }
    bool start()
    {
        process.start();
        return process.waitForStarted(10000) && output.open(QIODevice::ReadOnly);
    }
    // Sends the child one line on its standard input.
    bool say(const QByteArray &line)
    {
        process.write(line + '\n');
        return process.waitForBytesWritten(10000);
    }
    // Whether a whole line has come since the last one taken.
    bool canReadLine()
    {
        pending += output.readAll();
        return pending.contains('\n');
    }
    // The next line the child prints, trimmed; empty when none comes within `ms`.
    QByteArray readLine(int ms = 60000)
    {
        QElapsedTimer timer;
        timer.start();
        while (!canReadLine() && !finished() && timer.elapsed() < ms)
            QThread::msleep(2);
        if (!canReadLine())
            return {};
        const qsizetype end = pending.indexOf('\n') + 1;
        const QByteArray line = pending.left(end).trimmed();
        pending.remove(0, end);
        return line;
    }
    // Everything it printed after the lines taken, once it has ended.
    QByteArray rest()
    {
        process.waitForFinished(60000);
        pending += output.readAll() + process.readAllStandardOutput();
        return std::exchange(pending, {});
    }
    bool finished() { return process.state() == QProcess::NotRunning || process.waitForFinished(0); }
    void kill()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(10000);   // reaped: a zombie would still pass for a holder
        }
    }
};

// A folder where the saving child finds only `room` bytes of room, and the reason the system
// then gives.
#ifdef Q_OS_WIN
// Windows has no limit on the size of one file, so the room is a real disk's: the small disk
// the run names in PINDEL_SMALL_DISK (the Windows build's CTest run mounts one where the
// machine lets it), filled by a file beside the child's folder until only `room` bytes, as
// many as its clusters allow, are left.  Never a disk larger than 64 MiB: filling the
// disk a player works on is not a test.
class FullDisk {
public:
    FullDisk()
    {
        const QString small = qEnvironmentVariable("PINDEL_SMALL_DISK");
        ULARGE_INTEGER total {};
        if (small.isEmpty() || !QFileInfo(small).isDir())
            m_why = QStringLiteral("no small disk to fill: PINDEL_SMALL_DISK names none");
        else if (!::GetDiskFreeSpaceExW(regtest::detail::native(small).c_str(), nullptr, &total, nullptr)
                 || total.QuadPart > 64 * 1024 * 1024)
            m_why = QStringLiteral("PINDEL_SMALL_DISK (%1) is not a disk of 64 MiB or less").arg(small);
        if (!m_why.isEmpty())
            return;
        m_directory = std::make_unique<QTemporaryDir>(small + QStringLiteral("/drill-XXXXXX"));
        if (!m_directory->isValid())
            m_why = QStringLiteral("no folder could be made on the small disk %1").arg(small);
        m_filler.setFileName(small + QStringLiteral("/filler"));
    }
    ~FullDisk() { makeRoom(); }

    bool ok() const { return m_directory && m_directory->isValid(); }
    QString why() const { return m_why; }
    QString directory() const { return m_directory->path(); }
    QString reason() const { return regtest::systemReason(ERROR_DISK_FULL); }

    bool leaveOnly(qint64 room, Child &)
    {
        if (!m_filler.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
            return false;
        const QByteArray block(4096, 'x');
        while (m_filler.write(block) == block.size()) {
        }
        m_filler.close();
        return m_filler.resize(std::max<qint64>(m_filler.size() - room, 0));
    }
    void makeRoom() { m_filler.remove(); }

private:
    QString m_why;
    std::unique_ptr<QTemporaryDir> m_directory;
    QFile m_filler;
};
#else
// On Linux the child's file size limit stands in for a full disk: no file it writes may grow
// past `room` bytes (SIGXFSZ ignored, so a write fails with EFBIG instead of killing it).
class FullDisk {
public:
    bool ok() const { return m_directory.isValid(); }
    QString why() const { return QString(); }
    QString directory() const { return m_directory.path(); }
    QString reason() const { return QString::fromLocal8Bit(std::strerror(EFBIG)); }

    bool leaveOnly(qint64 room, Child &child)
    {
        child.process.setStandardOutputFile(QString());
        child.process.setChildProcessModifier([room] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit fileSize{rlim_t(room), rlim_t(room)};
            setrlimit(RLIMIT_FSIZE, &fileSize);
        });
        return true;
    }
    void makeRoom() {}

private:
    QTemporaryDir m_directory;
};
#endif

// Why `lines` are not a whole winners list made of `known` names, each at most once and
// each copy's names (same first word) in the order it added them; empty when they are.
QString notWhole(const QStringList &lines, const QSet<QString> &known)
{
    if (lines.isEmpty())
        return QStringLiteral("empty");
    QSet<QString> seen;
    QHash<QString, QString> lastOfCopy;
    for (const QString &name : lines) {
        if (!known.contains(name))
            return QStringLiteral("unknown line «%1»").arg(name);
        if (seen.contains(name))
            return QStringLiteral("«%1» twice").arg(name);
        seen.insert(name);
        QString &last = lastOfCopy[name.section(' ', 0, 0)];
        if (last > name)
            return QStringLiteral("«%1» after «%2»").arg(name, last);
        last = name;
    }
    return {};
}

// The same of a whole file's bytes, which end with a line end.
QString notWhole(const QByteArray &bytes, const QSet<QString> &known)
{
    QStringList lines = QString::fromLatin1(bytes).split(QStringLiteral("\r\n"));
    if (!lines.constLast().isEmpty())
        return QStringLiteral("the last line is cut: ...%1").arg(QString::fromLatin1(bytes.right(60)));
    lines.removeLast();
    return notWhole(lines, known);
}

} // namespace

class TestRegisterDrills : public QObject {
    Q_OBJECT

private slots:
    void killedMidSave();
    void twoCopiesAddingAtOnce_data();
    void twoCopiesAddingAtOnce();
    void diskFull_data();
    void diskFull();
    void firstCreationOnAFullDisk();
    void twoRegistersOneAfterTheOther_data();
    void twoRegistersOneAfterTheOther();
    void largeAndStrangeFiles_data();
    void largeAndStrangeFiles();
    void copyStalledMidSave_data();
    void copyStalledMidSave();
    void fileChangedBeforeReplace_data();
    void fileChangedBeforeReplace();
};

// SIGKILL at random moments of a child that does nothing but add winners: afterwards the
// file is the list it started from plus the first k names, complete, never a mix or a stub;
// and whatever the killed child held, the lock included, the next save takes the lock (the
// 2 s wait of a save that cannot is never reached).
void TestRegisterDrills::killedMidSave()
{
    QTemporaryDir dir;
    const QString path = winners::filePath(dir.path());
    const QByteArray base = regtest::fileOf(baseList());
    const QStringList added = regtest::names(100000, QStringLiteral("Nombre"));

    const quint32 seed = QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    qint64 saveMicros = 0;
    int lockLeft = 0;
    qint64 longestWait = 0;
    constexpr int kKills = 25;
    for (int round = 0; round < kKills; ++round) {
        QVERIFY(regtest::writeBytes(path, base));
        Child child({QStringLiteral("--add-loop"), dir.path()});
        QVERIFY(child.start());
        const QByteArray ready = child.readLine();
        QVERIFY2(ready.startsWith("ready "), "the saving child did not start");
        // Kill moments spread over a few saves, as the child measured one.
        saveMicros = std::max<qint64>(ready.mid(6).toLongLong(), 1000);
        QThread::usleep(random.bounded(quint32(4 * saveMicros)));
        child.kill();
        QCOMPARE(child.process.exitStatus(), QProcess::CrashExit);

        const QByteArray after = regtest::readBytes(path);
        const qsizetype k = after.count('\n') - 20000;
        QVERIFY2(k >= 1 && after == base + regtest::fileOf(added.mid(0, k)),
                 qPrintable(QStringLiteral("round %1 (seed %2): torn file of %3 bytes")
                                .arg(round).arg(seed).arg(after.size())));
        lockLeft += QFileInfo::exists(winners::lockPath(dir.path())) ? 1 : 0;

        WinnersFile register_(dir.path());
        QCOMPARE(register_.load().status, LoadResult::Status::Read);
        QElapsedTimer timer;
        timer.start();
        QVERIFY(register_.addWinner("Eva").ok);
        QVERIFY2(timer.elapsed() < 1800, qPrintable(QStringLiteral("round %1: the next save waited %2 ms")
                                                        .arg(round).arg(timer.elapsed())));
        longestWait = std::max(longestWait, timer.elapsed());
        QVERIFY(regtest::readBytes(path) == after + "Eva\r\n");
        QVERIFY(!QFileInfo::exists(winners::lockPath(dir.path())));
    }
    qInfo("%d kills over 0..%lld us (seed %u): %d left a lock behind, the next save waited at most "
          "%lld ms; in the directory: %s", kKills, 4 * saveMicros, seed, lockLeft, longestWait,
          qPrintable(regtest::entriesOf(dir.path()).join(", ")));
}

void TestRegisterDrills::twoCopiesAddingAtOnce_data()
{
    QTest::addColumn<int>("heldAfter");  // names the second copy adds before it takes the
                                         // lock and is killed holding it; 0: not killed
    QTest::newRow("two copies, 200 names each") << 0;
    QTest::newRow("one killed holding the lock after 100 names") << 100;
}

// Two copies add their names as fast as they can, at the same time.  Every look at the file
// meanwhile finds it whole, and so does a third copy opening its board; at the end it holds
// every name once, each copy's in its own order.  The looks keep the file open much of the
// time, which on Windows refuses a save's replace for the moment.  A copy killed while it holds the lock holds up neither the other one nor a later
// save.
void TestRegisterDrills::twoCopiesAddingAtOnce()
{
    QFETCH(int, heldAfter);
    QTemporaryDir dir;
    const QString path = winners::filePath(dir.path());
    QVERIFY(regtest::writeBytes(path, kPlaceholderFile));
    const QStringList ana = regtest::names(200, QStringLiteral("Ana"));
    const QStringList luis = regtest::names(heldAfter ? heldAfter : 200, QStringLiteral("Luis"));
    QSet<QString> known(ana.cbegin(), ana.cend());
    known.unite(QSet<QString>(luis.cbegin(), luis.cend()));
    known.insert("Aun no lo ha logrado nadie");

    Child first({"--add-many", dir.path(), "Ana", "200"});
    Child second({"--add-many", dir.path(), "Luis", QString::number(luis.size()), heldAfter ? "hold" : "no"});
    QVERIFY(first.start() && second.start());
    QCOMPARE(first.readLine(), QByteArray("ready"));
    QCOMPARE(second.readLine(), QByteArray("ready"));
    QVERIFY(first.say("go") && second.say("go"));

    // Look at the file until the first copy is done (within 3 minutes: the copies take a few
    // seconds here, several times that under Wine on a busy machine); the second one, when it
    // is to hold the lock, is killed 100 ms after it says it holds it.
    int looks = 0;
    QByteArray secondDone;
    bool killedWhileFirstAdded = false;
    QElapsedTimer timer;
    timer.start();
    auto killHolder = [&] {
        QThread::msleep(100);
        second.kill();
        QCOMPARE(second.process.exitStatus(), QProcess::CrashExit);
    };
    while (!first.canReadLine() && timer.elapsed() < 180000) {
        const QString problem = notWhole(regtest::readWhenFree(path), known);
        QVERIFY2(problem.isEmpty(), qPrintable(QStringLiteral("look %1: %2").arg(looks).arg(problem)));
        const LoadResult board = WinnersFile(dir.path()).load();
        QVERIFY2(board.status == LoadResult::Status::Read, qPrintable(board.error));
        const QString boardProblem = notWhole(board.lines, known);
        QVERIFY2(boardProblem.isEmpty(), qPrintable(QStringLiteral("board %1: %2").arg(looks).arg(boardProblem)));
        ++looks;
        while (second.canReadLine()) {
            const QByteArray line = second.readLine();
            if (line.startsWith("done "))
                secondDone = line;
            if (line == "locked") {
                killHolder();
                killedWhileFirstAdded = true;
            }
        }
        QThread::msleep(1);
    }
    QVERIFY2(first.canReadLine(),
             qPrintable(QStringLiteral("the first copy has not finished after %1 s (%2 running, %3 exit); "
                                       "the file has %4 lines")
                            .arg(timer.elapsed() / 1000)
                            .arg(first.process.state() == QProcess::Running ? "still" : "no longer")
                            .arg(first.process.exitCode())
                            .arg(regtest::readWhenFree(path).count('\n'))));
    const QByteArray firstDone = first.readLine();
    if (secondDone.isEmpty())
        secondDone = second.readLine();
    QCOMPARE(firstDone.left(7), QByteArray("done 0 "));
    QCOMPARE(secondDone.left(7), QByteArray("done 0 "));
    if (heldAfter && !killedWhileFirstAdded) {
        QCOMPARE(second.readLine(), QByteArray("locked"));
        killHolder();
    }
    first.process.closeWriteChannel();
    if (!heldAfter)
        second.process.closeWriteChannel();
    QVERIFY(first.process.waitForFinished(60000));
    QCOMPARE(first.process.exitCode(), 0);
    qInfo("%d looks at the file meanwhile; slowest adds (us): %s, %s%s", looks,
          firstDone.mid(7).constData(), secondDone.mid(7).constData(),
          killedWhileFirstAdded ? "; holder killed while the other copy was adding" : "");

    const QByteArray after = regtest::readBytes(path);
    QCOMPARE(notWhole(after, known), QString());
    QCOMPARE(after.count('\n'), ana.size() + luis.size());

    // A later save is not held up by anything the copies left, and leaves only the file.
    WinnersFile later(dir.path());
    QCOMPARE(later.load().status, LoadResult::Status::Read);
    QElapsedTimer wait;
    wait.start();
    QVERIFY(later.addWinner("Eva").ok);
    QVERIFY2(wait.elapsed() < 1800, qPrintable(QStringLiteral("waited %1 ms").arg(wait.elapsed())));
    QVERIFY(regtest::readBytes(path) == after + "Eva\r\n");
    QCOMPARE(regtest::entriesOf(dir.path()), QStringList{"001MpTa.cms"});
}

// A full disk drill: no file the saving child writes gets more than `room` bytes.  The save
// reports why, the old file stays whole, and no temporary file or lock is left behind.
void TestRegisterDrills::diskFull_data()
{
    QTest::addColumn<int>("room");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");   // once there is room again
    const QByteArray many = regtest::fileOf(regtest::names(100000, QStringLiteral("Ganador")));
    QTest::newRow("100,000 names, 64 KiB left") << 64 * 1024 << many << many + "Nombre\r\n";
    // Not even room for the lock's few bytes: the save goes ahead without it, and fails.
    QTest::newRow("two lines, 8 bytes left") << 8 << QByteArray("Aun no lo ha logrado nadie\r\nAna\r\n")
                                              << QByteArray("Nombre\r\nAna\r\n");
}

void TestRegisterDrills::diskFull()
{
    QFETCH(int, room);
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    FullDisk disk;
    if (!disk.ok())
        QSKIP(qPrintable(disk.why()));
    const QString path = winners::filePath(disk.directory());
    QVERIFY(regtest::writeBytes(path, before));

    Child child({QStringLiteral("--add-once"), disk.directory()});
    QVERIFY(disk.leaveOnly(room, child));
    QVERIFY(child.start());
    QVERIFY(child.process.waitForFinished(60000));
    QCOMPARE(child.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.process.exitCode(), 0);
    // "0" (the save failed), then the reason.
    const QString report = QString::fromUtf8(child.rest());
    qInfo("reported: %s", qPrintable(report));
    QCOMPARE(report, "0\nNo se pudo guardar el archivo de ganadores " + path + ": " + disk.reason() + "\n");

    QVERIFY(regtest::readBytes(path) == before);
    QCOMPARE(regtest::entriesOf(disk.directory()), QStringList{"001MpTa.cms"});

    // With room again, the same save goes through.
    disk.makeRoom();
    WinnersFile register_(disk.directory());
    QVERIFY(register_.load().ok());
    QVERIFY(register_.addWinner("Nombre").ok);
    QVERIFY(regtest::readBytes(path) == after);
}

// The first load creates the file; on a full disk the creation fails part-way, and what it
// had written goes: no cut placeholder is left to be read as a winner by the next run.
void TestRegisterDrills::firstCreationOnAFullDisk()
{
    FullDisk disk;
    if (!disk.ok())
        QSKIP(qPrintable(disk.why()));
    const QString path = winners::filePath(disk.directory());
    Child child({QStringLiteral("--load-once"), disk.directory()});
    QVERIFY(disk.leaveOnly(10, child));
    QVERIFY(child.start());
    QVERIFY(child.process.waitForFinished(60000));
    QCOMPARE(child.process.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(child.rest()),
             QString::number(int(LoadResult::Status::CreateFailed)) + "\nNo se pudo crear el archivo de ganadores "
                 + path + ": " + disk.reason() + "\n");
    QCOMPARE(regtest::entriesOf(disk.directory()), QStringList{});

    // With room, the next load creates the whole placeholder line.
    disk.makeRoom();
    QCOMPARE(WinnersFile(disk.directory()).load().status, LoadResult::Status::Created);
    QCOMPARE(regtest::readBytes(path), kPlaceholderFile);
}

void TestRegisterDrills::twoRegistersOneAfterTheOther_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("between");   // done to the file after both loads
    QTest::addColumn<bool>("anaFirst");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray placeholder = kPlaceholderFile;
    for (const bool anaFirst : {true, false}) {
        const char *order = anaFirst ? ", Ana first" : ", Luis first";
        auto row = [&](const char *name, const QByteArray &file, const char *between,
                       const QByteArray &anaThenLuis, const QByteArray &luisThenAna) {
            QTest::newRow(qPrintable(QString(name) + order))
                << file << QString(between) << anaFirst << (anaFirst ? anaThenLuis : luisThenAna);
        };
        row("placeholder", placeholder, "", "Ana\r\nLuis\r\n", "Luis\r\nAna\r\n");
        row("existing names", "Eva\r\nPepe\r\n", "", "Eva\r\nPepe\r\nAna\r\nLuis\r\n",
            "Eva\r\nPepe\r\nLuis\r\nAna\r\n");
        row("empty file", "", "", "Ana\r\nLuis\r\n", "Luis\r\nAna\r\n");
        row("deleted in between", "Eva\r\n", "delete", "Ana\r\nLuis\r\n", "Luis\r\nAna\r\n");
        // Refused: what the file holds cannot be known, so it is left as it is.
        row("unreadable in between", "Eva\r\n", "unreadable", "Eva\r\n", "Eva\r\n");
    }
}

// Two registers on one file, as two copies of the program are: each loads, then each adds
// its winner, and the file keeps both, in the order they were added.
void TestRegisterDrills::twoRegistersOneAfterTheOther()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, between);
    QFETCH(bool, anaFirst);
    QFETCH(QByteArray, expected);
    QTemporaryDir dir;
    WinnersFile ana(dir.path()), luis(dir.path());
    QVERIFY(regtest::writeBytes(ana.path(), file));
    QCOMPARE(ana.load().status, LoadResult::Status::Read);
    QCOMPARE(luis.load().status, LoadResult::Status::Read);

    if (between == "delete")
        QVERIFY(QFile::remove(ana.path()));
    std::unique_ptr<regtest::AccessDenied> denied;
    if (between == "unreadable") {
        denied = std::make_unique<regtest::AccessDenied>(ana.path());
        QVERIFY(denied->ok());
        QVERIFY(!QFile(ana.path()).open(QIODevice::ReadOnly));
    }
    const bool refused = between == "unreadable";
    for (WinnersFile *copy : anaFirst ? QList<WinnersFile *>{&ana, &luis} : QList<WinnersFile *>{&luis, &ana}) {
        const winners::SaveResult saved = copy->addWinner(copy == &ana ? "Ana" : "Luis");
        QCOMPARE(saved.ok, !refused);
        if (refused)
            QVERIFY2(saved.error.startsWith("No se pudo guardar el archivo de ganadores " + ana.path()
                                            + ": no se pudo leer ("),
                     qPrintable(saved.error));
    }
    denied.reset();
    QCOMPARE(regtest::readBytes(ana.path()), expected);
    QCOMPARE(regtest::entriesOf(dir.path()), QStringList{"001MpTa.cms"});
}

void TestRegisterDrills::largeAndStrangeFiles_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("lines");

    QTest::newRow("100,000 names") << regtest::fileOf(regtest::names(100000, QStringLiteral("Ganador")))
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

// Loaded whole, a winner added: the bytes are the file's with line ends made CR LF, exactly,
// then the name.
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

    const winners::SaveResult saved = register_.addWinner("Eva");
    QVERIFY2(saved.ok, qPrintable(saved.error));
    const QByteArray after = regtest::readBytes(register_.path());
    const QByteArray expected = regtest::normalised(file) + "Eva\r\n";
    QCOMPARE(after.size(), expected.size());
    QVERIFY(after == expected);   // QCOMPARE would print a megabyte
    QCOMPARE(register_.load().lines, loaded.lines + QStringList{"Eva"});
}

void TestRegisterDrills::copyStalledMidSave_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<bool>("deleteFirst");   // the file is deleted before the stalled copy reads it
    QTest::addColumn<QString>("other");      // the winner the other copy saves meanwhile
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("names") << QByteArray("Eva\r\n") << false << "Luis" << QByteArray("Eva\r\nLuis\r\nAna\r\n");
    QTest::newRow("placeholder") << kPlaceholderFile << false << "Luis" << QByteArray("Luis\r\nAna\r\n");
    // The placeholder line and a 26-letter name take the same 28 bytes: the size alone does
    // not tell the two files apart.
    QTest::newRow("placeholder, then a name of the same size")
        << kPlaceholderFile << false << "Maximiliana de la Fuente R"
        << QByteArray("Maximiliana de la Fuente R\r\nAna\r\n");
    QTest::newRow("deleted before the stalled copy read it")
        << QByteArray("Eva\r\n") << true << "Luis" << QByteArray("Luis\r\nAna\r\n");
}

// A copy holding the lock is stopped between its read and its replace; the other
// copy waits the 2 s for the lock in vain and saves its winner without it; then the stopped
// copy continues.  The file holds both winners, each once, every line whole, and nothing
// else is left in the folder.
void TestRegisterDrills::copyStalledMidSave()
{
    QFETCH(QByteArray, before);
    QFETCH(bool, deleteFirst);
    QFETCH(QString, other);
    QFETCH(QByteArray, after);
    QTemporaryDir dir;
    const QString path = winners::filePath(dir.path());
    QVERIFY(regtest::writeBytes(path, before));
    WinnersFile otherCopy(dir.path());
    QCOMPARE(otherCopy.load().status, LoadResult::Status::Read);

    Child stalled({QStringLiteral("--add-stopped"), dir.path(), QStringLiteral("Ana")});
    QVERIFY(stalled.start());
    QCOMPARE(stalled.readLine(), QByteArray("ready"));
    if (deleteFirst)
        QVERIFY(QFile::remove(path));
    QVERIFY(stalled.say("go"));
    const QByteArray stopping = stalled.readLine();
    QVERIFY2(stopping.startsWith("stopping"), stopping.constData());
    const StoppedCopy stopped(stalled.process.processId(), stopping);
    QElapsedTimer timer;
    timer.start();
    while (!stopped.stopped() && timer.elapsed() < 10000)
        QThread::msleep(1);
    QVERIFY(stopped.stopped());

    timer.restart();
    const winners::SaveResult saved = otherCopy.addWinner(other);
    const qint64 waited = timer.elapsed();
    QVERIFY2(saved.ok, qPrintable(saved.error));
    QVERIFY2(waited >= 1900, qPrintable(QStringLiteral("saved after %1 ms: the lock was free").arg(waited)));

    QVERIFY(stopped.resume());
    QVERIFY(stalled.process.waitForFinished(30000));
    QCOMPARE(stalled.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(stalled.process.exitCode(), 0);
    QCOMPARE(stalled.rest(), QByteArray("1\n\n"));
    qInfo("the other copy saved after %lld ms; the stalled one then saved too", waited);

    QCOMPARE(regtest::readBytes(path), after);
    QCOMPARE(regtest::entriesOf(dir.path()), QStringList{"001MpTa.cms"});
}

void TestRegisterDrills::fileChangedBeforeReplace_data()
{
    QTest::addColumn<QString>("change");     // what happens to the file before the replace
    QTest::addColumn<bool>("everyRound");    // before every round's replace (up to 20), or the first only
    QTest::addColumn<bool>("saved");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QString>("reason");     // after the path, when refused
    QTest::addColumn<int>("rounds");         // rounds the save ran
    QTest::newRow("replaced by another save") << "rename" << false << true
                                              << QByteArray("Eva\r\nLuis\r\nAna\r\n") << QString() << 2;
    QTest::newRow("a line appended in place") << "append" << false << true
                                              << QByteArray("Eva\r\nLuis\r\nAna\r\n") << QString() << 2;
    // Same inode, same size, same second: only the nanoseconds tell.
    QTest::newRow("rewritten in place, same size, nanoseconds apart")
        << "same-size" << false << true << QByteArray("Pia\r\nAna\r\n") << QString() << 2;
    // Another file of the same size put in its place with the same modification time (a
    // copy that keeps times): only the inode tells.
    QTest::newRow("replaced by a file of the same size and time")
        << "same-time" << false << true << QByteArray("Pia\r\nAna\r\n") << QString() << 2;
    QTest::newRow("deleted") << "delete" << false << true << QByteArray("Ana\r\n") << QString() << 2;
    QTest::newRow("a folder put in its place")
        << "folder" << false << false << QByteArray() << QStringLiteral("en su lugar hay una carpeta") << 1;
    QTest::newRow("changed before every try")
        << "append" << true << false << QByteArray("Eva\r\nLuis\r\nLuis\r\nLuis\r\nLuis\r\nLuis\r\n")
        << QStringLiteral("otro programa lo cambiaba una y otra vez mientras se guardaba; no se ha tocado") << 5;
}

// Someone else changes the file after the save read it and before it replaces it: the save
// notices, reads the file again and adds its winner to what is there, or, when that cannot
// be done, refuses with the reason and leaves the other's change as it is.
void TestRegisterDrills::fileChangedBeforeReplace()
{
    QFETCH(QString, change);
    QFETCH(bool, everyRound);
    QFETCH(bool, saved);
    QFETCH(QByteArray, after);
    QFETCH(QString, reason);
    QFETCH(int, rounds);
    QTemporaryDir dir;
    const QString path = winners::filePath(dir.path());
    QVERIFY(regtest::writeBytes(path, "Eva\r\n"));
    WinnersFile register_(dir.path());
    QCOMPARE(register_.load().status, LoadResult::Status::Read);

    int calls = 0;
    bool changed = true;
    PausePoint pause([&] {
        // Bounded, so that a save that retried for ever would end, and fail the test.
        if (calls++ > 0 && (!everyRound || calls > 20))
            return;
        QFile file(path);
        regtest::FileTime before;
        changed = regtest::modifiedTime(path, before);
        const QString other = dir.filePath("other");
        if (change == "rename") {
            changed = changed && regtest::writeBytes(other, "Eva\r\nLuis\r\n") && regtest::renameOver(other, path);
        } else if (change == "append") {
            changed = changed && file.open(QIODevice::Append) && file.write("Luis\r\n") == 6;
        } else if (change == "same-size") {
            changed = changed && file.open(QIODevice::ReadWrite) && file.write("Pia") == 3;
            file.close();
            // One step of the system's clock later, within the same second.
            regtest::FileTime later = before;
            later.nanoseconds = before.nanoseconds + regtest::kTimeStepNs < 1000000000
                ? before.nanoseconds + regtest::kTimeStepNs : 0;
            changed = changed && regtest::setModifiedTime(path, later);
        } else if (change == "same-time") {
            changed = changed && regtest::writeBytes(other, "Pia\r\n") && regtest::setModifiedTime(other, before)
                && regtest::renameOver(other, path);
        } else if (change == "delete") {
            changed = changed && file.remove();
        } else if (change == "folder") {
            changed = changed && file.remove() && QDir(dir.path()).mkpath("001MpTa.cms/dentro");
        }
    });
    const winners::SaveResult result = register_.addWinner("Ana");
    QVERIFY(changed);
    QCOMPARE(calls, rounds);
    QCOMPARE(result.ok, saved);
    if (!saved)
        QCOMPARE(result.error, "No se pudo guardar el archivo de ganadores " + path + ": " + reason);
    if (change == "folder") {
        QCOMPARE(regtest::entriesOf(path), QStringList{"dentro"});
    } else {
        QCOMPARE(regtest::readBytes(path), after);
    }
    QCOMPARE(regtest::entriesOf(dir.path()), QStringList{"001MpTa.cms"});
}

int main(int argc, char **argv)
{
#ifdef Q_OS_WIN
    // A child's report is read byte for byte: no CR before its line ends.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    if (argc == 3 && qstrcmp(argv[1], "--add-loop") == 0)
        return addLoop(QString::fromLocal8Bit(argv[2]));
    if (argc == 3 && qstrcmp(argv[1], "--load-once") == 0)
        return loadOnce(QString::fromLocal8Bit(argv[2]));
    if (argc == 3 && qstrcmp(argv[1], "--add-once") == 0)
        return addOnce(QString::fromLocal8Bit(argv[2]));
    if (argc == 4 && qstrcmp(argv[1], "--add-stopped") == 0)
        return addStopped(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    if (argc >= 5 && qstrcmp(argv[1], "--add-many") == 0)
        return addMany(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]), std::atoi(argv[4]),
                       argc == 6 && qstrcmp(argv[5], "hold") == 0);
    QCoreApplication app(argc, argv);
    TestRegisterDrills drills;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&drills, argc, argv);
}

#include "test_register_drills.moc"
