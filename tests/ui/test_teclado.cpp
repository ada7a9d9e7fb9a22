// The keyboard on the buttons of all three windows, as a player uses it: the button that has
// the focus is pressed by Enter and by Space, and Escape presses none (no window has a
// default or a cancel button).

#include "dialogs.h"
#include "tres_ventanas.h"

#include "fuentes.h"

#include <QAbstractButton>
#include <QtTest>

using namespace pindel;

namespace {

// What a press did, as the player sees it.
QString effect(TresVentanas &programa, const DialogScript &dialogs, int movesBefore, bool boardWasOpen,
               bool solutionWasOpen)
{
    if (Lifecycle::hasEnded())
        return QStringLiteral("the program ends");
    if (!dialogs.titles.isEmpty())
        return dialogs.titles.join(QLatin1Char('|'));
    if (!boardWasOpen && programa.ventanaTablero.isOpen())
        return QStringLiteral("the board opens");
    if (boardWasOpen && !programa.ventanaTablero.isOpen())
        return QStringLiteral("the board closes");
    if (solutionWasOpen && !programa.ventanaSolucion.isOpen())
        return QStringLiteral("the solution closes");
    if (boardWasOpen && programa.tablero().board().movimientos() != movesBefore)
        return QStringLiteral("a new game");
    return QStringLiteral("nothing");
}

} // namespace

class TestTeclado : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        instalarFuentes();
        Lifecycle::setExitFunctionForTesting([](int) {});
    }
    void keys_data();
    void keys();
};

void TestTeclado::keys_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("pressed");   // what Enter and Space do; Escape does nothing

    QTest::newRow("presentation: play") << "ForPresentacion" << "Command1" << "the board opens";
    QTest::newRow("presentation: credits") << "ForPresentacion" << "Command2" << "Datos del autor";
    QTest::newRow("presentation: exit") << "ForPresentacion" << "Command3" << "the program ends";
    QTest::newRow("board: credits") << "Tablero" << "Command1" << "Datos del autor";
    QTest::newRow("board: new game") << "Tablero" << "Command2" << "a new game";
    QTest::newRow("board: help") << "Tablero" << "Command3" << " Instrucciones de juego";
    QTest::newRow("board: leave") << "Tablero" << "Command4" << "the board closes";
    QTest::newRow("solution: OK") << "FrmSolucion" << "Command1" << "the solution closes";
}

void TestTeclado::keys()
{
    QFETCH(QString, window);
    QFETCH(QString, button);
    QFETCH(QString, pressed);
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_Escape}) {
        TresVentanas programa;
        Lifecycle::show(programa.presentacion);
        QWidget *shown = &programa.presentacion;
        if (window != QLatin1String("ForPresentacion")) {
            Lifecycle::show(programa.ventanaTablero);
            programa.tablero().Image1_DragDrop(kCentre, holeAtCell(1, 3));   // a game in progress
            shown = &programa.tablero();
        }
        if (window == QLatin1String("FrmSolucion")) {
            Lifecycle::show(programa.ventanaSolucion);
            shown = &programa.solucion();
        }
        shown->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(shown));
        auto *control = shown->findChild<QAbstractButton *>(button);
        QVERIFY(control);
        control->setFocus(Qt::TabFocusReason);
        QCOMPARE(QApplication::focusWidget(), control);

        const bool boardWasOpen = programa.ventanaTablero.isOpen();
        const bool solutionWasOpen = programa.ventanaSolucion.isOpen();
        const int movesBefore = boardWasOpen ? programa.tablero().board().movimientos() : 0;
        DialogScript dialogs;
        dialogs.pressOk();
        QTest::keyClick(QApplication::focusWidget(), key);
        QTest::qWait(key == Qt::Key_Escape ? 300 : 0);   // the time a press would take to show
        const QString expected = key == Qt::Key_Escape ? QStringLiteral("nothing") : pressed;
        QTRY_COMPARE_WITH_TIMEOUT(effect(programa, dialogs, movesBefore, boardWasOpen, solutionWasOpen), expected,
                                  3000);
        QCOMPARE(dialogs.unexpected(), 0);
    }
}

QTEST_MAIN(TestTeclado)
#include "test_teclado.moc"
