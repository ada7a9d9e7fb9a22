#pragma once
// How each of the three windows stands centred on the screen, in one place.  Each window's
// design has its own rule: which size counts (the frame the player sees, or the inner area
// alone), and in which unit the halves are taken.  Every rule places the frame the player
// sees (Module1::outerFrame), top first, then left, with no clamping: a window larger than the
// screen gets a negative coordinate.
//
//   board         Por::Fuera,  Unidad::Pixeles  (single precision, halves floored)
//   presentation  Por::Fuera,  Unidad::Twips    (halves kept, then rounded to a pixel)
//   solution      Por::Dentro, Unidad::Twips    (its frame lands a little right of and below
//                                                 the exact centre)

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace pindel::centrado {

enum class Por { Fuera, Dentro };
enum class Unidad { Pixeles, Twips };

// The frame the player sees round `window`, once the system has said something sensible
// about it (a freshly mapped window can briefly report a frame smaller than the window
// itself, or absurdly wide); until then, the window alone at Qt's frame corner.
QRect marcoVisto(const QWidget *window);

// Centres `window` on its screen by the rule given, and returns the corner its visible frame
// was put at.  `medido`, when given, receives the size the rule centred.
QPoint centrar(QWidget *window, Por por, Unidad unidad, QSize *medido = nullptr);

// Moves `window` so that the frame the player sees has its top-left corner at `esquina`
// (move() places the frame Qt knows, which on Windows need not be the one drawn): top first,
// then left.
void ponerMarcoEn(QWidget *window, const QPoint &esquina);

} // namespace pindel::centrado
