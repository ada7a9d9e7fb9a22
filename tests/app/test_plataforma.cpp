// The window system the program starts on, and what it says when there is none: the probes
// against a real X server (Xvfb) and a real Wayland compositor (weston, headless), and the
// real program started with no display reachable, with one of each, and with a platform of
// the user's own that fails.

#include "module1_posix.h"
#include "plataforma.h"
#include "servidores.h"

#include <QtTest>

namespace {

const QString kSinPantalla = QStringLiteral(
    "pindel: no hay ninguna pantalla gr\u00e1fica a la que conectarse (se han mirado DISPLAY y "
    "WAYLAND_DISPLAY); inicie el juego desde una sesi\u00f3n gr\u00e1fica de escritorio.\n");

// A display number no test server takes (Xvfb -displayfd starts from the low ones).
const QByteArray kPantallaInexistente = QByteArrayLiteral(":1987");

} // namespace

class TestPlataforma : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void servidorX_data();
    void servidorX();
    void compositorWayland_data();
    void compositorWayland();
    void sinPantalla_data();
    void sinPantalla();
    void arrancaDondeHayPantalla_data();
    void arrancaDondeHayPantalla();
    void plataformaDelUsuarioQueFalla_data();
    void plataformaDelUsuarioQueFalla();

private:
    servidores::ServidorX m_x;
    servidores::CompositorWayland m_wayland;
};

void TestPlataforma::initTestCase()
{
    QVERIFY2(m_x.arrancar(), "Xvfb did not start");
    QVERIFY2(m_wayland.arrancar(), "weston did not start");
}

void TestPlataforma::servidorX_data()
{
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<bool>("reachable");
    QTest::newRow("the running Xvfb") << QByteArray("live") << true;
    QTest::newRow("its screen 0 named") << QByteArray("live.0") << true;
    QTest::newRow("a display nobody serves") << kPantallaInexistente << false;
    QTest::newRow("none named") << QByteArray() << false;
    QTest::newRow("not a display name") << QByteArray("pantalla") << false;
}

void TestPlataforma::servidorX()
{
    QFETCH(QByteArray, display);
    QFETCH(bool, reachable);
    display.replace("live", m_x.pantalla());
    QCOMPARE(pindel::servidorXAlcanzable(display), reachable);
}

void TestPlataforma::compositorWayland_data()
{
    QTest::addColumn<QByteArray>("socket");    // WAYLAND_SOCKET
    QTest::addColumn<QByteArray>("display");   // WAYLAND_DISPLAY; "RUN/" stands for weston's runtime dir
    QTest::addColumn<QByteArray>("runtime");   // XDG_RUNTIME_DIR; "RUN" is weston's
    QTest::addColumn<bool>("reachable");
    QTest::newRow("named, in the runtime dir") << QByteArray() << QByteArray("wayland-0") << QByteArray("RUN") << true;
    QTest::newRow("unset: wayland-0") << QByteArray() << QByteArray() << QByteArray("RUN") << true;
    QTest::newRow("absolute, no runtime dir") << QByteArray() << QByteArray("RUN/wayland-0") << QByteArray() << true;
    QTest::newRow("an inherited socket is taken as is") << QByteArray("3") << QByteArray("nada") << QByteArray() << true;
    QTest::newRow("another name") << QByteArray() << QByteArray("wayland-1") << QByteArray("RUN") << false;
    QTest::newRow("a name without a runtime dir") << QByteArray() << QByteArray("wayland-0") << QByteArray() << false;
    QTest::newRow("unset, in an empty runtime dir") << QByteArray() << QByteArray() << QByteArray("/nonexistent") << false;
    QTest::newRow("a regular file, not a socket") << QByteArray() << QByteArray("RUN/wayland-0.lock") << QByteArray()
                                                  << false;
    QTest::newRow("a path too long for a socket") << QByteArray() << QByteArray("/" + QByteArray(200, 'x'))
                                                  << QByteArray() << false;
}

void TestPlataforma::compositorWayland()
{
    QFETCH(QByteArray, socket);
    QFETCH(QByteArray, display);
    QFETCH(QByteArray, runtime);
    QFETCH(bool, reachable);
    const QByteArray dir = m_wayland.dirEjecucion().toLocal8Bit();
    display.replace("RUN", dir);
    runtime.replace("RUN", dir);
    QCOMPARE(pindel::compositorWaylandAlcanzable(socket, display, runtime), reachable);
}

void TestPlataforma::sinPantalla_data()
{
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<QByteArray>("waylandDisplay");
    QTest::newRow("both unset") << QByteArray() << QByteArray();
    QTest::newRow("DISPLAY names no server") << kPantallaInexistente << QByteArray();
    QTest::newRow("WAYLAND_DISPLAY names no socket") << QByteArray() << QByteArray("wayland-9");
    QTest::newRow("neither answers") << kPantallaInexistente << QByteArray("wayland-0");
}

// The real program where nothing can be reached: one Spanish line, status 1, no abort, fast.
void TestPlataforma::sinPantalla()
{
    QFETCH(QByteArray, display);
    QFETCH(QByteArray, waylandDisplay);
    QTemporaryDir runtime;
    QProcessEnvironment entorno = servidores::entornoSinEscritorio(runtime.path());
    if (!display.isEmpty())
        entorno.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(display));
    if (!waylandDisplay.isEmpty())
        entorno.insert(QStringLiteral("WAYLAND_DISPLAY"), QString::fromLatin1(waylandDisplay));
    QProcess program;
    program.setProcessEnvironment(entorno);
    QElapsedTimer reloj;
    reloj.start();
    program.start(QStringLiteral(PINDEL_BINARY), QStringList{});
    QVERIFY(program.waitForFinished(20000));
    QVERIFY2(reloj.elapsed() < 2000, qPrintable(QString::number(reloj.elapsed())));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 1);
    QCOMPARE(QString::fromUtf8(program.readAllStandardError()), kSinPantalla);
    QCOMPARE(program.readAllStandardOutput(), QByteArray());
}

void TestPlataforma::arrancaDondeHayPantalla_data()
{
    QTest::addColumn<QByteArray>("display");   // LIVE: the running Xvfb; STALE: nobody's
    QTest::addColumn<bool>("wayland");         // weston's runtime dir, or an empty one
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("onX");             // its windows on the X server (asked when LIVE)
    QTest::newRow("X only") << QByteArray("LIVE") << false << QStringList{} << true;
    QTest::newRow("Wayland only") << QByteArray() << true << QStringList{} << false;
    QTest::newRow("Wayland, DISPLAY stale") << QByteArray("STALE") << true << QStringList{} << false;
    QTest::newRow("X named by -display, DISPLAY stale") << QByteArray("STALE") << false
                                                        << QStringList{"-display", "LIVE"} << true;
    QTest::newRow("both answer: X") << QByteArray("LIVE") << true << QStringList{} << true;
    QTest::newRow("both answer, -platform wayland: Wayland") << QByteArray("LIVE") << true
                                                             << QStringList{"-platform", "wayland"} << false;
}

// The program gets past the toolkit's start and shows its first window wherever one of the
// two answers, whichever variable or option names it; X first, unless the user chose.
void TestPlataforma::arrancaDondeHayPantalla()
{
    QFETCH(QByteArray, display);
    QFETCH(bool, wayland);
    QFETCH(QStringList, arguments);
    QFETCH(bool, onX);
    const bool xVivo = display == "LIVE";
    QTemporaryDir runtime;
    QProcessEnvironment entorno = servidores::entornoSinEscritorio(
        wayland ? m_wayland.dirEjecucion() : runtime.path());
    entorno.insert(QStringLiteral("PINDEL_TRACE"), QStringLiteral("1"));
    display.replace("LIVE", m_x.pantalla()).replace("STALE", kPantallaInexistente);
    if (!display.isEmpty())
        entorno.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(display));
    arguments.replaceInStrings(QStringLiteral("LIVE"), QString::fromLatin1(m_x.pantalla()));
    servidores::Proceso program;
    QVERIFY(program.arrancar(QStringLiteral(PINDEL_BINARY), arguments, entorno));
    const QByteArray error = program.errorHasta("presentation first expose", 20000);
    QVERIFY2(error.contains("presentation first expose"), error.constData());
    QCOMPARE(program.q().state(), QProcess::Running);
    if (!xVivo)
        return;
    QProcess xdotool;
    QProcessEnvironment conX = QProcessEnvironment::systemEnvironment();
    conX.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(m_x.pantalla()));
    xdotool.setProcessEnvironment(conX);
    xdotool.start(QStringLiteral("xdotool"), {"search", "--pid", QString::number(program.q().processId())});
    QVERIFY(xdotool.waitForFinished(10000));
    QCOMPARE(!xdotool.readAllStandardOutput().trimmed().isEmpty(), onX);
}

void TestPlataforma::plataformaDelUsuarioQueFalla_data()
{
    QTest::addColumn<QString>("variable");   // QT_QPA_PLATFORM
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("qtSays");
    QTest::newRow("QT_QPA_PLATFORM=xcb") << "xcb" << QStringList{} << QByteArray("could not connect to display");
    QTest::newRow("-platform wayland") << QString() << QStringList{"-platform", "wayland"}
                                       << QByteArray("Failed to create wl_display");
    QTest::newRow("-platform wins over the variable") << "offscreen" << QStringList{"-platform", "xcb"}
                                                      << QByteArray("could not connect to display");
}

// The user's own choice is not second-guessed: Qt tries it and says why it failed, in its
// words; the program still ends with status 1, not with an abort.
void TestPlataforma::plataformaDelUsuarioQueFalla()
{
    QFETCH(QString, variable);
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, qtSays);
    QTemporaryDir runtime;
    QProcessEnvironment entorno = servidores::entornoSinEscritorio(runtime.path());
    if (!variable.isEmpty())
        entorno.insert(QStringLiteral("QT_QPA_PLATFORM"), variable);
    QProcess program;
    program.setProcessEnvironment(entorno);
    program.start(QStringLiteral(PINDEL_BINARY), arguments);
    QVERIFY(program.waitForFinished(20000));
    const QByteArray error = program.readAllStandardError();
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 1);
    QVERIFY2(error.contains(qtSays), error.constData());
    QVERIFY2(!error.contains("pindel:"), error.constData());
}

QTEST_GUILESS_MAIN(TestPlataforma)
#include "test_plataforma.moc"
