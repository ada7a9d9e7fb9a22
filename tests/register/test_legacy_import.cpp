// The older program's winners file, found where it kept it (the system folder, or that
// folder's per-user VirtualStore copy) when the player's own file does not exist yet: copied
// byte for byte, never changed, and never lost when it cannot be read.

#include "register_test_util.h"
#include "durable_file.h"
#include "file_system.h"
#include "older_program_file.h"
#include "winners_file.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace pindel;
using winners::LoadResult;
using winners::WinnersFile;

Q_DECLARE_METATYPE(LoadResult::Status)

namespace {

// Puts `content` at `path`: "<folder>" makes a folder there, a null QByteArray nothing, and
// "<refused>" before the bytes a file the system will refuse to open.
bool put(const QString &path, QByteArray content)
{
    if (content == "<folder>")
        return QDir().mkpath(path + "/dentro");
    content.replace("<refused>", "");
    return content.isNull() || regtest::writeBytes(path, content);
}

QByteArray contentOf(const QString &path)
{
    if (QFileInfo(path).isDir())
        return "<folder>";
    return QFileInfo::exists(path) ? regtest::readBytes(path) : QByteArray();
}

using B = QByteArray;
using Status = LoadResult::Status;

} // namespace

class TestLegacyImport : public QObject {
    Q_OBJECT
private slots:
    void places_data();
    void places();
    void firstLoad_data();
    void firstLoad();
    void deletedAfterTheLoad();
};

// Where the older program's file is looked for, in order, for the folders Windows reports:
// each folder's VirtualStore copy first (what Windows served the older program in the
// folder's place), then the folder itself; only a folder with a drive has a copy.
void TestLegacyImport::places_data()
{
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QStringList>("places");   // "<local>" stands for the local application data
    QTest::newRow("none") << QStringList{} << QStringList{};
    QTest::newRow("the system folder") << QStringList{"C:/Windows/System32"}
        << QStringList{"<local>/VirtualStore/Windows/System32/001MpTa.cms", "C:/Windows/System32/001MpTa.cms"};
    QTest::newRow("and the 32-bit one") << QStringList{"C:/Windows/System32", "C:/Windows/SysWOW64"}
        << QStringList{"<local>/VirtualStore/Windows/System32/001MpTa.cms", "C:/Windows/System32/001MpTa.cms",
                       "<local>/VirtualStore/Windows/SysWOW64/001MpTa.cms", "C:/Windows/SysWOW64/001MpTa.cms"};
    QTest::newRow("trailing blanks") << QStringList{"D:/Win/System32  "}
        << QStringList{"<local>/VirtualStore/Win/System32/001MpTa.cms", "D:/Win/System32/001MpTa.cms"};
    QTest::newRow("no drive") << QStringList{"//servidor/System32"} << QStringList{"//servidor/System32/001MpTa.cms"};
}

void TestLegacyImport::places()
{
    QFETCH(QStringList, folders);
    QFETCH(QStringList, places);
    places.replaceInStrings("<local>", QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    // Where the file system ignores case, the location rule lower-cases the folders.
    const Qt::CaseSensitivity caso = winners::fileSystemIgnoresCase() ? Qt::CaseInsensitive : Qt::CaseSensitive;
    const QStringList found = winners::olderProgramFiles(folders);
    QVERIFY2(found.join('|').compare(places.join('|'), caso) == 0, qPrintable(found.join('|')));
}

void TestLegacyImport::firstLoad_data()
{
    QTest::addColumn<B>("system");        // the old file in the system folder
    QTest::addColumn<B>("virtualStore");  // the old file in its VirtualStore copy
    QTest::addColumn<B>("own");           // the player's file: "<meanwhile>" puts it there while the load writes
    QTest::addColumn<Status>("status");
    QTest::addColumn<B>("after");         // the player's file after the load
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<B>("next");          // after adding "Pia"; when the load failed, after a
                                          // load once the old file can be read
    const B none;
    QTest::newRow("in neither place") << none << none << none << Status::Created << B("Aun no lo ha logrado nadie\r\n")
                                      << QStringList{"Aun no lo ha logrado nadie"} << B("Pia\r\n");
    QTest::newRow("in the system folder") << B("Ana\r\nI\xf1igo\r\n") << none << none << Status::Imported
                                          << B("Ana\r\nI\xf1igo\r\n") << QStringList{"Ana", QString::fromUtf8("Iñigo")}
                                          << B("Ana\r\nI\xf1igo\r\nPia\r\n");
    QTest::newRow("only in the VirtualStore copy") << none << B("Luis\r\n") << none << Status::Imported
                                                   << B("Luis\r\n") << QStringList{"Luis"} << B("Luis\r\nPia\r\n");
    QTest::newRow("in both: the VirtualStore copy's") << B("Ana\r\n") << B("Luis\r\n") << none << Status::Imported
                                                      << B("Luis\r\n") << QStringList{"Luis"} << B("Luis\r\nPia\r\n");
    QTest::newRow("odd line ends copied as they are") << B("Ana\rLuis\nEva") << none << none << Status::Imported
                                                      << B("Ana\rLuis\nEva") << QStringList{"Ana", "Luis\nEva"}
                                                      << B("Ana\r\nLuis\nEva\r\nPia\r\n");
    QTest::newRow("an empty old file") << B("") << none << none << Status::Imported << B("") << QStringList{}
                                       << B("Pia\r\n");
    QTest::newRow("the system folder's unreadable") << B("<refused>Ana\r\n") << none << none
                                                    << Status::Unreadable << none << QStringList{} << B("Ana\r\n");
    QTest::newRow("a folder in the VirtualStore copy's place") << B("Ana\r\n") << B("<folder>") << none
                                                               << Status::Unreadable << none << QStringList{} << B("Ana\r\n");
    QTest::newRow("the VirtualStore copy unreadable") << B("Ana\r\n") << B("<refused>Luis\r\n") << none
                                                      << Status::Unreadable << none << QStringList{} << B("Luis\r\n");
    QTest::newRow("the player's own file already there") << B("Ana\r\n") << none << B("Eva\r\n") << Status::Read
                                                         << B("Eva\r\n") << QStringList{"Eva"} << B("Eva\r\nPia\r\n");
    QTest::newRow("another copy's file appearing meanwhile") << B("Ana\r\n") << none << B("<meanwhile>Eva\r\n")
                                                             << Status::Read << B("Eva\r\n") << QStringList{"Eva"}
                                                             << B("Eva\r\nPia\r\n");
}

// Afterwards the old files are as they were, the player's folder holds the file or nothing
// at all, and a save adds to what the load showed, or is refused while an old file that
// exists cannot be read; once it can, the next load copies it.
void TestLegacyImport::firstLoad()
{
    QFETCH(B, system);
    QFETCH(B, virtualStore);
    QFETCH(B, own);
    QFETCH(Status, status);
    QFETCH(B, after);
    QFETCH(QStringList, lines);
    QFETCH(B, next);
    QTemporaryDir dir;
    const QString oldFiles[] = {dir.filePath("Windows/System32/001MpTa.cms"),
                                dir.filePath("VirtualStore/Windows/System32/001MpTa.cms")};
    const QString ownDirectory = dir.filePath("pindel");
    for (const QString &folder : {QFileInfo(oldFiles[0]).path(), QFileInfo(oldFiles[1]).path(), ownDirectory})
        QVERIFY(QDir().mkpath(folder));
    // In the order the program looks (see places()).
    WinnersFile register_(ownDirectory, {oldFiles[1], oldFiles[0]});
    const bool meanwhile = own.startsWith("<meanwhile>");
    QVERIFY(put(oldFiles[0], system) && put(oldFiles[1], virtualStore) && (meanwhile || put(register_.path(), own)));
    winners::testing::setBeforeCreate([&] { QVERIFY(!meanwhile || put(register_.path(), own.mid(11))); });
    const std::shared_ptr<void> noHook(nullptr, [](void *) { winners::testing::setBeforeCreate({}); });

    LoadResult loaded;
    {
        const int refused = system.startsWith("<refused>") ? 0 : virtualStore.startsWith("<refused>") ? 1 : -1;
        const std::unique_ptr<regtest::AccessDenied> lock(refused < 0 ? nullptr
                                                                      : new regtest::AccessDenied(oldFiles[refused]));
        QVERIFY(!lock || lock->ok());
        loaded = register_.load();
    }
    system.replace("<refused>", "");
    virtualStore.replace("<refused>", "");
    QCOMPARE(loaded.status, status);
    QCOMPARE(contentOf(register_.path()), after);
    QCOMPARE(loaded.lines, lines);
    QCOMPARE(regtest::entriesOf(ownDirectory), after.isNull() ? QStringList{} : QStringList{"001MpTa.cms"});

    winners::testing::setBeforeCreate({});
    const winners::SaveResult saved = register_.addWinner("Pia");
    QCOMPARE(contentOf(oldFiles[0]), system);
    QCOMPARE(contentOf(oldFiles[1]), virtualStore);
    if (loaded.ok()) {
        QVERIFY2(saved.ok, qPrintable(saved.error));
        QCOMPARE(regtest::readBytes(register_.path()), next);
        return;
    }
    const QString unreadable = oldFiles[virtualStore.isNull() ? 0 : 1];
    QVERIFY2(loaded.error.startsWith("No se pudo leer el archivo de ganadores anterior " + unreadable + ": "),
             qPrintable(loaded.error));
    QCOMPARE(saved.error, "No se pudo guardar el archivo de ganadores " + register_.path()
                              + ": no se pudo leer el archivo de ganadores anterior " + unreadable
                              + QString::fromUtf8(" y se perderían los nombres que guarda"));
    QCOMPARE(regtest::entriesOf(ownDirectory), QStringList{});
    if (virtualStore == "<folder>")
        QVERIFY(QDir(oldFiles[1]).removeRecursively());
    QCOMPARE(register_.load().status, Status::Imported);
    QCOMPARE(regtest::readBytes(register_.path()), next);
}

// The player's file deleted after the load stands for what a load would create now: the old
// file's names, which the winner follows.
void TestLegacyImport::deletedAfterTheLoad()
{
    QTemporaryDir dir;
    const QString old = dir.filePath("System32/001MpTa.cms");
    QVERIFY(QDir().mkpath(dir.filePath("System32")) && regtest::writeBytes(old, "Ana\r\n"));
    WinnersFile register_(dir.filePath("pindel"), {old});
    QCOMPARE(register_.load().status, Status::Imported);
    QVERIFY(QFile::remove(register_.path()));
    const winners::SaveResult saved = register_.addWinner("Eva");
    QVERIFY2(saved.ok, qPrintable(saved.error));
    QCOMPARE(regtest::readBytes(register_.path()), B("Ana\r\nEva\r\n"));
    QCOMPARE(regtest::readBytes(old), B("Ana\r\n"));
}

QTEST_GUILESS_MAIN(TestLegacyImport)
#include "test_legacy_import.moc"
