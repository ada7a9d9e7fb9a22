// The winners file on real files: the code page, the line rules both ways, the location
// rule, the missing file, and the faults the register must survive without losing a name.

#include "cp1252.h"
#include "register_test_util.h"
#include "winners_file.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QtTest>

#include <ctime>
#include <memory>

using namespace pindel;
using winners::LoadResult;
using winners::WinnersFile;

namespace {

QString u(const char *utf8) { return QString::fromUtf8(utf8); }

const QByteArray kPlaceholderFile("Aun no lo ha logrado nadie\r\n");

QByteArray allBytes()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    return all;
}

} // namespace

class TestWinnersFile : public QObject {
    Q_OBJECT

private slots:
    void everyByteSurvives();
    void encodable_data();
    void encodable();

    void fileRoundTrip_data();
    void fileRoundTrip();

    void missingFileIsCreated_data();
    void missingFileIsCreated();

    void cleanDirectory_data();
    void cleanDirectory();
    void filePath_data();
    void filePath();
    void storableName_data();
    void storableName();

    void directoryInPlaceOfFile();
    void unreadableRegularFile();
    void dataDirectoryCannotBeCreated_data();
    void dataDirectoryCannotBeCreated();
    void saveRefusesWhatWouldComeBackChanged_data();
    void saveRefusesWhatWouldComeBackChanged();
    void saveRecreatesRemovedDirectory();
    void lockCannotBeTaken_data();
    void lockCannotBeTaken();
    void leftoverTemporaries_data();
    void leftoverTemporaries();
    void oddFileSwappedInAfterLoad_data();
    void oddFileSwappedInAfterLoad();
};

// Every byte value survives both ways, through Qt's converter and through the built-in
// table, and the two agree byte for byte.
void TestWinnersFile::everyByteSurvives()
{
    const QByteArray all = allBytes();
    const QString text = cp1252::decode(all);
    QCOMPARE(text.size(), 256);
    QCOMPARE(cp1252::decodeWithTable(all), text);
    bool exact = false, tableExact = false;
    QCOMPARE(cp1252::encode(text, &exact), all);
    QCOMPARE(cp1252::encodeWithTable(text, &tableExact), all);
    QVERIFY(exact && tableExact);
    cp1252::encodeWithTable(u("\u4e2d"), &tableExact);
    QVERIFY(!tableExact);
    // The points where Windows-1252 differs from Latin-1, and the undefined bytes.
    QCOMPARE(text.at(0x80), QChar(0x20AC));
    QCOMPARE(text.at(0x8C), QChar(0x0152));
    QCOMPARE(text.at(0x9F), QChar(0x0178));
    for (int undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        QCOMPARE(text.at(undefined), QChar(undefined));
    QCOMPARE(text.at(0xF1), QChar(0x00F1));
}

void TestWinnersFile::encodable_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("expected");
    QTest::newRow("spanish letters") << u("ñÑáéíóúüÜº´€¿¡") << true;
    QTest::newRow("windows-only letters") << u("ŒœŠšŽžŸƒ‰…—–“”‘’•™") << true;
    QTest::newRow("undefined bytes as C1") << u("\u0081\u008d\u008f\u0090\u009d") << true;
    QTest::newRow("no-break space") << u("\u00a0") << true;
    QTest::newRow("chinese") << u("a\u4e2db") << false;
    QTest::newRow("emoji (surrogate pair)") << u("\U0001F600") << false;
    QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << false;
    QTest::newRow("C1 without a byte") << u("\u0080") << false;
    QTest::newRow("latin extended") << u("\u0100") << false;
}

void TestWinnersFile::encodable()
{
    QFETCH(QString, text);
    QFETCH(bool, expected);
    QCOMPARE(cp1252::canEncode(text), expected);
    QCOMPARE(cp1252::canEncode(cp1252::decodeWithTable(cp1252::encodeWithTable(text))), true);
}

void TestWinnersFile::fileRoundTrip_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QByteArray>("saved");
    // `saved`: the file as a save writes its lines back; empty: the file as it was.
    auto row = [](const char *name, const QByteArray &file, const QStringList &lines,
                  const QByteArray &saved = {}) {
        QTest::newRow(name) << file << lines << (saved.isNull() ? file : saved);
    };
    row("two names, CR LF", "Ana\r\nLuis\r\n", {"Ana", "Luis"});
    row("CR alone ends a line", "Ana\rLuis\r", {"Ana", "Luis"}, "Ana\r\nLuis\r\n");
    row("LF alone stays in the entry", "Ana\nLuis\nEva\n", {"Ana\nLuis\nEva\n"}, "Ana\nLuis\nEva\n\r\n");
    row("no final line end", "Ana\r\nLuis", {"Ana", "Luis"}, "Ana\r\nLuis\r\n");
    row("empty line between names", "Ana\r\n\r\nLuis\r\n", {"Ana", "", "Luis"});
    row("zero bytes", "", {});
    row("one empty line", "\r\n", {""});
    row("CR then CR LF: two empty lines", "\r\r\n", {"", ""}, "\r\n\r\n");
    row("LF then CR LF", "\n\r\n", {"\n"});
    row("LF CR is text then a line end", "a\n\rb", {"a\n", "b"}, "a\n\r\nb\r\n");
    row("mixed line ends", "a\rb\r\nc\nd", {"a", "b", "c\nd"}, "a\r\nb\r\nc\nd\r\n");
    row("blanks are kept", "  Ana  \r\n\t\r\n", {"  Ana  ", "\t"});
    row("placeholder after a name", "Ana\r\nAun no lo ha logrado nadie\r\n", {"Ana", "Aun no lo ha logrado nadie"});
    row("27 characters", QByteArray(27, 'x') + "\r\n", {QString(27, QChar('x'))});
    row("cp1252 letters", "Mu\xf1oz\r\n\xe1\xe9\xed\xf3\xfa\xfc \xba\xb4 \x80\r\nN\xba 1\r\n",
        {u("Muñoz"), u("áéíóúü º´ €"), u("Nº 1")});
    // Every byte value in one file: all come back; the one CR, followed by 0x0E, gains its LF.
    const QByteArray all = allBytes();
    row("every byte value", all, {cp1252::decode(all.left(0x0D)), cp1252::decode(all.mid(0x0E))},
        all.left(0x0D) + "\r\n" + all.mid(0x0E) + "\r\n");
    row("NUL inside a name", QByteArray("a\0b\r\n", 5), {QString("a") + QChar(0) + "b"});
}

// Load, add a winner, load again: the lines read are written back in the format's bytes,
// then the new name.
void TestWinnersFile::fileRoundTrip()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, lines);
    QFETCH(QByteArray, saved);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    WinnersFile register_(dir.path());
    QVERIFY(regtest::writeBytes(register_.path(), file));

    const LoadResult loaded = register_.load();
    QCOMPARE(loaded.status, LoadResult::Status::Read);
    QVERIFY(loaded.error.isEmpty());
    QCOMPARE(loaded.lines, lines);
    QCOMPARE(regtest::readBytes(register_.path()), file);  // a load writes nothing

    const winners::SaveResult result = register_.addWinner("Eva");
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(regtest::readBytes(register_.path()), saved + "Eva\r\n");
    QCOMPARE(regtest::normalised(file), saved);   // the test's own rule agrees
    QCOMPARE(WinnersFile(dir.path()).load().lines, lines + QStringList{"Eva"});
}

void TestWinnersFile::missingFileIsCreated_data()
{
    QTest::addColumn<QString>("subdirectory");
    QTest::newRow("directory exists") << QString();
    QTest::newRow("directory missing") << QStringLiteral("pindel");
    QTest::newRow("two levels missing") << QStringLiteral("share/pindel");
}

void TestWinnersFile::missingFileIsCreated()
{
    QFETCH(QString, subdirectory);
    QTemporaryDir dir;
    const QString directory = subdirectory.isEmpty() ? dir.path() : dir.filePath(subdirectory);
    WinnersFile register_(directory);

    const LoadResult loaded = register_.load();
    QCOMPARE(loaded.status, LoadResult::Status::Created);
    QVERIFY(loaded.ok());
    QVERIFY(loaded.error.isEmpty());
    QCOMPARE(loaded.path, directory + "/001MpTa.cms");
    QCOMPARE(loaded.lines, QStringList{"Aun no lo ha logrado nadie"});
    const QByteArray bytes = regtest::readBytes(loaded.path);
    QCOMPARE(bytes.size(), 28);
    QCOMPARE(bytes, kPlaceholderFile);
    QCOMPARE(regtest::entriesOf(directory), QStringList{"001MpTa.cms"});

    const LoadResult again = register_.load();
    QCOMPARE(again.status, LoadResult::Status::Read);
    QCOMPARE(again.lines, loaded.lines);
    QCOMPARE(regtest::readBytes(loaded.path), kPlaceholderFile);

    // The first winner replaces the placeholder, the next ones follow, as typed.
    for (const QString &name : {QString("Ana"), QString("Ana"), u("Iñigo")}) {
        const winners::SaveResult saved = register_.addWinner(name);
        QVERIFY2(saved.ok, qPrintable(saved.error));
        QCOMPARE(saved.path, loaded.path);
    }
    QCOMPARE(regtest::readBytes(loaded.path), QByteArray("Ana\r\nAna\r\nI\xf1igo\r\n"));
}

void TestWinnersFile::cleanDirectory_data()
{
    QTest::addColumn<QString>("reported");
    QTest::addColumn<bool>("ignoresCase");
    QTest::addColumn<QString>("expected");
    QTest::newRow("windows: lower-cased, spaces cut") << "C:\\WINDOWS\\System32  " << true
                                                      << "c:\\windows\\system32";
    QTest::newRow("linux: case kept") << "/home/Ana/.local/share/pindel" << false
                                      << "/home/Ana/.local/share/pindel";
    QTest::newRow("linux: spaces cut, case kept") << "/home/ANA/pindel   " << false << "/home/ANA/pindel";
    QTest::newRow("leading blanks and inner spaces kept") << "  /a b/c " << false << "  /a b/c";
    QTest::newRow("only spaces are trailing blanks") << "/a/b\t" << false << "/a/b\t";
    QTest::newRow("accented capitals") << u("C:\\Usuarios\\ÑANDÚ ") << true << u("c:\\usuarios\\ñandú");
    QTest::newRow("empty") << "" << true << "";
    QTest::newRow("spaces only") << "   " << false << "";
}

void TestWinnersFile::cleanDirectory()
{
    QFETCH(QString, reported);
    QFETCH(bool, ignoresCase);
    QFETCH(QString, expected);
    QCOMPARE(winners::cleanDirectory(reported, ignoresCase), expected);
}

void TestWinnersFile::filePath_data()
{
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << "/home/ana/pindel" << "/home/ana/pindel/001MpTa.cms";
    QTest::newRow("root") << "/" << "/001MpTa.cms";
    QTest::newRow("empty: from the root") << "" << "/001MpTa.cms";
}

void TestWinnersFile::filePath()
{
    QFETCH(QString, directory);
    QFETCH(QString, expected);
    QCOMPARE(winners::filePath(directory), expected);
    QCOMPARE(WinnersFile(directory).path(), expected);
}

void TestWinnersFile::storableName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("storable");
    QTest::newRow("plain") << "Ana" << true;
    QTest::newRow("accents") << u("José Muñoz Güell") << true;
    QTest::newRow("spaces only") << "   " << true;
    QTest::newRow("euro and ordinal") << u("€ 1º") << true;
    QTest::newRow("windows letters") << u("Œdipe Šárka") << true;
    QTest::newRow("CR would split it") << "Ana\rLuis" << false;
    QTest::newRow("LF") << "Ana\nLuis" << false;
    QTest::newRow("tab") << "Ana\tLuis" << false;
    QTest::newRow("NUL") << QString("Ana") + QChar(0) << false;
    QTest::newRow("DEL") << QString("Ana") + QChar(0x7F) << false;
    QTest::newRow("C1 with a byte of its own") << u("Ana\u0081") << false;
    QTest::newRow("C1 next line") << u("Ana\u0085") << false;
    QTest::newRow("not in the code page") << u("\u5f20\u4f1f") << false;
    QTest::newRow("emoji") << u("Ana \U0001F600") << false;
    QTest::newRow("lone surrogate") << QString("Ana") + QChar(0xDC00) << false;
    QTest::newRow("polish letter") << u("Łukasz") << false;
}

void TestWinnersFile::storableName()
{
    QFETCH(QString, name);
    QFETCH(bool, storable);
    QCOMPARE(winners::isStorableName(name), storable);
    if (storable) {
        // What the check promises: the name comes back as the same single entry.
        QCOMPARE(winners::decodeLines(winners::encodeLines({name})), QStringList{name});
    }
}

// A directory where the file should be: the load reports it and writes nothing; the save
// is refused, and the directory with what it holds is left alone.
void TestWinnersFile::directoryInPlaceOfFile()
{
    QTemporaryDir dir;
    WinnersFile register_(dir.path());
    QVERIFY(QDir(dir.path()).mkpath("001MpTa.cms/inside"));

    const LoadResult loaded = register_.load();
    QCOMPARE(loaded.status, LoadResult::Status::Unreadable);
    QVERIFY(loaded.lines.isEmpty());
    QVERIFY2(loaded.error.startsWith("No se pudo leer el archivo de ganadores " + register_.path()),
             qPrintable(loaded.error));

    // Refused after that load, and tried and failed by a register that never loaded.
    for (WinnersFile saver : {register_, WinnersFile(dir.path())}) {
        const winners::SaveResult saved = saver.addWinner("Ana");
        QVERIFY(!saved.ok);
        QVERIFY2(saved.error.contains(register_.path()), qPrintable(saved.error));
        QCOMPARE(regtest::entriesOf(register_.path()), QStringList{"inside"});
    }
    QCOMPARE(regtest::entriesOf(dir.path()), QStringList{"001MpTa.cms"});

    // Once the path holds a readable file again, loading and saving work again.
    QVERIFY(QDir(register_.path()).removeRecursively());
    QVERIFY(regtest::writeBytes(register_.path(), "Eva\r\n"));
    QCOMPARE(register_.load().status, LoadResult::Status::Read);
    QVERIFY(register_.addWinner("Ana").ok);
    QCOMPARE(regtest::readBytes(register_.path()), QByteArray("Eva\r\nAna\r\n"));
}

// A regular file the system refuses to read: the load says so and writes nothing, and the
// save after it is refused even once the file reads again, since a register only ever
// writes a file its load read whole.
void TestWinnersFile::unreadableRegularFile()
{
    QTemporaryDir dir;
    WinnersFile register_(dir.path());
    QVERIFY(regtest::writeBytes(register_.path(), "Ana\r\n"));
    {
        regtest::AccessDenied denied(register_.path());
        QVERIFY(denied.ok());
        const LoadResult loaded = register_.load();
        QCOMPARE(loaded.status, LoadResult::Status::Unreadable);
        QVERIFY(loaded.lines.isEmpty());
        QVERIFY2(loaded.error.startsWith("No se pudo leer el archivo de ganadores " + register_.path() + ": "),
                 qPrintable(loaded.error));
    }
    const winners::SaveResult saved = register_.addWinner("Eva");
    QVERIFY(!saved.ok);
    QCOMPARE(saved.error, "No se pudo guardar el archivo de ganadores " + register_.path()
                              + u(": no se pudo leer entero al abrir el tablero y se perderían los "
                                  "nombres que guarda"));
    QCOMPARE(regtest::readBytes(register_.path()), QByteArray("Ana\r\n"));
    QCOMPARE(regtest::entriesOf(dir.path()), QStringList{"001MpTa.cms"});
}

void TestWinnersFile::dataDirectoryCannotBeCreated_data()
{
    QTest::addColumn<QString>("blocker");    // a regular file created first, relative
    QTest::addColumn<QString>("directory");  // the data directory, relative
    QTest::newRow("data directory is a regular file") << "pindel" << "pindel";
    QTest::newRow("a parent is a regular file") << "share" << "share/pindel";
    QTest::newRow("name longer than any file system allows") << "" << QString(300, QChar('d'));
}

// Nothing can be created there for anyone, root included: the board still gets the
// placeholder, the player gets the reason, and the blocking file is left as it was.
void TestWinnersFile::dataDirectoryCannotBeCreated()
{
    QFETCH(QString, blocker);
    QFETCH(QString, directory);
    QTemporaryDir dir;
    const QByteArray blockerBytes("not a directory\r\n");
    if (!blocker.isEmpty())
        QVERIFY(regtest::writeBytes(dir.filePath(blocker), blockerBytes));
    WinnersFile register_(dir.filePath(directory));

    const LoadResult loaded = register_.load();
    QCOMPARE(loaded.status, LoadResult::Status::CreateFailed);
    QCOMPARE(loaded.lines, QStringList{"Aun no lo ha logrado nadie"});
    QVERIFY2(loaded.error.startsWith("No se pudo crear el archivo de ganadores " + register_.path() + ": "),
             qPrintable(loaded.error));
    QVERIFY(loaded.error.size() > QString("No se pudo crear el archivo de ganadores ").size()
                                      + register_.path().size() + 4);

    const winners::SaveResult saved = register_.addWinner("Ana");
    QVERIFY(!saved.ok);
    QVERIFY2(saved.error.contains(register_.path()), qPrintable(saved.error));
    if (!blocker.isEmpty())
        QCOMPARE(regtest::readBytes(dir.filePath(blocker)), blockerBytes);
    QCOMPARE(regtest::entriesOf(dir.path()), blocker.isEmpty() ? QStringList{} : QStringList{blocker});
}

void TestWinnersFile::saveRefusesWhatWouldComeBackChanged_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("CR would split it") << "Luis\rEva";
    QTest::newRow("LF, a control character") << "Luis\nEva";
    QTest::newRow("character outside the code page") << u("\u5f20\u4f1f");
    QTest::newRow("lone surrogate") << QString("Ana") + QChar(0xD800);
}

void TestWinnersFile::saveRefusesWhatWouldComeBackChanged()
{
    QFETCH(QString, name);
    QTemporaryDir dir;
    WinnersFile register_(dir.path());
    QVERIFY(regtest::writeBytes(register_.path(), "Eva\r\n"));
    QCOMPARE(register_.load().status, LoadResult::Status::Read);
    const winners::SaveResult saved = register_.addWinner(name);
    QVERIFY(!saved.ok);
    QVERIFY2(saved.error.contains(register_.path()), qPrintable(saved.error));
    QCOMPARE(regtest::readBytes(register_.path()), QByteArray("Eva\r\n"));
}

void TestWinnersFile::saveRecreatesRemovedDirectory()
{
    QTemporaryDir dir;
    WinnersFile register_(dir.filePath("pindel"));
    QCOMPARE(register_.load().status, LoadResult::Status::Created);
    QVERIFY(QDir(register_.directory()).removeRecursively());
    QVERIFY(register_.addWinner("Ana").ok);
    QCOMPARE(regtest::readBytes(register_.path()), QByteArray("Ana\r\n"));
    QCOMPARE(regtest::entriesOf(register_.directory()), QStringList{"001MpTa.cms"});
}

void TestWinnersFile::lockCannotBeTaken_data()
{
    QTest::addColumn<QString>("lock");   // who keeps the lock from the save
    QTest::addColumn<bool>("saved");
    QTest::addColumn<int>("minMs");
    QTest::addColumn<int>("maxMs");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QStringList>("left");   // what the folder holds afterwards
    const QStringList fileAlone{"001MpTa.cms"};
    QTest::newRow("another copy holds it: saved after about 2 s")
        << "held" << true << 1900 << 4000 << QByteArray("Eva\r\nAna\r\n")
        << QStringList{"001MpTa.cms", "001MpTa.cms.lock"};   // the other copy's to remove
    QTest::newRow("folder is read-only: no wait, refused")
        << "read-only" << false << 0 << 1000 << QByteArray("Eva\r\n") << fileAlone;
    // A copy killed between creating the lock file and writing its process id into it: the
    // empty file is cleared once it is a second old, and the save takes the lock.
    QTest::newRow("left empty by a killed copy: cleared after about 1 s")
        << "empty" << true << 500 << 1800 << QByteArray("Eva\r\nAna\r\n") << fileAlone;
}

// Without the lock a save waits a little, never long, and then does what it can without it.
void TestWinnersFile::lockCannotBeTaken()
{
    QFETCH(QString, lock);
    QFETCH(bool, saved);
    QFETCH(int, minMs);
    QFETCH(int, maxMs);
    QFETCH(QByteArray, after);
    QFETCH(QStringList, left);
    QTemporaryDir dir;
    WinnersFile register_(dir.path());
    QVERIFY(regtest::writeBytes(register_.path(), "Eva\r\n"));
    QCOMPARE(register_.load().status, LoadResult::Status::Read);

    QLockFile other(winners::lockPath(dir.path()));
    std::unique_ptr<regtest::ReadOnlyFolder> readOnly;
    if (lock == "held") {
        QVERIFY(other.tryLock(0));
    } else if (lock == "read-only") {
        readOnly = std::make_unique<regtest::ReadOnlyFolder>(dir.path());
#ifdef Q_OS_WIN
        if (!readOnly->ok())
            QSKIP("this system lets the user add files to a folder whose access list forbids it");
#endif
    } else {
        QVERIFY(regtest::writeBytes(winners::lockPath(dir.path()), QByteArray()));
    }
    QElapsedTimer timer;
    timer.start();
    const winners::SaveResult result = register_.addWinner("Ana");
    const qint64 waited = timer.elapsed();
    readOnly.reset();

    QCOMPARE(result.ok, saved);
    QVERIFY2(waited >= minMs && waited <= maxMs, qPrintable(QString("%1 ms").arg(waited)));
    if (!saved)
        QVERIFY2(result.error.startsWith("No se pudo guardar el archivo de ganadores " + register_.path() + ": "),
                 qPrintable(result.error));
    QCOMPARE(regtest::readBytes(register_.path()), after);
    QCOMPARE(regtest::entriesOf(dir.path()), left);
}

void TestWinnersFile::leftoverTemporaries_data()
{
    QTest::addColumn<QString>("kind");   // what is put in the folder before the save
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("ageSeconds");
    QTest::addColumn<bool>("remains");
    QTest::newRow("leftover, two minutes old") << "file" << "001MpTa.cms.AbCdEf" << 120 << false;
    QTest::newRow("leftover, a day old, capitals") << "file" << "001MpTa.cms.QWERTY" << 86400 << false;
    QTest::newRow("leftover, small letters") << "file" << "001MpTa.cms.qwerty" << 120 << false;
    QTest::newRow("named by Qt's own temporary file") << "qt" << "" << 120 << false;
    QTest::newRow("fresh: a save in progress") << "file" << "001MpTa.cms.AbCdEf" << 0 << true;
    QTest::newRow("half a minute old") << "file" << "001MpTa.cms.AbCdEf" << 30 << true;
    QTest::newRow("a digit among the letters") << "file" << "001MpTa.cms.AbCd3f" << 120 << true;
    QTest::newRow("seven letters") << "file" << "001MpTa.cms.AbCdEfG" << 120 << true;
    QTest::newRow("five letters") << "file" << "001MpTa.cms.AbCdE" << 120 << true;
    QTest::newRow("an accented letter") << "file" << u("001MpTa.cms.AbCdÉf") << 120 << true;
    QTest::newRow("a dot among the letters") << "file" << "001MpTa.cms.AbC.Ef" << 120 << true;
    QTest::newRow("another file's temporary") << "file" << "otro.cms.AbCdEf" << 120 << true;
    QTest::newRow("the name in other case") << "file" << "001mpta.cms.AbCdEf" << 120 << true;
    QTest::newRow("no dot before the letters") << "file" << "001MpTa.cms_AbCdEf" << 120 << true;
    QTest::newRow("a folder of that form") << "folder" << "001MpTa.cms.AbCdEf" << 120 << true;
    QTest::newRow("a symbolic link of that form") << "symlink" << "001MpTa.cms.AbCdEf" << 120 << true;
    QTest::newRow("a named pipe of that form") << "fifo" << "001MpTa.cms.AbCdEf" << 120 << true;
    // Without the lock a save removes nothing: the holder may be a copy in the middle of
    // a save, stalled long enough for its temporary to look old.
    QTest::newRow("leftover, the lock held by another copy") << "locked" << "001MpTa.cms.AbCdEf" << 120 << true;
}

// What the folder holds before a save and what remains after it: only leftover temporaries
// of the winners file, old enough, regular files, go; the save itself goes through.
void TestWinnersFile::leftoverTemporaries()
{
    QFETCH(QString, kind);
    QFETCH(QString, name);
    QFETCH(int, ageSeconds);
    QFETCH(bool, remains);
    QTemporaryDir dir;
    WinnersFile register_(dir.path());
    QVERIFY(regtest::writeBytes(register_.path(), "Eva\r\n"));
    QCOMPARE(register_.load().status, LoadResult::Status::Read);

    // Modification time `ageSeconds` ago, of the entry itself (a link, not what it names).
    auto makeOld = [ageSeconds](const QString &path) {
        return regtest::setModifiedTime(path, {std::time(nullptr) - ageSeconds, 0});
    };
    QStringList expected{"001MpTa.cms"};
    QLockFile other(winners::lockPath(dir.path()));
    if (kind == "qt") {
        // The name made by the same machinery the atomic replace uses.
        QTemporaryFile temporary(register_.path());
        temporary.setAutoRemove(false);
        QVERIFY(temporary.open());
        QCOMPARE(temporary.write("Eva\r\nA"), 6);
        name = QFileInfo(temporary.fileName()).fileName();
        QVERIFY2(name.startsWith("001MpTa.cms.") && name.size() == 18, qPrintable(name));
    } else if (kind == "folder") {
        QVERIFY(QDir(dir.path()).mkpath(name + "/dentro"));
    } else if (kind == "symlink") {
        // The link names an old regular file: a sweep that followed it would take it.
        QVERIFY(regtest::writeBytes(dir.filePath("destino.txt"), "Eva\r\nA"));
        QVERIFY(makeOld(dir.filePath("destino.txt")));
        const bool linked = regtest::symbolicLink("destino.txt", dir.filePath(name));
#ifdef Q_OS_WIN
        if (!linked)
            QSKIP("Windows makes no symbolic link here for this user");
#endif
        QVERIFY(linked);
        expected.append("destino.txt");
    } else if (kind == "fifo") {
#ifdef Q_OS_WIN
        QSKIP(regtest::kNoNamedPipes);
#else
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(name)).constData(), 0600), 0);
#endif
    } else {
        QVERIFY(regtest::writeBytes(dir.filePath(name), "Eva\r\nA"));
    }
    if (kind == "locked")
        QVERIFY(other.tryLock(0));
    QVERIFY(makeOld(dir.filePath(name)));
    if (remains)
        expected.append(name);
    if (kind == "locked")
        expected.append("001MpTa.cms.lock");

    const winners::SaveResult saved = register_.addWinner("Ana");
    QVERIFY2(saved.ok, qPrintable(saved.error));
    QCOMPARE(regtest::readBytes(register_.path()), QByteArray("Eva\r\nAna\r\n"));
    expected.sort();
    QStringList left = regtest::entriesOf(dir.path());
    left.sort();
    QCOMPARE(left, expected);
    if (kind == "folder")
        QCOMPARE(regtest::entriesOf(dir.filePath(name)), QStringList{"dentro"});
    if (kind == "symlink")
        QCOMPARE(regtest::readBytes(dir.filePath("destino.txt")), QByteArray("Eva\r\nA"));
}

void TestWinnersFile::oddFileSwappedInAfterLoad_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("folder") << "folder" << "en su lugar hay una carpeta";
    QTest::newRow("named pipe") << "fifo" << "no es un archivo normal";
}

// Something other than a regular file put in the file's place after the board opened: the
// save refuses it with the reason, promptly (reading a named pipe would wait for a writer
// for ever), and leaves it as it is.  A watchdog opens the pipe for writing after 5 s, so
// that a save stuck reading it ends and the test fails instead of hanging.
void TestWinnersFile::oddFileSwappedInAfterLoad()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    WinnersFile register_(dir.path());
    QVERIFY(regtest::writeBytes(register_.path(), "Eva\r\n"));
    QCOMPARE(register_.load().status, LoadResult::Status::Read);
    QVERIFY(QFile::remove(register_.path()));
    if (kind == "folder") {
        QVERIFY(QDir(dir.path()).mkpath("001MpTa.cms/dentro"));
    } else {
#ifdef Q_OS_WIN
        QSKIP(regtest::kNoNamedPipes);
#else
        QCOMPARE(::mkfifo(QFile::encodeName(register_.path()).constData(), 0600), 0);
#endif
    }

    regtest::PipeWatchdog watchdog(register_.path());
    QElapsedTimer timer;
    timer.start();
    const winners::SaveResult saved = register_.addWinner("Ana");
    const qint64 took = timer.elapsed();

    QVERIFY2(!watchdog.finish(), "the save was stuck on the named pipe");
    QVERIFY2(took < 1000, qPrintable(QStringLiteral("%1 ms").arg(took)));
    QVERIFY(!saved.ok);
    QCOMPARE(saved.error, "No se pudo guardar el archivo de ganadores " + register_.path() + ": " + reason);
    const QFileInfo after(register_.path());
    if (kind == "folder")
        QCOMPARE(regtest::entriesOf(register_.path()), QStringList{"dentro"});
    else
        QVERIFY(!after.isDir() && after.exists() && !after.isFile());
    QCOMPARE(regtest::entriesOf(dir.path()), QStringList{"001MpTa.cms"});
}

QTEST_GUILESS_MAIN(TestWinnersFile)
#include "test_winners_file.moc"
