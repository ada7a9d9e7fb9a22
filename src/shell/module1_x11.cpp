// Module1's desktop on X11, plain or XWayland: the platform choice that prefers an X server,
// and the request to minimise the other windows, both over xcb.  The rest of Linux's answers
// are module1_posix.cpp's.

#include "module1.h"
#include "module1_posix.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace pindel {

namespace {

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 1, static_cast<uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return result;
}

// The 32-bit values of a property, or nothing when it is missing or of another form.
std::vector<uint32_t> takeValues(xcb_get_property_reply_t *reply)
{
    std::vector<uint32_t> values;
    if (reply && reply->format == 32) {
        const auto *data = static_cast<const uint32_t *>(xcb_get_property_value(reply));
        values.assign(data, data + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return values;
}

bool contains(const std::vector<uint32_t> &values, xcb_atom_t value)
{
    return value != XCB_ATOM_NONE && std::find(values.begin(), values.end(), value) != values.end();
}

// Asks the window manager to iconify every client it manages (ICCCM WM_CHANGE_STATE with
// IconicState), except our own windows and the desktop's docks and background.  Talks to
// the X server only; it waits on no other client, and a desktop without the lists simply
// gets no request.
void iconifyOtherClients(xcb_connection_t *connection, const QWidget *except)
{
    const xcb_atom_t clientList = atom(connection, "_NET_CLIENT_LIST");
    const xcb_atom_t changeState = atom(connection, "WM_CHANGE_STATE");
    if (clientList == XCB_ATOM_NONE || changeState == XCB_ATOM_NONE)
        return;
    const xcb_atom_t windowType = atom(connection, "_NET_WM_WINDOW_TYPE");
    const xcb_atom_t typeDock = atom(connection, "_NET_WM_WINDOW_TYPE_DOCK");
    const xcb_atom_t typeDesktop = atom(connection, "_NET_WM_WINDOW_TYPE_DESKTOP");

    std::vector<uint32_t> ours;
    for (const QWindow *window : QGuiApplication::allWindows()) {
        if (window->handle())
            ours.push_back(static_cast<uint32_t>(window->winId()));
    }
    if (except && except->internalWinId())
        ours.push_back(static_cast<uint32_t>(except->internalWinId()));

    constexpr uint32_t kIconicState = 3;
    constexpr uint32_t kMaxWindows = 4096;
    xcb_screen_iterator_t roots = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (; roots.rem; xcb_screen_next(&roots)) {
        const xcb_window_t root = roots.data->root;
        const std::vector<uint32_t> clients = takeValues(xcb_get_property_reply(
            connection,
            xcb_get_property(connection, 0, root, clientList, XCB_ATOM_WINDOW, 0, kMaxWindows),
            nullptr));
        // Ask for every window's type first, then read the answers: one wait, not one per window.
        std::vector<xcb_get_property_cookie_t> types;
        for (uint32_t client : clients)
            types.push_back(xcb_get_property(connection, 0, client, windowType, XCB_ATOM_ATOM, 0, 32));
        for (size_t i = 0; i < clients.size(); ++i) {
            const std::vector<uint32_t> type =
                takeValues(xcb_get_property_reply(connection, types[i], nullptr));
            if (contains(ours, clients[i]) || contains(type, typeDock) || contains(type, typeDesktop))
                continue;
            xcb_client_message_event_t event{};
            event.response_type = XCB_CLIENT_MESSAGE;
            event.format = 32;
            event.window = clients[i];
            event.type = changeState;
            event.data.data32[0] = kIconicState;
            xcb_send_event(connection, 0, root,
                           XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                           reinterpret_cast<const char *>(&event));
        }
    }
    xcb_flush(connection);
}

} // namespace

bool servidorXAlcanzable(const QByteArray &pantalla)
{
    if (pantalla.isEmpty())
        return false;
    xcb_connection_t *conexion = xcb_connect(pantalla.constData(), nullptr);
    const bool alcanzable = xcb_connection_has_error(conexion) == 0;
    xcb_disconnect(conexion);
    return alcanzable;
}

namespace Module1 {

std::optional<QByteArray> defaultPlatform(const QByteArray &xDisplay)
{
    // Qt's default would follow XDG_SESSION_TYPE, which on a Wayland session makes the
    // program a native Wayland client, where it may neither place its own windows nor
    // minimise the others: where an X server answers (XWayland, or plain X11) the program
    // runs on it.  Qt's X11 platform reads -display before DISPLAY.
    if (servidorXAlcanzable(xDisplay.isEmpty() ? qgetenv("DISPLAY") : xDisplay))
        return QByteArrayLiteral("xcb");
    if (compositorWaylandAlcanzable(qgetenv("WAYLAND_SOCKET"), qgetenv("WAYLAND_DISPLAY"),
                                    qgetenv("XDG_RUNTIME_DIR")))
        return QByteArrayLiteral("wayland");
    return std::nullopt;
}

void minimizeAllWindows(const QWidget *except)
{
    // On a Wayland compositor (the player chose it) no client may minimise the others.
    if (auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr) {
        if (xcb_connection_t *connection = x11->connection())
            iconifyOtherClients(connection, except);
    }
}

} // namespace Module1

} // namespace pindel
