#include "marcolista.h"

#include "pixeles.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QImage>
#include <QPainter>
#include <QRegion>

namespace pindel {

namespace {

class CapaMarco : public QWidget {
public:
    explicit CapaMarco(QAbstractScrollArea *lista) : QWidget(lista), m_lista(lista)
    {
        setObjectName(QStringLiteral("MarcoEnPixeles"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        setGeometry(lista->rect());
        lista->installEventFilter(this);
        for (QObject *hermano : lista->children())
            if (hermano != this && hermano->isWidgetType())
                hermano->installEventFilter(this);
        raise();
    }

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (object == m_lista) {
            if (event->type() == QEvent::Resize)
                setGeometry(m_lista->rect());
            if (event->type() == QEvent::ChildAdded) {
                QObject *hijo = static_cast<QChildEvent *>(event)->child();
                if (hijo != this && hijo->isWidgetType())
                    hijo->installEventFilter(this);
            }
        } else if (event->type() == QEvent::Show || event->type() == QEvent::ZOrderChange) {
            // The list raises a scroll bar's widget when it shows it: stay on top of it.
            raise();
        }
        return false;
    }

    void paintEvent(QPaintEvent *) override
    {
        const int lineas = m_lista->frameWidth();
        if (lineas <= 0)
            return;
        // The style's frame at 100 %: the list alone, without its contents or background.
        QImage muestra(m_lista->size(), QImage::Format_ARGB32_Premultiplied);
        muestra.fill(Qt::transparent);
        m_lista->render(&muestra, QPoint(), QRegion(), QWidget::RenderFlags());

        QPainter painter(this);
        const PixelesDispositivo pixeles(painter);
        const int ancho = pixeles.grosor(1);
        const int medioX = muestra.width() / 2, medioY = muestra.height() / 2;
        QRect caja = pixeles.caja(rect());
        for (int i = 0; i < lineas && i < medioX && i < medioY; ++i) {
            // Each line of the frame in the colour the style gives its left and its right side.
            const QColor arribaIzquierda = muestra.pixelColor(i, medioY);
            const QColor abajoDerecha = muestra.pixelColor(muestra.width() - 1 - i, medioY);
            if (arribaIzquierda.alpha() > 0 || abajoDerecha.alpha() > 0)
                pixeles.bisel(caja, ancho, arribaIzquierda, abajoDerecha);
            caja.adjust(ancho, ancho, -ancho, -ancho);
        }
        const QWidget *contenido = m_lista->viewport();
        const QColor fondo = contenido->palette().color(contenido->backgroundRole());
        for (const QRect &resto : QRegion(caja).subtracted(QRegion(pixeles.caja(m_lista->contentsRect()))))
            painter.fillRect(resto, fondo);
    }

private:
    QAbstractScrollArea *m_lista;
};

} // namespace

void enmarcarEnPixeles(QAbstractScrollArea *lista) { new CapaMarco(lista); }

} // namespace pindel
