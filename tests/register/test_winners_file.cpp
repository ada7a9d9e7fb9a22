// The winners file on real files: the code page, the line rules both ways, the location
// rule, the missing file, and the faults the register must survive without losing a name.

#include "cp1252.h"
#include "register_test_util.h"
#include "winners_file.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

using namespace pindel;
using winners::LoadResult;
using winners::WinnersFile;

namespace {

QString u(const char *utf8) { return QString::fromUtf8(utf8); }

const QByteArray kPlaceholderFile("Aun no lo ha logrado nadie\r\n");

} // namespace

class TestWinnersFile : public QObject {
    Q_OBJECT

private slots:
    void everyByteSurvives();
    void tableAgreesWithConverter();
    void encodable_data();
    void encodable();

    void fileRoundTrip_data();
    void fileRoundTrip();
    void everyByteInAFile();
    void entriesAreWrittenAsGiven_data();
    void entriesAreWrittenAsGiven();

    void missingFileIsCreated_data();
    void missingFileIsCreated();
    void emptyFileStaysEmpty();

    void cleanDirectory_data();
    void cleanDirectory();
    void filePath_data();
    void filePath();
    void storableName_data();
    void storableName();

    void directoryInPlaceOfFile();
    void dataDirectoryCannotBeCreated_data();
    void dataDirectoryCannotBeCreated();
    void saveRefusesWhatWouldComeBackChanged_data();
    void saveRefusesWhatWouldComeBackChanged();
    void saveRecreatesRemovedDirectory();
};

void TestWinnersFile::everyByteSurvives()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = cp1252::decode(all);
    QCOMPARE(text.size(), 256);
    bool exact = false;
    QCOMPARE(cp1252::encode(text, &exact), all);
    QVERIFY(exact);
    // The points where Windows-1252 differs from Latin-1, and the undefined bytes.
    QCOMPARE(text.at(0x80), QChar(0x20AC));
    QCOMPARE(text.at(0x8C), QChar(0x0152));
    QCOMPARE(text.at(0x9F), QChar(0x0178));
    for (int undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        QCOMPARE(text.at(undefined), QChar(undefined));
    QCOMPARE(text.at(0xF1), QChar(0x00F1));
}

void TestWinnersFile::tableAgreesWithConverter()
{
    for (int b = 0; b < 256; ++b) {
        const QByteArray byte(1, char(b));
        const QString viaConverter = cp1252::decode(byte);
        QCOMPARE(cp1252::decodeWithTable(byte), viaConverter);
        bool exact = false;
        QCOMPARE(cp1252::encodeWithTable(viaConverter, &exact), byte);
        QVERIFY(exact);
    }
    bool exact = true;
    cp1252::encodeWithTable(u("\u4e2d"), &exact);
    QVERIFY(!exact);
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

    QTest::newRow("two names, CR LF") << QByteArray("Ana\r\nLuis\r\n")
                                      << QStringList{"Ana", "Luis"} << QByteArray("Ana\r\nLuis\r\n");
    QTest::newRow("CR alone ends a line") << QByteArray("Ana\rLuis\r")
                                          << QStringList{"Ana", "Luis"} << QByteArray("Ana\r\nLuis\r\n");
    QTest::newRow("LF alone stays in the entry") << QByteArray("Ana\nLuis\nEva\n")
                                                 << QStringList{"Ana\nLuis\nEva\n"}
                                                 << QByteArray("Ana\nLuis\nEva\n\r\n");
    QTest::newRow("no final line end") << QByteArray("Ana\r\nLuis")
                                       << QStringList{"Ana", "Luis"} << QByteArray("Ana\r\nLuis\r\n");
    QTest::newRow("empty line between names") << QByteArray("Ana\r\n\r\nLuis\r\n")
                                              << QStringList{"Ana", "", "Luis"}
                                              << QByteArray("Ana\r\n\r\nLuis\r\n");
    QTest::newRow("zero bytes") << QByteArray() << QStringList{} << QByteArray();
    QTest::newRow("one empty line") << QByteArray("\r\n") << QStringList{""} << QByteArray("\r\n");
    QTest::newRow("CR then CR LF: two empty lines") << QByteArray("\r\r\n")
                                                    << QStringList{"", ""} << QByteArray("\r\n\r\n");
    QTest::newRow("LF then CR LF") << QByteArray("\n\r\n") << QStringList{"\n"} << QByteArray("\n\r\n");
    QTest::newRow("LF CR is text then a line end") << QByteArray("a\n\rb")
                                                   << QStringList{"a\n", "b"} << QByteArray("a\n\r\nb\r\n");
    QTest::newRow("mixed line ends") << QByteArray("a\rb\r\nc\nd")
                                     << QStringList{"a", "b", "c\nd"} << QByteArray("a\r\nb\r\nc\nd\r\n");
    QTest::newRow("blanks are kept") << QByteArray("  Ana  \r\n\t\r\n")
                                     << QStringList{"  Ana  ", "\t"} << QByteArray("  Ana  \r\n\t\r\n");
    QTest::newRow("placeholder and names") << QByteArray("Aun no lo ha logrado nadie\r\nAna\r\n")
                                           << QStringList{"Aun no lo ha logrado nadie", "Ana"}
                                           << QByteArray("Aun no lo ha logrado nadie\r\nAna\r\n");
    QTest::newRow("cp1252 letters")
        << QByteArray("Mu\xf1oz\r\n\xe1\xe9\xed\xf3\xfa\xfc \xba\xb4 \x80\r\nN\xba 1\r\n")
        << QStringList{u("Muñoz"), u("áéíóúü º´ €"), u("Nº 1")}
        << QByteArray("Mu\xf1oz\r\n\xe1\xe9\xed\xf3\xfa\xfc \xba\xb4 \x80\r\nN\xba 1\r\n");
    QTest::newRow("NUL inside a name") << QByteArray("a\0b\r\n", 5) << QStringList{QString("a") + QChar(0) + "b"}
                                       << QByteArray("a\0b\r\n", 5);
}

// Load, save the lines as loaded, load again: the bytes are the format's, the lines stay.
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

    const winners::SaveResult result = register_.save(loaded.lines);
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(regtest::readBytes(register_.path()), saved);
    QCOMPARE(regtest::normalised(file), saved);

    const LoadResult again = WinnersFile(dir.path()).load();
    QCOMPARE(again.lines, lines);
    QCOMPARE(winners::decodeLines(saved), lines);
    QCOMPARE(winners::encodeLines(lines), saved);
}

// Every byte value in one file: all but CR come back, and the one CR, followed by 0x0E,
// gains its LF.
void TestWinnersFile::everyByteInAFile()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    QTemporaryDir dir;
    WinnersFile register_(dir.path());
    QVERIFY(regtest::writeBytes(register_.path(), all));

    const LoadResult loaded = register_.load();
    QCOMPARE(loaded.status, LoadResult::Status::Read);
    QCOMPARE(loaded.lines.size(), 2);
    QCOMPARE(loaded.lines.at(0).size(), 0x0D);
    QCOMPARE(loaded.lines.at(1).size(), 0xFF - 0x0D);
    QVERIFY(register_.save(loaded.lines).ok);
    QCOMPARE(regtest::readBytes(register_.path()), all.left(0x0D) + "\r\n" + all.mid(0x0E) + "\r\n");

    // Written with CR LF after every line, the same bytes come back exactly.
    const QByteArray exact = all.left(0x0D) + "\r\n" + all.mid(0x0E) + "\r\n";
    QVERIFY(regtest::writeBytes(register_.path(), exact));
    QVERIFY(register_.save(register_.load().lines).ok);
    QCOMPARE(regtest::readBytes(register_.path()), exact);
}

void TestWinnersFile::entriesAreWrittenAsGiven_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("no entries") << QStringList{} << QByteArray();
    QTest::newRow("first winner") << QStringList{"Ana"} << QByteArray("Ana\r\n");
    QTest::newRow("third name") << QStringList{"Ana", "Luis", u("Iñigo")}
                                << QByteArray("Ana\r\nLuis\r\nI\xf1igo\r\n");
    QTest::newRow("27 characters") << QStringList{QString(27, QChar('x'))}
                                   << QByteArray(27, 'x') + "\r\n";
    QTest::newRow("duplicate names") << QStringList{"Eva", "Eva"} << QByteArray("Eva\r\nEva\r\n");
}

void TestWinnersFile::entriesAreWrittenAsGiven()
{
    QFETCH(QStringList, entries);
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    WinnersFile register_(dir.path());
    QCOMPARE(register_.load().status, LoadResult::Status::Created);
    const winners::SaveResult result = register_.save(entries);
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(result.path, register_.path());
    QCOMPARE(regtest::readBytes(register_.path()), bytes);
    QCOMPARE(WinnersFile(dir.path()).load().lines, entries);
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
}

void TestWinnersFile::emptyFileStaysEmpty()
{
    QTemporaryDir dir;
    WinnersFile register_(dir.path());
    QVERIFY(regtest::writeBytes(register_.path(), {}));
    const LoadResult loaded = register_.load();
    QCOMPARE(loaded.status, LoadResult::Status::Read);
    QVERIFY(loaded.lines.isEmpty());
    QCOMPARE(QFileInfo(register_.path()).size(), 0);
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
    QTest::newRow("plain") << "/home/ana/.local/share/pindel" << "/home/ana/.local/share/pindel/001MpTa.cms";
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
    QVERIFY(!loaded.ok());
    QVERIFY(loaded.lines.isEmpty());
    QVERIFY2(loaded.error.contains(register_.path()), qPrintable(loaded.error));
    QVERIFY(loaded.error.startsWith("No se pudo leer el archivo de ganadores"));

    const winners::SaveResult saved = register_.save({"Ana"});
    QVERIFY(!saved.ok);
    QVERIFY2(saved.error.contains(register_.path()), qPrintable(saved.error));
    QVERIFY(QFileInfo(register_.path()).isDir());
    QCOMPARE(regtest::entriesOf(register_.path()), QStringList{"inside"});
    QCOMPARE(regtest::entriesOf(dir.path()), QStringList{"001MpTa.cms"});

    // A register that never loaded tries, and fails with a reason, still touching nothing.
    const winners::SaveResult fresh = WinnersFile(dir.path()).save({"Ana"});
    QVERIFY(!fresh.ok);
    QVERIFY2(fresh.error.contains(register_.path()), qPrintable(fresh.error));
    QCOMPARE(regtest::entriesOf(register_.path()), QStringList{"inside"});

    // Once the path holds a readable file again, loading and saving work again.
    QVERIFY(QDir(register_.path()).removeRecursively());
    QVERIFY(regtest::writeBytes(register_.path(), "Eva\r\n"));
    QCOMPARE(register_.load().status, LoadResult::Status::Read);
    QVERIFY(register_.save({"Eva", "Ana"}).ok);
    QCOMPARE(regtest::readBytes(register_.path()), QByteArray("Eva\r\nAna\r\n"));
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
    QVERIFY(!loaded.ok());
    QCOMPARE(loaded.lines, QStringList{"Aun no lo ha logrado nadie"});
    QVERIFY2(loaded.error.startsWith("No se pudo crear el archivo de ganadores " + register_.path() + ": "),
             qPrintable(loaded.error));
    QVERIFY(loaded.error.size() > QString("No se pudo crear el archivo de ganadores ").size()
                                      + register_.path().size() + 4);

    const winners::SaveResult saved = register_.save({"Ana"});
    QVERIFY(!saved.ok);
    QVERIFY2(saved.error.contains(register_.path()), qPrintable(saved.error));
    if (!blocker.isEmpty())
        QCOMPARE(regtest::readBytes(dir.filePath(blocker)), blockerBytes);
    QCOMPARE(regtest::entriesOf(dir.path()), blocker.isEmpty() ? QStringList{} : QStringList{blocker});
}

void TestWinnersFile::saveRefusesWhatWouldComeBackChanged_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("CR inside an entry") << QStringList{"Ana", "Luis\rEva"};
    QTest::newRow("character outside the code page") << QStringList{u("\u5f20\u4f1f")};
    QTest::newRow("lone surrogate") << QStringList{QString("Ana") + QChar(0xD800)};
}

void TestWinnersFile::saveRefusesWhatWouldComeBackChanged()
{
    QFETCH(QStringList, entries);
    QTemporaryDir dir;
    WinnersFile register_(dir.path());
    QVERIFY(regtest::writeBytes(register_.path(), "Eva\r\n"));
    QCOMPARE(register_.load().status, LoadResult::Status::Read);
    const winners::SaveResult saved = register_.save(entries);
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
    QVERIFY(register_.save({"Ana"}).ok);
    QCOMPARE(regtest::readBytes(register_.path()), QByteArray("Ana\r\n"));
}

QTEST_GUILESS_MAIN(TestWinnersFile)
#include "test_winners_file.moc"
