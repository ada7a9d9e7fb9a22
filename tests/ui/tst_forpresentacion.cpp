// The presentation window as the player meets it: its design read back from the live
// widgets, the gradient from a grab, the centring, and the advert's tick rhythm.

#include "fuente_usada.h"
#include "fuentes.h"
#include "module1.h"
#include "tres_ventanas.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace pindel;

namespace {

// The advert as the player must read it, 119 characters, "E´mail" with U+00B4.
const QString kAdvert = QStringLiteral(
    "     Si usted quiere puede personalizar esta presentaci\u00f3n, asi como el resto del "
    "programa. Consulte precios por E\u00b4mail.");

struct Windows : TresVentanas {
    QLabel *advert() { return presentacion.findChild<QLabel *>(QStringLiteral("LblPublicidad")); }
    QTimer *timer(const char *name) { return presentacion.findChild<QTimer *>(QLatin1String(name)); }
    QAbstractButton *play() { return presentacion.findChild<QAbstractButton *>(QStringLiteral("Command1")); }
};

} // namespace

class TestForPresentacion : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { instalarFuentes(); }

    void window();
    void controls_data();
    void controls();
    void loadStartsTheAdvert();
    void gradientAndCentring();
    void tickRhythm_data();
    void tickRhythm();
    void ticksReachTheScreen();
    void freezeAndRelease();
    void playStopsTheAdvertForGood();
    void playBringsAMinimisedBoardBack();
    void credits();
};

void TestForPresentacion::window()
{
    Windows w;
    ForPresentacion &p = w.presentacion;
    QCOMPARE(p.objectName(), QStringLiteral("ForPresentacion"));
    QCOMPARE(p.windowTitle(), QStringLiteral("Form1"));
    QVERIFY(p.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(p.minimumSize(), QSize(483, 256));
    QCOMPARE(p.maximumSize(), QSize(483, 256));
    QCOMPARE(p.palette().color(QPalette::Window), QColor(0, 0, 0));

    Lifecycle::show(p);
    QVERIFY(QTest::qWaitForWindowExposed(&p));
    // The icon comes once the first frame is on the screen.
    QTRY_VERIFY(!p.windowIcon().isNull());
    QCOMPARE(p.size(), QSize(483, 256));
    // The play button holds the focus, and tab walks play, exit, credits.
    QTRY_COMPARE(p.focusWidget() ? p.focusWidget()->objectName() : QString(), QStringLiteral("Command1"));
    QStringList order;
    for (QWidget *next = p.focusWidget(); order.size() < 3; next = next->nextInFocusChain())
        if (next->focusPolicy() & Qt::TabFocus)
            order << next->objectName();
    QCOMPARE(order, (QStringList{"Command1", "Command3", "Command2"}));
}

void TestForPresentacion::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<int>("role");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QString>("face");   // as really drawn

    const int button = QPalette::Button;
    const int text = QPalette::WindowText;
    QTest::newRow("Command1") << "Command1" << "&Pindel" << QRect(269, 80, 188, 81) << button
                              << QColor(255, 192, 192) << "Liberation Sans 13.5 bold";
    QTest::newRow("LblPublicidad") << "LblPublicidad" << kAdvert << QRect(25, 72, 211, 144)
                                   << text << QColor(255, 255, 0) << "Liberation Sans 13.5 bold";
    QTest::newRow("Command3") << "Command3" << "&Salir" << QRect(272, 192, 81, 25) << button
                              << QColor(192, 192, 0) << "Liberation Sans 12 bold";
    QTest::newRow("Command2") << "Command2" << "&Creditos" << QRect(376, 192, 81, 25) << button
                              << QColor(192, 192, 255) << "Liberation Sans 9.75 bold";
    QTest::newRow("Label1") << "Label1" << "Pindel.  Maberto" << QRect(0, 16, 481, 41) << text
                            << QColor(0, 0, 255) << "Z003 18 bold";
}

void TestForPresentacion::controls()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QRect, geometry);
    QFETCH(int, role);
    QFETCH(QColor, colour);
    QFETCH(QString, face);

    Windows w;
    // As designed, before the load handler empties the advert.
    w.presentacion.resetToDesign();
    auto *control = w.presentacion.findChild<QWidget *>(name, Qt::FindDirectChildrenOnly);
    QVERIFY2(control, qPrintable(name));
    QCOMPARE(control->geometry(), geometry);
    QCOMPARE(control->palette().color(static_cast<QPalette::ColorRole>(role)), colour);
    QCOMPARE(fuenteUsada(control), face);
    if (auto *label = qobject_cast<QLabel *>(control)) {
        QCOMPARE(label->text(), text);
        QCOMPARE(label->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        QVERIFY(!label->autoFillBackground());
        QCOMPARE(label->wordWrap(), name == QLatin1String("LblPublicidad"));
    } else {
        auto *button = qobject_cast<QAbstractButton *>(control);
        QCOMPARE(button ? button->text() : QString(), text);
    }
}

// The gradient from a grab of the real window, and the window's place on the screen.
void TestForPresentacion::gradientAndCentring()
{
    Windows w;
    Lifecycle::show(w.presentacion);
    QVERIFY(QTest::qWaitForWindowExposed(&w.presentacion));
    const QImage image = w.presentacion.grab().toImage();
    QCOMPARE(image.size(), QSize(483, 256));
    // Rows 0, 1 and 255 are free of controls; row 128 only left of, between and right of them.
    const struct {
        int row;
        QList<int> columns;
    } probes[] = {
        {0, {0, 1, 100, 241, 400, 481, 482}},
        {1, {0, 241, 482}},
        {128, {0, 12, 24, 240, 262, 460, 482}},
        {255, {0, 1, 241, 481, 482}},
    };
    for (const auto &probe : probes)
        for (int x : probe.columns)
            QVERIFY2(image.pixelColor(x, probe.row) == QColor(255, 127, probe.row),
                     qPrintable(QStringLiteral("(%1,%2)").arg(x).arg(probe.row)));
    // The buttons' faces show their own colours, unshaded.
    QCOMPARE(image.pixelColor(269 + 10, 80 + 10), QColor(255, 192, 192));
    QCOMPARE(image.pixelColor(272 + 5, 192 + 5), QColor(192, 192, 0));
    QCOMPARE(image.pixelColor(376 + 5, 192 + 5), QColor(192, 192, 255));

    const QRect screen = w.presentacion.screen()->geometry();
    // In twips, halves kept, each coordinate rounded to the nearest pixel (halves away
    // from zero): on the 800 x 600 offscreen screen the left edge lands on a half pixel.
    const double left = (screen.width() * 15 - 7245) / 2.0 / 15.0;
    const double top = (screen.height() * 15 - 3840) / 2.0 / 15.0;
    const QPoint expected(screen.x() + int(std::floor(left + 0.5)), screen.y() + int(std::floor(top + 0.5)));
    QCOMPARE(w.presentacion.frameGeometry().topLeft(), expected);
}

// The load handler empties the advert and starts both timers.
void TestForPresentacion::loadStartsTheAdvert()
{
    Windows w;
    QTimer *timer1 = w.timer("Timer1");
    QTimer *timer2 = w.timer("Timer2");
    QVERIFY(timer1 && timer2);
    QCOMPARE(timer1->interval(), 10);
    QCOMPARE(timer2->interval(), 50);
    QVERIFY(!timer1->isActive());
    Lifecycle::show(w.presentacion);
    QCOMPARE(w.presentacion.FrasePublicidad(), kAdvert);
    QCOMPARE(w.presentacion.Publicidad(), 119);
    QCOMPARE(w.presentacion.AumentaPublicidad(), quint8(0));
    QCOMPARE(w.presentacion.Fijar(), qint16(0));
    QCOMPARE(w.advert()->text(), QString());
    QVERIFY(timer1->isActive() && timer2->isActive());
    // Timer1 ticks once and stops for good; Timer2 keeps typing.
    QTRY_VERIFY_WITH_TIMEOUT(!timer1->isActive(), 2000);
    QTRY_VERIFY_WITH_TIMEOUT(w.presentacion.AumentaPublicidad() >= 3, 5000);
    QVERIFY(timer2->isActive());
    QCOMPARE(w.advert()->text(), kAdvert.left(w.presentacion.AumentaPublicidad()));
}

void TestForPresentacion::tickRhythm_data()
{
    QTest::addColumn<int>("tick");
    QTest::addColumn<int>("shown");
    QTest::addColumn<int>("fijar");

    QTest::newRow("first tick shows nothing") << 1 << 0 << 0;
    QTest::newRow("second tick shows a blank") << 2 << 1 << 0;
    QTest::newRow("the S on the 12th tick") << 12 << 6 << 0;
    QTest::newRow("the 119th character") << 238 << 119 << 0;
    QTest::newRow("held") << 239 << 119 << 1;
    QTest::newRow("held 69 ticks") << 307 << 119 << 69;
    QTest::newRow("cleared on tick 308") << 308 << 0 << 0;
    QTest::newRow("next cycle's first character") << 310 << 1 << 0;
    QTest::newRow("next cycle's S") << 308 + 12 << 6 << 0;
    QTest::newRow("second cycle cleared") << 2 * 308 << 0 << 0;
}

void TestForPresentacion::tickRhythm()
{
    QFETCH(int, tick);
    QFETCH(int, shown);
    QFETCH(int, fijar);

    Windows w;
    Lifecycle::show(w.presentacion);
    QTimer *timer2 = w.timer("Timer2");
    for (int i = 1; i <= tick; ++i) {
        w.presentacion.Timer2_Timer();
        // Every tick releases the freeze it took, and starts its timer again at its end.
        QVERIFY2(w.presentacion.updatesEnabled(), qPrintable(QStringLiteral("tick %1").arg(i)));
        QVERIFY(timer2->isActive());
    }
    QCOMPARE(int(w.presentacion.AumentaPublicidad()), shown);
    QCOMPARE(w.advert()->text(), kAdvert.left(shown));
    QCOMPARE(int(w.presentacion.Fijar()), fijar);
    QVERIFY(w.presentacion.UnaLetraMas() == 0 || w.presentacion.UnaLetraMas() == 1);
    if (tick == 12)
        QCOMPARE(w.advert()->text().trimmed(), QStringLiteral("S"));
}

void TestForPresentacion::ticksReachTheScreen()
{
    // What the window shows is read back from the platform, not rendered afresh: a freeze
    // that lost the label's change would leave the old picture there.
    Windows w;
    Lifecycle::show(w.presentacion);
    QVERIFY(QTest::qWaitForWindowExposed(&w.presentacion));
    w.timer("Timer2")->stop();
    const QRect advert(25, 72, 211, 144);
    auto onScreen = [&] {
        QTest::qWait(30);
        return w.presentacion.screen()->grabWindow(w.presentacion.winId()).toImage()
            .copy(advert).convertToFormat(QImage::Format_RGB32);
    };
    const QImage empty = onScreen();
    QVERIFY(!empty.isNull());
    for (int i = 0; i < 12; ++i)
        w.presentacion.Timer2_Timer();
    w.timer("Timer2")->stop();
    const QImage typed = onScreen();
    QVERIFY(typed != empty);
    QCOMPARE(typed, w.presentacion.grab(advert).toImage().convertToFormat(QImage::Format_RGB32));
}

void TestForPresentacion::freezeAndRelease()
{
    QWidget window;
    Module1::lockWindowUpdate(&window);
    QVERIFY(!window.updatesEnabled());
    Module1::unlockWindowUpdate();
    QVERIFY(window.updatesEnabled());
    Module1::unlockWindowUpdate();
    QVERIFY(window.updatesEnabled());

    // A second lock releases the first; a window its owner froze stays frozen.
    QWidget other;
    other.setUpdatesEnabled(false);
    Module1::lockWindowUpdate(&window);
    Module1::lockWindowUpdate(&other);
    QVERIFY(window.updatesEnabled());
    Module1::unlockWindowUpdate();
    QVERIFY(!other.updatesEnabled());
}

void TestForPresentacion::playStopsTheAdvertForGood()
{
    Windows w;
    Lifecycle::show(w.presentacion);
    for (int i = 0; i < 51; ++i)
        w.presentacion.Timer2_Timer();
    QCOMPARE(w.advert()->text(), kAdvert.left(25));

    w.play()->click();
    QCOMPARE(w.advert()->text(), kAdvert);
    QVERIFY(w.tablero().isOpen());
    // Time passes, the board closes: the advert stays whole and still.
    QTest::qWait(300);
    QCOMPARE(w.advert()->text(), kAdvert);
    Lifecycle::close(w.tablero());
    QTest::qWait(300);
    QVERIFY(w.presentacion.isOpen());
    QCOMPARE(w.advert()->text(), kAdvert);
    QVERIFY(!w.timer("Timer2")->isActive());
    QCOMPARE(int(w.presentacion.AumentaPublicidad()), 25);
}

// (That the game in progress survives is the navigation test's; here, the minimised board.)
void TestForPresentacion::playBringsAMinimisedBoardBack()
{
    Windows w;
    Lifecycle::show(w.presentacion);
    w.play()->click();
    QVERIFY(QTest::qWaitForWindowExposed(&w.tablero()));
    w.tablero().showMinimized();
    QTRY_VERIFY(w.tablero().windowState() & Qt::WindowMinimized);
    w.play()->click();
    QTRY_VERIFY(!(w.tablero().windowState() & Qt::WindowMinimized));
    QVERIFY(w.tablero().isVisible());
}

void TestForPresentacion::credits()
{
    Windows w;
    Lifecycle::show(w.presentacion);
    QVERIFY(QTest::qWaitForWindowActive(&w.presentacion));

    // title, text, icon, buttons of the box, read as it is answered
    QStringList seen;
    QTimer answer;
    connect(&answer, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            answer.stop();
            seen << box->windowTitle() << box->text() << QString::number(box->icon())
                 << QString::number(box->buttons().size());
            box->accept();
        }
    });
    answer.start(50);
    // Through the access key, as a player would: it presses the button a moment later.
    QTest::keyClick(&w.presentacion, Qt::Key_C, Qt::AltModifier);
    QTRY_VERIFY_WITH_TIMEOUT(!seen.isEmpty(), 5000);
    QCOMPARE(seen, (QStringList{"Datos del autor",
                                "     Este juego ha sido programado por MABERTO, Email: "
                                "maberto@example.com   http://www.example.com/maberto",
                                QString::number(QMessageBox::Information), "1"}));
    // Closing the box changes nothing else.
    QVERIFY(w.presentacion.isOpen() && !w.ventanaTablero.isOpen());
    QVERIFY(!Lifecycle::hasEnded());
    QVERIFY(w.timer("Timer2")->isActive());
}

QTEST_MAIN(TestForPresentacion)
#include "tst_forpresentacion.moc"
