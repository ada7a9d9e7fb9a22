#include "svgpicture.h"

#include <QHash>
#include <QPainter>
#include <QSvgRenderer>

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

QIcon svgIcon(const QString &resource)
{
    QIcon icon;
    if (!renderer(resource).isValid())
        return icon;
    for (int side : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(svgPixmap(resource, QSize(side, side)));
    return icon;
}

} // namespace pindel
