#pragma once
// The program as a whole: its three windows and how each one is made.  This is the only
// place that knows every window; they reach one another through LazyWindow and the
// lifecycle.  The presentation window is made with the program, the board on the first
// press of play, the solution window on the first hidden gesture; each then lives for the
// rest of the run.

#include "forpresentacion.h"
#include "lifecycle.h"

#include <memory>

namespace pindel {

class Programa {
public:
    // `modoTeclado`: the board is made for keyboard play.
    explicit Programa(bool modoTeclado = false);
    ~Programa();
    Programa(const Programa &) = delete;
    Programa &operator=(const Programa &) = delete;

    // Start-up: shows the presentation window, and no other.
    void arrancar();

    ForPresentacion &presentacion() { return *m_presentacion; }
    LazyWindow &tablero() { return m_tablero; }
    LazyWindow &solucion() { return m_solucion; }

private:
    // Declared in the order the windows depend on one another, so they go in reverse.
    LazyWindow m_solucion;
    LazyWindow m_tablero;
    std::unique_ptr<ForPresentacion> m_presentacion;
};

} // namespace pindel
