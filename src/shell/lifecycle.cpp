#include "lifecycle.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <utility>
#include <vector>

namespace pindel {

namespace {
std::vector<ManagedWindow *> &tracked()
{
    static std::vector<ManagedWindow *> windows;
    return windows;
}
bool g_ending = false;
void exitApplication(int code) { QCoreApplication::exit(code); }
Lifecycle::ExitFunction g_exit = &exitApplication;
} // namespace

ManagedWindow::~ManagedWindow()
{
    auto &windows = tracked();
    windows.erase(std::remove(windows.begin(), windows.end(), this), windows.end());
}

LazyWindow::LazyWindow(Factory make) : m_make(std::move(make)) {}

LazyWindow::~LazyWindow() = default;

ManagedWindow &LazyWindow::get()
{
    if (!m_window) {
        m_window = m_make();
        Lifecycle::track(*m_window);
    }
    return *m_window;
}

void Lifecycle::show(LazyWindow &window)
{
    if (!g_ending)
        show(window.get());
}

void Lifecycle::setNormal(LazyWindow &window)
{
    if (ManagedWindow *existing = window.existing())
        setNormal(*existing);
}

void Lifecycle::close(LazyWindow &window)
{
    if (ManagedWindow *existing = window.existing())
        close(*existing);
}

void Lifecycle::show(ManagedWindow &window)
{
    if (g_ending)
        return;
    QWidget *w = window.widget();
    QWidget *designedFocus = nullptr;
    if (!window.m_open) {
        window.resetToDesign();
        window.m_open = true;
        window.load();
        // The control the design gives the focus to; a hidden window cannot hand it over by
        // itself once it is shown again, so it is handed over below.
        designedFocus = w->focusWidget();
    }
    w->show();
    w->raise();
    w->activateWindow();
    if (designedFocus)
        designedFocus->setFocus(Qt::ActiveWindowFocusReason);
}

void Lifecycle::setNormal(ManagedWindow &window)
{
    QWidget *w = window.widget();
    if (window.m_open && (w->windowState() & Qt::WindowMinimized))
        w->setWindowState((w->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
}

void Lifecycle::close(ManagedWindow &window)
{
    // The program's own closes hide the window and keep its native window: QWidget::close()
    // would destroy that too, and a board restarted from scratch on every game would come
    // back before the window manager has framed it, so it could not be centred with its
    // frame.  A close requested by the platform reaches closingByPlatform() from closeEvent.
    closingByPlatform(window);
}

bool Lifecycle::closingByPlatform(ManagedWindow &window)
{
    if (!window.m_open || window.m_closing)
        return false;
    window.m_closing = true;
    window.unload();
    window.m_closing = false;
    window.m_open = false;
    window.widget()->hide();
    scheduleLastCloseCheck();
    return true;
}

void Lifecycle::closeRequested(ManagedWindow &window, QCloseEvent *event)
{
    event->setAccepted(closingByPlatform(window) || !window.m_open);
}

void Lifecycle::restart(ManagedWindow &window)
{
    close(window);
    show(window);
}

void Lifecycle::endProgram(int code)
{
    g_ending = true;
    for (ManagedWindow *window : tracked()) {
        window->m_open = false;
        window->widget()->hide();
    }
    // exit(), not quit(): quit() would first try to close every window and so run the
    // close handlers, which ending the program must not do.
    g_exit(code);
}

bool Lifecycle::hasEnded() { return g_ending; }
void Lifecycle::resetEndForTesting() { g_ending = false; }
void Lifecycle::setExitFunctionForTesting(ExitFunction exitFunction)
{
    g_exit = exitFunction ? exitFunction : &exitApplication;
}

void Lifecycle::track(ManagedWindow &window)
{
    auto &windows = tracked();
    if (std::find(windows.begin(), windows.end(), &window) == windows.end())
        windows.push_back(&window);
}

int Lifecycle::openCount()
{
    const auto &windows = tracked();
    return static_cast<int>(std::count_if(windows.begin(), windows.end(),
                                          [](const ManagedWindow *w) { return w->isOpen(); }));
}

void Lifecycle::scheduleLastCloseCheck()
{
    if (tracked().empty())
        return;
    QTimer::singleShot(0, qApp, [] {
        if (!g_ending && !tracked().empty() && openCount() == 0)
            endProgram(0);
    });
}

} // namespace pindel
