#include "svgpicture.h"

#include "fotograma.h"

#include <QApplication>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPixmapCache>
#include <QStyle>
#include <QStyleOption>
#include <QSvgRenderer>
#include <QWidget>

#include <memory>

namespace pindel {

namespace {

// One parsed renderer per resource.  The artwork never changes while the program runs, and
// the hole pictures are painted often, so parsing once matters.  Invalid resources are kept
// too (as invalid renderers), so a bad name is reported by the callers' results, cheaply.
QSvgRenderer &renderer(const QString &resource)
{
    static QHash<QString, std::shared_ptr<QSvgRenderer>> cache;
    auto it = cache.find(resource);
    if (it == cache.end())
        it = cache.insert(resource, std::make_shared<QSvgRenderer>(resource));
    return **it;
}

} // namespace

bool paintSvg(QPainter &painter, const QString &resource, const QRectF &target)
{
    QSvgRenderer &svg = renderer(resource);
    if (!svg.isValid())
        return false;
    svg.render(&painter, target);
    return true;
}

QPixmap svgPixmap(const QString &resource, const QSize &size, qreal devicePixelRatio)
{
    if (!renderer(resource).isValid() || size.isEmpty() || devicePixelRatio <= 0)
        return QPixmap();
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    paintSvg(painter, resource, QRectF(QPointF(0, 0), QSizeF(size)));
    return pixmap;
}

namespace {

// Renders a size only when it is first asked for, then keeps it: a window that is never shown
// never pays for its icon, and a button pays for the one size it draws.  (Rendering all eight
// sizes of every icon up front took a third of the program's start-up.)
class SvgIconEngine : public QIconEngine {
    static constexpr int kLargestCachedSide = 64;

public:
    explicit SvgIconEngine(const QString &resource) : m_resource(resource) {}

    QIconEngine *clone() const override { return new SvgIconEngine(*this); }
    QString key() const override { return QStringLiteral("pindel-svg"); }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (int side : {16, 22, 24, 32, 48, 64, 128, 256})
            sizes.append(QSize(side, side));
        return sizes;
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State) override
    {
        const QString key = QStringLiteral("pindel-svg:%1:%2x%3:%4")
                                .arg(m_resource).arg(size.width()).arg(size.height()).arg(int(mode));
        QPixmap picture;
        if (QPixmapCache::find(key, &picture))
            return picture;
        picture = svgPixmap(m_resource, size);
        if (mode != QIcon::Normal && !picture.isNull()) {
            QStyleOption option;
            option.palette = QGuiApplication::palette();
            picture = QApplication::style()->generatedIconPixmap(mode, picture, &option);
        }
        // Buttons draw one small size again and again; the large sizes only go once into a
        // window's icon, so keeping them would hold memory for nothing.
        if (size.width() <= kLargestCachedSide && size.height() <= kLargestCachedSide)
            QPixmapCache::insert(key, picture);
        return picture;
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(rect, pixmap((QSizeF(rect.size()) * ratio).toSize(), mode, state));
    }

private:
    QString m_resource;
};

} // namespace

QIcon svgIcon(const QString &resource)
{
    if (!renderer(resource).isValid())
        return QIcon();
    return QIcon(new SvgIconEngine(resource));
}

void ponerIconoDeVentana(QWidget *window, const QString &resource)
{
    trasPrimerFotograma(window, [window, resource] { window->setWindowIcon(svgIcon(resource)); });
}

} // namespace pindel
