// What the player sees, read from what is painted rather than from the properties the code
// set: which picture each button and window shows, the goal frame's width, the play button's
// caption, and the outline a dragged peg carries.  (The faces really used are read in each
// window's design table.)

#include "holepicture.h"
#include "tres_ventanas.h"

#include "fuentes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDrag>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>
#include <QtTest>

#include <limits>

using namespace pindel;

namespace {

// The artwork, rendered here straight from the resources: what each picture looks like.
const char *const kPictures[] = {"sol", "cdrom", "anillo", "informacion", "carpeta", "libro", "retrato"};

QImage rendered(const QString &name, const QColor &background, int side = 32)
{
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(background.isValid() ? background : QColor(Qt::transparent));
    QSvgRenderer svg(QStringLiteral(":/art/%1.svg").arg(name));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    svg.render(&painter, QRectF(0, 0, side, side));
    return image;
}

// Mean difference per channel of `picture` laid over `image` at `at`.
double difference(const QImage &image, const QImage &picture, QPoint at)
{
    qint64 sum = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QColor a = image.pixelColor(at.x() + x, at.y() + y);
            const QColor b = picture.pixelColor(x, y);
            sum += qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) + qAbs(a.blue() - b.blue());
        }
    return double(sum) / (3.0 * picture.width() * picture.height());
}

struct Found {
    QString picture;
    double difference = std::numeric_limits<double>::max();
    double nextBest = std::numeric_limits<double>::max();
};

// Which of the pictures, at 32 x 32 on `face`, is painted somewhere in `image`.
Found pictureIn(const QImage &grab, const QColor &face)
{
    const QImage image = grab.convertToFormat(QImage::Format_ARGB32);
    Found found;
    for (const char *name : kPictures) {
        const QImage picture = rendered(QString::fromLatin1(name), face);
        double best = std::numeric_limits<double>::max();
        for (int y = 0; y + picture.height() <= image.height(); ++y)
            for (int x = 0; x + picture.width() <= image.width(); ++x)
                best = std::min(best, difference(image, picture, QPoint(x, y)));
        if (best < found.difference) {
            found.nextBest = found.difference;
            found = {QString::fromLatin1(name), best, found.nextBest};
        } else {
            found.nextBest = std::min(found.nextBest, best);
        }
    }
    return found;
}

// The picture a window icon shows at 32 x 32.
QString iconPicture(const QIcon &icon)
{
    const QImage image = icon.pixmap(QSize(32, 32)).toImage().convertToFormat(QImage::Format_ARGB32);
    QString best;
    double least = std::numeric_limits<double>::max();
    for (const char *name : kPictures) {
        const double d = difference(image, rendered(QString::fromLatin1(name), QColor()), QPoint(0, 0));
        if (d < least) {
            least = d;
            best = QString::fromLatin1(name);
        }
    }
    return best;
}

bool isRed(QRgb pixel) { return qRed(pixel) > 200 && qGreen(pixel) < 60 && qBlue(pixel) < 60 && qAlpha(pixel) > 200; }

} // namespace

class TestPintado : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { instalarFuentes(); }
    void init() { Lifecycle::setExitFunctionForTesting([](int) {}); }

    void buttonPictures_data();
    void buttonPictures();
    void windowIcons();
    void playCaptionUnderTheSun();
    void goalFrameIsFourPixelsWide();
    void holePicturesAtTheirOwnSize();
    void dragCarriesTheOutline();
};

void TestPintado::buttonPictures_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QColor>("face");
    QTest::addColumn<QString>("picture");   // empty: none of the pictures
    QTest::newRow("credits: information sign") << "Tablero" << "Command1" << QColor(255, 128, 128) << "informacion";
    QTest::newRow("new game: folder") << "Tablero" << "Command2" << QColor(255, 255, 128) << "carpeta";
    QTest::newRow("help: book") << "Tablero" << "Command3" << QColor(128, 255, 128) << "libro";
    QTest::newRow("leave: a caption only") << "Tablero" << "Command4" << QColor(255, 192, 255) << "";
    QTest::newRow("play: the sun") << "ForPresentacion" << "Command1" << QColor(255, 192, 192) << "sol";
}

void TestPintado::buttonPictures()
{
    QFETCH(QString, window);
    QFETCH(QString, button);
    QFETCH(QColor, face);
    QFETCH(QString, picture);
    TresVentanas programa;
    Lifecycle::show(programa.presentacion);
    QWidget *shown = &programa.presentacion;
    if (window == QLatin1String("Tablero")) {
        Lifecycle::show(programa.ventanaTablero);
        shown = &programa.tablero();
    }
    QVERIFY(QTest::qWaitForWindowExposed(shown));
    auto *control = shown->findChild<QAbstractButton *>(button);
    QVERIFY(control);
    // A focus frame would only be in the way: the button is read without the focus.
    control->clearFocus();
    const Found found = pictureIn(control->grab().toImage(), face);
    if (picture.isEmpty()) {
        QVERIFY2(found.difference > 20, qPrintable(QStringLiteral("%1 painted (%2)").arg(found.picture).arg(found.difference)));
    } else {
        QCOMPARE(found.picture, picture);
        // Clearly that one: close to it, far from the others.
        QVERIFY2(found.difference < 8 && found.nextBest > 2 * found.difference + 8,
                 qPrintable(QStringLiteral("%1 vs %2").arg(found.difference).arg(found.nextBest)));
    }
}

void TestPintado::windowIcons()
{
    TresVentanas programa;
    Lifecycle::show(programa.presentacion);
    Lifecycle::show(programa.ventanaTablero);
    Lifecycle::show(programa.ventanaSolucion);
    for (QWidget *window : {static_cast<QWidget *>(&programa.presentacion),
                            static_cast<QWidget *>(&programa.tablero()),
                            static_cast<QWidget *>(&programa.solucion())}) {
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QTRY_VERIFY(!window->windowIcon().isNull());
    }
    QCOMPARE(iconPicture(programa.presentacion.windowIcon()), QStringLiteral("retrato"));
    QCOMPARE(iconPicture(programa.tablero().windowIcon()), QStringLiteral("sol"));
    QCOMPARE(iconPicture(programa.solucion().windowIcon()), QStringLiteral("sol"));
}

// The caption "Pindel" is drawn in dark letters below the sun, not beside it and not left out.
void TestPintado::playCaptionUnderTheSun()
{
    TresVentanas programa;
    Lifecycle::show(programa.presentacion);
    QVERIFY(QTest::qWaitForWindowExposed(&programa.presentacion));
    auto *play = programa.presentacion.findChild<QAbstractButton *>(QStringLiteral("Command1"));
    play->clearFocus();
    const QImage image = play->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    auto darkIn = [&](QRect area) {
        int dark = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                dark += qGray(image.pixel(x, y)) < 80;
        return dark;
    };
    const QRect sun(image.width() / 2 - 16, 4, 32, 36);
    const QRect under(8, sun.bottom() + 1, image.width() - 16, image.height() - sun.bottom() - 5);
    QVERIFY2(pictureIn(image.copy(sun.adjusted(-4, -4, 4, 4)), QColor(255, 192, 192)).picture == QLatin1String("sol"),
             "the sun is not at the top in the middle");
    QVERIFY2(darkIn(under) > 60, "no caption under the sun");
    QCOMPARE(darkIn(QRect(0, 0, sun.left() - 2, sun.bottom())), 0);   // nothing beside it
}

void TestPintado::goalFrameIsFourPixelsWide()
{
    TresVentanas programa;
    Lifecycle::show(programa.ventanaTablero);
    QWidget *frame = programa.tablero().findChild<QWidget *>(QStringLiteral("Shape1"));
    QVERIFY(frame);
    const QImage image = frame->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(image.size(), QSize(40, 40));
    // Across each side, in the middle: four red pixels from the edge, then none.
    const int middle = 20;
    const struct {
        QPoint start, step;
    } sides[] = {{{0, middle}, {1, 0}}, {{39, middle}, {-1, 0}}, {{middle, 0}, {0, 1}}, {{middle, 39}, {0, -1}}};
    for (const auto &side : sides) {
        QString across;
        for (int i = 0; i < 8; ++i)
            across += isRed(image.pixel(side.start + i * side.step)) ? QLatin1Char('R') : QLatin1Char('.');
        QCOMPARE(across, QStringLiteral("RRRR...."));
    }
    QVERIFY(!isRed(image.pixel(middle, middle)));   // no fill
}

// Each hole shows its picture at its own 32 x 32 size, two pixels in from the cell's corner,
// inside the border: never stretched over the cell.
void TestPintado::holePicturesAtTheirOwnSize()
{
    TresVentanas programa;
    Lifecycle::show(programa.ventanaTablero);
    Tablero &tablero = programa.tablero();
    QVERIFY(QTest::qWaitForWindowExposed(&tablero));
    const QImage board = tablero.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const QColor olive(128, 128, 0);
    for (const auto &[index, picture] : {std::pair{23, "cdrom"}, std::pair{0, "anillo"}}) {
        const QPoint cell = tablero.hole(index)->pos();
        const QImage drawn = rendered(QString::fromLatin1(picture), olive);
        const double there = difference(board, drawn, cell + QPoint(2, 2));
        QVERIFY2(there < 4, qPrintable(QStringLiteral("hole %1: %2").arg(index).arg(there)));
        for (const QPoint off : {QPoint(0, 0), QPoint(1, 1), QPoint(3, 3)})
            QVERIFY(difference(board, drawn, cell + off) > there + 4);
    }
}

// Pressing a hole and moving the mouse starts a drag whose picture is the hole's outline: a
// dark frame around a see-through middle, held where the mouse took it.
void TestPintado::dragCarriesTheOutline()
{
    TresVentanas programa;
    Lifecycle::show(programa.ventanaTablero);
    HolePicture *hole = programa.tablero().hole(23);
    const QPoint press(10, 12);
    QTest::mousePress(hole, Qt::LeftButton, Qt::NoModifier, press);
    const QPoint moved = press + QPoint(QApplication::startDragDistance() + 2, 0);
    QMouseEvent move(QEvent::MouseMove, moved, hole->mapToGlobal(moved), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(hole, &move);
    auto *drag = hole->findChild<QDrag *>();
    QVERIFY2(drag, "no drag started");
    QCOMPARE(drag->hotSpot(), press);
    QCOMPARE(drag->mimeData()->data(HolePicture::kMimeType), HolePicture::payload(23));
    const QImage outline = drag->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(drag->pixmap().deviceIndependentSize(), QSizeF(36, 36));
    auto dark = [](QRgb p) { return qAlpha(p) == 255 && qGray(p) < 64; };
    for (const QPoint edge : {QPoint(0, 18), QPoint(1, 18), QPoint(18, 0), QPoint(35, 18), QPoint(18, 34)})
        QVERIFY2(dark(outline.pixel(edge)), qPrintable(QStringLiteral("(%1,%2)").arg(edge.x()).arg(edge.y())));
    for (const QPoint inside : {QPoint(18, 18), QPoint(4, 4), QPoint(31, 31)})
        QCOMPARE(qAlpha(outline.pixel(inside)), 0);
}

QTEST_MAIN(TestPintado)
#include "test_pintado.moc"
