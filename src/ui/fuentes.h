#pragma once
// The faces the windows were designed with, and what stands in for them where they are not
// installed.  instalarFuentes() must run once, after the application object exists and
// before any window is built.

#include <QFont>

namespace pindel {

inline constexpr const char *kSansSerif = "MS Sans Serif";
inline constexpr const char *kDecorativa = "Zaragoza LET";

// Maps "MS Sans Serif" to a metric-compatible sans (Liberation Sans) and "Zaragoza LET" to
// a decorative face Debian ships (URW's Z003).  Safe to call more than once.
void instalarFuentes();

// "MS Sans Serif" at `points`, bold (700) or regular (400).
QFont fuenteSansSerif(qreal points, bool bold);

} // namespace pindel
