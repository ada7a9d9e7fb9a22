#include "ordenes.h"

#include "module1.h"

namespace pindel {

namespace {

QString textoAyuda()
{
    return QStringLiteral(
        "Uso: pindel [opciones]\n"
        "Pindel: juego para una persona. Solitario de Cd-rom en el tablero en cruz de 33 huecos.\n"
        "\n"
        "Opciones:\n"
        "  -t, --teclado  Juega con el teclado (flechas, Espacio o Intro, Escape).\n"
        "  -h, --help     Muestra esta ayuda y termina.\n"
        "  -v, --version  Muestra la versión del programa y termina.\n"
        "\n"
        "Admite también las opciones comunes de Qt, como -platform o -style.\n");
}

const QString kPista = QStringLiteral("Pruebe «pindel --help» para ver las opciones.\n");

// How a Qt option takes its value.
enum class Valor {
    Ninguno,      // -reverse
    Siguiente,    // -platform xcb: the next word, whatever it looks like
    SiguienteOIgual,   // -style fusion or -style=fusion
    SoloIgual,    // -qmljsdebugger=port:1234
};

struct OpcionQt {
    const char *nombre;   // without its dash
    Valor valor;
};

// The options Qt 6 documents for QApplication and QGuiApplication, and those its X11
// platform reads (-display, -geometry, and the older -title, -icon, -name, -visual, -nograb
// and -dograb it still honours).  Qt accepts each with one dash or two; "-opt=value" only
// where it is listed so.  The Wayland platform reads no option of its own.
constexpr OpcionQt kOpcionesQt[] = {
    {"style", Valor::SiguienteOIgual},
    {"stylesheet", Valor::SiguienteOIgual},
    {"widgetcount", Valor::Ninguno},
    {"reverse", Valor::Ninguno},
    {"qmljsdebugger", Valor::SoloIgual},
    {"platform", Valor::Siguiente},
    {"platformpluginpath", Valor::Siguiente},
    {"platformtheme", Valor::Siguiente},
    {"plugin", Valor::Siguiente},
    {"qwindowgeometry", Valor::Siguiente},
    {"qwindowicon", Valor::Siguiente},
    {"qwindowtitle", Valor::Siguiente},
    {"session", Valor::Siguiente},
    {"display", Valor::Siguiente},
    {"geometry", Valor::Siguiente},
    {"title", Valor::Siguiente},
    {"icon", Valor::Siguiente},
    {"name", Valor::Siguiente},
    {"visual", Valor::Siguiente},
    {"nograb", Valor::Ninguno},
    {"dograb", Valor::Ninguno},
};

const OpcionQt *opcionQt(const QString &nombre)
{
    for (const OpcionQt &opcion : kOpcionesQt) {
        if (nombre == QLatin1String(opcion.nombre))
            return &opcion;
    }
    return nullptr;
}

Ordenes rechazo(const QString &primeraLinea)
{
    Ordenes ordenes;
    ordenes.accion = Ordenes::Accion::Error;
    ordenes.texto = QStringLiteral("pindel: %1\n").arg(primeraLinea) + kPista;
    return ordenes;
}

Ordenes desconocida(const QString &palabra)
{
    return rechazo(QStringLiteral("opción desconocida: «%1»").arg(palabra));
}

} // namespace

Ordenes leerOrdenes(const QStringList &argumentos)
{
    Ordenes ordenes;
    Ordenes::Accion primera = Ordenes::Accion::Jugar;   // the first of --help and --version
    for (int i = 1; i < argumentos.size(); ++i) {
        const QString &palabra = argumentos.at(i);
        if (palabra == QLatin1String("-t") || palabra == QLatin1String("--teclado")) {
            ordenes.teclado = true;
            continue;
        }
        if (palabra == QLatin1String("-h") || palabra == QLatin1String("--help")) {
            if (primera == Ordenes::Accion::Jugar)
                primera = Ordenes::Accion::Ayuda;
            continue;
        }
        if (palabra == QLatin1String("-v") || palabra == QLatin1String("--version")) {
            if (primera == Ordenes::Accion::Jugar)
                primera = Ordenes::Accion::Version;
            continue;
        }

        // Qt's: "-opt" or "--opt", perhaps "-opt=value".
        if (!palabra.startsWith(QLatin1Char('-')))
            return desconocida(palabra);
        const QString sinGuiones = palabra.mid(palabra.startsWith(QLatin1String("--")) ? 2 : 1);
        const qsizetype igual = sinGuiones.indexOf(QLatin1Char('='));
        const OpcionQt *opcion = opcionQt(igual < 0 ? sinGuiones : sinGuiones.left(igual));
        if (!opcion)
            return desconocida(palabra);
        QString valor;
        if (igual >= 0) {
            if (opcion->valor != Valor::SiguienteOIgual && opcion->valor != Valor::SoloIgual)
                return desconocida(palabra);
            valor = sinGuiones.mid(igual + 1);
        } else if (opcion->valor == Valor::SoloIgual) {
            return desconocida(palabra);
        } else if (opcion->valor != Valor::Ninguno) {
            // Qt would silently drop a last "-platform" and keep a last "-style" as a stray
            // word; either way the user asked for something they would not get.
            if (i + 1 >= argumentos.size())
                return rechazo(QStringLiteral("falta el valor de la opción «%1»").arg(palabra));
            valor = argumentos.at(++i);
        }
        if (qstrcmp(opcion->nombre, "platform") == 0)
            ordenes.plataforma = valor;
        else if (qstrcmp(opcion->nombre, "display") == 0)
            ordenes.pantallaX = valor;
    }

    ordenes.accion = primera;
    if (primera == Ordenes::Accion::Ayuda)
        ordenes.texto = textoAyuda();
    else if (primera == Ordenes::Accion::Version)
        ordenes.texto = QStringLiteral("%1 %2\n").arg(QString::fromLatin1(Module1::kInternalName),
                                                      QString::fromLatin1(Module1::kVersion));
    return ordenes;
}

} // namespace pindel
