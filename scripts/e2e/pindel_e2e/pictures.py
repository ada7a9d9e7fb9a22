"""Screen grabs and what is read from them: a grab as RGB rows, the pixels of a rectangle, how
far two rectangles differ, and where a window of one known colour stands.  Imports only the
process helpers (for HarnessError)."""

import re

from .processes import HarnessError


class Picture:
    """An RGB screen grab read from a binary PPM (P6), as ImageMagick writes it."""

    def __init__(self, blob):
        m = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", blob)
        if not m:
            raise HarnessError(f"not an 8-bit binary PPM: {blob[:20]!r}")
        self.width, self.height = int(m.group(1)), int(m.group(2))
        self.data = blob[m.end():m.end() + self.width * self.height * 3]
        if len(self.data) != self.width * self.height * 3:
            raise HarnessError("truncated PPM")

    def region(self, x, y, w, h):
        """The raw RGB rows of a rectangle, as one bytes value."""
        if x < 0 or y < 0 or x + w > self.width or y + h > self.height:
            raise HarnessError(f"region {x},{y} {w}x{h} lies outside the screen")
        return b"".join(self.data[(r * self.width + x) * 3:(r * self.width + x + w) * 3]
                        for r in range(y, y + h))


def difference(a, b):
    """Sum of absolute byte differences of two equally sized regions."""
    assert len(a) == len(b), "comparing regions of different sizes"
    return sum(abs(p - q) for p, q in zip(a, b))


def colour_box(shot, colour):
    """(x, y, width, height) of the rectangle spanned by every pixel of exactly `colour` in the
    grab `shot`; None when no pixel has it."""
    colour, stride = bytes(colour), shot.width * 3
    left, right, top, bottom = shot.width, -1, None, None
    for y in range(shot.height):
        row = shot.data[y * stride:(y + 1) * stride]
        first = row.find(colour)
        while first > 0 and first % 3:  # a match across two pixels is no pixel
            first = row.find(colour, first + 1)
        if first < 0:
            continue
        last = row.rfind(colour)
        while last % 3:
            last = row.rfind(colour, 0, last + 2)
        left, right = min(left, first // 3), max(right, last // 3)
        top, bottom = y if top is None else top, y
    return None if top is None else (left, top, right - left + 1, bottom - top + 1)


def find_area(shot, area):
    """Top-left corner, in screen pixels, of the window that `area` describes in the grab
    `shot`: the corner of the rectangle its colour spans, when that rectangle has its size;
    None otherwise (not shown, covered at an edge, or the colour shows somewhere else too)."""
    box = colour_box(shot, area[0])
    return box[:2] if box and box[2:] == tuple(area[1]) else None
