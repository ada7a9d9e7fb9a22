#include "ordenes.h"

#include "module1.h"

#include <QCommandLineParser>

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

} // namespace

Ordenes leerOrdenes(const QStringList &argumentos)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(QCommandLineOption(QStringList{QStringLiteral("t"), QStringLiteral("teclado")}));
    parser.addOption(QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")}));
    parser.addOption(QCommandLineOption(QStringList{QStringLiteral("v"), QStringLiteral("version")}));
    // Options we do not know are Qt's: the parse "fails" on them, and ours are read anyway.
    parser.parse(argumentos);

    Ordenes ordenes;
    // In the order they stand on the line.
    for (const QString &nombre : parser.optionNames()) {
        if (nombre == QLatin1String("t") || nombre == QLatin1String("teclado"))
            ordenes.teclado = true;
        if (nombre == QLatin1String("h") || nombre == QLatin1String("help"))
            return {Ordenes::Accion::Ayuda, textoAyuda()};
        if (nombre == QLatin1String("v") || nombre == QLatin1String("version"))
            return {Ordenes::Accion::Version,
                    QStringLiteral("%1 %2\n").arg(QString::fromLatin1(Module1::kInternalName),
                                                  QString::fromLatin1(Module1::kVersion))};
    }
    return ordenes;
}

} // namespace pindel
