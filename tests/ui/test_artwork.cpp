// The artwork and the unit helpers the windows are built with: twips to pixels, and the SVG
// pictures rendered at any device pixel ratio with the transparency the board relies on.

#include "svgpicture.h"
#include "twips.h"

#include <QPainter>
#include <QtTest>

namespace twips = pindel::twips;

class TestArtwork : public QObject {
    Q_OBJECT
private slots:
    void toPixels_data();
    void toPixels();
    void rectConvertsEachValue();
    void pictures_data();
    void pictures();
    void missingResource();
    void paintIntoRect();
};

void TestArtwork::toPixels_data()
{
    QTest::addColumn<double>("twips");
    QTest::addColumn<int>("pixels");
    QTest::newRow("7 rounds down") << 7.0 << 0;
    QTest::newRow("8 rounds up") << 8.0 << 1;
    QTest::newRow("OK left 2123") << 2123.0 << 142;
    QTest::newRow("inner width 6180") << 6180.0 << 412;
    QTest::newRow("-8 rounds away from zero") << -8.0 << -1;
    // Centring halves odd twips; exact half pixels round away from zero.
    QTest::newRow("half pixel") << 7.5 << 1;
    QTest::newRow("just under half") << 7.49 << 0;
    QTest::newRow("negative half") << -7.5 << -1;
    QTest::newRow("centre on 801 wide") << (801 * 15 - 6180) / 2.0 << 195;   // 194.5
    QTest::newRow("screen narrower than the window") << (400 * 15 - 6180) / 2.0 << -6;
}

void TestArtwork::toPixels()
{
    QFETCH(double, twips);
    QFETCH(int, pixels);
    QCOMPARE(twips::toPixels(twips), pixels);
    // Whole twips: the integer road agrees.
    if (twips == int(twips))
        QCOMPARE(twips::toPixels(int(twips)), pixels);
}

// Checked by the compiler: the helpers are constexpr.
void TestArtwork::rectConvertsEachValue()
{
    // Left 2123 -> 142 and width 1935 -> 129; converting the right edge instead would give
    // a width of 270 - 142 = 128.
    static_assert(twips::rect(2123, 3840, 1935, 375) == QRect(142, 256, 129, 25));
    static_assert(twips::point(1920, 840) == QPoint(128, 56));
    static_assert(twips::size(6180, 4410) == QSize(412, 294));
    static_assert(twips::fromPixels(412) == 6180);
}

void TestArtwork::pictures_data()
{
    QTest::addColumn<QString>("resource");
    QTest::addColumn<QPointF>("transparentAt");   // fractions of the side; (-1,-1): none
    QTest::addColumn<QPointF>("paintedAt");
    // The peg and the empty hole are drawn over the hole cells: outside the disc and the
    // ring, and inside the ring and the disc's centre hole, the cell must show through.
    QTest::newRow("cdrom corner") << pindel::art::kCdrom << QPointF(0.02, 0.02) << QPointF(0.5, 0.2);
    QTest::newRow("cdrom hole") << pindel::art::kCdrom << QPointF(0.5, 0.5) << QPointF(0.8, 0.5);
    QTest::newRow("anillo corner") << pindel::art::kAnillo << QPointF(0.02, 0.02) << QPointF(0.5, 0.11);
    QTest::newRow("anillo inside") << pindel::art::kAnillo << QPointF(0.5, 0.5) << QPointF(0.11, 0.5);
    QTest::newRow("sol") << pindel::art::kSol << QPointF(0.02, 0.98) << QPointF(0.5, 0.5);
    QTest::newRow("informacion") << pindel::art::kInformacion << QPointF(0.01, 0.01) << QPointF(0.5, 0.8);
    QTest::newRow("carpeta") << pindel::art::kCarpeta << QPointF(0.5, 0.05) << QPointF(0.5, 0.7);
    QTest::newRow("libro") << pindel::art::kLibro << QPointF(0.5, 0.02) << QPointF(0.2, 0.5);
    QTest::newRow("retrato") << pindel::art::kRetrato << QPointF(-1, -1) << QPointF(0.5, 0.5);
}

void TestArtwork::pictures()
{
    QFETCH(QString, resource);
    QFETCH(QPointF, transparentAt);
    QFETCH(QPointF, paintedAt);

    const QIcon icon = pindel::svgIcon(resource);
    QVERIFY(icon.availableSizes().contains(QSize(16, 16)));
    QVERIFY(icon.availableSizes().contains(QSize(32, 32)));
    // The same picture at scale 1 and 2: the pixmap has the device's pixels, and the
    // picture is the same shape at both.
    for (qreal ratio : {1.0, 2.0}) {
        const QPixmap pixmap = pindel::svgPixmap(resource, QSize(32, 32), ratio);
        QCOMPARE(pixmap.size(), QSize(32, 32) * ratio);
        QCOMPARE(pixmap.devicePixelRatio(), ratio);
        const QImage image = pixmap.toImage();
        const int last = image.width() - 1;
        auto alphaAt = [&](QPointF f) { return image.pixelColor(int(f.x() * last), int(f.y() * last)).alpha(); };
        if (transparentAt.x() >= 0)
            QCOMPARE(alphaAt(transparentAt), 0);
        QCOMPARE(alphaAt(paintedAt), 255);
    }
}

void TestArtwork::missingResource()
{
    const QString missing = QStringLiteral(":/art/no-such-picture.svg");
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("no-such-picture")));
    QVERIFY(pindel::svgIcon(missing).isNull());
    QVERIFY(pindel::svgPixmap(missing, QSize(32, 32)).isNull());
    QImage image(8, 8, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    QVERIFY(!pindel::paintSvg(painter, missing, QRectF(0, 0, 8, 8)));
}

void TestArtwork::paintIntoRect()
{
    // The ring painted into the right half only: the left half stays untouched.
    QImage image(64, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        QVERIFY(pindel::paintSvg(painter, pindel::art::kAnillo, QRectF(32, 0, 32, 32)));
    }
    for (int x = 0; x < 32; ++x)
        QCOMPARE(image.pixelColor(x, 16), QColor(Qt::white));
    QCOMPARE(image.pixelColor(32 + 16, 3), QColor(Qt::black));   // the ring's top
    QCOMPARE(image.pixelColor(32 + 16, 16), QColor(Qt::white));  // its inside
}

QTEST_MAIN(TestArtwork)
#include "test_artwork.moc"
