// The winners file on real files: the code page, the line rules both ways, the location
// rule, the missing file, and the faults the register must survive without losing a name.

#include "cp1252.h"
#include "register_test_util.h"
#include "winners_file.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryDir>
#include <QtTest>

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
    std::unique_ptr<regtest::AccessDenied> readOnly;
    if (lock == "held")
        QVERIFY(other.tryLock(0));
    else if (lock == "read-only")
        readOnly = std::make_unique<regtest::AccessDenied>(dir.path(), 0555);
    else
        QVERIFY(regtest::writeBytes(winners::lockPath(dir.path()), QByteArray()));
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

QTEST_GUILESS_MAIN(TestWinnersFile)
#include "test_winners_file.moc"
