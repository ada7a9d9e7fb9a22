// The program: builds its windows once and shows the first.  This is the only place that
// knows every window; they reach one another through the lifecycle.

#include "accesibilidad.h"
#include "forpresentacion.h"
#include "frmsolucion.h"
#include "fuentes.h"
#include "lifecycle.h"
#include "module1.h"
#include "tablero.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    pindel::Module1::setProgramIdentity();
    pindel::instalarFuentes();
    // The program ends when its last window closes, by its own rule: a restart closes and
    // reopens the board, which Qt's rule would take for the end.
    QApplication::setQuitOnLastWindowClosed(false);

    pindel::FrmSolucion solucion;
    pindel::Tablero tablero(solucion);
    pindel::ForPresentacion presentacion(tablero);
    // What a screen reader says for each control; nothing on screen changes.
    pindel::describirControles(&solucion);
    pindel::describirControles(&tablero);
    pindel::describirControles(&presentacion);
    pindel::Lifecycle::track(solucion);
    pindel::Lifecycle::track(tablero);
    pindel::Lifecycle::track(presentacion);

    // Nothing of the program runs before the presentation window opens, and no other
    // window opens with it.
    pindel::Lifecycle::show(presentacion);
    return app.exec();
}
