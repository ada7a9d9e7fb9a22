#pragma once
// The window lifecycle: how any of the program's windows is opened, closed and restarted,
// and how the program ends.  It works on windows through ManagedWindow only, so it knows
// none of them by name.
//
// A window is either closed (hidden; its own variables keep their values) or open (its
// controls are as designed and its load handler has run).  Each window object lives for the
// whole run; "closing" hides it and resets nothing, "opening" puts its controls back to the
// design and runs its load handler, so every opening behaves like the first one.  No widget
// is ever destroyed, which matters because a restart runs inside the board's own handlers.
//
// A window that is not there from the start is reached through a LazyWindow: it is made the
// first time it is opened, then kept for the rest of the run.  Before that it counts as
// closed, so closing it or restoring it does nothing and makes nothing.

#include <functional>
#include <memory>

class QCloseEvent;
class QWidget;

namespace pindel {

class ManagedWindow {
public:
    virtual ~ManagedWindow();

    virtual QWidget *widget() = 0;
    // Puts every control back to the window's design (captions, pictures, list contents).
    virtual void resetToDesign() = 0;
    // The load handler: runs after resetToDesign, before the window becomes visible.
    virtual void load() = 0;
    // The close handler: runs when the window is about to close, for any reason.
    virtual void unload() {}

    bool isOpen() const { return m_open; }

private:
    friend class Lifecycle;
    bool m_open = false;
    bool m_closing = false;
};

// The one instance of a window that is made on its first opening.  Whoever holds the
// LazyWindow can open the window without knowing its class; only the factory knows it.
class LazyWindow {
public:
    using Factory = std::function<std::unique_ptr<ManagedWindow>()>;

    explicit LazyWindow(Factory make);
    ~LazyWindow();
    LazyWindow(const LazyWindow &) = delete;
    LazyWindow &operator=(const LazyWindow &) = delete;

    // The window, made now (and registered for "end on last close") if it does not exist.
    ManagedWindow &get();
    // The window, or null while it has never been opened.
    ManagedWindow *existing() const { return m_window.get(); }
    bool isOpen() const { return m_window && m_window->isOpen(); }

private:
    Factory m_make;
    std::unique_ptr<ManagedWindow> m_window;
};

// The lifecycle operations.  All static: there is one program.
class Lifecycle {
public:
    // Opens a closed window (design, then load handler), then shows it as an independent,
    // non-modal window and brings it to the front.  On an open window only the second half
    // happens.
    static void show(ManagedWindow &window);
    static void show(LazyWindow &window);
    // Restores a minimised window; a window in the normal state is left alone.
    static void setNormal(ManagedWindow &window);
    static void setNormal(LazyWindow &window);
    // Closes an open window: its close handler runs, then it disappears.  Nothing happens
    // for a closed window or one that is already closing.
    static void close(ManagedWindow &window);
    static void close(LazyWindow &window);
    // Closes the board and shows it again: a fresh set-up in place.
    static void restart(ManagedWindow &window);
    // Ends the program at once: no close handler runs, nothing more is handled.
    static void endProgram(int code = 0);
    // Whether endProgram() has been called; after it no window opens again.
    static bool hasEnded();
    // Test programs end many "programs" in one process: this forgets an earlier end.
    static void resetEndForTesting();
    // What ending finally calls; QCoreApplication::exit unless a test puts a recorder in
    // its place (exit() would make every later modal exec() in the process return at once).
    using ExitFunction = void (*)(int code);
    static void setExitFunctionForTesting(ExitFunction exitFunction);

    // Where every close ends up: close() calls it, and so must a window's closeEvent when
    // the platform (close box, window manager, session end) closes it.  Runs the close
    // handler once, marks the window closed and hides it.  Returns false when the window was
    // already closed or closing, so the event can be ignored.
    static bool closingByPlatform(ManagedWindow &window);
    // Every window's closeEvent: the close goes through closingByPlatform, and the event is
    // accepted unless the window is in the middle of closing already, when a second request
    // changes nothing.
    static void closeRequested(ManagedWindow &window, QCloseEvent *event);

    // Registers a window for "end on last close": when no registered window is open any
    // more, the program ends.  The check is deferred to the event loop, so a restart that
    // closes and reopens the only open window does not end the program.
    static void track(ManagedWindow &window);
    static int openCount();

private:
    static void scheduleLastCloseCheck();
};

} // namespace pindel
