#include "disenotablero.h"

#include "creditos.h"
#include "svgpicture.h"

namespace pindel::disenotablero {

const std::array<Etiqueta, 8> kEtiquetas = {{
    {"Label2", {24, 48, 81, 25}, "Resto", QColor(0, 255, 255), Qt::AlignHCenter | Qt::AlignTop, true,
     "Huecos que faltan para finalizar el juego"},
    {"LblResto", {24, 64, 81, 25}, "32", QColor(0, 255, 255), Qt::AlignHCenter | Qt::AlignTop, true,
     "Huecos que faltan para finalizar el juego"},
    {"Label1", {264, 48, 81, 25}, "Jugadas", QColor(0, 255, 0), Qt::AlignHCenter | Qt::AlignTop, true,
     "Movimientos realizados "},
    {"LblMarcador", {264, 64, 81, 25}, "0", QColor(0, 255, 0), Qt::AlignHCenter | Qt::AlignTop, true,
     "Movimientos realizados "},
    {"Label4", {392, 24, 185, 113}, nullptr, QColor(192, 255, 255), Qt::AlignHCenter | Qt::AlignTop, false,
     ""},
    {"Label3", {392, 256, 166, 16}, "Los que lo consiguieron", QColor(192, 192, 255),
     Qt::AlignLeft | Qt::AlignTop, true, ""},
    {"Label5", {0, 352, 25, 25}, "", QColor(), Qt::AlignLeft | Qt::AlignTop, false, ""},
    {"Label6", {584, 0, 17, 17}, "", QColor(), Qt::AlignLeft | Qt::AlignTop, false, ""},
}};

const std::array<Boton, 4> kBotones = {{
    {"Command1", {416, 152, 65, 33}, &art::kInformacion, QColor(255, 128, 128), "Creditos y contacto"},
    {"Command2", {480, 152, 65, 33}, &art::kCarpeta, QColor(255, 255, 128), "Inicia un nuevo juego"},
    {"Command3", {416, 184, 65, 33}, &art::kLibro, QColor(128, 255, 128), "Ayuda"},
    {"Command4", {480, 184, 65, 33}, nullptr, QColor(255, 192, 255), "Abandonar el juego"},
}};

QString textoPublicidad()
{
    return QStringLiteral("Le gustaria ver aqui su fotografia o publicidad para su empresa. "
                          "Consulte precios. Email:")
           + QStringLiteral("  ") + QString::fromLatin1(kAutorEmail) + QStringLiteral("   ")
           + QString::fromLatin1(kAutorWeb);
}

QString textoAyuda()
{
    return QStringLiteral(
        "     El juego consiste en intentar dejar solamente un Cd-rom y ademas situado en el centro "
        "del tablero. Los Cd-rom se desplazan arrastrandolos con el raton desde su posiciòn de "
        "origen hasta la de destino, pero cumpliendo los siguientes requisitos:  1º.- Los "
        "desplazamientos tienen que ser verticales u horizontales, nunca en diagonal.  2º.- El "
        "Cd-rom que se desplace debera pasar por encima de uno contiguo a él, depositandose en un "
        "hueco vacio y contiguo al que se ha pasado.   La solución esta escondida dentro del juego "
        "y se hara visible haciendo determinadas operaciones sobre el tablero.");
}

QString promptVictoria(const QString &movimientos)
{
    return QStringLiteral("Ha conseguido dejar una sola imagen en el centro en tan solo ") + movimientos
           + QStringLiteral(" intentos,  ¡¡Enhorabuena!!.  SEA TAN AMABLE DE INTRODUCIR SU NOMBRE");
}

} // namespace pindel::disenotablero
