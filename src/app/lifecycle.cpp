#include "lifecycle.h"

#include <QCoreApplication>
#include <QTimer>
#include <QWidget>

#include <algorithm>
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

void Lifecycle::show(ManagedWindow &window)
{
    if (g_ending)
        return;
    QWidget *w = window.widget();
    if (!window.m_open) {
        window.resetToDesign();
        window.m_open = true;
        window.load();
    }
    w->show();
    w->raise();
    w->activateWindow();
}

void Lifecycle::setNormal(ManagedWindow &window)
{
    QWidget *w = window.widget();
    if (window.m_open && (w->windowState() & Qt::WindowMinimized))
        w->setWindowState((w->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
}

void Lifecycle::close(ManagedWindow &window)
{
    if (!window.m_open || window.m_closing)
        return;
    // QWidget::close() sends the close event, whose handler calls closingByPlatform(); the
    // two roads meet there so the close handler runs exactly once.
    window.widget()->close();
    if (window.m_open && !window.m_closing) {
        // The widget was already hidden, so no close event came: finish the close here.
        closingByPlatform(window);
    }
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
