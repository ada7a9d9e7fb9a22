// The top of the program: reads the command line, starts the toolkit and shows the first
// window.  Which windows there are and how each is made is Programa's.

#include "fuentes.h"
#include "module1.h"
#include "ordenes.h"
#include "plataforma.h"
#include "programa.h"
#include "traducciones.h"
#include "traza.h"

#include <QApplication>

int main(int argc, char **argv)
{
    // From here to the end of the process: an installer waits while the game runs.
    pindel::Module1::markGameRunning();
    pindel::iniciarTraza();

    // The command line is answered, or refused, before any window system is touched.
    const pindel::Ordenes ordenes = pindel::leerOrdenes(pindel::Module1::commandLine(argc, argv));
    switch (ordenes.accion) {
    case pindel::Ordenes::Accion::Jugar:
        break;
    case pindel::Ordenes::Accion::Error:
        pindel::Module1::showText(ordenes.texto, true);
        return pindel::Ordenes::kEstadoError;
    case pindel::Ordenes::Accion::Ayuda:
    case pindel::Ordenes::Accion::Version:
        return pindel::Module1::showText(ordenes.texto, false) ? 0 : 1;
    }

    if (!pindel::elegirPlataforma(ordenes)) {
        pindel::Module1::showText(pindel::textoSinPantalla(), true);
        return 1;
    }
    pindel::salirSinAbortoAlArrancar();
    QApplication app(argc, argv);
    pindel::dejarDeVigilarElArranque();
    pindel::traza("QApplication");
    pindel::Module1::setProgramIdentity();
    pindel::instalarFuentes();
    pindel::traza("fonts");
    pindel::instalarTraduccionesDeQt();
    // The program ends when its last window closes, by its own rule: a restart closes and
    // reopens the board, which Qt's rule would take for the end.
    QApplication::setQuitOnLastWindowClosed(false);

    // The option turns keyboard play on; so does a screen reader, asked only when needed.
    const bool teclado = ordenes.teclado || pindel::Module1::screenReaderRunning();
    pindel::traza(teclado ? "keyboard play: on" : "keyboard play: off");

    pindel::Programa programa(teclado);
    pindel::traza("presentation built");
    programa.arrancar();
    return app.exec();
}
