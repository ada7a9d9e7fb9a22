#pragma once
// The board window's design, as tables: every label's and picture button's place, caption,
// colours, font weight and tip, the other controls' places, and the window's own texts.  The
// window reads them once (Tablero::aplicarDiseno, resetToDesign); nothing else here.

#include <QColor>
#include <QRect>
#include <QString>

#include <array>

namespace pindel::disenotablero {

inline const QColor kOliva(128, 128, 0);   // the window's background and the list's

// One label as designed: "MS Sans Serif" 9.75 pt, regular or bold.
struct Etiqueta {
    const char *nombre;
    QRect geometria;
    const char *texto;   // UTF-8; nullptr for the advertising text
    QColor color;        // invalid: the platform's
    Qt::Alignment alineacion;
    bool negrita;
    const char *consejo;
};

// In the order the window keeps its labels.
extern const std::array<Etiqueta, 8> kEtiquetas;

// One picture button as designed.
struct Boton {
    const char *nombre;
    QRect geometria;
    const QString *dibujo;   // an art:: resource, or nullptr for a caption
    QColor cara;
    const char *consejo;
};

extern const std::array<Boton, 4> kBotones;

// The places of the other controls.
inline constexpr QRect kLista{360, 280, 225, 68};
inline constexpr QRect kShape1{165, 166, 40, 40};
inline constexpr QRect kVacio{24, 272, 32, 32};
inline constexpr QRect kMuestra{64, 272, 32, 32};

// The advertising text of Label4, with the author's e-mail and web addresses.
QString textoPublicidad();
// The help box's text.
QString textoAyuda();
// The name box's prompt after `movimientos` moves.
QString promptVictoria(const QString &movimientos);

} // namespace pindel::disenotablero
