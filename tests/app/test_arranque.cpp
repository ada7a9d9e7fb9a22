// The command line: which option does what, and the real program answering --help and
// --version on a machine with no display at all, without opening a window.

#include "ordenes.h"

#include <QProcess>
#include <QProcessEnvironment>
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

const QString kVersion = QStringLiteral("Pindel 1.00\n");

} // namespace

class TestArranque : public QObject {
    Q_OBJECT
private slots:
    void options_data();
    void options();
    void realProgramAnswersWithoutADisplay_data();
    void realProgramAnswersWithoutADisplay();
};

void TestArranque::options_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Ordenes::Accion>("action");
    using A = Ordenes::Accion;
    QTest::newRow("nothing: play") << QStringList{} << A::Jugar;
    QTest::newRow("--help") << QStringList{"--help"} << A::Ayuda;
    QTest::newRow("-h") << QStringList{"-h"} << A::Ayuda;
    QTest::newRow("--version") << QStringList{"--version"} << A::Version;
    QTest::newRow("-v") << QStringList{"-v"} << A::Version;
    QTest::newRow("the first one wins") << QStringList{"--version", "--help"} << A::Version;
    QTest::newRow("Qt's -reverse is not -v") << QStringList{"-reverse"} << A::Jugar;
    QTest::newRow("Qt's -platform with its value") << QStringList{"-platform", "xcb"} << A::Jugar;
    QTest::newRow("Qt's options before ours") << QStringList{"-style", "fusion", "-h"} << A::Ayuda;
    QTest::newRow("a word that only starts like ours") << QStringList{"--helpme", "-vv"} << A::Jugar;
}

void TestArranque::options()
{
    QFETCH(QStringList, arguments);
    QFETCH(Ordenes::Accion, action);
    const Ordenes ordenes = pindel::leerOrdenes(QStringList{"pindel"} + arguments);
    QCOMPARE(ordenes.accion, action);
    QCOMPARE(ordenes.texto, action == Ordenes::Accion::Ayuda     ? kAyuda
                            : action == Ordenes::Accion::Version ? kVersion
                                                                 : QString());
}

void TestArranque::realProgramAnswersWithoutADisplay_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("output");
    QTest::newRow("--help") << "--help" << kAyuda;
    QTest::newRow("--version") << "--version" << kVersion;
}

// No X display, no Wayland, no platform chosen: had the program touched the window system it
// would have failed to start.
void TestArranque::realProgramAnswersWithoutADisplay()
{
    QFETCH(QString, option);
    QFETCH(QString, output);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QLatin1String(name));
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(PINDEL_BINARY), {option});
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(program.readAllStandardOutput()), output);
    QCOMPARE(program.readAllStandardError(), QByteArray());
}

QTEST_GUILESS_MAIN(TestArranque)
#include "test_arranque.moc"
