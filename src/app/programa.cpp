#include "programa.h"

#include "accesibilidad.h"
#include "fotograma.h"
#include "frmsolucion.h"
#include "tablero.h"
#include "traza.h"

namespace pindel {

namespace {

// Prints one trace line once `window` has been painted for the first time, which follows its
// first expose.
void trazarPrimeraExposicion(QWidget *window, const char *fase)
{
    if (trazaActiva())
        trasPrimerFotograma(window, [fase] { traza(fase); });
}

} // namespace

Programa::Programa(bool modoTeclado)
    : m_solucion([] {
          auto solucion = std::make_unique<FrmSolucion>();
          // What a screen reader says for each control; nothing on screen changes.
          describirControles(solucion.get());
          return solucion;
      }),
      m_tablero([this, modoTeclado] {
          auto tablero = std::make_unique<Tablero>(m_solucion, modoTeclado);
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
