#pragma once
// The credits message, shared by the credits buttons of the board and the presentation
// window: one modal box naming the author and how to reach him.

#include <QString>

class QWidget;

namespace pindel {

// The author's addresses as the credits name them.
inline constexpr const char *kAutorEmail = "maberto@example.com";
inline constexpr const char *kAutorWeb = "http://www.example.com/maberto";

// The credits text: five leading blanks, the author in capitals, the e-mail address, three
// blanks and the web address.
QString textoCreditos();

// Shows the credits as a modal box titled "Datos del autor" with the information icon and a
// single OK button, and returns when the player has closed it.  Its answer means nothing.
void mostrarCreditos(QWidget *parent);

} // namespace pindel
