#pragma once
// Qt's own words in the player's language: the standard buttons of the message boxes and of
// the name box ("Aceptar", "Cancelar" on a Spanish system), the line edit's menu.  The
// program's own texts are Spanish as designed and are never translated.

namespace pindel {

// Loads Qt's translation (qtbase) for the system's user-interface languages, most preferred
// first: the system's own copy where it has one (Linux: the qt6-translations-l10n package),
// otherwise the one the program carries (every language on Windows, Spanish on Linux).  An
// English system, or a language nobody translated, keeps Qt's English.  Runs once, after the
// application object exists and before any window is built.
void instalarTraduccionesDeQt();

} // namespace pindel
