// Failure drills through the real board window: winners files no player writes by hand
// (huge, one enormous line, binary garbage) and data directories that cannot work.  The
// board must open with the start position, show what the file holds, tell the player what
// went wrong, and after a win write back every stored line plus the new name.

#include "tablero_de_prueba.h"
#include "dialogs.h"
#include "register/register_test_util.h"
#include "solucion_ganadora.h"

#include "frmsolucion.h"
#include "fuentes.h"
#include "lifecycle.h"
#include "tablero.h"
#include "winners_file.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QRandomGenerator>
#include <QtTest>

#include <memory>

using pindel::Lifecycle;
using pindel::Tablero;

namespace {

// A dialog step: the message box the board shows, its text kept in `text`, answered OK.
DialogScript::Step keepReport(QString &text)
{
    return [&text](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        QVERIFY2(box, "expected a message box");
        text = box->text();
        box->button(QMessageBox::Ok)->click();
    };
}

} // namespace

class TestDrillsBoard : public QObject, protected TableroDePrueba {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void strangeFiles_data();
    void strangeFiles();
    void dataDirectoryCannotWork_data();
    void dataDirectoryCannotWork();

private:
    void open();
    void win();
    QStringList lista() const;
    QString label(const char *name) const { return m_tablero->findChild<QLabel *>(name)->text(); }

};

void TestDrillsBoard::initTestCase()
{
    iniciarPrograma();
}

void TestDrillsBoard::init()
{
    QVERIFY(prepararPrueba());
}

void TestDrillsBoard::cleanup()
{
    limpiarPrueba();
}

void TestDrillsBoard::open()
{
    Lifecycle::show(hacerTablero());
    QVERIFY(m_tablero->isOpen());
    QCOMPARE(label("LblMarcador"), QString("0"));
    QCOMPARE(label("LblResto"), QString("32"));
}

void TestDrillsBoard::win()
{
    for (const solucion::Salto &salto : solucion::movimientos())
        m_tablero->Image1_DragDrop(solucion::hueco(salto.a), solucion::hueco(salto.desde));
}

QStringList TestDrillsBoard::lista() const
{
    QStringList lines;
    const auto *list = m_tablero->findChild<QListWidget *>("Lista");
    for (int i = 0; i < list->count(); ++i)
        lines << list->item(i)->text();
    return lines;
}

void TestDrillsBoard::strangeFiles_data()
{
    QTest::addColumn<QByteArray>("file");
    QStringList names;
    for (int i = 0; i < 100000; ++i)
        names << QStringLiteral("Ganador %1").arg(i, 6, 10, QLatin1Char('0'));
    QTest::newRow("100,000 names") << pindel::winners::encodeLines(names);
    QTest::newRow("one line of 1 MiB") << QByteArray(1 << 20, '\xe9') + "\r\n";
    QRandomGenerator random(7122026);
    QByteArray garbage(1 << 20, Qt::Uninitialized);
    for (char &byte : garbage)
        byte = char(random.bounded(256));
    QTest::newRow("binary garbage") << garbage;
}

void TestDrillsBoard::strangeFiles()
{
    QFETCH(QByteArray, file);
    const QString path = m_data->path() + "/pindel/001MpTa.cms";
    QVERIFY(QDir().mkpath(m_data->path() + "/pindel"));
    QVERIFY(regtest::writeBytes(path, file));
    DialogScript dialogs;
    open();
    const QStringList lines = pindel::winners::decodeLines(file);
    QCOMPARE(lista().size(), lines.size());
    QVERIFY(lista() == lines);
    QCOMPARE(regtest::readBytes(path), file);  // opening the board writes nothing

    dialogs.answerText("Ana");
    win();
    QTRY_VERIFY_WITH_TIMEOUT(dialogs.done(), 20000);
    QCOMPARE(dialogs.unexpected(), 0);
    const QByteArray expected = regtest::normalised(file) + "Ana\r\n";
    const QByteArray after = regtest::readBytes(path);
    QCOMPARE(after.size(), expected.size());
    QVERIFY(after == expected);
    QCOMPARE(label("LblMarcador"), QString("0"));
    QCOMPARE(lista().size(), lines.size() + 1);
    QCOMPARE(lista().constLast(), QString("Ana"));
}

void TestDrillsBoard::dataDirectoryCannotWork_data()
{
    QTest::addColumn<QString>("blocker");  // a regular file, relative to the data home
    QTest::addColumn<QString>("home");     // XDG_DATA_HOME, relative to the temporary dir
    QTest::newRow("data directory is a regular file") << "pindel" << "";
    QTest::newRow("data home is a regular file") << "" << "home-file";
    QTest::newRow("data home under a regular file") << "" << "home-file/share";
}

// No winners file can exist there: the board opens with the placeholder and says why, a
// win is told it could not be stored, and the file in the way is never touched.
void TestDrillsBoard::dataDirectoryCannotWork()
{
    QFETCH(QString, blocker);
    QFETCH(QString, home);
    const QByteArray blockerBytes("not a directory\n");
    const QString blockerPath = m_data->path() + "/" + (home.isEmpty() ? blocker : "home-file");
#ifdef Q_OS_WIN
    if (!home.isEmpty())
        QSKIP("the data folder is the system's own on Windows: no setting points it at a file");
#endif
    if (!home.isEmpty())
        qputenv("XDG_DATA_HOME", (m_data->path() + "/" + home).toLocal8Bit());
    QVERIFY(regtest::writeBytes(blockerPath, blockerBytes));

    DialogScript dialogs;
    QString loadReport, saveReport;
    dialogs.then(keepReport(loadReport));
    open();
    QCOMPARE(lista(), QStringList{"Aun no lo ha logrado nadie"});
    QTRY_COMPARE_WITH_TIMEOUT(dialogs.answered(), 1, 5000);
    QVERIFY2(loadReport.contains("001MpTa.cms"), qPrintable(loadReport));

    dialogs.answerText("Ana");
    dialogs.then(keepReport(saveReport));
    win();
    QTRY_VERIFY_WITH_TIMEOUT(dialogs.done(), 5000);
    QTest::qWait(50);
    QCOMPARE(dialogs.unexpected(), 0);
    QVERIFY2(saveReport.contains("001MpTa.cms"), qPrintable(saveReport));
    QVERIFY(m_tablero->isOpen());
    QCOMPARE(label("LblResto"), QString("32"));   // restarted after the win
    QCOMPARE(regtest::readBytes(blockerPath), blockerBytes);
    QVERIFY(QFileInfo(blockerPath).isFile());
}

QTEST_MAIN(TestDrillsBoard)
#include "test_drills_board.moc"
