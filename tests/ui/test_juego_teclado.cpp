// Keyboard play on the board, on the offscreen platform: keys pressed on the real board with
// keyboard play on, and what the player sees (the board, the counters, the painted cursor)
// and what a screen reader gets (the table of holes, the focus, the messages).  With keyboard
// play off the board must be exactly the mouse game's.

#include "tablero_de_prueba.h"
#include "dialogs.h"
#include "solucion_ganadora.h"

#include "accesibilidad.h"
#include "campoteclado.h"
#include "forpresentacion.h"
#include "frmsolucion.h"
#include "fuentes.h"
#include "holepicture.h"
#include "lifecycle.h"
#include "tablero.h"

#include <QAccessible>
#include <QDropEvent>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QtTest>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

using pindel::CampoTeclado;
using pindel::Lifecycle;
using pindel::Tablero;

namespace {

const char *const kInicio = "..ooo..\n..ooo..\nooooooo\nooo.ooo\nooooooo\n..ooo..\n..ooo..\n";

// What a screen reader is told, in order: the name of the cell that holds the accessible
// focus whenever it changes, and each message as its notification appears, read at that
// moment (`oido`: what Orca hears through AT-SPI).  Beside it, `uia`: what Qt's UI Automation
// bridge forwards of the same, the cell each Focus event lands on (a table passes the focus to
// its focused cell, as that bridge does) and each string a value change carries.  A player on
// either system must hear the same.  (The offscreen platform has no bridge of its own; the
// events come to this listener in its place.  The Orca run of the real-desktop tests hears
// the first list through AT-SPI, test_uia the second through the UI Automation bridge.)
class Oyente : public QObject {
public:
    Oyente(CampoTeclado *campo) : m_campo(campo)
    {
        campo->notificacion()->installEventFilter(this);
        s_actual = this;
        // Qt hands events to a listener only while its platform's accessibility is on, as a
        // screen reader's first request turns it on.
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
        QAccessible::installUpdateHandler(&Oyente::evento);
    }
    ~Oyente() override
    {
        QAccessible::installUpdateHandler(nullptr);
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(false);
        s_actual = nullptr;
    }

    void tecla()
    {
        QAccessibleInterface *celda = QAccessible::queryAccessibleInterface(m_campo)->focusChild();
        if (celda != m_ultima && celda)
            oido << celda->text(QAccessible::Name);
        m_ultima = celda;
    }

    QStringList oido;
    QStringList uia;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            QAccessibleInterface *aviso = QAccessible::queryAccessibleInterface(watched);
            if (aviso->role() == QAccessible::Notification)
                oido << QStringLiteral("aviso: ") + aviso->text(QAccessible::Name);
        }
        return false;
    }

private:
    static void evento(QAccessibleEvent *event)
    {
        QAccessibleInterface *iface = event->accessibleInterface();
        if (!s_actual || !iface)
            return;
        if (event->type() == QAccessible::Focus) {
            if (iface->childCount() && iface->focusChild())
                iface = iface->focusChild();
            s_actual->uia << iface->text(QAccessible::Name);
        } else if (event->type() == QAccessible::ValueChanged) {
            const QVariant valor = static_cast<QAccessibleValueChangeEvent *>(event)->value();
            if (valor.typeId() == QMetaType::QString && iface->role() == QAccessible::Notification)
                s_actual->uia << QStringLiteral("aviso: ") + valor.toString();
        }
    }

    static inline Oyente *s_actual = nullptr;
    CampoTeclado *m_campo;
    QAccessibleInterface *m_ultima = nullptr;
};

// "fila,columna" of a hole, counted from 1 as a player reads them; "-" for none.
QString lugar(int index)
{
    if (index < 0)
        return QStringLiteral("-");
    const pindel::Hole &h = pindel::holes()[index];
    return QStringLiteral("%1,%2").arg(h.row + 1).arg(h.column + 1);
}

// The arrow keys that take the cursor from one cell to another without crossing a corner:
// along a full row first when the start is in the middle band, else along its column first.
QString camino(int desde, int hasta)
{
    const pindel::Hole &a = pindel::holes()[desde];
    const pindel::Hole &b = pindel::holes()[hasta];
    const QString horizontal = QString(std::abs(b.column - a.column), b.column > a.column ? 'R' : 'L');
    const QString vertical = QString(std::abs(b.row - a.row), b.row > a.row ? 'D' : 'U');
    return a.row >= 2 && a.row <= 4 ? horizontal + vertical : vertical + horizontal;
}

} // namespace

class TestJuegoTeclado : public QObject, protected TableroDePrueba {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void keys_data();
    void keys();
    void endings_data();
    void endings();
    void tabChainAndOpeningFocus_data();
    void tabChainAndOpeningFocus();
    void cursorPaintedOnlyWithFocus_data();
    void cursorPaintedOnlyWithFocus();
    void mousePlayerSeesTheDesign();
    void mouseStillPlaysWithTheModeOn();
    void tableOfHoles_data();
    void tableOfHoles();
    void cellActions_data();
    void cellActions();
    void screenReaderHears_data();
    void screenReaderHears();
    void bridgeWarnings_data();
    void bridgeWarnings();
    void windowsAreWindows_data();
    void windowsAreWindows();

private:
    void abrir(bool modoTeclado);
    void pulsar(const QString &teclas, Oyente *oyente = nullptr);
    QColor pixel(int x, int y) const { return m_tablero->grab().toImage().pixelColor(x, y); }
    CampoTeclado *campo() const { return m_tablero->findChild<CampoTeclado *>(); }
    QString label(const char *name) const { return m_tablero->findChild<QLabel *>(name)->text(); }

};

void TestJuegoTeclado::initTestCase()
{
    iniciarPrograma();
}

void TestJuegoTeclado::init()
{
    QVERIFY(prepararPrueba());
}

void TestJuegoTeclado::cleanup()
{
    limpiarPrueba();
}

void TestJuegoTeclado::abrir(bool modoTeclado)
{
    Lifecycle::show(hacerTablero(modoTeclado));
    m_tablero->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_tablero.get()));
    QCoreApplication::processEvents();
}

// The keys of a table's letters (pulsarTeclaDePrueba); the drops that the keys queue are run
// before it returns.
void TestJuegoTeclado::pulsar(const QString &teclas, Oyente *oyente)
{
    for (const QChar c : teclas) {
        QVERIFY2(pulsarTeclaDePrueba(c), "no widget has the focus, or a letter of the table is no key");
        if (oyente)
            oyente->tecla();
    }
    QCoreApplication::processEvents();
}

void TestJuegoTeclado::keys_data()
{
    QTest::addColumn<QString>("teclas");
    QTest::addColumn<QString>("tablero");
    QTest::addColumn<QString>("jugadas");
    QTest::addColumn<QString>("resto");
    QTest::addColumn<QString>("cursor");
    QTest::addColumn<QString>("tomado");
    QTest::addColumn<QString>("aviso");

    const QString inicio = QString::fromLatin1(kInicio);
    const QString unaJugada = "..ooo..\n..ooo..\nooooooo\no..oooo\nooooooo\n..ooo..\n..ooo..\n";
    QTest::newRow("opening") << "" << inicio << "0" << "32" << "4,4" << "-" << CampoTeclado::instrucciones();
    QTest::newRow("two left") << "LL" << inicio << "0" << "32" << "4,2" << "-" << "";
    QTest::newRow("left edge stays") << "LLLLL" << inicio << "0" << "32" << "4,1" << "-" << "";
    QTest::newRow("top edge stays") << "UUUUU" << inicio << "0" << "32" << "1,4" << "-" << "";
    QTest::newRow("no corner above the left arm") << "LLLUU" << inicio << "0" << "32" << "3,1" << "-" << "";
    QTest::newRow("no corner beside the top arm") << "UUULL" << inicio << "0" << "32" << "1,3" << "-" << "";
    QTest::newRow("no corner below the right arm") << "RRRDD" << inicio << "0" << "32" << "5,7" << "-" << "";
    QTest::newRow("round trip") << "DDDRUUUL" << inicio << "0" << "32" << "4,4" << "-" << "";
    QTest::newRow("take") << "LL_" << inicio << "0" << "32" << "4,2" << "4,2" << "Cd-rom tomado";
    QTest::newRow("take, walk away") << "LL_RR" << inicio << "0" << "32" << "4,4" << "4,2" << "";
    QTest::newRow("nothing to take on the empty centre") << "_" << inicio << "0" << "32" << "4,4" << "-"
                                                          << CampoTeclado::instrucciones();
    QTest::newRow("jump with Space") << "LL_RR_" << unaJugada << "1" << "31" << "4,4" << "-"
                                     << "Movimiento hecho. Jugadas: 1, Resto: 31";
    QTest::newRow("jump with Return") << "LLERRE" << unaJugada << "1" << "31" << "4,4" << "-"
                                      << "Movimiento hecho. Jugadas: 1, Resto: 31";
    QTest::newRow("jump with keypad Enter") << "LLKRRK" << unaJugada << "1" << "31" << "4,4" << "-"
                                            << "Movimiento hecho. Jugadas: 1, Resto: 31";
    QTest::newRow("taken hole pressed again: put back") << "LL__" << inicio << "0" << "32" << "4,2" << "-"
                                                        << "Cd-rom devuelto a su hueco";
    QTest::newRow("Escape puts back") << "LL_RRX" << inicio << "0" << "32" << "4,4" << "-"
                                      << "Cd-rom devuelto a su hueco";
    QTest::newRow("Escape, then Space on the target: nothing") << "LL_XRR_" << inicio << "0" << "32" << "4,4"
                                                               << "-" << "";
    QTest::newRow("Escape with nothing taken") << "LX" << inicio << "0" << "32" << "4,3" << "-" << "";
    QTest::newRow("next to the hole: refused") << "L_R_" << inicio << "0" << "32" << "4,4" << "-"
                                               << "Movimiento no válido";
    QTest::newRow("onto a peg: refused") << "LL_R_" << inicio << "0" << "32" << "4,3" << "-"
                                         << "Movimiento no válido";
    QTest::newRow("over an empty hole: refused") << "LL_RR_LLL_RR_" << unaJugada << "1" << "31" << "4,3" << "-"
                                                 << "Movimiento no válido";
    QTest::newRow("two moves")
        << "LL_RR_LUU_DD_" << "..ooo..\n...oo..\noo.oooo\no.ooooo\nooooooo\n..ooo..\n..ooo..\n"
        << "2" << "30" << "4,3" << "-" << "Movimiento hecho. Jugadas: 2, Resto: 30";
}

void TestJuegoTeclado::keys()
{
    QFETCH(QString, teclas);
    QFETCH(QString, tablero);
    QFETCH(QString, jugadas);
    QFETCH(QString, resto);
    QFETCH(QString, cursor);
    QFETCH(QString, tomado);
    QFETCH(QString, aviso);

    abrir(true);
    DialogScript dialogs;
    pulsar(teclas);
    QCOMPARE(QString::fromStdString(m_tablero->board().toText()), tablero);
    QCOMPARE(label("LblMarcador"), jugadas);
    QCOMPARE(label("LblResto"), resto);
    QCOMPARE(lugar(campo()->cursor()), cursor);
    QCOMPARE(lugar(campo()->tomado()), tomado);
    QCOMPARE(campo()->aviso(), aviso);
    QCOMPARE(QApplication::focusWidget(), campo());
    QCOMPARE(dialogs.titles, QStringList());
}

void TestJuegoTeclado::endings_data()
{
    QTest::addColumn<int>("jugadas");     // moves of the winning line played first
    QTest::addColumn<int>("desde");       // then this last move, in the solution's numbering
    QTest::addColumn<int>("hasta");
    QTest::addColumn<QString>("caja");    // the box the judgement opens
    QTest::addColumn<QStringList>("lista");

    QTest::newRow("win") << 30 << 5 << int(solucion::kCentro) << "Lo ha conseguido" << QStringList{"Teclado"};
    QTest::newRow("loss") << 30 << 10 << 2 << " Le falto muy poco"
                          << QStringList{"Aun no lo ha logrado nadie"};
}

void TestJuegoTeclado::endings()
{
    QFETCH(int, jugadas);
    QFETCH(int, desde);
    QFETCH(int, hasta);
    QFETCH(QString, caja);
    QFETCH(QStringList, lista);

    abrir(true);
    DialogScript dialogs;
    if (caja == QLatin1String("Lo ha conseguido"))
        dialogs.answerText(QStringLiteral("Teclado"));
    else
        dialogs.pressOk();

    QList<solucion::Salto> saltos(solucion::movimientos().begin(), solucion::movimientos().begin() + jugadas);
    saltos.append({desde, 0, hasta});
    int aqui = pindel::kCentre;
    for (const solucion::Salto &s : saltos) {
        const int origen = solucion::hueco(s.desde);
        const int destino = solucion::hueco(s.a);
        pulsar(camino(aqui, origen) + '_' + camino(origen, destino) + '_');
        aqui = destino;
    }
    QTRY_COMPARE_WITH_TIMEOUT(dialogs.answered(), 1, 5000);
    QCOMPARE(dialogs.titles, QStringList{caja});
    QCOMPARE(dialogs.unexpected(), 0);

    // The board opened again on a new game, the cursor on the centre and the field focused.
    QTRY_COMPARE(QString::fromStdString(m_tablero->board().toText()), QString::fromLatin1(kInicio));
    QCOMPARE(label("LblMarcador"), QStringLiteral("0"));
    QCOMPARE(label("LblResto"), QStringLiteral("32"));
    QCOMPARE(lugar(campo()->cursor()), QStringLiteral("4,4"));
    QCOMPARE(lugar(campo()->tomado()), QStringLiteral("-"));
    QTRY_COMPARE(QApplication::focusWidget(), campo());
    QStringList shown;
    auto *widget = m_tablero->findChild<QListWidget *>("Lista");
    for (int i = 0; i < widget->count(); ++i)
        shown << widget->item(i)->text();
    QCOMPARE(shown, lista);
}

void TestJuegoTeclado::tabChainAndOpeningFocus_data()
{
    QTest::addColumn<bool>("modoTeclado");
    QTest::addColumn<QStringList>("cadena");   // the focus on opening, then after each Tab

    QTest::newRow("keyboard play on")
        << true << QStringList{"CampoTeclado", "Command1", "Command2", "Command3", "Lista", "Command4", "CampoTeclado"};
    QTest::newRow("keyboard play off")
        << false << QStringList{"Command1", "Command2", "Command3", "Lista", "Command4", "Command1"};
}

void TestJuegoTeclado::tabChainAndOpeningFocus()
{
    QFETCH(bool, modoTeclado);
    QFETCH(QStringList, cadena);

    abrir(modoTeclado);
    QStringList vista{QApplication::focusWidget()->objectName()};
    for (int i = 1; i < cadena.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        vista << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(vista, cadena);
    // A new game opens the board again, and the focus goes back where it was on opening
    // (the window's own focus: the offscreen platform does not activate it again).
    QTest::mouseClick(m_tablero->findChild<QPushButton *>("Command2"), Qt::LeftButton);
    QCOMPARE(m_tablero->focusWidget()->objectName(), cadena.first());
    QCOMPARE(campo() != nullptr, modoTeclado);
}

void TestJuegoTeclado::cursorPaintedOnlyWithFocus_data()
{
    QTest::addColumn<QString>("teclas");
    QTest::addColumn<bool>("foco");    // whether the field keeps the focus
    QTest::addColumn<QPoint>("punto");  // a pixel of the board window
    QTest::addColumn<QColor>("color");

    const QColor blanco(255, 255, 255), negro(0, 0, 0), oliva(128, 128, 0), tomado(32, 32, 32);
    // The centre hole stands at (167, 168), 36 x 36; the hole left of it at (119, 168).
    QTest::newRow("centre, light band") << "" << true << QPoint(162, 186) << blanco;
    QTest::newRow("centre, dark line") << "" << true << QPoint(164, 186) << negro;
    QTest::newRow("centre, band below") << "" << true << QPoint(185, 208) << blanco;
    QTest::newRow("centre, no focus") << "" << false << QPoint(162, 186) << oliva;
    QTest::newRow("moved: old place clear") << "L" << true << QPoint(162, 186) << oliva;
    QTest::newRow("moved: new place framed") << "L" << true << QPoint(114, 186) << blanco;
    QTest::newRow("moved, no focus") << "L" << false << QPoint(114, 186) << oliva;
    QTest::newRow("taken: outline") << "L_" << true << QPoint(121, 186) << tomado;
    QTest::newRow("taken: outline, inner pixel") << "L_" << true << QPoint(122, 186) << tomado;
    QTest::newRow("taken, no focus: outline stays") << "L_" << false << QPoint(152, 186) << tomado;
}

void TestJuegoTeclado::cursorPaintedOnlyWithFocus()
{
    QFETCH(QString, teclas);
    QFETCH(bool, foco);
    QFETCH(QPoint, punto);
    QFETCH(QColor, color);

    abrir(true);
    pulsar(teclas);
    if (!foco)
        QTest::keyClick(campo(), Qt::Key_Tab);
    QCOMPARE(campo()->hasFocus(), foco);
    QCOMPARE(pixel(punto.x(), punto.y()), color);
}

void TestJuegoTeclado::mousePlayerSeesTheDesign()
{
    // With the focus away from the field, the board with keyboard play on is painted exactly
    // as the mouse game's board.
    abrir(false);
    const QImage raton = m_tablero->grab().toImage();
    m_tablero.reset();
    abrir(true);
    QTest::keyClick(campo(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Command1"));
    QVERIFY(m_tablero->grab().toImage() == raton);
}

void TestJuegoTeclado::mouseStillPlaysWithTheModeOn()
{
    abrir(true);
    // Every hole is still what the mouse finds under the pointer.
    for (const pindel::Hole &h : pindel::holes())
        QCOMPARE(m_tablero->childAt(h.left + 18, h.top + 18), static_cast<QWidget *>(m_tablero->hole(h.index)));

    // The peg at row 4, column 2 is taken with the keys, then dropped with the mouse: a real
    // drop of that hole onto the centre.  It is no longer taken once it has gone.
    pulsar(QStringLiteral("LL_"));
    const int source = pindel::holeAtCell(3, 1);
    QCOMPARE(campo()->tomado(), source);
    QMimeData mime;
    mime.setData(pindel::HolePicture::kMimeType, pindel::HolePicture::payload(source));
    pindel::HolePicture *target = m_tablero->hole(pindel::kCentre);
    QDragEnterEvent enter(QPoint(18, 18), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(18, 18), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QVERIFY(drop.isAccepted());
    QCoreApplication::processEvents();
    QCOMPARE(QString::fromStdString(m_tablero->board().toText()),
             QStringLiteral("..ooo..\n..ooo..\nooooooo\no..oooo\nooooooo\n..ooo..\n..ooo..\n"));
    QCOMPARE(label("LblMarcador"), QStringLiteral("1"));
    QCOMPARE(label("LblResto"), QStringLiteral("31"));
    QCOMPARE(campo()->tomado(), -1);
    QCOMPARE(campo()->nombreHueco(source), QStringLiteral("Fila 4, columna 2, vacío"));
}

void TestJuegoTeclado::tableOfHoles_data()
{
    QTest::addColumn<QString>("teclas");
    QTest::addColumn<int>("fila");      // counted from 0, as the table counts
    QTest::addColumn<int>("columna");
    QTest::addColumn<QString>("nombre");   // empty: no cell there

    QTest::newRow("centre") << "" << 3 << 3 << "Fila 4, columna 4, vacío";
    QTest::newRow("top left hole") << "" << 0 << 2 << "Fila 1, columna 3, con Cd-rom";
    QTest::newRow("bottom right hole") << "" << 6 << 4 << "Fila 7, columna 5, con Cd-rom";
    QTest::newRow("left end") << "" << 3 << 0 << "Fila 4, columna 1, con Cd-rom";
    QTest::newRow("corner top left") << "" << 0 << 0 << "";
    QTest::newRow("corner bottom right") << "" << 6 << 6 << "";
    QTest::newRow("taken") << "LL_" << 3 << 1 << "Fila 4, columna 2, Cd-rom tomado";
    QTest::newRow("after a jump: source") << "LL_RR_" << 3 << 1 << "Fila 4, columna 2, vacío";
    QTest::newRow("after a jump: over") << "LL_RR_" << 3 << 2 << "Fila 4, columna 3, vacío";
    QTest::newRow("after a jump: target") << "LL_RR_" << 3 << 3 << "Fila 4, columna 4, con Cd-rom";
}

void TestJuegoTeclado::tableOfHoles()
{
    QFETCH(QString, teclas);
    QFETCH(int, fila);
    QFETCH(int, columna);
    QFETCH(QString, nombre);

    abrir(true);
    pulsar(teclas);
    QAccessibleInterface *tabla = QAccessible::queryAccessibleInterface(campo());
    QVERIFY(tabla);
    QCOMPARE(tabla->role(), QAccessible::Table);
    QCOMPARE(tabla->text(QAccessible::Name), QStringLiteral("Huecos del tablero"));
    QVERIFY(tabla->text(QAccessible::Description).contains(QStringLiteral("flechas")));
    QVERIFY(tabla->text(QAccessible::Description).contains(QStringLiteral("Escape")));
    QCOMPARE(tabla->childCount(), 33);
    QAccessibleTableInterface *t = tabla->tableInterface();
    QVERIFY(t);
    QCOMPARE(t->rowCount(), 7);
    QCOMPARE(t->columnCount(), 7);

    QAccessibleInterface *celda = t->cellAt(fila, columna);
    if (nombre.isEmpty()) {
        QVERIFY(!celda);
        return;
    }
    QVERIFY(celda);
    QCOMPARE(celda->role(), QAccessible::Cell);
    QCOMPARE(celda->text(QAccessible::Name), nombre);
    QCOMPARE(celda->tableCellInterface()->rowIndex(), fila);
    QCOMPARE(celda->tableCellInterface()->columnIndex(), columna);
    QCOMPARE(celda->parent(), tabla);
    QVERIFY(tabla->indexOfChild(celda) >= 0);
    QCOMPARE(tabla->child(tabla->indexOfChild(celda)), celda);
    // The cell stands where the hole is on the screen.
    const QRect hueco(m_tablero->hole(pindel::holeAtCell(fila, columna))->mapToGlobal(QPoint(0, 0)), QSize(36, 36));
    QCOMPARE(celda->rect(), hueco);
}

void TestJuegoTeclado::cellActions_data()
{
    QTest::addColumn<QString>("teclas");
    QTest::addColumn<bool>("desdeBoton");   // the focus on a button when the reader asks
    QTest::addColumn<int>("fila");          // the cell asked, counted from 0
    QTest::addColumn<int>("columna");
    QTest::addColumn<QString>("accion");
    QTest::addColumn<QString>("cursor");
    QTest::addColumn<QString>("tomado");
    QTest::addColumn<QString>("aviso");
    QTest::addColumn<QString>("jugadas");

    const QString foco = QAccessibleActionInterface::setFocusAction();
    const QString pulsar = QAccessibleActionInterface::pressAction();
    QTest::newRow("focus: the cursor goes there") << "" << false << 0 << 2 << foco << "1,3" << "-" << "" << "0";
    QTest::newRow("focus: a taken disc stays taken") << "LL_" << false << 3 << 3 << foco << "4,4" << "4,2" << "" << "0";
    QTest::newRow("focus from a button: the field takes it") << "" << true << 6 << 4 << foco << "7,5" << "-"
                                                           << CampoTeclado::instrucciones() << "0";
    QTest::newRow("press: takes the disc there") << "" << false << 3 << 1 << pulsar << "4,2" << "4,2"
                                                 << "Cd-rom tomado" << "0";
    QTest::newRow("press: drops the taken disc there") << "LL_" << false << 3 << 3 << pulsar << "4,4" << "-"
                                                       << "Movimiento hecho. Jugadas: 1, Resto: 31" << "1";
    QTest::newRow("press on the taken hole: puts it back") << "LL_" << false << 3 << 1 << pulsar << "4,2" << "-"
                                                           << "Cd-rom devuelto a su hueco" << "0";
}

void TestJuegoTeclado::cellActions()
{
    QFETCH(QString, teclas);
    QFETCH(bool, desdeBoton);
    QFETCH(int, fila);
    QFETCH(int, columna);
    QFETCH(QString, accion);
    QFETCH(QString, cursor);
    QFETCH(QString, tomado);
    QFETCH(QString, aviso);
    QFETCH(QString, jugadas);

    abrir(true);
    pulsar(teclas);
    if (desdeBoton)
        QTest::keyClick(campo(), Qt::Key_Tab);
    QAccessibleInterface *celda = QAccessible::queryAccessibleInterface(campo())->tableInterface()->cellAt(fila, columna);
    QVERIFY(celda && celda->actionInterface());
    QCOMPARE(celda->actionInterface()->actionNames(), (QStringList{QAccessibleActionInterface::setFocusAction(),
                                                                   QAccessibleActionInterface::pressAction()}));
    celda->actionInterface()->doAction(accion);
    QCoreApplication::processEvents();
    QCOMPARE(lugar(campo()->cursor()), cursor);
    QCOMPARE(lugar(campo()->tomado()), tomado);
    QCOMPARE(campo()->aviso(), aviso);
    QCOMPARE(label("LblMarcador"), jugadas);
    QCOMPARE(QApplication::focusWidget(), campo());
    QVERIFY(celda->state().focused);
}

void TestJuegoTeclado::screenReaderHears_data()
{
    QTest::addColumn<QString>("teclas");
    QTest::addColumn<QStringList>("oido");

    QTest::newRow("one step") << "L" << QStringList{"Fila 4, columna 3, con Cd-rom"};
    QTest::newRow("up to the edge and no further")
        << "UUUU" << QStringList{"Fila 3, columna 4, con Cd-rom", "Fila 2, columna 4, con Cd-rom",
                                 "Fila 1, columna 4, con Cd-rom"};
    QTest::newRow("take") << "LL_"
                          << QStringList{"Fila 4, columna 3, con Cd-rom", "Fila 4, columna 2, con Cd-rom",
                                         "aviso: Cd-rom tomado"};
    QTest::newRow("jump") << "LL_RR_"
                          << QStringList{"Fila 4, columna 3, con Cd-rom", "Fila 4, columna 2, con Cd-rom",
                                         "aviso: Cd-rom tomado", "Fila 4, columna 3, con Cd-rom",
                                         "Fila 4, columna 4, vacío",
                                         "aviso: Movimiento hecho. Jugadas: 1, Resto: 31"};
    QTest::newRow("refused") << "L_R_"
                             << QStringList{"Fila 4, columna 3, con Cd-rom", "aviso: Cd-rom tomado",
                                            "Fila 4, columna 4, vacío", "aviso: Movimiento no válido"};
    QTest::newRow("put back with Escape") << "L_X"
                                          << QStringList{"Fila 4, columna 3, con Cd-rom", "aviso: Cd-rom tomado",
                                                         "aviso: Cd-rom devuelto a su hueco"};
}

void TestJuegoTeclado::screenReaderHears()
{
    QFETCH(QString, teclas);
    QFETCH(QStringList, oido);

    abrir(true);
    // Landing on the field: the hole under the cursor has the focus and carries the
    // instructions.
    QTest::keyClick(campo(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), campo());
    QCoreApplication::processEvents();   // the field hands the focus on to the hole
    Oyente oyente(campo());
    oyente.tecla();
    QCOMPARE(oyente.oido, QStringList{"Fila 4, columna 4, vacío"});
    QAccessibleInterface *centro = QAccessible::queryAccessibleInterface(campo())->focusChild();
    QVERIFY(centro->state().focused);
    QCOMPARE(centro->text(QAccessible::Description), CampoTeclado::instrucciones());
    oyente.oido.clear();

    oyente.uia.clear();
    pulsar(teclas, &oyente);
    QCOMPARE(oyente.oido, oido);
    QCOMPARE(oyente.uia, oido);
    // The message stays with the hole under the cursor for a reader that asks again.
    QAccessibleInterface *celda = QAccessible::queryAccessibleInterface(campo())->focusChild();
    QVERIFY(celda);
    QVERIFY(celda->state().focused);
    QCOMPARE(celda->text(QAccessible::Description), oido.last().startsWith("aviso: ") ? oido.last().mid(7) : "");
    // Away from the field, no hole has the focus.
    QTest::keyClick(campo(), Qt::Key_Tab);
    QVERIFY(!celda->state().focused);
    QCOMPARE(QAccessible::queryAccessibleInterface(campo())->focusChild(), nullptr);
}

void TestJuegoTeclado::bridgeWarnings_data()
{
    QTest::addColumn<QString>("mensaje");   // as Qt's AT-SPI bridge words it
    QTest::addColumn<bool>("callado");

    QTest::newRow("the value change of a message") << "ValueChanged event and no ValueInterface or ComboBox:  "
                                                      "QAccessibleInterface(0x1 name=\"Cd-rom tomado\" role=Notification "
                                                      "obj=QWidget(0x2, name = \"AvisoTeclado\"))"
                                                   << true;
    QTest::newRow("the same of another widget") << "ValueChanged event and no ValueInterface or ComboBox:  "
                                                   "QAccessibleInterface(0x1 name=\"Resto\" role=StaticText "
                                                   "obj=QLabel(0x2, name = \"LblResto\"))"
                                                << false;
    QTest::newRow("another warning of the bridge") << "StateChanged event from invalid accessible." << false;
}

void TestJuegoTeclado::bridgeWarnings()
{
    QFETCH(QString, mensaje);
    QFETCH(bool, callado);

    // Of what Qt's AT-SPI bridge says, only the warning each message would cost is dropped
    // (once keyboard play has begun); everything else goes on to where it went.
    abrir(true);
    if (callado)
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
    else
        QTest::ignoreMessage(QtWarningMsg, qPrintable(mensaje));
    QMessageLogger(__FILE__, __LINE__, Q_FUNC_INFO, "qt.accessibility.atspi").warning("%s", qPrintable(mensaje));
}

void TestJuegoTeclado::windowsAreWindows_data()
{
    QTest::addColumn<QString>("ventana");
    QTest::addColumn<QString>("nombre");

    QTest::newRow("presentation") << "ForPresentacion" << "Pindel";
    QTest::newRow("board") << "Tablero" << " Pindel.  Maberto.";
    QTest::newRow("solution") << "FrmSolucion" << "Solución al Pindel. Maberto.";
}

void TestJuegoTeclado::windowsAreWindows()
{
    QFETCH(QString, ventana);
    QFETCH(QString, nombre);

    abrir(true);
    pindel::LazyWindow tablero([] { return std::unique_ptr<pindel::ManagedWindow>(); });
    pindel::ForPresentacion presentacion(tablero);
    pindel::FrmSolucion solucion;
    QWidget *w = ventana == QLatin1String("Tablero")           ? static_cast<QWidget *>(m_tablero.get())
                 : ventana == QLatin1String("FrmSolucion")     ? static_cast<QWidget *>(&solucion)
                                                                : static_cast<QWidget *>(&presentacion);
    // As the program does: the window is made, then described.
    pindel::describirControles(w);
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w);
    QVERIFY(iface);
    QCOMPARE(iface->role(), QAccessible::Window);
    QCOMPARE(iface->text(QAccessible::Name), nombre);
}

QTEST_MAIN(TestJuegoTeclado)
#include "test_juego_teclado.moc"
