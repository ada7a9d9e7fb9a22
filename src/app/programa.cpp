#include "programa.h"

#include "accesibilidad.h"
#include "frmsolucion.h"
#include "tablero.h"
#include "traza.h"

#include <QEvent>

namespace pindel {

namespace {

// Prints one trace line the first time `window` is painted, which follows its first expose.
class PrimeraExposicion : public QObject {
public:
    PrimeraExposicion(QWidget *window, const char *fase) : QObject(window), m_fase(fase)
    {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            traza(m_fase);
            watched->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }

private:
    const char *m_fase;
};

void trazarPrimeraExposicion(QWidget *window, const char *fase)
{
    if (trazaActiva())
        new PrimeraExposicion(window, fase);
}

} // namespace

Programa::Programa()
    : m_solucion([] {
          auto solucion = std::make_unique<FrmSolucion>();
          // What a screen reader says for each control; nothing on screen changes.
          describirControles(solucion.get());
          return solucion;
      }),
      m_tablero([this] {
          auto tablero = std::make_unique<Tablero>(m_solucion);
          describirControles(tablero.get());
          traza("board built");
          trazarPrimeraExposicion(tablero.get(), "board first expose");
          return tablero;
      }),
      m_presentacion(std::make_unique<ForPresentacion>(m_tablero))
{
    describirControles(m_presentacion.get());
    Lifecycle::track(*m_presentacion);
}

Programa::~Programa() = default;

void Programa::arrancar()
{
    trazarPrimeraExposicion(m_presentacion.get(), "presentation first expose");
    // Nothing of the program runs before the presentation window opens, and no other
    // window opens with it.
    Lifecycle::show(*m_presentacion);
}

} // namespace pindel
