// Module1's desktop where the program is built without X11: a native Wayland client, which
// may not minimise other programs' windows.  The rest of Linux's answers are
// module1_posix.cpp's.

#include "module1.h"
#include "module1_posix.h"

namespace pindel::Module1 {

std::optional<QByteArray> defaultPlatform(const QByteArray &)
{
    if (compositorWaylandAlcanzable(qgetenv("WAYLAND_SOCKET"), qgetenv("WAYLAND_DISPLAY"),
                                    qgetenv("XDG_RUNTIME_DIR")))
        return QByteArrayLiteral("wayland");
    return std::nullopt;
}

void minimizeAllWindows(const QWidget *)
{
}

} // namespace pindel::Module1
