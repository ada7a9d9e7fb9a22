#pragma once
// The command line.  The program takes two options of its own, --help and --version, which
// print and end the program before any window system is touched; everything else on the
// line is left for Qt, whose own options (-platform, -style, ...) keep working.

#include <QString>
#include <QStringList>

namespace pindel {

struct Ordenes {
    enum class Accion {
        Jugar,     // no option of ours: start the game
        Ayuda,     // --help or -h: print `texto` and end
        Version,   // --version or -v: print `texto` and end
    };
    Accion accion = Accion::Jugar;
    QString texto;   // what to print on standard output, line end included
    bool teclado = false;   // -t or --teclado: keyboard play
};

// Reads the program's arguments, argv[0] first.  The first of --help and --version on the
// line wins; single-dash words are whole options, so Qt's "-reverse" is not "-v".
Ordenes leerOrdenes(const QStringList &argumentos);

} // namespace pindel
