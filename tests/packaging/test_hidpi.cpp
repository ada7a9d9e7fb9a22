// The board's pictures at a desktop scale factor of 2 are drawn from the vector art, not
// blown up from a 1x bitmap.
//
// Screenshots: this program runs itself twice, with QT_SCALE_FACTOR=1 and =2, each child
// opening the board on the offscreen platform and saving QWidget::grab() of the whole window
// (with the holes' places written into the PNG as text).  The parent then compares a picture
// in both.
//
// Sharpness: the colour steps between neighbours inside the 2 x 2 blocks of the 2x picture
// (each block over one 1x pixel), divided by all the steps of the 1x picture.  An enlargement
// has none there (nearest neighbour) or a quarter of an edge's step (smooth), so about 0 or
// 0.25; art drawn at 2x about 1.  Both enlargements of the same 1x picture are measured next
// to the real one, so the threshold is shown to reject them.

#include "frmsolucion.h"
#include "holepicture.h"
#include "lifecycle.h"
#include "tablero.h"

#include <QApplication>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

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

// Child mode: open the board as the program does and save its screenshot.
int grabBoard(int argc, char **argv)
{
    QApplication app(argc, argv);
    pindel::LazyWindow solucion([] { return std::make_unique<pindel::FrmSolucion>(); });
    pindel::Tablero tablero(solucion);
    pindel::Lifecycle::show(tablero);
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();

    QImage shot = tablero.grab().toImage();
    shot.setText(QStringLiteral("dpr"), QString::number(tablero.devicePixelRatioF()));
    for (int i = 0; i < pindel::kHoleCount; ++i) {
        const QRect g = tablero.hole(i)->geometry();
        shot.setText(QStringLiteral("Image1_%1").arg(i),
                     QStringLiteral("%1 %2 %3 %4").arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height()));
    }
    return shot.save(QString::fromLocal8Bit(argv[2]), "PNG") ? 0 : 3;
}

} // namespace

class TestHiDpi : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void screenshotsScale();
    void picturesAreDrawnFromVectorArt_data();
    void picturesAreDrawnFromVectorArt();

private:
    QImage screenshot(const QString &scale);
    // The hole's picture (inside its border) in a screenshot taken at `scale`.
    QImage picture(const QImage &shot, const QString &hole, int scale);

    QTemporaryDir m_dir;
    QImage m_shot1, m_shot2;
};

QImage TestHiDpi::screenshot(const QString &scale)
{
    const QString file = m_dir.filePath(QStringLiteral("board-%1x.png").arg(scale));
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_SCALE_FACTOR"), scale);
    env.remove(QStringLiteral("QT_SCREEN_SCALE_FACTORS"));
    env.remove(QStringLiteral("QT_ENABLE_HIGHDPI_SCALING"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--grab"), file});
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

int main(int argc, char **argv)
{
    if (argc >= 3 && qstrcmp(argv[1], "--grab") == 0)
        return grabBoard(argc, argv);
    QApplication app(argc, argv);
    TestHiDpi test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_hidpi.moc"
