"""What the program shows, as the scenarios expect to find it: window titles, the windows'
sizes, where on them the controls stand (client-area pixels at scale 1), the board's holes,
the winners file's name and first line, and the name the scenarios win with.  Values only,
written out as the program's design has them; imports nothing, so any module may use it."""

# --- the windows ------------------------------------------------------------------------

BOARD_TITLE = " Pindel.  Maberto."
PRESENTATION_TITLE = "Form1"
SOLUTION_TITLE = "Solución al Pindel. Maberto."
WIN_TITLE = "Lo ha conseguido"          # the name box after a win
LOSS_TITLE = " Le falto muy poco"       # the box after a loss
CREDITS_TITLE = "Datos del autor"

BOARD_SIZE = (600, 371)
PRESENTATION_SIZE = (483, 256)
SOLUTION_SIZE = (412, 294)              # 6180 x 4410 twips

# --- where the controls stand -----------------------------------------------------------

GESTURE_ARM = (12, 361)        # inside Label5 (0, 352, 25, 25)
GESTURE_OPEN = (592, 8)        # inside Label6 (584, 0, 17, 17)
NEW_GAME = (512, 168)          # Command2 (480, 152, 65, 33)
LEAVE = (512, 200)             # Command4 (480, 184, 65, 33)
PLAY = (363, 120)              # the presentation's Command1 (269, 80, 188, 81)
EXIT = (312, 204)              # the presentation's Command3 (272, 192, 81, 25)
CREDITS = (416, 204)           # the presentation's Command2 (376, 192, 81, 25)
# The two counters and the winners list, as drawn on the board's client area.
COUNTERS = [(24, 64, 81, 25), (264, 64, 81, 25)]
WINNERS_LIST = (360, 280, 225, 68)

# How a window of the program is found where it is no X window of ours (a Wayland client, drawn
# by the compositor into its output): a colour that only that window shows and that reaches
# every edge of its client area, and the size of the rectangle the colour spans.
BOARD_AREA = ((128, 128, 0), BOARD_SIZE)          # the board's olive background
SOLUTION_AREA = ((255, 224, 192), SOLUTION_SIZE)  # the solution window's background
PRESENTATION_AREA = ((255, 127, 0), (483, 1))     # the top row of the presentation's gradient

# --- the board ----------------------------------------------------------------------------

# A 7 x 7 grid whose holes are the cells (row, column) in rows 2..4 or columns 2..4; the hole
# in row r, column c is a 36 x 36 square at (23 + 48c, 24 + 48r) of the board's client area.
HOLE_ORIGIN = (23, 24)
HOLE_PITCH = 48
HOLE_SIDE = 36
CENTRE = (3, 3)
HOLE_CELLS = [(r, c) for r in range(7) for c in range(7) if 2 <= r <= 4 or 2 <= c <= 4]
START = frozenset(HOLE_CELLS) - {CENTRE}
# The solution window numbers the holes 1..32 in reading order, the centre left out.
NUMBERED_CELLS = {n: cell for n, cell in enumerate((c for c in HOLE_CELLS if c != CENTRE), 1)}

# The solution window's list of moves, one per line, as the program carries it (relative to
# the repository).
SOLUTION_TEXT = "src/ui/resources/solucion.txt"

# --- the winners file ---------------------------------------------------------------------

WINNERS_FILE = "001MpTa.cms"
PLACEHOLDER = b"Aun no lo ha logrado nadie\r\n"
WINNER = "José Núñez"   # the name the scenarios win with: accented letters on purpose
