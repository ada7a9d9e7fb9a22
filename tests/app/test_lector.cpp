// Keyboard play turns itself on when the desktop says a screen reader runs.  The question goes
// to the real accessibility bus launcher on a private session bus, set as a screen reader
// sets it; a missing bus, a bus without the launcher and a launcher that does not answer all
// count as "no", and none of them holds the start-up up.

#include "module1_posix.h"
#include "servidores.h"

#include <QRegularExpression>
#include <QtTest>

namespace {

// How the desktop is set up for one case.
enum class Escritorio {
    SinBus,            // DBUS_SESSION_BUS_ADDRESS names a socket nobody listens on
    BusSinLanzador,    // a session bus, no accessibility launcher on it
    LectorApagado,     // the launcher runs; no screen reader said anything
    LectorEncendido,   // the launcher runs; a screen reader said it runs
    LectorEncendidoYApagado,   // ... and then that it stopped
    LanzadorParado,    // a screen reader said it runs, then the launcher stopped answering
};

} // namespace

Q_DECLARE_METATYPE(Escritorio)

namespace {

// Sets up `escritorio` and returns the bus address the program is to use.
QString preparar(Escritorio escritorio, servidores::BusPrivado &bus, const QTemporaryDir &vacio)
{
    if (escritorio == Escritorio::SinBus)
        return QStringLiteral("unix:path=") + vacio.filePath(QStringLiteral("nadie"));
    if (!bus.arrancar())
        return QString();
    if (escritorio == Escritorio::BusSinLanzador)
        return bus.direccion();
    if (!bus.arrancarLanzador())
        return QString();
    const bool anunciado = escritorio == Escritorio::LectorApagado
        || bus.anunciarLector(true);
    if (!anunciado || (escritorio == Escritorio::LectorEncendidoYApagado && !bus.anunciarLector(false)))
        return QString();
    if (escritorio == Escritorio::LanzadorParado)
        bus.detenerLanzador();
    return bus.direccion();
}

// One case's desktop, kept up while it lives; `direccion` is empty when it could not start.
struct EscritorioPrivado {
    explicit EscritorioPrivado(Escritorio escritorio) : direccion(preparar(escritorio, bus, vacio)) {}
    QTemporaryDir vacio;
    servidores::BusPrivado bus;
    const QString direccion;
};

// Milliseconds of the trace line that ends with `fase`; -1 when there is none.
double momento(const QByteArray &traza, const QString &fase)
{
    const QRegularExpression linea(QStringLiteral("pindel: traza: +([0-9.]+) ms  %1\n")
                                       .arg(QRegularExpression::escape(fase)));
    const QRegularExpressionMatch m = linea.match(QString::fromUtf8(traza));
    return m.hasMatch() ? m.captured(1).toDouble() : -1.0;
}

} // namespace

class TestLector : public QObject {
    Q_OBJECT
private slots:
    void pregunta_data();
    void pregunta();
    void programa_data();
    void programa();
};

void TestLector::pregunta_data()
{
    QTest::addColumn<Escritorio>("escritorio");
    QTest::addColumn<bool>("activo");
    QTest::newRow("no session bus") << Escritorio::SinBus << false;
    QTest::newRow("a bus without the launcher") << Escritorio::BusSinLanzador << false;
    QTest::newRow("the launcher, no screen reader") << Escritorio::LectorApagado << false;
    QTest::newRow("a screen reader runs") << Escritorio::LectorEncendido << true;
    QTest::newRow("a screen reader ran and stopped") << Escritorio::LectorEncendidoYApagado << false;
    QTest::newRow("the launcher does not answer") << Escritorio::LanzadorParado << false;
}

// The answer, and never a wait much past the program's own limit (without one, a launcher
// that does not answer would hold the start-up for D-Bus's 25 s).
void TestLector::pregunta()
{
    QFETCH(Escritorio, escritorio);
    QFETCH(bool, activo);
    const EscritorioPrivado privado(escritorio);
    QVERIFY2(!privado.direccion.isEmpty(), "the private desktop did not start");
    QElapsedTimer reloj;
    reloj.start();
    QCOMPARE(pindel::lectorDePantallaActivoEn(privado.direccion), activo);
    QVERIFY2(reloj.elapsed() < 1000, qPrintable(QString::number(reloj.elapsed())));
}

void TestLector::programa_data()
{
    QTest::addColumn<Escritorio>("escritorio");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("mode");
    QTest::newRow("no bus, no option: off") << Escritorio::SinBus << QStringList{} << "off";
    QTest::newRow("no bus, -t: on") << Escritorio::SinBus << QStringList{"-t"} << "on";
    QTest::newRow("no screen reader: off") << Escritorio::LectorApagado << QStringList{} << "off";
    QTest::newRow("a screen reader: on") << Escritorio::LectorEncendido << QStringList{} << "on";
    QTest::newRow("a screen reader and --teclado: on") << Escritorio::LectorEncendido << QStringList{"--teclado"}
                                                       << "on";
    QTest::newRow("a launcher that does not answer: off") << Escritorio::LanzadorParado << QStringList{} << "off";
}

// The real program on the offscreen platform: the mode its start-up trace reports, and the
// time the question took (from the fonts, the phase before it, to the answer).
void TestLector::programa()
{
    QFETCH(Escritorio, escritorio);
    QFETCH(QStringList, arguments);
    QFETCH(QString, mode);
    const EscritorioPrivado privado(escritorio);
    QVERIFY2(!privado.direccion.isEmpty(), "the private desktop did not start");

    QProcessEnvironment entorno = servidores::entornoSinEscritorio(privado.vacio.path());
    entorno.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    entorno.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), privado.direccion);
    entorno.insert(QStringLiteral("PINDEL_TRACE"), QStringLiteral("1"));
    servidores::Proceso program;
    QVERIFY(program.arrancar(QStringLiteral(PINDEL_BINARY), arguments, entorno));
    const QByteArray traza = program.errorHasta("keyboard play: ");
    const double fuentes = momento(traza, QStringLiteral("fonts"));
    const double respuesta = momento(traza, QStringLiteral("keyboard play: ") + mode);
    QVERIFY2(fuentes >= 0 && respuesta >= 0, traza.constData());
    QVERIFY2(respuesta - fuentes < 1000, traza.constData());
}

QTEST_GUILESS_MAIN(TestLector)
#include "test_lector.moc"
