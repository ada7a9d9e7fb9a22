"""The real-desktop test harness: the real program on a private Xvfb display managed by
openbox (or on weston nested in it, or under Wine), driven by real input.  Scenarios import
the modules they need; each module imports only those below it:

  processes        children that die with us, bounded waits, HarnessError, log
  constants        what the program shows: titles, sizes, control positions, the board's holes
  board            hole geometry, the solution window's numbering, the jump rule, the solution
  keyboard         the keyboard cursor's moves, as a player at the keys sees them
  pictures         screen grabs, regions, a window found by its colour
  xclient          a small X client of our own (panel, background, stand-in window manager)
  desktop_x11      Desktop: Xvfb + openbox, xdotool input, window lookup, screenshots
  desktop_wayland  WaylandDesktop: weston nested in the X11 desktop
  wine_prefix      WinePrefix: a fresh prefix, silent install, Start-menu shortcut
  desktop_wine     WineDesktop: Windows programs under Wine on the X11 desktop
  desktop_windows  WindowsDesktop: the Windows build installed into a prefix of its own
  game             playing a game: open the board, read the pegs, drag moves, end at a box
  runner           desktop_for (which desktop a program needs) and run_main (a script's entry)

Standard library only; the tools come from Debian (scripts/install-deps)."""
