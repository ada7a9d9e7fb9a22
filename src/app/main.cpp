// The program: builds its windows once and shows the first.  This is the only place that
// knows every window; they reach one another through the lifecycle.

#include "lifecycle.h"
#include "tablero.h"
#include "frmsolucion.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // The program ends when its last window closes, by its own rule: a restart closes and
    // reopens the board, which Qt's rule would take for the end.
    QApplication::setQuitOnLastWindowClosed(false);

    pindel::FrmSolucion solucion;
    pindel::Tablero tablero(solucion);
    pindel::Lifecycle::track(solucion);
    pindel::Lifecycle::track(tablero);

    pindel::Lifecycle::show(tablero);
    return app.exec();
}
