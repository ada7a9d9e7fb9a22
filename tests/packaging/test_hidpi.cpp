// The board's pictures at a desktop scale factor of 2 are drawn from the vector art, not
// blown up from a 1x bitmap; and at 100, 125, 150, 175 and 200 % every bevel, edge and frame
// is whole device pixels, alike on every side and on every hole.
//
// Screenshots: this program runs itself as a child for each window and scale, with
// QT_SCALE_FACTOR set, each child opening the window on the offscreen platform and saving
// QWidget::grab() of it (with its controls' places written into the PNG as text).  The parent
// then reads the pictures.
//
// Sharpness: the colour steps between neighbours inside the 2 x 2 blocks of the 2x picture
// (each block over one 1x pixel), divided by all the steps of the 1x picture.  An enlargement
// has none there (nearest neighbour) or a quarter of an edge's step (smooth), so about 0 or
// 0.25; art drawn at 2x about 1.  Both enlargements of the same 1x picture are measured next
// to the real one, so the threshold is shown to reject them.

#include "campoteclado.h"
#include "frmsolucion.h"
#include "holepicture.h"
#include "lifecycle.h"
#include "tablero.h"

#include <QApplication>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

namespace {

constexpr double kThreshold = 0.6;
constexpr int kBorder = 2;        // each hole draws a 2-pixel border around its picture
constexpr int kPicture = 32;      // the hole picture's size at 1x

double channelStep(QRgb a, QRgb b)
{
    const double dr = qRed(a) - qRed(b), dg = qGreen(a) - qGreen(b), db = qBlue(a) - qBlue(b);
    return dr * dr + dg * dg + db * db;
}

// Sum of squared colour steps between horizontal and vertical neighbours.  With `block` 2,
// only the pairs inside one 2 x 2 block count; with 1, every pair.
double stepEnergy(const QImage &image, int block)
{
    const QImage img = image.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            if (x + 1 < img.width() && x % block == 0)
                sum += channelStep(img.pixel(x, y), img.pixel(x + 1, y));
            if (y + 1 < img.height() && y % block == 0)
                sum += channelStep(img.pixel(x, y), img.pixel(x, y + 1));
        }
    return sum;
}

double sharpness(const QImage &at2x, const QImage &at1x)
{
    return stepEnergy(at2x, 2) / stepEnergy(at1x, 1);
}

// The mean colour: the 1 x 1 smooth reduction.
QColor meanColour(const QImage &image)
{
    return image.convertToFormat(QImage::Format_RGB32)
        .scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).pixelColor(0, 0);
}

// Child mode: open a window as the program does and save its screenshot.  `what` is
// "tablero", the board; "teclado", the board in keyboard play with the cursor back on the
// centre after taking the disc of the hole above it (9); or "solucion".
int grabWindow(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QByteArray what = argv[2];
    pindel::LazyWindow solucion([] { return std::make_unique<pindel::FrmSolucion>(); });
    pindel::FrmSolucion frmSolucion;
    pindel::Tablero tablero(solucion, what == "teclado");
    QWidget *window = what == "solucion" ? static_cast<QWidget *>(&frmSolucion) : &tablero;
    if (what == "solucion")
        pindel::Lifecycle::show(frmSolucion);
    else
        pindel::Lifecycle::show(tablero);
    // No button has the focus, so each shows its edge at rest.
    window->setFocus();
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    if (what == "teclado") {
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window))
            return 4;
        auto *campo = window->findChild<pindel::CampoTeclado *>();
        campo->setFocus();
        for (const Qt::Key key : {Qt::Key_Up, Qt::Key_Space, Qt::Key_Down})
            QTest::keyClick(campo, key);
        QCoreApplication::processEvents();
        if (!campo->hasFocus() || campo->cursor() != pindel::kCentre || campo->tomado() != 9)
            return 5;
    }

    QImage shot = window->grab().toImage();
    shot.setText(QStringLiteral("dpr"), QString::number(window->devicePixelRatioF()));
    for (const QWidget *control : window->findChildren<QWidget *>()) {
        const QRect g = control->geometry();
        if (!control->objectName().isEmpty() && control->parentWidget() == window)
            shot.setText(control->objectName(),
                         QStringLiteral("%1 %2 %3 %4").arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height()));
    }
    return shot.save(QString::fromLocal8Bit(argv[3]), "PNG") ? 0 : 3;
}

// A control's rectangle in the device pixels of a screenshot at `scale`: each edge on the
// nearest pixel boundary, halves rounded up, as Qt clips a control at that scale.
QRect inDevicePixels(const QImage &shot, const QString &control, double scale)
{
    const QStringList g = shot.text(control).split(QLatin1Char(' '));
    if (g.size() != 4)
        return {};
    auto edge = [scale](int logical) { return int(std::floor(logical * scale + 0.5)); };
    const int x = g[0].toInt(), y = g[1].toInt(), w = g[2].toInt(), h = g[3].toInt();
    return QRect(QPoint(edge(x), edge(y)), QPoint(edge(x + w) - 1, edge(y + h) - 1));
}

bool near(QRgb a, QRgb b, int tolerance)
{
    return qAbs(qRed(a) - qRed(b)) <= tolerance && qAbs(qGreen(a) - qGreen(b)) <= tolerance
        && qAbs(qBlue(a) - qBlue(b)) <= tolerance;
}

// The colours of the edges and frames, one letter each ('F' for `frame`, unless it is fully
// transparent); '-' for any other.
QChar letter(QRgb pixel, QRgb frame)
{
    static const struct {
        char letter;
        QRgb colour;
    } kColours[] = {
        {'o', qRgb(64, 64, 0)},      {'K', qRgb(0, 0, 0)},        // a hole's dark lines, the cursor's dark ring
        {'L', qRgb(255, 255, 160)},  {'l', qRgb(192, 192, 64)},   // a hole's light lines
        {'R', qRgb(255, 0, 0)},      {'W', qRgb(255, 255, 255)},  // the goal frame; the cursor, a raised edge
        {'T', qRgb(32, 32, 32)},     {'G', qRgb(64, 64, 64)},     // a taken hole; the OK button's shadow
        {'.', qRgb(128, 128, 0)},                                 // the board's olive
    };
    if (qAlpha(frame) > 0 && near(pixel, frame, 8))
        return QLatin1Char('F');
    for (const auto &c : kColours)
        if (near(pixel, c.colour, 8))
            return QLatin1Char(c.letter);
    return QLatin1Char('-');
}

// The letters of `n` pixels going in (`inwards`) or out from each side of `box` (left, top,
// right, bottom, between spaces), from the side's middle or `along` pixels from its top or
// left end.
QString sides(const QImage &shot, const QRect &box, bool inwards, int n, int along = -1, QRgb frame = 0)
{
    const int x = along < 0 ? box.center().x() : box.left() + along;
    const int y = along < 0 ? box.center().y() : box.top() + along;
    const QPoint starts[] = {{box.left(), y}, {x, box.top()}, {box.right(), y}, {x, box.bottom()}};
    const QPoint in[] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    QStringList letters;
    for (int side = 0; side < 4; ++side) {
        const QPoint step = inwards ? in[side] : -in[side];
        QString seen;
        for (QPoint at = inwards ? starts[side] : starts[side] + step; seen.size() < n; at += step)
            seen += shot.valid(at) ? letter(shot.pixel(at), frame) : QLatin1Char(' ');
        letters << seen;
    }
    return letters.join(QLatin1Char(' '));
}

// What sides() reads where the top and left look alike and the bottom and right.
QString sides(const QString &topLeft, const QString &bottomRight)
{
    return QStringList{topLeft, topLeft, bottomRight, bottomRight}.join(QLatin1Char(' '));
}

// Every pixel of `a` within `tolerance` of the same pixel of `b`.
bool alike(const QImage &a, const QImage &b, int tolerance)
{
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (!near(a.pixel(x, y), b.pixel(x, y), tolerance))
                return false;
    return a.size() == b.size();
}

QString repeated(char c, int n) { return QString(n, QLatin1Char(c)); }

} // namespace

class TestHiDpi : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void screenshotsScale();
    void picturesAreDrawnFromVectorArt_data();
    void picturesAreDrawnFromVectorArt();
    void edgesInWholeDevicePixels_data();
    void edgesInWholeDevicePixels();

private:
    QImage screenshot(const QString &scale, const char *what = "tablero");
    // The hole's picture (inside its border) in a screenshot taken at `scale`.
    QImage picture(const QImage &shot, const QString &hole, int scale);

    QTemporaryDir m_dir;
    QImage m_shot1, m_shot2;
};

QImage TestHiDpi::screenshot(const QString &scale, const char *what)
{
    const QString file = m_dir.filePath(QStringLiteral("%1-%2x.png").arg(QLatin1String(what), scale));
    if (QFile::exists(file))
        return QImage(file);   // taken already
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_SCALE_FACTOR"), scale);
    env.remove(QStringLiteral("QT_SCREEN_SCALE_FACTORS"));
    env.remove(QStringLiteral("QT_ENABLE_HIGHDPI_SCALING"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--grab"), QLatin1String(what), file});
    const bool finished = child.waitForFinished(30000);
    if (!finished) {
        child.kill();   // this child only, by its pid
        child.waitForFinished(5000);
    }
    return finished && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0
        ? QImage(file) : QImage();
}

QImage TestHiDpi::picture(const QImage &shot, const QString &hole, int scale)
{
    const QStringList g = shot.text(hole).split(QLatin1Char(' '));
    if (g.size() != 4)
        return {};
    const QPoint art(g[0].toInt() + kBorder, g[1].toInt() + kBorder);
    return shot.copy(QRect(art * scale, QSize(kPicture, kPicture) * scale));
}

void TestHiDpi::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_shot1 = screenshot(QStringLiteral("1"));
    m_shot2 = screenshot(QStringLiteral("2"));
    QVERIFY2(!m_shot1.isNull(), "no screenshot at scale factor 1");
    QVERIFY2(!m_shot2.isNull(), "no screenshot at scale factor 2");
}

void TestHiDpi::screenshotsScale()
{
    QCOMPARE(m_shot1.text(QStringLiteral("dpr")), QStringLiteral("1"));
    QCOMPARE(m_shot2.text(QStringLiteral("dpr")), QStringLiteral("2"));
    QCOMPARE(m_shot1.size(), QSize(pindel::Tablero::kWidth, pindel::Tablero::kHeight));
    QCOMPARE(m_shot2.size(), m_shot1.size() * 2);
}

void TestHiDpi::picturesAreDrawnFromVectorArt_data()
{
    QTest::addColumn<QString>("hole");
    // A fresh board: the centre hole is empty, every other one holds a Cd-rom.
    QTest::newRow("Cd-rom") << QStringLiteral("Image1_1");
    QTest::newRow("Cd-rom, another hole") << QStringLiteral("Image1_32");
    QTest::newRow("empty hole") << QStringLiteral("Image1_0");
}

void TestHiDpi::picturesAreDrawnFromVectorArt()
{
    QFETCH(QString, hole);
    const QImage at1x = picture(m_shot1, hole, 1);
    const QImage at2x = picture(m_shot2, hole, 2);
    QCOMPARE(at1x.size(), QSize(kPicture, kPicture));
    QCOMPARE(at2x.size(), QSize(2 * kPicture, 2 * kPicture));
    // Something is drawn there, and it is the same picture at both scales.
    QVERIFY2(stepEnergy(at1x, 1) > 50000, "the picture is blank or nearly flat");
    const QColor m1 = meanColour(at1x), m2 = meanColour(at2x);
    QVERIFY2(qAbs(m1.red() - m2.red()) + qAbs(m1.green() - m2.green()) + qAbs(m1.blue() - m2.blue()) < 24,
             qPrintable(QStringLiteral("mean colour %1 at 1x, %2 at 2x").arg(m1.name(), m2.name())));

    const double real = sharpness(at2x, at1x);
    const double nearest = sharpness(at1x.scaled(at2x.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation), at1x);
    const double smooth = sharpness(at1x.scaled(at2x.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation), at1x);
    qInfo("%s: sharpness at 2x %.3f; nearest-neighbour enlargement %.3f; smooth enlargement %.3f",
          qPrintable(hole), real, nearest, smooth);

    // The measure rejects both kinds of enlargement of this very picture ...
    QVERIFY2(nearest < kThreshold, qPrintable(QString::number(nearest)));
    QVERIFY2(smooth < kThreshold, qPrintable(QString::number(smooth)));
    // ... and the real 2x screenshot passes it.
    QVERIFY2(real >= kThreshold,
             qPrintable(QStringLiteral("the 2x picture is no sharper than an enlarged 1x bitmap (%1)").arg(real)));
}

void TestHiDpi::edgesInWholeDevicePixels_data()
{
    // The widths in device pixels of a one-pixel line (a hole's two bevel lines, the cursor's
    // dark ring), of a two-pixel band (a button's edge, a taken hole's ring), of the goal frame
    // seen outside the centre hole and of the cursor's light ring.
    QTest::addColumn<QString>("scale");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("band");
    QTest::addColumn<int>("frame");
    QTest::addColumn<int>("light");
    QTest::newRow("100 %") << "1" << 1 << 2 << 2 << 3;
    QTest::newRow("125 %") << "1.25" << 1 << 3 << 2 << 4;
    QTest::newRow("150 %") << "1.5" << 2 << 3 << 3 << 4;
    QTest::newRow("175 %") << "1.75" << 2 << 4 << 3 << 5;
    QTest::newRow("200 %") << "2" << 2 << 4 << 4 << 6;
}

void TestHiDpi::edgesInWholeDevicePixels()
{
    QFETCH(QString, scale);
    QFETCH(int, line);
    QFETCH(int, band);
    QFETCH(int, frame);
    QFETCH(int, light);
    const double s = scale.toDouble();
    const QImage board = screenshot(scale).convertToFormat(QImage::Format_RGB32);
    const QImage keys = screenshot(scale, "teclado").convertToFormat(QImage::Format_RGB32);
    const QImage solution = screenshot(scale, "solucion").convertToFormat(QImage::Format_RGB32);
    QVERIFY(!board.isNull() && !keys.isNull() && !solution.isNull());
    QCOMPARE(board.text(QStringLiteral("dpr")), scale);

    // Every hole: both bevel lines inwards, alike on all 33 but for the centre's empty picture.
    const QString sunken = sides(repeated('o', line) + repeated('K', line), repeated('L', line) + repeated('l', line));
    const QImage cdrom = board.copy(inDevicePixels(board, QStringLiteral("Image1_1"), s));
    for (int i = 0; i < pindel::kHoleCount; ++i) {
        const QString hole = QStringLiteral("Image1_%1").arg(i);
        const QRect box = inDevicePixels(board, hole, s);
        const QString seen = sides(board, box, true, 2 * line);
        QVERIFY2(seen == sunken, qPrintable(QStringLiteral("%1: %2, not %3").arg(hole, seen, sunken)));
        // The odd level of the picture's shading may differ.
        QVERIFY2(i == pindel::kCentre || alike(board.copy(box), cdrom, 2), qPrintable(hole + QStringLiteral(" differs")));
    }

    // Edges read near the top-left corner, clear of the mitres and the pictures: the board's
    // raised buttons, white on the top and left (each button's bottom and right lie under its
    // neighbours); the solution's OK, white and dark grey.
    const int clear = 2 * band + 2;
    for (const char *button : {"Command1", "Command2", "Command3", "Command4"})
        QCOMPARE(sides(board, inDevicePixels(board, QLatin1String(button), s), true, band + 1, clear).section(' ', 0, 1),
                 sides(repeated('W', band) + '-', QString()).section(' ', 0, 1));
    QCOMPARE(sides(solution, inDevicePixels(solution, QStringLiteral("Command1"), s), true, band + 1, clear),
             sides(repeated('W', band) + '-', repeated('G', band) + '-'));

    // The lists' frames (F) in the style's colour at 100 %, then something else (*).
    for (const auto &[shot, list, what] : {std::tuple{board, "Lista", "tablero"}, std::tuple{solution, "List1", "solucion"}}) {
        const QImage at100 = screenshot(QStringLiteral("1"), what);
        const QRect box100 = inDevicePixels(at100, QLatin1String(list), 1);
        QString seen = sides(shot, inDevicePixels(shot, QLatin1String(list), s), true, line + 1, -1,
                             at100.pixel(box100.center().x(), box100.top()));
        for (QChar &c : seen)
            c = c == QLatin1Char('F') || c == QLatin1Char(' ') ? c : QLatin1Char('*');
        QCOMPARE(seen, sides(repeated('F', line) + '*', repeated('F', line) + '*'));
    }

    // Outwards from the centre hole's outer bevel line: the red goal frame, the cursor's dark
    // and light rings, the olive board.  Inwards on the taken hole: its bevel, the dark ring.
    const QString around = repeated('R', frame) + repeated('K', line) + repeated('W', light) + '.';
    const QRect centre = inDevicePixels(keys, QStringLiteral("Image1_0"), s);
    QCOMPARE(sides(keys, centre.adjusted(line, line, -line, -line), false, around.size() + line),
             sides(repeated('o', line) + around, repeated('L', line) + around));
    const QString taken = repeated('T', band) + '-';
    QCOMPARE(sides(keys, inDevicePixels(keys, QStringLiteral("Image1_9"), s), true, 2 * line + band + 1),
             sides(repeated('o', line) + repeated('K', line) + taken, repeated('L', line) + repeated('l', line) + taken));
}

int main(int argc, char **argv)
{
    if (argc >= 4 && qstrcmp(argv[1], "--grab") == 0)
        return grabWindow(argc, argv);
    QApplication app(argc, argv);
    TestHiDpi test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_hidpi.moc"
