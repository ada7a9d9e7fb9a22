// How the program moves between its three windows and when it ends, over the real windows
// and their real handlers: every transition of the program's states, from the open windows
// before to the open windows after, or the end of the event loop.
//
//   S0 presentation   S1 presentation, board   S2 presentation, board, solution
//   S3 board          S4 board, solution       (S3/S4: the presentation was closed by the
//                                               platform)   End: the event loop has ended

#include "fuentes.h"
#include "programa.h"
#include "tres_ventanas.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QtTest>

using namespace pindel;

namespace {

constexpr int kStillRunning = 77;

// Counts the close requests a window receives: ending the program must send none.
class CloseCounter : public QObject {
public:
    int closes = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Close)
            ++closes;
        return false;
    }
};

struct Partida : TresVentanas {
    QAbstractButton *button(QWidget &window, const char *name)
    {
        return window.findChild<QAbstractButton *>(QLatin1String(name));
    }

    // The player's actions, each through the control or the close request a player uses.
    void act(const QString &event)
    {
        if (event == QLatin1String("play")) {
            button(presentacion, "Command1")->click();
        } else if (event == QLatin1String("exit")) {
            button(presentacion, "Command3")->click();
        } else if (event == QLatin1String("Alt+P") || event == QLatin1String("Alt+S")) {
            presentacion.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&presentacion));
            QTest::keyClick(&presentacion, event.endsWith(QLatin1Char('P')) ? Qt::Key_P : Qt::Key_S,
                            Qt::AltModifier);
        } else if (event == QLatin1String("platform closes presentation")) {
            presentacion.close();
        } else if (event == QLatin1String("gesture")) {
            auto *spot5 = tablero().findChild<QLabel *>(QStringLiteral("Label5"));
            auto *spot6 = tablero().findChild<QLabel *>(QStringLiteral("Label6"));
            QTest::mouseClick(spot5, Qt::LeftButton);
            QTest::mousePress(spot6, Qt::RightButton);
            QTest::mouseRelease(spot6, Qt::RightButton);
        } else if (event == QLatin1String("new game")) {
            button(tablero(), "Command2")->click();
        } else if (event == QLatin1String("leave")) {
            button(tablero(), "Command4")->click();
        } else if (event == QLatin1String("board close box")) {
            tablero().close();
        } else if (event == QLatin1String("solution OK")) {
            button(solucion(), "Command1")->click();
        } else if (event == QLatin1String("solution close box")) {
            solucion().close();
        } else {
            QFAIL(qPrintable(QStringLiteral("unknown event ") + event));
        }
    }

    QString state()
    {
        const bool p = presentacion.isOpen(), b = ventanaTablero.isOpen(), s = ventanaSolucion.isOpen();
        // Open for the lifecycle and visible on the screen go together.
        if (p != presentacion.isVisible() || b != visible(ventanaTablero) || s != visible(ventanaSolucion))
            return QStringLiteral("open windows not the visible ones");
        if (p && !b && !s)
            return QStringLiteral("S0");
        if (p && b && !s)
            return QStringLiteral("S1");
        if (p && b && s)
            return QStringLiteral("S2");
        if (!p && b && !s)
            return QStringLiteral("S3");
        if (!p && b && s)
            return QStringLiteral("S4");
        return QStringLiteral("P%1 B%2 S%3").arg(p).arg(b).arg(s);
    }
};

const QHash<QString, QStringList> &roads()
{
    static const QHash<QString, QStringList> r = {
        {QStringLiteral("S0"), {}},
        {QStringLiteral("S1"), {QStringLiteral("play")}},
        {QStringLiteral("S2"), {QStringLiteral("play"), QStringLiteral("gesture")}},
        {QStringLiteral("S3"), {QStringLiteral("play"), QStringLiteral("platform closes presentation")}},
        {QStringLiteral("S4"),
         {QStringLiteral("play"), QStringLiteral("gesture"), QStringLiteral("platform closes presentation")}},
    };
    return r;
}

} // namespace

class TestNavegacion : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { instalarFuentes(); }
    void startShowsOnlyThePresentation();
    void transitions_data();
    void transitions();
    void presentationNeverReopens();
    void windowsAreMadeOnFirstOpening();
};

void TestNavegacion::startShowsOnlyThePresentation()
{
    Partida programa;
    Lifecycle::show(programa.presentacion);
    QVERIFY(QTest::qWaitForWindowExposed(&programa.presentacion));
    QCOMPARE(programa.state(), QStringLiteral("S0"));
    QCOMPARE(Lifecycle::openCount(), 1);
}

void TestNavegacion::transitions_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("event");
    QTest::addColumn<QString>("to");
    // The moves on the board afterwards: -1 no board, 0 a new game, 1 the game goes on.
    QTest::addColumn<int>("moves");

    const struct {
        const char *from, *event, *to;
        int moves;
    } rows[] = {
        {"S0", "play", "S1", 0},
        {"S0", "Alt+P", "S1", 0},
        {"S0", "exit", "End", -1},
        {"S0", "Alt+S", "End", -1},
        {"S0", "platform closes presentation", "End", -1},
        {"S1", "play", "S1", 1},
        {"S1", "gesture", "S2", 1},
        {"S1", "new game", "S1", 0},
        {"S1", "leave", "S0", -1},
        {"S1", "board close box", "S0", -1},
        {"S1", "exit", "End", -1},
        {"S1", "Alt+S", "End", -1},
        {"S1", "platform closes presentation", "S3", 1},
        {"S2", "solution OK", "S1", 1},
        {"S2", "solution close box", "S1", 1},
        {"S2", "gesture", "S2", 1},
        {"S2", "play", "S2", 1},
        {"S2", "new game", "S1", 0},
        {"S2", "leave", "S0", -1},
        {"S2", "board close box", "S0", -1},
        {"S2", "exit", "End", -1},
        {"S2", "platform closes presentation", "S4", 1},
        {"S3", "gesture", "S4", 1},
        {"S3", "new game", "S3", 0},
        {"S3", "leave", "End", -1},
        {"S3", "board close box", "End", -1},
        {"S4", "solution OK", "S3", 1},
        {"S4", "solution close box", "S3", 1},
        {"S4", "new game", "S3", 0},
        {"S4", "leave", "End", -1},
        {"S4", "board close box", "End", -1},
    };
    for (const auto &row : rows) {
        QTest::addRow("%s, %s", row.from, row.event)
            << QString::fromLatin1(row.from) << QString::fromLatin1(row.event)
            << QString::fromLatin1(row.to) << row.moves;
    }
}

void TestNavegacion::transitions()
{
    QFETCH(QString, from);
    QFETCH(QString, event);
    QFETCH(QString, to);
    QFETCH(int, moves);

    Partida programa;
    Lifecycle::show(programa.presentacion);
    QVERIFY(QTest::qWaitForWindowExposed(&programa.presentacion));
    for (const QString &step : roads().value(from)) {
        programa.act(step);
        QTest::qWait(20);
    }
    if (programa.ventanaTablero.isOpen()) {
        // A game in progress: the peg above the centre jumps into it.
        programa.tablero().Image1_DragDrop(kCentre, holeAtCell(1, 3));
        QCOMPARE(int(programa.tablero().board().movimientos()), 1);
    }
    QCOMPARE(programa.state(), from);

    // Only windows that exist can be asked to close or run a close handler.
    CloseCounter boardCloses, solutionCloses;
    auto handlersRun = [&programa] {
        int count = 0;
        if (programa.ventanaTablero.existing())
            count += programa.tablero().cierres;
        if (programa.ventanaSolucion.existing())
            count += programa.solucion().cierres;
        return count;
    };
    if (programa.ventanaTablero.existing())
        programa.tablero().installEventFilter(&boardCloses);
    if (programa.ventanaSolucion.existing())
        programa.solucion().installEventFilter(&solutionCloses);
    const int handlersBefore = handlersRun();

    // The event runs inside the program's event loop, which either ends (the program ends)
    // or is still running when the watchdog stops it.
    QTimer watchdog;
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(kStillRunning); });
    QTimer::singleShot(0, &watchdog, [&] { programa.act(event); });
    watchdog.start(to == QLatin1String("End") ? 3000 : 500);
    const int result = QCoreApplication::exec();

    if (to == QLatin1String("End")) {
        QCOMPARE(result, 0);
        QVERIFY(Lifecycle::hasEnded());
        QCOMPARE(Lifecycle::openCount(), 0);
        QVERIFY(!programa.presentacion.isVisible());
        QVERIFY(!TresVentanas::visible(programa.ventanaTablero));
        QVERIFY(!TresVentanas::visible(programa.ventanaSolucion));
        if (event == QLatin1String("exit") || event == QLatin1String("Alt+S")) {
            // At once: no close handler runs, no window is asked to close.
            QCOMPARE(boardCloses.closes, 0);
            QCOMPARE(solutionCloses.closes, 0);
            QCOMPARE(handlersRun(), handlersBefore);
        }
        return;
    }
    QCOMPARE(result, kStillRunning);
    QVERIFY(!Lifecycle::hasEnded());
    QCOMPARE(programa.state(), to);
    if (moves >= 0)
        QCOMPARE(int(programa.tablero().board().movimientos()), moves);
}

void TestNavegacion::presentationNeverReopens()
{
    // Closed by the platform while the board is open, the presentation stays closed through
    // new games and leaving; closing the board then ends the program.
    Partida programa;
    Lifecycle::show(programa.presentacion);
    programa.act(QStringLiteral("play"));
    programa.act(QStringLiteral("platform closes presentation"));
    programa.act(QStringLiteral("new game"));
    programa.act(QStringLiteral("new game"));
    QTest::qWait(50);
    QCOMPARE(programa.state(), QStringLiteral("S3"));
    QVERIFY(!Lifecycle::hasEnded());
    QVERIFY(!programa.presentacion.findChild<QTimer *>(QStringLiteral("Timer2"))->isActive());
    programa.act(QStringLiteral("board close box"));
    QTRY_VERIFY_WITH_TIMEOUT(Lifecycle::hasEnded(), 2000);
    QVERIFY(!programa.presentacion.isVisible());
}

// The program as main makes it: the board and the solution window do not exist until they
// are first opened, and then the same window serves every later opening.
void TestNavegacion::windowsAreMadeOnFirstOpening()
{
    auto made = [](const char *name) {
        QList<QWidget *> found;
        for (QWidget *window : QApplication::topLevelWidgets())
            if (window->objectName() == QLatin1String(name))
                found << window;
        return found;
    };
    QCOMPARE(made("Tablero").size(), 0);
    {
        pindel::Programa programa;
        FinDelPrograma fin;
        programa.arrancar();
        QVERIFY(QTest::qWaitForWindowExposed(&programa.presentacion()));
        QCOMPARE(made("ForPresentacion").size(), 1);
        QCOMPARE(made("Tablero").size(), 0);
        QCOMPARE(made("FrmSolucion").size(), 0);

        auto *play = programa.presentacion().findChild<QAbstractButton *>(QStringLiteral("Command1"));
        play->click();
        const QList<QWidget *> boards = made("Tablero");
        QCOMPARE(boards.size(), 1);
        QVERIFY(boards[0]->isVisible());
        QCOMPARE(made("FrmSolucion").size(), 0);

        // Leave and play again: the same board, set up afresh.
        auto *tablero = static_cast<Tablero *>(boards[0]);
        tablero->Image1_DragDrop(kCentre, holeAtCell(1, 3));
        tablero->findChild<QAbstractButton *>(QStringLiteral("Command4"))->click();
        QVERIFY(!tablero->isVisible());
        play->click();
        QCOMPARE(made("Tablero"), boards);
        QVERIFY(tablero->isVisible());
        QCOMPARE(int(tablero->board().movimientos()), 0);

        // The gesture makes the solution window; closing and opening it again keeps it.
        for (int opening = 0; opening < 2; ++opening) {
            QTest::mouseClick(tablero->findChild<QLabel *>(QStringLiteral("Label5")), Qt::LeftButton);
            QTest::mousePress(tablero->findChild<QLabel *>(QStringLiteral("Label6")), Qt::RightButton);
            QCOMPARE(made("FrmSolucion").size(), 1);
            QVERIFY(made("FrmSolucion")[0]->isVisible());
            made("FrmSolucion")[0]->findChild<QAbstractButton *>(QStringLiteral("Command1"))->click();
        }
        QCOMPARE(made("Tablero"), boards);
    }
    QCOMPARE(made("Tablero").size(), 0);
}

QTEST_MAIN(TestNavegacion)
#include "tst_navegacion.moc"
