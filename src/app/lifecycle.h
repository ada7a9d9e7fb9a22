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

// The lifecycle operations.  All static: there is one program.
class Lifecycle {
public:
    // Opens a closed window (design, then load handler), then shows it as an independent,
    // non-modal window and brings it to the front.  On an open window only the second half
    // happens.
    static void show(ManagedWindow &window);
    // Restores a minimised window; a window in the normal state is left alone.
    static void setNormal(ManagedWindow &window);
    // Closes an open window: its close handler runs, then it disappears.  Nothing happens
    // for a closed window or one that is already closing.
    static void close(ManagedWindow &window);
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

    // Registers a window for "end on last close": when no registered window is open any
    // more, the program ends.  The check is deferred to the event loop, so a restart that
    // closes and reopens the only open window does not end the program.
    static void track(ManagedWindow &window);
    static int openCount();

private:
    static void scheduleLastCloseCheck();
};

} // namespace pindel
