#pragma once
// Lines, bevels and frames in whole device pixels.
//
// At 125, 150 or 175 % a one-pixel line of a design covers 1.25 to 1.75 device pixels, and a
// control's corner falls between device pixels (a hole at x = 23 starts at 28.75).  Drawn in
// design pixels, such a line comes out one device pixel wide on one side of a control and two
// on the other, or is cut off by the control's clip.  Drawn through this class, a control's
// rectangle is rounded to device pixels edge by edge, the way Qt rounds the clip it paints the
// control in, and every line or band of the design is laid in from there as a whole number of
// device pixels, the same on every side.  At 100 % and 200 % that is the design, scaled.

#include <QRect>
#include <QTransform>

class QColor;
class QPainter;

namespace pindel {

class PixelesDispositivo {
public:
    // From here on `painter` paints in device pixels; the destructor gives it back its own
    // coordinates and the rest of its state as it was.  Assumes a painter that only scales
    // and moves (no rotation), as a widget's or a pixmap's painter does.
    explicit PixelesDispositivo(QPainter &painter);
    ~PixelesDispositivo();
    PixelesDispositivo(const PixelesDispositivo &) = delete;
    PixelesDispositivo &operator=(const PixelesDispositivo &) = delete;

    // Device pixels per design pixel.
    qreal escala() const { return m_escala; }
    // `r`, given in the painter's own coordinates, in device pixels: each edge on the nearest
    // boundary between device pixels, halves going right and down.
    QRect caja(const QRectF &r) const;
    // A line or band `ancho` design pixels wide, in whole device pixels: the nearest number,
    // at least one.
    int grosor(qreal ancho) const;
    // The width of a band `ancho` design pixels wide all round `r`, the same on every side: as
    // grosor(ancho), but never more than lies between caja(r) and the rounded rectangle of r
    // grown by `ancho` on any side, so the band stays inside whatever is clipped there.
    int banda(const QRectF &r, qreal ancho) const;

    // Fills the ring `ancho` device pixels wide just inside `fuera`: the top and left sides
    // in one colour, the bottom and right sides, with the two corners they share with the
    // others, in the other.
    void bisel(const QRect &fuera, int ancho, const QColor &arribaIzquierda, const QColor &abajoDerecha) const;
    void anillo(const QRect &fuera, int ancho, const QColor &color) const;

private:
    QPainter &m_painter;
    QTransform m_dispositivo;   // the painter's own coordinates to device pixels
    qreal m_escala;
};

} // namespace pindel
