#include "module1.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLocale>
#include <QPointer>
#include <QStandardPaths>
#include <QWidget>
#include <QWindow>

// On X11 the desktop is reached through the application's own xcb connection.
#if !defined(Q_OS_WIN) && PINDEL_HAVE_XCB && QT_CONFIG(xcb)
#define PINDEL_X11 1
#else
#define PINDEL_X11 0
#endif

#if defined(Q_OS_WIN)
#include "escritorio_windows.h"
#include "marco_windows.h"
#elif PINDEL_X11
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>
#endif

namespace pindel::Module1 {

QString DirectorioSistema;
QString Linea;

QString systemDirectory()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir(base).filePath(QStringLiteral("pindel"));
}

bool fileSystemIgnoresCase()
{
#if defined(Q_OS_WIN)
    return true;
#else
    return false;
#endif
}

QStringList legacyDirectories()
{
#if defined(Q_OS_WIN)
    // Windows keeps a VirtualStore copy of a protected folder in the user's local
    // application data (%LOCALAPPDATA%, Qt's generic data location there): the folder's path
    // without its drive, under "VirtualStore".
    const QString local = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    QStringList folders;
    for (const std::string &reported : {escritorio::carpetaDeSistema(), escritorio::carpetaDeSistemaDe32Bits()}) {
        if (reported.empty())
            continue;
        const QString folder =
            QDir::fromNativeSeparators(QString::fromLocal8Bit(reported.data(), qsizetype(reported.size())));
        folders << folder;
        if (!local.isEmpty() && folder.size() > 2 && folder.at(1) == QLatin1Char(':'))
            folders << local + QStringLiteral("/VirtualStore") + folder.mid(2);
    }
    return folders;
#else
    return {};
#endif
}

namespace {
// The window frozen now; null when nothing is, or when it was frozen already by its owner.
QPointer<QWidget> g_locked;
}

void lockWindowUpdate(QWidget *window)
{
    unlockWindowUpdate();
    if (window && window->updatesEnabled()) {
        g_locked = window;
        window->setAttribute(Qt::WA_UpdatesDisabled, true);
    }
}

void unlockWindowUpdate()
{
    if (g_locked)
        g_locked->setAttribute(Qt::WA_UpdatesDisabled, false);
    g_locked = nullptr;
}

#if PINDEL_X11
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
#endif

void minimizeAllWindows(const QWidget *except)
{
#if defined(Q_OS_WIN)
    Q_UNUSED(except);
    escritorio::minimizarTodasLasVentanas();
#elif PINDEL_X11
    if (auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr) {
        if (xcb_connection_t *connection = x11->connection())
            iconifyOtherClients(connection, except);
    }
#else
    // Wayland, macOS and the rest let no client minimise the others.
    Q_UNUSED(except);
#endif
}

QRect outerFrame(const QWidget *window)
{
#if defined(Q_OS_WIN)
    // Only Qt's Windows platform gives a window an HWND; another one's window id (offscreen,
    // minimal) names no window Windows knows, or names one that is not ours.
    escritorio::MargenesMarco m;
    if (window->internalWinId() && QGuiApplication::platformName() == QLatin1String("windows")
        && escritorio::margenesDelMarco(reinterpret_cast<void *>(window->internalWinId()), m)) {
        // Windows counts in physical pixels, the widget in device-independent ones.
        const qreal ratio = window->devicePixelRatioF();
        const auto logical = [ratio](long physical) { return qRound(physical / ratio); };
        return window->geometry().marginsAdded(
            QMargins(logical(m.izquierda), logical(m.arriba), logical(m.derecha), logical(m.abajo)));
    }
#endif
    return window->frameGeometry();
}

void setProgramIdentity()
{
    // No display name: Qt would append it to every window title.
    QCoreApplication::setApplicationName(QString::fromLatin1(kInternalName));
    QCoreApplication::setOrganizationName(QString::fromLatin1(kProductName));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kVersion));
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
}

} // namespace pindel::Module1
