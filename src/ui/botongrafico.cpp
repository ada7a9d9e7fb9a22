#include "botongrafico.h"

#include "pixeles.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPolygonF>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionToolButton>

namespace pindel {

namespace {

constexpr int kGrosor = 2;   // the edge's width, in design pixels

// One side of the edge.  Two neighbouring sides meet on a mitre, each side a trapezoid,
// except where both are plain sides of the same colour: there both are plain rectangles.
struct Lado {
    QColor color;
    bool liso;   // one flat colour, not one shade of a raised or sunken edge
};

enum { Abajo, Derecha, Izquierda, Arriba };   // also the order the sides are painted in

bool seUnen(const Lado &a, const Lado &b)
{
    return a.liso && b.liso && a.color == b.color;
}

// Paints the sides over the face, each a trapezoid or a rectangle `w` pixels wide inside `r`,
// antialiased: a mitre's pixels blend the colours that meet there.
void pintarBorde(QPainter &p, const QRect &r, int w, const Lado (&lados)[4])
{
    auto inglete = [&](int lado, int vecino) { return seUnen(lados[lado], lados[vecino]) ? 0.0 : w; };
    const qreal x1 = r.x(), y1 = r.y(), x2 = r.x() + r.width(), y2 = r.y() + r.height();

    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    for (int lado : {Abajo, Derecha, Izquierda, Arriba}) {
        QPolygonF quad;
        QRectF caja;
        qreal d1 = 0, d2 = 0;
        switch (lado) {
        case Abajo:
            d1 = inglete(Abajo, Izquierda);
            d2 = inglete(Abajo, Derecha);
            caja = QRectF(x1, y2 - w, x2 - x1, w);
            quad << QPointF(x1 + d1, y2 - w) << QPointF(x1, y2) << QPointF(x2, y2) << QPointF(x2 - d2, y2 - w);
            break;
        case Derecha:
            d1 = inglete(Derecha, Arriba);
            d2 = inglete(Derecha, Abajo);
            caja = QRectF(x2 - w, y1, w, y2 - y1);
            quad << QPointF(x2 - w, y1 + d1) << QPointF(x2 - w, y2 - d2) << QPointF(x2, y2) << QPointF(x2, y1);
            break;
        case Izquierda:
            d1 = inglete(Izquierda, Arriba);
            d2 = inglete(Izquierda, Abajo);
            caja = QRectF(x1, y1, w, y2 - y1);
            quad << QPointF(x1, y1) << QPointF(x1, y2) << QPointF(x1 + w, y2 - d2) << QPointF(x1 + w, y1 + d1);
            break;
        case Arriba:
            d1 = inglete(Arriba, Izquierda);
            d2 = inglete(Arriba, Derecha);
            caja = QRectF(x1, y1, x2 - x1, w);
            quad << QPointF(x1, y1) << QPointF(x1 + d1, y1 + w) << QPointF(x2 - d2, y1 + w) << QPointF(x2, y1);
            break;
        }
        p.setBrush(lados[lado].color);
        if (d1 == 0 && d2 == 0)
            p.drawRect(caja);
        else
            p.drawConvexPolygon(quad);
    }
    p.restore();
}

// The focus line of a button standing on `boton`: black, dotted, one line wide and
// antialiased, on the lines through the top-left corners of the first and last pixel rows and
// columns inside the edge, so at 100 % each line is shared half and half by two rows (or
// columns) of pixels.  Laid out in device pixels from the edge as drawn.
void pintarPunteado(QPainter &p, const QRect &boton)
{
    const PixelesDispositivo pixeles(p);
    const QRect caja = pixeles.caja(boton);
    const int borde = pixeles.grosor(kGrosor), linea = pixeles.grosor(1);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, linea, Qt::DotLine, Qt::FlatCap));
    const qreal x1 = caja.x() + borde, y1 = caja.y() + borde;
    const qreal x2 = caja.x() + caja.width() - borde - linea, y2 = caja.y() + caja.height() - borde - linea;
    p.drawLine(QLineF(x1, y2, x2, y2));
    p.drawLine(QLineF(x2, y1, x2, y2));
    p.drawLine(QLineF(x1, y1, x1, y2));
    p.drawLine(QLineF(x1, y1, x2, y1));
}

// The face and its edge for the button's state; returns what is left inside the edge for the
// caption and picture.  An edge in shades of the face, raised: the top and left sides are the
// face colour made lighter, the bottom and right the face colour itself; sunken, the other
// way round.
QRect pintarCara(QPainter &p, const QRect &rect, AspectoBoton aspecto, const QColor &cara, bool hundido,
                 bool foco)
{
    Lado lados[4];
    if (aspecto == AspectoBoton::BlancoGrisPunteado) {
        const QColor luz(255, 255, 255), sombra(64, 64, 64);
        const QColor arribaIzquierda = hundido ? sombra : luz;
        const QColor abajoDerecha = hundido ? luz : sombra;
        lados[Arriba] = lados[Izquierda] = {arribaIzquierda, true};
        lados[Abajo] = lados[Derecha] = {abajoDerecha, true};
    } else if (aspecto == AspectoBoton::RelieveFocoNegro && foco && !hundido) {
        lados[Arriba] = lados[Izquierda] = lados[Abajo] = lados[Derecha] = {Qt::black, true};
    } else {
        const QColor claro = cara.lighter();
        lados[Arriba] = lados[Izquierda] = {hundido ? cara : claro, false};
        lados[Abajo] = lados[Derecha] = {hundido ? claro : cara, false};
    }
    {
        const PixelesDispositivo pixeles(p);
        const QRect caja = pixeles.caja(rect);
        p.fillRect(caja, cara);
        pintarBorde(p, caja, pixeles.grosor(kGrosor), lados);
    }
    return rect.adjusted(kGrosor, kGrosor, -kGrosor, -kGrosor);
}

void ponerCara(QWidget *boton, const QColor &cara)
{
    QPalette colores = boton->palette();
    colores.setColor(QPalette::Button, cara);
    boton->setPalette(colores);
}

} // namespace

BotonGrafico::BotonGrafico(AspectoBoton aspecto, const QColor &cara, QWidget *parent)
    : QPushButton(parent), m_aspecto(aspecto)
{
    ponerCara(this, cara);
    // The button draws its own focus mark; no extra ring around it on macOS.
    setAttribute(Qt::WA_MacShowFocusRect, false);
    // Enter presses the button that has the focus, as Space does.  No window has a default
    // button, so Enter never presses another one.
    setAutoDefault(true);
}

void BotonGrafico::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QStyleOptionButton opcion;
    initStyleOption(&opcion);
    const bool hundido = opcion.state & QStyle::State_Sunken;
    const bool foco = opcion.state & QStyle::State_HasFocus;
    const QRect dentro = pintarCara(p, rect(), m_aspecto, palette().color(QPalette::Button), hundido, foco);

    // A picture drawn at another scale than its pixmap's (a grab into a pixmap of a higher
    // ratio than the screen's) is smoothed, not blocky.
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    QStyleOptionButton etiqueta = opcion;
    etiqueta.rect = dentro;
    style()->drawControl(QStyle::CE_PushButtonLabel, &etiqueta, &p, this);

    if (foco) {
        if (m_aspecto == AspectoBoton::RelieveFocoNegro) {
            // Inside the black edge, the platform's own focus mark, where the platform shows
            // one (Fusion: only after the focus moved by keyboard).
            QStyleOptionFocusRect marca;
            marca.QStyleOption::operator=(opcion);
            marca.rect = dentro;
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &marca, &p, this);
        } else {
            pintarPunteado(p, rect());
        }
    }
}

BotonGraficoHerramienta::BotonGraficoHerramienta(AspectoBoton aspecto, const QColor &cara, QWidget *parent)
    : QToolButton(parent), m_aspecto(aspecto)
{
    ponerCara(this, cara);
}

void BotonGraficoHerramienta::keyPressEvent(QKeyEvent *event)
{
    // Enter presses the button that has the focus, as on the push buttons; a tool button of
    // its own takes only Space.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && !(event->modifiers() & ~Qt::KeypadModifier)) {
        click();
        event->accept();
        return;
    }
    QToolButton::keyPressEvent(event);
}

void BotonGraficoHerramienta::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QStyleOptionToolButton opcion;
    initStyleOption(&opcion);
    const bool hundido = opcion.state & QStyle::State_Sunken;
    const bool foco = opcion.state & QStyle::State_HasFocus;
    QStyleOptionToolButton etiqueta = opcion;
    etiqueta.rect = pintarCara(p, rect(), m_aspecto, palette().color(QPalette::Button), hundido, foco);
    p.setRenderHint(QPainter::SmoothPixmapTransform);   // as for the push button
    style()->drawControl(QStyle::CE_ToolButtonLabel, &etiqueta, &p, this);
    // With the black edge, that edge is the tool button's only focus mark.
    if (foco && m_aspecto != AspectoBoton::RelieveFocoNegro)
        pintarPunteado(p, rect());
}

} // namespace pindel
