#include "holepicture.h"

#include "board.h"
#include "pixeles.h"

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QRandomGenerator>
#include <QSvgRenderer>

namespace pindel {

namespace {
constexpr int kPictureSize = 32;

// A number drawn once per run: another copy of the game draws another.
const QByteArray &programToken()
{
    static const QByteArray token = QByteArray::number(QRandomGenerator::system()->generate64(), 16);
    return token;
}

// The source hole of a drag this program started; -1 for anything else, a drag from another
// running copy of the game included.
int sourceIndexOf(const QMimeData *mime)
{
    if (!mime || !mime->hasFormat(HolePicture::kMimeType))
        return -1;
    const QList<QByteArray> parts = mime->data(HolePicture::kMimeType).split(' ');
    if (parts.size() != 2 || parts[0] != programToken())
        return -1;
    bool ok = false;
    const int index = parts[1].toInt(&ok);
    return ok && index >= 0 && index < kHoleCount ? index : -1;
}
} // namespace

Imagen::Imagen(QWidget *parent) : QWidget(parent) {}

void Imagen::setPicture(const QSvgRenderer *picture)
{
    if (m_picture == picture)
        return;
    m_picture = picture;
    update();
}

void Imagen::paintEvent(QPaintEvent *)
{
    if (!m_picture)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // Drawn at its own size, never scaled to the cell, in the middle of the control as its
    // clip rounds it to device pixels: a hole's picture stands as far from its border on
    // every side, at any scale.
    const PixelesDispositivo pixeles(painter);
    const QRectF caja = pixeles.caja(rect());
    const qreal lado = kPictureSize * pixeles.escala();
    const_cast<QSvgRenderer *>(m_picture)->render(
        &painter, QRectF(caja.x() + (caja.width() - lado) / 2, caja.y() + (caja.height() - lado) / 2, lado, lado));
}

const char *const HolePicture::kMimeType = "application/x-pindel-hole";

QByteArray HolePicture::payload(int index)
{
    return programToken() + ' ' + QByteArray::number(index);
}

HolePicture::HolePicture(int index, QWidget *parent) : Imagen(parent), m_index(index)
{
    setProperty("Tag", QStringLiteral("circulo"));
    setAcceptDrops(true);
    setFocusPolicy(Qt::NoFocus);
}

void HolePicture::paintEvent(QPaintEvent *event)
{
    // A sunken border of two lines inside the 36 x 36 cell, each one pixel wide at 100 %:
    // dark olive, then black, on the top and left; light yellow, then a deeper yellow, on the
    // bottom and right.
    {
        QPainter painter(this);
        const PixelesDispositivo pixeles(painter);
        const QRect caja = pixeles.caja(rect());
        const int linea = pixeles.grosor(1);
        pixeles.bisel(caja, linea, QColor(64, 64, 0), QColor(255, 255, 160));
        pixeles.bisel(caja.adjusted(linea, linea, -linea, -linea), linea, QColor(0, 0, 0), QColor(192, 192, 64));
    }
    Imagen::paintEvent(event);
}

void HolePicture::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
        m_pressPos = event->position().toPoint();
    }
    event->accept();
}

void HolePicture::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_pressed || !(event->buttons() & Qt::LeftButton))
        return;
    if ((event->position().toPoint() - m_pressPos).manhattanLength() < QApplication::startDragDistance())
        return;
    m_pressed = false;
    startDrag();
}

void HolePicture::mouseReleaseEvent(QMouseEvent *event)
{
    m_pressed = false;
    event->accept();
}

void HolePicture::startDrag()
{
    auto *mime = new QMimeData;
    mime->setData(kMimeType, payload(m_index));

    // What follows the pointer is the outline of the control, nothing more.
    const qreal dpr = devicePixelRatioF();
    QPixmap outline(size() * dpr);
    outline.setDevicePixelRatio(dpr);
    outline.fill(Qt::transparent);
    {
        QPainter painter(&outline);
        const PixelesDispositivo pixeles(painter);
        pixeles.anillo(pixeles.caja(rect()), pixeles.grosor(2), QColor(32, 32, 32));
    }

    auto *drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->setPixmap(outline);
    drag->setHotSpot(m_pressPos);
    drag->exec(Qt::MoveAction, Qt::MoveAction);
}

void HolePicture::dragEnterEvent(QDragEnterEvent *event)
{
    if (sourceIndexOf(event->mimeData()) >= 0)
        event->acceptProposedAction();
    else
        event->ignore();
}

void HolePicture::dragMoveEvent(QDragMoveEvent *event)
{
    if (sourceIndexOf(event->mimeData()) >= 0)
        event->acceptProposedAction();
    else
        event->ignore();
}

void HolePicture::dropEvent(QDropEvent *event)
{
    const int source = sourceIndexOf(event->mimeData());
    if (source < 0) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
    // Handled once the drag has returned: the handler may open modal dialogs and reset
    // this very widget, neither of which belongs inside the platform's drag loop.
    const int target = m_index;
    QMetaObject::invokeMethod(
        this, [this, target, source] { emit dropped(target, source); }, Qt::QueuedConnection);
}

} // namespace pindel
