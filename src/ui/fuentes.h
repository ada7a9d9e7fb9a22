#pragma once
// The faces the windows were designed with, and what stands in for them where they are not
// installed.  instalarFuentes() must run once, after the application object exists and
// before any window is built.

#include <QFont>

namespace pindel {

inline constexpr const char *kSansSerif = "MS Sans Serif";
inline constexpr const char *kDecorativa = "Zaragoza LET";

// What stands in for them: a sans with the same metrics, and a decorative face Debian ships.
inline constexpr const char *kSansSerifSustituta = "Liberation Sans";
inline constexpr const char *kDecorativaSustituta = "Z003";

// Maps "MS Sans Serif" to Liberation Sans and "Zaragoza LET" to URW's Z003, the faces the
// system has installed.  Where the program carries the two faces itself (the Windows build,
// since Windows has neither) it registers them too, and makes the carried sans the font of
// every control that has none of its own (the dialogs).  Safe to call more than once.
void instalarFuentes();

// "MS Sans Serif" at `points`, bold (700) or regular (400).
QFont fuenteSansSerif(qreal points, bool bold);

// "Zaragoza LET" at `points`, bold or regular.
QFont fuenteDecorativa(qreal points, bool bold);

} // namespace pindel
