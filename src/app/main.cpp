// The top of the program: reads the command line, starts the toolkit and shows the first
// window.  Which windows there are and how each is made is Programa's.

#include "fuentes.h"
#include "module1.h"
#include "ordenes.h"
#include "plataforma.h"
#include "programa.h"
#include "traza.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    pindel::iniciarTraza();

    // --help and --version answer before any window system is touched.
    QStringList argumentos;
    for (int i = 0; i < argc; ++i)
        argumentos << QString::fromLocal8Bit(argv[i]);
    const pindel::Ordenes ordenes = pindel::leerOrdenes(argumentos);
    if (ordenes.accion != pindel::Ordenes::Accion::Jugar) {
        std::fputs(ordenes.texto.toLocal8Bit().constData(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }

    pindel::elegirPlataforma();
    QApplication app(argc, argv);
    pindel::traza("QApplication");
    pindel::Module1::setProgramIdentity();
    pindel::instalarFuentes();
    pindel::traza("fonts");
    // The program ends when its last window closes, by its own rule: a restart closes and
    // reopens the board, which Qt's rule would take for the end.
    QApplication::setQuitOnLastWindowClosed(false);

    pindel::Programa programa(ordenes.teclado);
    pindel::traza("presentation built");
    programa.arrancar();
    return app.exec();
}
