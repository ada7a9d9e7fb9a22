#include "fotograma.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <utility>

namespace pindel {

namespace {

// Watches its window for the first paint, then runs the work and goes.
class PrimerFotograma : public QObject {
public:
    PrimerFotograma(QWidget *ventana, std::function<void()> accion)
        : QObject(ventana), m_accion(std::move(accion))
    {
        ventana->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] {
                m_accion();
                deleteLater();
            });
        }
        return false;
    }

private:
    std::function<void()> m_accion;
};

} // namespace

void trasPrimerFotograma(QWidget *ventana, std::function<void()> accion)
{
    new PrimerFotograma(ventana, std::move(accion));
}

} // namespace pindel
