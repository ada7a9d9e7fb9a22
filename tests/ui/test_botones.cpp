// The graphical buttons of the three windows as a player sees them at scale 1, from grabs of
// the live buttons: the flat face in the button's own colour, the edge raised at rest and
// sunken while the mouse holds the button down, and each window's focus mark.

#include "fuentes.h"
#include "tres_ventanas.h"

#include <QAbstractButton>
#include <QtTest>

using namespace pindel;

namespace {

// One pixel of the grab and the colour it must have.
struct Pixel {
    QPoint at;
    QColor colour;
};
using Pixels = QList<Pixel>;

// Antialiased pixels (the focus dots) may round one way or the other.
bool casiIgual(QColor a, QColor b)
{
    return qAbs(a.red() - b.red()) <= 2 && qAbs(a.green() - b.green()) <= 2 && qAbs(a.blue() - b.blue()) <= 2;
}

} // namespace

Q_DECLARE_METATYPE(Pixels)

class TestBotones : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { instalarFuentes(); }
    void look_data();
    void look();
};

void TestBotones::look_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("state");   // rest, focus, pressed (by the mouse, which also gives the focus)
    QTest::addColumn<Pixels>("pixels");

    const QColor white(255, 255, 255), black(0, 0, 0), grey(64, 64, 64);

    // The presentation: the edge is the face made lighter (top, left) and the face itself
    // (bottom, right), swapped while pressed; the focus turns the whole edge black, but
    // pressing shows the sunken edge even with the focus.  Play: 188 x 81, face #ffc0c0.
    const QColor rosa(255, 192, 192);
    QTest::newRow("play at rest") << "ForPresentacion" << "Command1" << "rest"
                                  << Pixels{{{94, 0}, white}, {{0, 40}, white}, {{94, 80}, rosa},
                                            {{187, 40}, rosa}, {{4, 40}, rosa}};
    QTest::newRow("play with focus") << "ForPresentacion" << "Command1" << "focus"
                                     << Pixels{{{94, 0}, black}, {{94, 1}, black}, {{0, 40}, black},
                                               {{94, 80}, black}, {{187, 40}, black}, {{4, 40}, rosa}};
    QTest::newRow("play pressed") << "ForPresentacion" << "Command1" << "pressed"
                                  << Pixels{{{94, 0}, rosa}, {{0, 40}, rosa}, {{94, 80}, white},
                                            {{187, 40}, white}, {{4, 40}, rosa}};
    // Exit: 81 x 25, face #c0c000, lighter #ffff21.
    const QColor oliva(192, 192, 0), amarillo(255, 255, 33);
    QTest::newRow("exit at rest") << "ForPresentacion" << "Command3" << "rest"
                                  << Pixels{{{40, 0}, amarillo}, {{0, 12}, amarillo}, {{40, 24}, oliva},
                                            {{80, 12}, oliva}, {{4, 12}, oliva}};
    QTest::newRow("exit with focus") << "ForPresentacion" << "Command3" << "focus"
                                     << Pixels{{{40, 0}, black}, {{0, 12}, black}, {{40, 24}, black},
                                               {{80, 12}, black}};
    QTest::newRow("exit pressed") << "ForPresentacion" << "Command3" << "pressed"
                                  << Pixels{{{40, 0}, oliva}, {{0, 12}, oliva}, {{40, 24}, amarillo},
                                            {{80, 12}, amarillo}};
    // Credits: face #c0c0ff.
    QTest::newRow("credits at rest") << "ForPresentacion" << "Command2" << "rest"
                                     << Pixels{{{40, 0}, white}, {{40, 24}, QColor(192, 192, 255)},
                                               {{4, 12}, QColor(192, 192, 255)}};

    // The board: the same raised and sunken edge; the focus is a dotted line, one dot in
    // three, over the pixels on either side of the edge's inner border (rows 1 and 2 at the
    // top).  Credits: 65 x 33, face #ff8080.
    const QColor salmon(255, 128, 128);
    QTest::newRow("board credits at rest") << "Tablero" << "Command1" << "rest"
                                           << Pixels{{{32, 0}, white}, {{0, 16}, white}, {{32, 32}, salmon},
                                                     {{64, 16}, salmon}, {{4, 16}, salmon},
                                                     {{5, 1}, white}, {{5, 2}, salmon}};
    QTest::newRow("board credits with focus")
        << "Tablero" << "Command1" << "focus"
        << Pixels{{{32, 0}, white}, {{32, 32}, salmon}, {{4, 16}, salmon},
                  {{5, 1}, QColor(128, 128, 128)}, {{5, 2}, QColor(127, 64, 64)},
                  {{3, 1}, white}, {{3, 2}, salmon}};
    QTest::newRow("board credits pressed")
        << "Tablero" << "Command1" << "pressed"
        << Pixels{{{32, 0}, salmon}, {{0, 16}, salmon}, {{32, 32}, white}, {{64, 16}, white},
                  {{5, 1}, QColor(128, 64, 64)}, {{5, 2}, QColor(127, 64, 64)}};
    QTest::newRow("board leave at rest") << "Tablero" << "Command4" << "rest"
                                         << Pixels{{{32, 0}, white}, {{32, 32}, QColor(255, 192, 255)},
                                                   {{4, 16}, QColor(255, 192, 255)}};

    // The solution window: a white and dark grey edge, swapped while pressed, and the
    // dotted focus line.  OK: 129 x 25, face #ffc0c0.
    QTest::newRow("OK at rest") << "FrmSolucion" << "Command1" << "rest"
                                << Pixels{{{64, 0}, white}, {{0, 12}, white}, {{64, 24}, grey},
                                          {{128, 12}, grey}, {{4, 12}, rosa}, {{5, 2}, rosa}};
    QTest::newRow("OK with focus") << "FrmSolucion" << "Command1" << "focus"
                                   << Pixels{{{64, 0}, white}, {{64, 24}, grey}, {{5, 1}, QColor(128, 128, 128)},
                                             {{5, 2}, QColor(127, 96, 96)}, {{3, 2}, rosa}};
    QTest::newRow("OK pressed") << "FrmSolucion" << "Command1" << "pressed"
                                << Pixels{{{64, 0}, grey}, {{0, 12}, grey}, {{64, 24}, white},
                                          {{128, 12}, white}, {{5, 2}, QColor(127, 96, 96)}};
}

void TestBotones::look()
{
    QFETCH(QString, window);
    QFETCH(QString, button);
    QFETCH(QString, state);
    QFETCH(Pixels, pixels);

    TresVentanas v;
    QWidget *shown = &v.presentacion;
    if (window == QLatin1String("Tablero")) {
        Lifecycle::show(v.ventanaTablero);
        shown = &v.tablero();
    } else if (window == QLatin1String("FrmSolucion")) {
        Lifecycle::show(v.ventanaSolucion);
        shown = &v.solucion();
    } else {
        Lifecycle::show(v.presentacion);
    }
    QVERIFY(QTest::qWaitForWindowActive(shown));
    auto *control = shown->findChild<QAbstractButton *>(button);
    QVERIFY(control);

    if (state == QLatin1String("rest")) {
        shown->setFocus();
    } else if (state == QLatin1String("focus")) {
        control->setFocus(Qt::TabFocusReason);
    } else {
        QTest::mousePress(control, Qt::LeftButton);
        QVERIFY(control->isDown());
    }
    QCOMPARE(control->hasFocus(), state != QLatin1String("rest"));
    const QImage shot = control->grab().toImage();
    if (state == QLatin1String("pressed")) {
        // Let go away from the button: no click.
        QTest::mouseRelease(control, Qt::LeftButton, {}, QPoint(-5, -5));
        QVERIFY(!control->isDown());
    }

    for (const Pixel &p : pixels) {
        const QColor seen = shot.pixelColor(p.at);
        QVERIFY2(casiIgual(seen, p.colour),
                 qPrintable(QStringLiteral("(%1, %2) is %3, not %4")
                                .arg(p.at.x()).arg(p.at.y()).arg(seen.name(), p.colour.name())));
    }
}

QTEST_MAIN(TestBotones)
#include "test_botones.moc"
