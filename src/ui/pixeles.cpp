#include "pixeles.h"

#include <QColor>
#include <QPainter>
#include <QtMath>

#include <algorithm>

namespace pindel {

namespace {

// The nearest boundary between device pixels; a half goes up, as qRound does for the clip.
int alBorde(qreal x) { return qFloor(x + 0.5); }

} // namespace

PixelesDispositivo::PixelesDispositivo(QPainter &painter)
    : m_painter(painter), m_dispositivo(painter.deviceTransform()), m_escala(m_dispositivo.m11())
{
    m_painter.save();
    // The world transform that cancels the rest of the way to the device.
    m_painter.setWorldTransform(m_dispositivo.inverted() * m_painter.worldTransform());
}

PixelesDispositivo::~PixelesDispositivo() { m_painter.restore(); }

QRect PixelesDispositivo::caja(const QRectF &r) const
{
    const QRectF d = m_dispositivo.mapRect(r);
    return QRect(QPoint(alBorde(d.left()), alBorde(d.top())), QPoint(alBorde(d.right()) - 1, alBorde(d.bottom()) - 1));
}

int PixelesDispositivo::grosor(qreal ancho) const { return std::max(1, alBorde(ancho * m_escala)); }

int PixelesDispositivo::banda(const QRectF &r, qreal ancho) const
{
    const QRect dentro = caja(r);
    const QRect fuera = caja(r.adjusted(-ancho, -ancho, ancho, ancho));
    return std::min({grosor(ancho), dentro.left() - fuera.left(), dentro.top() - fuera.top(),
                     fuera.right() - dentro.right(), fuera.bottom() - dentro.bottom()});
}

void PixelesDispositivo::bisel(const QRect &fuera, int ancho, const QColor &arribaIzquierda,
                               const QColor &abajoDerecha) const
{
    const int x = fuera.x(), y = fuera.y(), w = fuera.width(), h = fuera.height();
    m_painter.fillRect(QRect(x, y, w - ancho, ancho), arribaIzquierda);
    m_painter.fillRect(QRect(x, y, ancho, h - ancho), arribaIzquierda);
    m_painter.fillRect(QRect(x, y + h - ancho, w, ancho), abajoDerecha);
    m_painter.fillRect(QRect(x + w - ancho, y, ancho, h), abajoDerecha);
}

void PixelesDispositivo::anillo(const QRect &fuera, int ancho, const QColor &color) const
{
    bisel(fuera, ancho, color, color);
}

} // namespace pindel
