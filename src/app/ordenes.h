#pragma once
// The command line.  The program's own options are --help, --version and --teclado; the
// first two print and end the program before any window system is touched.  Qt's own options
// (-platform, -style, -display, ...) are let through to Qt with their values.  Anything else
// is refused before any window system is touched: a typing mistake never starts the game as
// if nothing had been asked.

#include <QString>
#include <QStringList>

namespace pindel {

struct Ordenes {
    enum class Accion {
        Jugar,     // no option of ours that ends the program: start the game
        Ayuda,     // --help or -h: print `texto` on standard output and end
        Version,   // --version or -v: print `texto` on standard output and end
        Error,     // an option nobody knows, or one without its value: print `texto` on
                   // standard error and end with status kEstadoError
    };
    static constexpr int kEstadoError = 2;

    Accion accion = Accion::Jugar;
    QString texto;   // what to print, line end included
    bool teclado = false;   // -t or --teclado: keyboard play
    QString plataforma;   // the value of Qt's -platform; empty when not given
    QString pantallaX;    // the value of Qt's -display (the X server to use); empty when not given
};

// Reads the program's arguments, argv[0] first.  A refused word wins over everything; then
// the first of --help and --version on the line.  Single-dash words are whole options, so
// Qt's "-reverse" is not "-v".
Ordenes leerOrdenes(const QStringList &argumentos);

} // namespace pindel
