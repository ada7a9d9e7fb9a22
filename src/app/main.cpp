// The top of the program: reads the command line, starts the toolkit and shows the first
// window.  Which windows there are and how each is made is Programa's.

#include "fuentes.h"
#include "lectorpantalla.h"
#include "module1.h"
#include "ordenes.h"
#include "plataforma.h"
#include "programa.h"
#include "traza.h"

#include <QApplication>

#include <cstdio>

#if defined(Q_OS_WIN)
#include "escritorio_windows.h"
#endif

namespace {

// Prints the command line's answer for whoever started the program: standard output, or
// standard error for a refusal.  True when it was printed.  A Windows desktop program has no
// console of its own; the shell's Windows file finds where the text can be seen.
bool responder(const QString &texto, bool error)
{
#if defined(Q_OS_WIN)
    return pindel::escritorio::mostrarTexto(texto.toStdWString(), error ? pindel::escritorio::Canal::Error
                                                                        : pindel::escritorio::Canal::Salida);
#else
    std::FILE *salida = error ? stderr : stdout;
    std::fputs(texto.toLocal8Bit().constData(), salida);
    return std::fflush(salida) == 0;
#endif
}

} // namespace

int main(int argc, char **argv)
{
#if defined(Q_OS_WIN)
    // The installer waits while this is held, from here to the end of the process.
    pindel::escritorio::anunciarJuegoAbierto();
#endif
    pindel::iniciarTraza();

    // The command line is answered, or refused, before any window system is touched.
    QStringList argumentos;
    for (int i = 0; i < argc; ++i)
        argumentos << QString::fromLocal8Bit(argv[i]);
    const pindel::Ordenes ordenes = pindel::leerOrdenes(argumentos);
    switch (ordenes.accion) {
    case pindel::Ordenes::Accion::Jugar:
        break;
    case pindel::Ordenes::Accion::Error:
        responder(ordenes.texto, true);
        return pindel::Ordenes::kEstadoError;
    case pindel::Ordenes::Accion::Ayuda:
    case pindel::Ordenes::Accion::Version:
        return responder(ordenes.texto, false) ? 0 : 1;
    }

    if (!pindel::elegirPlataforma(ordenes)) {
        responder(pindel::textoSinPantalla(), true);
        return 1;
    }
    pindel::salirSinAbortoAlArrancar();
    QApplication app(argc, argv);
    pindel::dejarDeVigilarElArranque();
    pindel::traza("QApplication");
    pindel::Module1::setProgramIdentity();
    pindel::instalarFuentes();
    pindel::traza("fonts");
    // The program ends when its last window closes, by its own rule: a restart closes and
    // reopens the board, which Qt's rule would take for the end.
    QApplication::setQuitOnLastWindowClosed(false);

    // The option turns keyboard play on; so does a screen reader, asked only when needed.
    const bool teclado = ordenes.teclado || pindel::lectorDePantallaActivo();
    pindel::traza(teclado ? "keyboard play: on" : "keyboard play: off");

    pindel::Programa programa(teclado);
    pindel::traza("presentation built");
    programa.arrancar();
    return app.exec();
}
