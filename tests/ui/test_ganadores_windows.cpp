// The board on Windows, opened by a player of the older program: the winners that program
// kept are found where Windows reports its system folders, shown, and copied as the
// player's own file.  The old file is put in this Windows user's VirtualStore copy of the
// system folder; the system folder itself is shared by every test of the Wine prefix.

#include "dialogs.h"
#include "frmsolucion.h"
#include "fuentes.h"
#include "lifecycle.h"
#include "module1.h"
#include "tablero.h"

#include <QDir>
#include <QListWidget>
#include <QtTest>

using pindel::Lifecycle;

namespace {

// The user's local application data, as Windows names it to every program.
QString local() { return QDir::fromNativeSeparators(qEnvironmentVariable("LOCALAPPDATA")); }

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class TestGanadoresWindows : public QObject {
    Q_OBJECT
private slots:
    void init();
    void foldersOfTheOlderProgram();
    void oldWinnersShownAndCopied();
};

void TestGanadoresWindows::init()
{
    QVERIFY(QDir(local() + "/pindel").removeRecursively());
    QVERIFY(QDir(local() + "/VirtualStore/windows").removeRecursively());
}

// Wine's 64-bit system folders, each followed by its VirtualStore copy.
void TestGanadoresWindows::foldersOfTheOlderProgram()
{
    QCOMPARE(pindel::Module1::legacyDirectories(),
             QStringList({"C:/windows/system32", local() + "/VirtualStore/windows/system32", "C:/windows/syswow64",
                          local() + "/VirtualStore/windows/syswow64"}));
}

void TestGanadoresWindows::oldWinnersShownAndCopied()
{
    const QString old = local() + "/VirtualStore/windows/system32/001MpTa.cms";
    const QByteArray bytes("Ana\r\nI\xf1igo\r\n");
    QVERIFY(QDir().mkpath(QFileInfo(old).path()));
    QFile file(old);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();

    pindel::instalarFuentes();
    Lifecycle::setExitFunctionForTesting([](int) {});
    pindel::LazyWindow solucion([] { return std::make_unique<pindel::FrmSolucion>(); });
    pindel::Tablero tablero(solucion);
    Lifecycle::track(tablero);
    DialogScript dialogs;   // the board shows no box when the copy works
    Lifecycle::show(tablero);
    QStringList shown;
    auto *lista = tablero.findChild<QListWidget *>("Lista");
    for (int i = 0; i < lista->count(); ++i)
        shown << lista->item(i)->text();
    QCOMPARE(shown, QStringList({"Ana", QString::fromUtf8("Iñigo")}));
    QCOMPARE(bytesOf(local() + "/pindel/001MpTa.cms"), bytes);
    QCOMPARE(bytesOf(old), bytes);
    QTest::qWait(50);
    QCOMPARE(dialogs.unexpected(), 0);
}

QTEST_MAIN(TestGanadoresWindows)
#include "test_ganadores_windows.moc"
