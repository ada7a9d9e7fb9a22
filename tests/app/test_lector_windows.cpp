// Keyboard play on Windows: a screen reader announced in the desktop's setting turns it on,
// as -t does; without either the game is the mouse game.  The real program, started with
// the setting off or on, says in its start-up trace which way it went.

#include "proceso.h"

#include <QtTest>

#include <windows.h>

class TestLectorWindows : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void arranque_data();
    void arranque();

private:
    BOOL m_antes = FALSE;   // the setting as the test found it, put back at the end
};

namespace {

// For this session only (not saved in the user's profile), as a screen reader sets it.
bool anunciarLector(BOOL activo)
{
    return SystemParametersInfoW(SPI_SETSCREENREADER, activo, nullptr, SPIF_SENDCHANGE);
}

} // namespace

void TestLectorWindows::initTestCase()
{
    QVERIFY(SystemParametersInfoW(SPI_GETSCREENREADER, 0, &m_antes, 0));
}

void TestLectorWindows::cleanupTestCase()
{
    anunciarLector(m_antes);
}

void TestLectorWindows::arranque_data()
{
    QTest::addColumn<bool>("lector");
    QTest::addColumn<QStringList>("argumentos");
    QTest::addColumn<QByteArray>("traza");
    QTest::newRow("no screen reader") << false << QStringList{} << QByteArray("keyboard play: off");
    QTest::newRow("a screen reader") << true << QStringList{} << QByteArray("keyboard play: on");
    QTest::newRow("-t without one") << false << QStringList{"-t"} << QByteArray("keyboard play: on");
}

void TestLectorWindows::arranque()
{
    QFETCH(bool, lector);
    QFETCH(QStringList, argumentos);
    QFETCH(QByteArray, traza);
    QVERIFY(anunciarLector(lector));
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert(QStringLiteral("PINDEL_TRACE"), QStringLiteral("1"));
    servidores::Proceso program;
    QVERIFY(program.arrancar(QStringLiteral(PINDEL_BINARY), argumentos + QStringList{"-platform", "offscreen"}, entorno));
    const QByteArray error = program.errorHasta("presentation built", 20000);
    QVERIFY2(error.contains("  " + traza + "\r\n"), error.constData());
}

QTEST_GUILESS_MAIN(TestLectorWindows)
#include "test_lector_windows.moc"
