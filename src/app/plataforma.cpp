#include "plataforma.h"

#include <QtGlobal>

namespace pindel {

QByteArray plataformaPorDefecto(const QByteArray &qtQpaPlatform, const QByteArray &display)
{
    // Qt itself reads an empty QT_QPA_PLATFORM as unset.
    if (!qtQpaPlatform.isEmpty())
        return {};
    if (!display.isEmpty())
        return QByteArrayLiteral("xcb;wayland");
    return QByteArrayLiteral("wayland");
}

void elegirPlataforma()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN) && !defined(Q_OS_ANDROID)
    // Qt's own default follows XDG_SESSION_TYPE, which on a Wayland session would make the
    // program a native Wayland client even where XWayland could give it its whole design.
    const QByteArray eleccion =
        plataformaPorDefecto(qgetenv("QT_QPA_PLATFORM"), qgetenv("DISPLAY"));
    if (!eleccion.isEmpty())
        qputenv("QT_QPA_PLATFORM", eleccion);
#endif
}

} // namespace pindel
