// The solution window, read from the live widgets against values written out here: its
// frame, the numbered squares, the 31 moves, the other controls, centring from the inner
// size, and how it opens and closes through the lifecycle.

#include "frmsolucion.h"
#include "fuente_usada.h"
#include "fuentes.h"
#include "lifecycle.h"
#include "twips.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QRegularExpression>
#include <QtTest>

#include <memory>

using pindel::FrmSolucion;
using pindel::Lifecycle;
namespace twips = pindel::twips;

namespace {

template <typename T>
T *control(QWidget &window, const char *name)
{
    T *found = window.findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("control %s is missing", name);
    return found;
}

QPoint expectedCentre(const QWidget &window)
{
    const QRect screen = window.screen()->geometry();
    const double top = (screen.height() * 15.0 - 4410) / 2;
    const double left = (screen.width() * 15.0 - 6180) / 2;
    return screen.topLeft() + QPoint(qRound(left / 15), qRound(top / 15));
}

} // namespace

class TestFrmSolucion : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { pindel::instalarFuentes(); }
    void init()
    {
        Lifecycle::resetEndForTesting();
        m_window = std::make_unique<FrmSolucion>();
    }
    void cleanup()
    {
        m_window.reset();
        Lifecycle::resetEndForTesting();
    }

    void frame();
    void moves_data();
    void moves();
    void numbers_data();
    void numbers();
    void controls_data();
    void controls();
    void centredFromInnerSize();
    void closing_data();
    void closing();
    void focusAndResetOnOpening();
    void paintsTheDesign();

private:
    std::unique_ptr<FrmSolucion> m_window;
};

void TestFrmSolucion::frame()
{
    FrmSolucion &w = *m_window;
    QCOMPARE(w.objectName(), QStringLiteral("FrmSolucion"));
    QCOMPARE(w.windowTitle(), QString::fromUtf8("Soluci\xc3\xb3n al Pindel. Maberto."));
    QCOMPARE(w.size(), QSize(412, 294));
    QCOMPARE(w.minimumSize(), w.maximumSize());
    const Qt::WindowFlags flags = w.windowFlags();
    QVERIFY(flags & Qt::WindowMinimizeButtonHint && flags & Qt::WindowCloseButtonHint);
    QVERIFY(flags & Qt::MSWindowsFixedSizeDialogHint);
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QCOMPARE(w.palette().color(QPalette::Window), QColor(255, 224, 192));
    QVERIFY(w.autoFillBackground());
    QCOMPARE(fuenteUsada(&w), QStringLiteral("Liberation Sans 9.75 bold"));
    // 32 squares, the red spot and the heading: no other label.
    QCOMPARE(w.findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly).size(), 34);
    // The sun, once the first frame is on the screen: yellow in the middle of the icon.
    Lifecycle::show(w);
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTRY_VERIFY(!w.windowIcon().isNull());
    const QImage icon = w.windowIcon().pixmap(QSize(32, 32)).toImage();
    const QColor middle = icon.pixelColor(16, 16);
    QVERIFY2(middle.red() > 200 && middle.green() > 150 && middle.blue() < 120,
             qPrintable(middle.name()));
}

void TestFrmSolucion::moves_data()
{
    // The moves themselves are proven by playing the window's own list to a win (test_solucion);
    // here, how each item reads.  A number of two digits follows one blank, one of one digit
    // (or "C", the centre) three, so the columns line up, and the centre as a target is
    // "Centro" after one blank; the one exception is the last number of item 29, after two.
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("form");
    const QString campo = QStringLiteral("( \\d\\d|   \\d|   C)");
    const QString regla = QStringLiteral("- Desde%1 sobre%1 a( \\d\\d|   \\d| Centro)").arg(campo);
    for (int row = 0; row < 31; ++row)
        QTest::addRow("item %d", row + 1) << row << (row == 28 ? QStringLiteral("- Desde   C sobre 10 a  5") : regla);
}

void TestFrmSolucion::moves()
{
    QFETCH(int, row);
    QFETCH(QString, form);
    Lifecycle::show(*m_window);
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    auto *list = control<QListWidget>(*m_window, "List1");
    QCOMPARE(list->count(), 31);
    const QString text = list->item(row)->text();
    QVERIFY2(QRegularExpression(QRegularExpression::anchoredPattern(form)).match(text).hasMatch(), qPrintable(text));
    QVERIFY(list->selectedItems().isEmpty());
    QVERIFY(!list->isSortingEnabled());
    // 31 lines do not fit: the list scrolls vertically, never sideways, and every move
    // fits beside the scroll bar.
    QVERIFY(list->verticalScrollBar()->isVisible());
    QCOMPARE(list->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QVERIFY(list->fontMetrics().horizontalAdvance(text) <= list->viewport()->width());
}

void TestFrmSolucion::numbers_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    constexpr int kLeft[] = {120, 600, 1080, 1500, 1920, 2400, 2880};
    constexpr int kTop[] = {360, 840, 1320, 1800, 2280, 2760, 3240};
    // Rows of the picture: the numbers from left to right; 0 off the cross and the centre.
    constexpr int kNumbering[7][7] = {
        {0, 0, 1, 2, 3, 0, 0},          {0, 0, 4, 5, 6, 0, 0},
        {7, 8, 9, 10, 11, 12, 13},      {14, 15, 16, 0, 17, 18, 19},
        {20, 21, 22, 23, 24, 25, 26},   {0, 0, 27, 28, 29, 0, 0},
        {0, 0, 30, 31, 32, 0, 0},
    };
    for (int row = 0; row < 7; ++row)
        for (int column = 0; column < 7; ++column)
            if (const int number = kNumbering[row][column])
                QTest::addRow("%d", number) << number << kLeft[column] << kTop[row];
}

void TestFrmSolucion::numbers()
{
    QFETCH(int, number);
    QFETCH(int, left);
    QFETCH(int, top);
    Lifecycle::show(*m_window);
    const QByteArray name = "Label1_" + QByteArray::number(number - 1);
    auto *label = control<QLabel>(*m_window, name.constData());
    QCOMPARE(label->text(), QString::number(number));
    QCOMPARE(label->geometry(), twips::rect(left, top, 255, 255));
    QVERIFY(label->isVisible() && label->autoFillBackground());
    QCOMPARE(label->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(fuenteUsada(label), QStringLiteral("Liberation Sans 8.25 regular"));
    // The platform's label colours, not the window's peach.
    QCOMPARE(label->palette().color(QPalette::Window),
             QApplication::palette(label).color(QPalette::Window));
}

void TestFrmSolucion::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twipsRect");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("foreground");   // invalid: the platform's
    QTest::addColumn<QColor>("background");   // invalid: the platform's
    QTest::addColumn<qreal>("points");
    QTest::addColumn<bool>("bold");
    QTest::newRow("Command1") << "Command1" << QRect(2123, 3840, 1935, 375) << "&OK"
                              << QColor() << QColor(255, 192, 192) << 9.75 << true;
    QTest::newRow("Label2") << "Label2" << QRect(1560, 1800, 180, 240) << "O"
                            << QColor(255, 0, 0) << QColor(255, 0, 0) << 9.75 << true;
    QTest::newRow("Label3") << "Label3" << QRect(3480, 360, 2415, 255) << "Lista de movimientos"
                            << QColor(0, 0, 192) << QColor() << 9.75 << true;
    QTest::newRow("List1") << "List1" << QRect(3360, 720, 2655, 2790) << QString() << QColor()
                           << QColor() << 8.25 << false;
}

void TestFrmSolucion::controls()
{
    QFETCH(QString, name);
    QFETCH(QRect, twipsRect);
    QFETCH(QString, text);
    QFETCH(QColor, foreground);
    QFETCH(QColor, background);
    QFETCH(qreal, points);
    QFETCH(bool, bold);
    Lifecycle::show(*m_window);
    QWidget *widget = m_window->findChild<QWidget *>(name);
    QVERIFY(widget && widget->isVisible());
    const QRect r = twipsRect;
    QCOMPARE(widget->geometry(), twips::rect(r.x(), r.y(), r.width(), r.height()));
    QCOMPARE(fuenteUsada(widget), QStringLiteral("Liberation Sans %1 %2").arg(points).arg(bold ? "bold" : "regular"));
    if (auto *label = qobject_cast<QLabel *>(widget)) {
        QCOMPARE(label->text(), text);
        QCOMPARE(label->palette().color(QPalette::WindowText), foreground);
        QCOMPARE(label->autoFillBackground(), background.isValid());
        if (background.isValid())
            QCOMPARE(label->palette().color(QPalette::Window), background);
    } else if (auto *button = qobject_cast<QPushButton *>(widget)) {
        QCOMPARE(button->text(), text);
        QCOMPARE(button->palette().color(QPalette::Button), background);
        QVERIFY(!button->isDefault());
    }
}

void TestFrmSolucion::centredFromInnerSize()
{
    FrmSolucion &w = *m_window;
    w.move(3, 5);
    Lifecycle::show(w);
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.frameGeometry().topLeft(), expectedCentre(w));
    // Moved by the player, then closed and opened again: centred again.
    w.move(w.pos() + QPoint(40, 30));
    Lifecycle::close(w);
    Lifecycle::show(w);
    QCOMPARE(w.pos(), expectedCentre(w));
}

void TestFrmSolucion::closing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("OK clicked") << "click";
    QTest::newRow("OK by its access key") << "alt+o";
    QTest::newRow("close box") << "closebox";
}

void TestFrmSolucion::closing()
{
    QFETCH(QString, how);
    // The other window stands for the board: it must stay as it is.
    FrmSolucion other;
    Lifecycle::track(other);
    Lifecycle::track(*m_window);
    Lifecycle::show(other);
    Lifecycle::show(*m_window);
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    if (how == QLatin1String("click"))
        QTest::mouseClick(control<QPushButton>(*m_window, "Command1"), Qt::LeftButton);
    else if (how == QLatin1String("alt+o"))
        QTest::keyClick(m_window.get(), Qt::Key_O, Qt::AltModifier);
    else
        QVERIFY(m_window->close());

    // The access key animates the press: the click comes a moment later.
    QTRY_VERIFY(!m_window->isOpen());
    QVERIFY(!m_window->isVisible());
    QVERIFY(other.isOpen() && other.isVisible());
    QCOMPARE(Lifecycle::openCount(), 1);
    QTest::qWait(20);   // the deferred last-close check runs
    QVERIFY(!Lifecycle::hasEnded());
    // Closing again is no failure and changes nothing.
    Lifecycle::close(*m_window);
    QVERIFY(!m_window->isOpen() && other.isOpen());
}

// Each opening starts as designed: the focus on OK, tab to the list and back, nothing
// selected, the list at its top, whatever the player did the time before.
void TestFrmSolucion::focusAndResetOnOpening()
{
    FrmSolucion &w = *m_window;
    Lifecycle::show(w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    auto *ok = control<QPushButton>(w, "Command1");
    auto *list = control<QListWidget>(w, "List1");
    QCOMPARE(QApplication::focusWidget(), ok);
    QTest::keyClick(&w, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), list);
    QVERIFY(list->selectedItems().isEmpty());   // focus alone selects no move
    QTest::keyClick(&w, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), ok);

    list->setFocus();
    list->setCurrentRow(27);
    list->scrollToBottom();
    control<QLabel>(w, "Label1_4")->setText(QStringLiteral("x"));
    QTest::mouseClick(ok, Qt::LeftButton);
    QVERIFY(!w.isOpen());
    Lifecycle::show(w);
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(list->count(), 31);
    QVERIFY(list->selectedItems().isEmpty());
    QCOMPARE(list->verticalScrollBar()->value(), 0);
    QCOMPARE(control<QLabel>(w, "Label1_4")->text(), QStringLiteral("5"));
    // (Whether the platform activates a window shown a second time is its own business.)
    QCOMPARE(w.focusWidget(), ok);
}

void TestFrmSolucion::paintsTheDesign()
{
    FrmSolucion &w = *m_window;
    Lifecycle::show(w);
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QPixmap shot = w.grab();
    const qreal ratio = shot.devicePixelRatio();
    const QImage image = shot.toImage();
    // Colours at points given in twips, read on the device pixels.
    auto at = [&](int left, int top) {
        return image.pixelColor(QPointF(QPointF(twips::point(left, top)) * ratio).toPoint());
    };
    QCOMPARE(at(60, 60), QColor(255, 224, 192));        // the window
    QCOMPARE(at(1650, 1920), QColor(255, 0, 0));        // Label2, solid red
    QCOMPARE(at(2220, 3900), QColor(255, 192, 192));    // Command1's face, left of the caption
    QCOMPARE(at(3510, 420), QColor(255, 224, 192));     // Label3 is transparent
    QCOMPARE(at(1095, 585),                             // Label1_0, left of its caption
             QApplication::palette(control<QLabel>(w, "Label1_0")).color(QPalette::Window));

    const QByteArray dir = qgetenv("PINDEL_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        QVERIFY(shot.save(QStringLiteral("%1/frmsolucion-x%2.png")
                              .arg(QString::fromLocal8Bit(dir)).arg(ratio)));
}

QTEST_MAIN(TestFrmSolucion)
#include "test_frmsolucion.moc"
