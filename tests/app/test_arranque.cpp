// The command line: which option does what, which words are refused, and the real program
// answering or refusing on a machine with no display at all, without opening a window.  On
// Windows, where the program has no console of its own, its answer reaches a pipe as a
// Windows text: UTF-8, CR LF.

#include "identidad.h"
#include "ordenes.h"
#include "proceso.h"
#ifdef Q_OS_LINUX
#include "servidores.h"
#endif

#include <memory>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

#include <QtTest>

using pindel::Ordenes;

Q_DECLARE_METATYPE(Ordenes::Accion)

namespace {

const QString kAyuda = QStringLiteral(
    "Uso: pindel [opciones]\n"
    "Pindel: juego para una persona. Solitario de Cd-rom en el tablero en cruz de 33 huecos.\n"
    "\n"
    "Opciones:\n"
    "  -t, --teclado  Juega con el teclado (flechas, Espacio o Intro, Escape).\n"
    "  -h, --help     Muestra esta ayuda y termina.\n"
    "  -v, --version  Muestra la versi\u00f3n del programa y termina.\n"
    "\n"
    "Admite tambi\u00e9n las opciones comunes de Qt, como -platform o -style.\n");

const QString kVersion = QStringLiteral("Pindel " PINDEL_VERSION "\n");   // the build's (identidad.h)

QString desconocida(const QString &palabra)
{
    return QStringLiteral("pindel: opci\u00f3n desconocida: \u00ab%1\u00bb\n"
                          "Pruebe \u00abpindel --help\u00bb para ver las opciones.\n")
        .arg(palabra);
}

QString sinValor(const QString &opcion)
{
    return QStringLiteral("pindel: falta el valor de la opci\u00f3n \u00ab%1\u00bb\n"
                          "Pruebe \u00abpindel --help\u00bb para ver las opciones.\n")
        .arg(opcion);
}

// The real program's environment: nothing that chooses a window system, no trace; on Linux
// no window system at all and an empty runtime directory, so nothing of the machine's own
// desktop can be reached.
QProcessEnvironment entornoSinEscritorio(const QString &dirEjecucion)
{
#ifdef Q_OS_LINUX
    return servidores::entornoSinEscritorio(dirEjecucion);
#else
    Q_UNUSED(dirEjecucion);
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.remove(QStringLiteral("QT_QPA_PLATFORM"));
    entorno.remove(QStringLiteral("PINDEL_TRACE"));
    return entorno;
#endif
}

// `texto` as the program writes it to a pipe.
QString enTuberia(QString texto)
{
#ifdef Q_OS_WIN
    texto.replace(QLatin1String("\n"), QLatin1String("\r\n"));
#endif
    return texto;
}

} // namespace

class TestArranque : public QObject {
    Q_OBJECT
private slots:
    void options_data();
    void options();
    void valuesForQt_data();
    void valuesForQt();
    void realProgramWithoutADisplay_data();
    void realProgramWithoutADisplay();
    void qtOptionReachesQt();
    void screenReaderOnWindows_data();
    void screenReaderOnWindows();
};

void TestArranque::options_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Ordenes::Accion>("action");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("keyboard");
    using A = Ordenes::Accion;
    QTest::newRow("nothing: play") << QStringList{} << A::Jugar << QString() << false;
    QTest::newRow("-t") << QStringList{"-t"} << A::Jugar << QString() << true;
    QTest::newRow("--teclado among Qt's") << QStringList{"-style", "fusion", "--teclado"} << A::Jugar << QString() << true;
    QTest::newRow("--help") << QStringList{"--help"} << A::Ayuda << kAyuda << false;
    QTest::newRow("-h") << QStringList{"-h"} << A::Ayuda << kAyuda << false;
    QTest::newRow("--version") << QStringList{"--version"} << A::Version << kVersion << false;
    QTest::newRow("-v") << QStringList{"-v"} << A::Version << kVersion << false;
    QTest::newRow("the first one wins") << QStringList{"--version", "--help"} << A::Version << kVersion << false;
    QTest::newRow("Qt's options before ours") << QStringList{"-style", "fusion", "-h"} << A::Ayuda << kAyuda << false;

    // Qt's own, with one dash or two, their values not taken for stray words.
    QTest::newRow("Qt's -reverse is not -v") << QStringList{"-reverse"} << A::Jugar << QString() << false;
    QTest::newRow("-platform and its value") << QStringList{"-platform", "xcb"} << A::Jugar << QString() << false;
    QTest::newRow("--platform and its value") << QStringList{"--platform", "wayland"} << A::Jugar << QString() << false;
    QTest::newRow("-style= and --stylesheet=") << QStringList{"-style=fusion", "--stylesheet=a.qss"} << A::Jugar
                                               << QString() << false;
    QTest::newRow("the rest of QGuiApplication's")
        << QStringList{"-platformpluginpath", "/p", "-platformtheme", "gtk3", "-plugin", "evdevtouch",
                       "-qwindowgeometry", "100x100+0+0", "-qwindowicon", "i.png", "--qwindowtitle", "T",
                       "-session", "s1", "-qmljsdebugger=port:1234", "-widgetcount"}
        << A::Jugar << QString() << false;
    QTest::newRow("X11's") << QStringList{"-display", ":1", "-geometry", "10x10", "-title", "x", "-icon", "y",
                                          "--name", "z", "-visual", "TrueColor", "-nograb", "--dograb"}
                           << A::Jugar << QString() << false;
    QTest::newRow("a value that looks like ours is Qt's") << QStringList{"-qwindowtitle", "--help"} << A::Jugar
                                                          << QString() << false;

    // Refused: what nobody knows, in every shape.
    QTest::newRow("--versi\u00f3n") << QStringList{"--versi\u00f3n"} << A::Error << desconocida("--versi\u00f3n") << false;
    QTest::newRow("--ayuda") << QStringList{"--ayuda"} << A::Error << desconocida("--ayuda") << false;
    QTest::newRow("-x") << QStringList{"-x"} << A::Error << desconocida("-x") << false;
    QTest::newRow("a stray word") << QStringList{"jugar"} << A::Error << desconocida("jugar") << false;
    QTest::newRow("a word that only starts like ours") << QStringList{"--helpme"} << A::Error
                                                       << desconocida("--helpme") << false;
    QTest::newRow("ours run together") << QStringList{"-vt"} << A::Error << desconocida("-vt") << false;
    QTest::newRow("ours with one dash too few") << QStringList{"-help"} << A::Error << desconocida("-help") << false;
    QTest::newRow("a lone dash") << QStringList{"-"} << A::Error << desconocida("-") << false;
    QTest::newRow("two dashes") << QStringList{"--"} << A::Error << desconocida("--") << false;
    QTest::newRow("an empty word") << QStringList{""} << A::Error << desconocida("") << false;
    QTest::newRow("= where Qt takes none") << QStringList{"-platform=xcb"} << A::Error
                                           << desconocida("-platform=xcb") << false;
    QTest::newRow("= on a plain switch") << QStringList{"-reverse=1"} << A::Error << desconocida("-reverse=1") << false;
    QTest::newRow("-qmljsdebugger without =") << QStringList{"-qmljsdebugger"} << A::Error
                                              << desconocida("-qmljsdebugger") << false;
    QTest::newRow("Qt 4's X11 colours") << QStringList{"-bg", "red"} << A::Error << desconocida("-bg") << false;
    QTest::newRow("refused even after --help") << QStringList{"--help", "--bogus"} << A::Error
                                               << desconocida("--bogus") << false;
    QTest::newRow("the first refused word is named") << QStringList{"-t", "-x", "-y"} << A::Error
                                                     << desconocida("-x") << true;
    QTest::newRow("-platform with no value") << QStringList{"-platform"} << A::Error << sinValor("-platform") << false;
    QTest::newRow("--style with no value") << QStringList{"-t", "--style"} << A::Error << sinValor("--style") << true;
}

void TestArranque::options()
{
    QFETCH(QStringList, arguments);
    QFETCH(Ordenes::Accion, action);
    QFETCH(QString, text);
    QFETCH(bool, keyboard);
    const Ordenes ordenes = pindel::leerOrdenes(QStringList{"pindel"} + arguments);
    QCOMPARE(ordenes.accion, action);
    QCOMPARE(ordenes.texto, text);
    if (action != Ordenes::Accion::Error)
        QCOMPARE(ordenes.teclado, keyboard);
}

void TestArranque::valuesForQt_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("platform");
    QTest::addColumn<QString>("display");
    QTest::newRow("none") << QStringList{"-t"} << QString() << QString();
    QTest::newRow("-platform") << QStringList{"-platform", "offscreen"} << "offscreen" << QString();
    QTest::newRow("--platform with options") << QStringList{"--platform", "xcb:nograb"} << "xcb:nograb" << QString();
    QTest::newRow("the last -platform, as Qt") << QStringList{"-platform", "xcb", "-platform", "wayland"} << "wayland"
                                               << QString();
    QTest::newRow("-display") << QStringList{"-display", ":3"} << QString() << ":3";
    QTest::newRow("--display after a title") << QStringList{"-qwindowtitle", "-display", "--display", "h:1.0"}
                                             << QString() << "h:1.0";
}

// What the platform choice needs from the line: the platform and the X display the user named.
void TestArranque::valuesForQt()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, platform);
    QFETCH(QString, display);
    const Ordenes ordenes = pindel::leerOrdenes(QStringList{"pindel"} + arguments);
    QCOMPARE(ordenes.accion, Ordenes::Accion::Jugar);
    QCOMPARE(ordenes.plataforma, platform);
    QCOMPARE(ordenes.pantallaX, display);
}

void TestArranque::realProgramWithoutADisplay_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    QTest::addColumn<int>("status");
    QTest::newRow("--help") << QStringList{"--help"} << kAyuda << QString() << 0;
    QTest::newRow("--version") << QStringList{"--version"} << kVersion << QString() << 0;
    QTest::newRow("--versi\u00f3n") << QStringList{"--versi\u00f3n"} << QString() << desconocida("--versi\u00f3n") << 2;
    QTest::newRow("--ayuda") << QStringList{"--ayuda"} << QString() << desconocida("--ayuda") << 2;
    // Letters outside Windows' ANSI code page come back as typed, not as "?".
    QTest::newRow("--\u03c9\u043c") << QStringList{"--\u03c9\u043c"} << QString() << desconocida("--\u03c9\u043c") << 2;
    QTest::newRow("-x after a Qt option") << QStringList{"-style", "fusion", "-x"} << QString() << desconocida("-x") << 2;
    QTest::newRow("-platform with no value") << QStringList{"-platform"} << QString() << sinValor("-platform") << 2;
}

// No X display, no Wayland, no platform chosen: had the program touched the window system it
// would have ended with status 1 and its own message about the display.
void TestArranque::realProgramWithoutADisplay()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QFETCH(int, status);
    QTemporaryDir runtime;
    QProcess program;
    program.setProcessEnvironment(entornoSinEscritorio(runtime.path()));
    program.start(QStringLiteral(PINDEL_BINARY), arguments);
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), status);
    QCOMPARE(QString::fromUtf8(program.readAllStandardOutput()), enTuberia(out));
    QCOMPARE(QString::fromUtf8(program.readAllStandardError()), enTuberia(err));
}

// "-platform offscreen" is Qt's: with no display at all the game still starts on it.
void TestArranque::qtOptionReachesQt()
{
    QTemporaryDir runtime;
    QProcessEnvironment entorno = entornoSinEscritorio(runtime.path());
    entorno.insert(QStringLiteral("PINDEL_TRACE"), QStringLiteral("1"));
    servidores::Proceso program;
    QVERIFY(program.arrancar(QStringLiteral(PINDEL_BINARY), {"-platform", "offscreen"}, entorno));
    const QByteArray error = program.errorHasta("presentation built");
    QVERIFY2(error.contains("  QApplication" + enTuberia("\n").toLatin1()) && error.contains("presentation built"),
             error.constData());
    QCOMPARE(program.q().state(), QProcess::Running);
}

void TestArranque::screenReaderOnWindows_data()
{
    QTest::addColumn<bool>("lector");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("trace");
    QTest::newRow("no screen reader") << false << QStringList{} << QByteArray("keyboard play: off");
    QTest::newRow("a screen reader") << true << QStringList{} << QByteArray("keyboard play: on");
    QTest::newRow("-t without one") << false << QStringList{"-t"} << QByteArray("keyboard play: on");
}

// On Windows the desktop's screen-reader setting turns keyboard play on, as -t does: the real
// program says in its start-up trace which way it went.  The setting is changed for this
// session only, and put back as the test found it.
void TestArranque::screenReaderOnWindows()
{
#ifndef Q_OS_WIN
    QSKIP("Linux asks AT-SPI instead: test_lector");
#else
    QFETCH(bool, lector);
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, trace);
    const auto anunciar = [](BOOL activo) {
        return SystemParametersInfoW(SPI_SETSCREENREADER, activo, nullptr, SPIF_SENDCHANGE);
    };
    BOOL antes = FALSE;
    QVERIFY(SystemParametersInfoW(SPI_GETSCREENREADER, 0, &antes, 0));
    const std::shared_ptr<void> devolver(nullptr, [&](void *) { anunciar(antes); });
    QVERIFY(anunciar(lector));
    QTemporaryDir runtime;
    QProcessEnvironment entorno = entornoSinEscritorio(runtime.path());
    entorno.insert(QStringLiteral("PINDEL_TRACE"), QStringLiteral("1"));
    servidores::Proceso program;
    QVERIFY(program.arrancar(QStringLiteral(PINDEL_BINARY), arguments + QStringList{"-platform", "offscreen"}, entorno));
    const QByteArray error = program.errorHasta("presentation built", 20000);
    QVERIFY2(error.contains("  " + trace + "\r\n"), error.constData());
#endif
}

QTEST_GUILESS_MAIN(TestArranque)
#include "test_arranque.moc"
