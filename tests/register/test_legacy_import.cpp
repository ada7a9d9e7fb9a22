// The older program's winners file, found where it kept it (the system folder, or that
// folder's per-user VirtualStore copy) when the player's own file does not exist yet: copied
// byte for byte, never changed, and never lost when it cannot be read.

#include "register_test_util.h"
#include "winners_file.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

using namespace pindel;
using winners::LoadResult;
using winners::WinnersFile;

namespace {

// A regular file the system refuses to open for as long as the object lives: on Windows
// another program holds it open and shares it with nobody; elsewhere its permissions deny it.
class Refused {
public:
    explicit Refused(const QString &path)
#ifdef Q_OS_WIN
        : m_handle(CreateFileW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(path).utf16()),
                               GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr))
    {
    }
    ~Refused() { CloseHandle(m_handle); }
    bool ok() const { return m_handle != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_handle;
#else
        : m_denied(path)
    {
    }
    bool ok() const { return m_denied.ok(); }

private:
    regtest::AccessDenied m_denied;
#endif
};

// Puts `content` at `path`: "<folder>" makes a folder there, an empty QByteArray nothing.
bool put(const QString &path, const QByteArray &content)
{
    if (content == "<folder>")
        return QDir().mkpath(path + "/dentro");
    return content.isNull() || regtest::writeBytes(path, content);
}

QByteArray contentOf(const QString &path)
{
    return QFileInfo(path).isDir() ? QByteArray("<folder>") : QFileInfo::exists(path) ? regtest::readBytes(path)
                                                                                      : QByteArray();
}

} // namespace

class TestLegacyImport : public QObject {
    Q_OBJECT
private slots:
    void firstLoad_data();
    void firstLoad();
    void deletedAfterTheLoad();
};

void TestLegacyImport::firstLoad_data()
{
    QTest::addColumn<QByteArray>("system");        // the old file in the system folder
    QTest::addColumn<QByteArray>("virtualStore");  // the old file in its VirtualStore copy
    QTest::addColumn<QByteArray>("own");           // the player's file before the load
    QTest::addColumn<QString>("refused");          // which old file the system refuses to open
    QTest::addColumn<QByteArray>("meanwhile");     // put in the player's file just before the load's
    QTest::addColumn<int>("status");               // LoadResult::Status
    QTest::addColumn<QByteArray>("after");         // the player's file after the load
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QByteArray>("next");          // the player's file after adding "Pia"; when the
                                                   // load failed, after the next load once it can
    const int read = int(LoadResult::Status::Read), created = int(LoadResult::Status::Created);
    const int imported = int(LoadResult::Status::Imported), unreadable = int(LoadResult::Status::Unreadable);
    const QByteArray none;
    const QByteArray placeholder("Aun no lo ha logrado nadie\r\n");
    QTest::newRow("in neither place") << none << none << none << "" << none << created << placeholder
                                      << QStringList{"Aun no lo ha logrado nadie"} << QByteArray("Pia\r\n");
    QTest::newRow("in the system folder") << QByteArray("Ana\r\nI\xf1igo\r\n") << none << none << "" << none
                                          << imported << QByteArray("Ana\r\nI\xf1igo\r\n")
                                          << QStringList{"Ana", QString::fromUtf8("Iñigo")}
                                          << QByteArray("Ana\r\nI\xf1igo\r\nPia\r\n");
    QTest::newRow("only in the VirtualStore copy") << none << QByteArray("Luis\r\n") << none << "" << none
                                                   << imported << QByteArray("Luis\r\n") << QStringList{"Luis"}
                                                   << QByteArray("Luis\r\nPia\r\n");
    QTest::newRow("in both: the system folder's") << QByteArray("Ana\r\n") << QByteArray("Luis\r\n") << none << ""
                                                  << none << imported << QByteArray("Ana\r\n") << QStringList{"Ana"}
                                                  << QByteArray("Ana\r\nPia\r\n");
    QTest::newRow("odd line ends copied as they are") << QByteArray("Ana\rLuis\nEva") << none << none << "" << none
                                                      << imported << QByteArray("Ana\rLuis\nEva")
                                                      << QStringList{"Ana", "Luis\nEva"}
                                                      << QByteArray("Ana\r\nLuis\nEva\r\nPia\r\n");
    QTest::newRow("an empty old file") << QByteArray("") << none << none << "" << none << imported << QByteArray("")
                                       << QStringList{} << QByteArray("Pia\r\n");
    QTest::newRow("the system folder's unreadable") << QByteArray("Ana\r\n") << QByteArray("Luis\r\n") << none
                                                    << "system" << none << unreadable << none << QStringList{}
                                                    << QByteArray("Ana\r\n");
    QTest::newRow("a folder in the system folder's place") << QByteArray("<folder>") << QByteArray("Luis\r\n") << none
                                                           << "" << none << unreadable << none << QStringList{}
                                                           << QByteArray("Luis\r\n");
    QTest::newRow("the VirtualStore copy unreadable") << none << QByteArray("Luis\r\n") << none << "virtualStore"
                                                      << none << unreadable << none << QStringList{}
                                                      << QByteArray("Luis\r\n");
    QTest::newRow("the player's own file already there") << QByteArray("Ana\r\n") << none << QByteArray("Eva\r\n")
                                                         << "" << none << read << QByteArray("Eva\r\n")
                                                         << QStringList{"Eva"} << QByteArray("Eva\r\nPia\r\n");
    QTest::newRow("another copy's file appearing meanwhile") << QByteArray("Ana\r\n") << none << none << ""
                                                             << QByteArray("Eva\r\n") << read << QByteArray("Eva\r\n")
                                                             << QStringList{"Eva"} << QByteArray("Eva\r\nPia\r\n");
}

// Afterwards the old files are as they were, the player's folder holds the file or nothing
// at all, and a save adds to what the load showed, or is refused while an old file that
// exists cannot be read; once it can, the next load copies it.
void TestLegacyImport::firstLoad()
{
    QFETCH(QByteArray, system);
    QFETCH(QByteArray, virtualStore);
    QFETCH(QByteArray, own);
    QFETCH(QString, refused);
    QFETCH(QByteArray, meanwhile);
    QFETCH(int, status);
    QFETCH(QByteArray, after);
    QFETCH(QStringList, lines);
    QFETCH(QByteArray, next);
    QTemporaryDir dir;
    const QString oldFiles[] = {dir.filePath("Windows/System32/001MpTa.cms"),
                                dir.filePath("VirtualStore/Windows/System32/001MpTa.cms")};
    const QString ownDirectory = dir.filePath("pindel");
    QVERIFY(QDir().mkpath(dir.filePath("Windows/System32")) && QDir().mkpath(dir.filePath("VirtualStore/Windows/System32"))
            && QDir().mkpath(ownDirectory));
    QVERIFY(put(oldFiles[0], system) && put(oldFiles[1], virtualStore) && put(winners::filePath(ownDirectory), own));
    WinnersFile register_(ownDirectory, {oldFiles[0], oldFiles[1]});
    winners::testing::setBeforeCreate([&] { QVERIFY(put(register_.path(), meanwhile)); });
    const std::shared_ptr<void> noHook(nullptr, [](void *) { winners::testing::setBeforeCreate({}); });

    LoadResult loaded;
    {
        const std::unique_ptr<Refused> lock(refused.isEmpty() ? nullptr
                                                              : new Refused(oldFiles[refused == "system" ? 0 : 1]));
        QVERIFY(!lock || lock->ok());
        loaded = register_.load();
    }
    QCOMPARE(int(loaded.status), status);
    QCOMPARE(contentOf(register_.path()), after);
    QCOMPARE(loaded.lines, lines);
    QCOMPARE(contentOf(oldFiles[0]), system);
    QCOMPARE(contentOf(oldFiles[1]), virtualStore);
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
    const QString unreadable = oldFiles[system.isNull() ? 1 : 0];
    QVERIFY2(loaded.error.startsWith("No se pudo leer el archivo de ganadores anterior " + unreadable + ": "),
             qPrintable(loaded.error));
    QVERIFY(!saved.ok);
    QCOMPARE(saved.error, "No se pudo guardar el archivo de ganadores " + register_.path()
                              + ": no se pudo leer el archivo de ganadores anterior " + unreadable
                              + QString::fromUtf8(" y se perderían los nombres que guarda"));
    QCOMPARE(regtest::entriesOf(ownDirectory), QStringList{});
    if (system == "<folder>")
        QVERIFY(QDir(oldFiles[0]).removeRecursively());
    QCOMPARE(register_.load().status, LoadResult::Status::Imported);
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
    QCOMPARE(register_.load().status, LoadResult::Status::Imported);
    QVERIFY(QFile::remove(register_.path()));
    const winners::SaveResult saved = register_.addWinner("Eva");
    QVERIFY2(saved.ok, qPrintable(saved.error));
    QCOMPARE(regtest::readBytes(register_.path()), QByteArray("Ana\r\nEva\r\n"));
    QCOMPARE(regtest::readBytes(old), QByteArray("Ana\r\n"));
}

QTEST_GUILESS_MAIN(TestLegacyImport)
#include "test_legacy_import.moc"
