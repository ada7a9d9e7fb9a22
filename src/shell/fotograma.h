#pragma once
// Work the first frame of a window need not wait for: it runs once, from the event loop,
// right after the window has been painted for the first time.

#include <functional>

class QWidget;

namespace pindel {

// Runs `accion` once, just after the first paint of `ventana` (a top-level widget), from the
// event loop.  Nothing runs if the window goes away first.
void trasPrimerFotograma(QWidget *ventana, std::function<void()> accion);

} // namespace pindel
