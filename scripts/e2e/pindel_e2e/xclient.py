"""A small X client of the test's own, through libxcb and ctypes (no Python X library is
needed): it puts on the private display the windows a real desktop has (a panel that reserves
a strip of the screen, the desktop's background window) and, when no window manager runs, can
stand in for one that only maps what it is asked to map and writes down every request to
iconify a window."""

import ctypes
import select
import time

WINDOW_CLASS_INPUT_OUTPUT = 1
CW_BACK_PIXEL = 2
CW_EVENT_MASK = 2048
EVENT_MASK_SUBSTRUCTURE_NOTIFY = 1 << 19
EVENT_MASK_SUBSTRUCTURE_REDIRECT = 1 << 20
PROP_MODE_REPLACE = 0
ATOM_ATOM, ATOM_CARDINAL, ATOM_STRING, ATOM_WINDOW, ATOM_WM_NAME = 4, 6, 31, 33, 39
ATOM_WM_NORMAL_HINTS, ATOM_WM_SIZE_HINTS = 40, 41
US_POSITION, US_SIZE = 1, 2
MAP_REQUEST, CONFIGURE_REQUEST, CLIENT_MESSAGE = 20, 23, 33
ICONIC_STATE = 3


class _Screen(ctypes.Structure):
    _fields_ = [("root", ctypes.c_uint32), ("default_colormap", ctypes.c_uint32),
                ("white_pixel", ctypes.c_uint32), ("black_pixel", ctypes.c_uint32),
                ("current_input_masks", ctypes.c_uint32), ("width", ctypes.c_uint16),
                ("height", ctypes.c_uint16), ("width_mm", ctypes.c_uint16), ("height_mm", ctypes.c_uint16),
                ("min_installed_maps", ctypes.c_uint16), ("max_installed_maps", ctypes.c_uint16),
                ("root_visual", ctypes.c_uint32), ("backing_stores", ctypes.c_uint8),
                ("save_unders", ctypes.c_uint8), ("root_depth", ctypes.c_uint8),
                ("allowed_depths_len", ctypes.c_uint8)]


class _ScreenIterator(ctypes.Structure):
    _fields_ = [("data", ctypes.POINTER(_Screen)), ("rem", ctypes.c_int), ("index", ctypes.c_int)]


class _Cookie(ctypes.Structure):
    _fields_ = [("sequence", ctypes.c_uint)]


class _AtomReply(ctypes.Structure):
    _fields_ = [("response_type", ctypes.c_uint8), ("pad0", ctypes.c_uint8), ("sequence", ctypes.c_uint16),
                ("length", ctypes.c_uint32), ("atom", ctypes.c_uint32)]


class _Event(ctypes.Structure):
    """The first 32 bytes of any event.  Field names follow the events read here: a map
    request (parent, window), a configure request (parent, window, x, y, w, h) and a client
    message (window, type, data)."""
    _fields_ = [("response_type", ctypes.c_uint8), ("detail", ctypes.c_uint8), ("sequence", ctypes.c_uint16),
                ("word1", ctypes.c_uint32), ("word2", ctypes.c_uint32), ("word3", ctypes.c_uint32),
                ("word4", ctypes.c_uint32), ("word5", ctypes.c_uint32), ("word6", ctypes.c_uint32),
                ("word7", ctypes.c_uint32)]


class _Error(ctypes.Structure):
    _fields_ = [("response_type", ctypes.c_uint8), ("error_code", ctypes.c_uint8)]


def _library():
    xcb = ctypes.CDLL("libxcb.so.1")
    p, u8, u16, u32, i16 = ctypes.c_void_p, ctypes.c_uint8, ctypes.c_uint16, ctypes.c_uint32, ctypes.c_int16
    xcb.xcb_connect.restype = p
    xcb.xcb_connect.argtypes = [ctypes.c_char_p, p]
    xcb.xcb_connection_has_error.argtypes = [p]
    xcb.xcb_get_setup.restype = p
    xcb.xcb_get_setup.argtypes = [p]
    xcb.xcb_setup_roots_iterator.restype = _ScreenIterator
    xcb.xcb_setup_roots_iterator.argtypes = [p]
    xcb.xcb_generate_id.restype = u32
    xcb.xcb_generate_id.argtypes = [p]
    xcb.xcb_create_window.restype = _Cookie
    xcb.xcb_create_window.argtypes = [p, u8, u32, u32, i16, i16, u16, u16, u16, u16, u32, u32, p]
    xcb.xcb_intern_atom.restype = _Cookie
    xcb.xcb_intern_atom.argtypes = [p, u8, u16, ctypes.c_char_p]
    xcb.xcb_intern_atom_reply.restype = ctypes.POINTER(_AtomReply)
    xcb.xcb_intern_atom_reply.argtypes = [p, _Cookie, p]
    xcb.xcb_change_property.restype = _Cookie
    xcb.xcb_change_property.argtypes = [p, u8, u32, u32, u32, u8, u32, p]
    xcb.xcb_change_window_attributes_checked.restype = _Cookie
    xcb.xcb_change_window_attributes_checked.argtypes = [p, u32, u32, p]
    xcb.xcb_request_check.restype = ctypes.POINTER(_Error)
    xcb.xcb_request_check.argtypes = [p, _Cookie]
    xcb.xcb_map_window.restype = _Cookie
    xcb.xcb_map_window.argtypes = [p, u32]
    xcb.xcb_configure_window.restype = _Cookie
    xcb.xcb_configure_window.argtypes = [p, u32, u16, p]
    xcb.xcb_flush.argtypes = [p]
    xcb.xcb_get_file_descriptor.argtypes = [p]
    xcb.xcb_poll_for_event.restype = ctypes.POINTER(_Event)
    xcb.xcb_poll_for_event.argtypes = [p]
    xcb.xcb_disconnect.argtypes = [p]
    return xcb


class XClient:
    def __init__(self, display):
        self._xcb = _library()
        self._libc = ctypes.CDLL(None)
        self._libc.free.argtypes = [ctypes.c_void_p]
        self._conn = self._xcb.xcb_connect(display.encode(), None)
        if not self._conn or self._xcb.xcb_connection_has_error(self._conn):
            raise AssertionError(f"cannot connect to {display}")
        self._screen = self._xcb.xcb_setup_roots_iterator(self._xcb.xcb_get_setup(self._conn)).data.contents
        self.root = self._screen.root
        self.size = (self._screen.width, self._screen.height)
        self.iconify_requests = []   # windows someone asked to iconify, in order
        self.mapped = []             # windows mapped at their request (stand-in manager)

    def close(self):
        if self._conn:
            self._xcb.xcb_disconnect(self._conn)
            self._conn = None

    def atom(self, name):
        reply = self._xcb.xcb_intern_atom_reply(
            self._conn, self._xcb.xcb_intern_atom(self._conn, 0, len(name), name.encode()), None)
        value = reply.contents.atom
        self._libc.free(reply)
        return value

    def set_property(self, window, name, kind, values, fmt=32):
        if fmt == 8:
            data = bytes(values)
            buffer = ctypes.create_string_buffer(data, len(data))
            count = len(data)
        else:
            buffer = (ctypes.c_uint32 * len(values))(*values)
            count = len(values)
        self._xcb.xcb_change_property(self._conn, PROP_MODE_REPLACE, window, self.atom(name) if isinstance(name, str) else name,
                                      kind, fmt, count, buffer)
        self._xcb.xcb_flush(self._conn)

    def window(self, geometry, kind, title, strut=None):
        """Maps a window of the given _NET_WM_WINDOW_TYPE (NORMAL, DOCK, DESKTOP...), with a
        reserved strip `strut` = (left, right, top, bottom) of the screen; returns its id."""
        x, y, w, h = geometry
        wid = self._xcb.xcb_generate_id(self._conn)
        values = (ctypes.c_uint32 * 1)(self._screen.white_pixel)
        self._xcb.xcb_create_window(self._conn, 0, wid, self.root, x, y, w, h, 0, WINDOW_CLASS_INPUT_OUTPUT,
                                    self._screen.root_visual, CW_BACK_PIXEL, values)
        self.set_property(wid, "_NET_WM_WINDOW_TYPE", ATOM_ATOM, [self.atom("_NET_WM_WINDOW_TYPE_" + kind)])
        self.set_property(wid, ATOM_WM_NAME, ATOM_STRING, title.encode(), fmt=8)
        # Placed where it was created, as a panel places itself, not where the manager likes.
        self.set_property(wid, ATOM_WM_NORMAL_HINTS, ATOM_WM_SIZE_HINTS,
                          [US_POSITION | US_SIZE, x, y, w, h] + [0] * 13)
        if strut:
            left, right, top, bottom = strut
            sw, sh = self.size
            partial = [left, right, top, bottom, 0, sh - 1 if left else 0, 0, sh - 1 if right else 0,
                       0, sw - 1 if top else 0, 0, sw - 1 if bottom else 0]
            self.set_property(wid, "_NET_WM_STRUT_PARTIAL", ATOM_CARDINAL, partial)
            self.set_property(wid, "_NET_WM_STRUT", ATOM_CARDINAL, [left, right, top, bottom])
        self._xcb.xcb_map_window(self._conn, wid)
        self._xcb.xcb_flush(self._conn)
        return wid

    # --- standing in for a window manager --------------------------------------------------

    def manage(self, clients):
        """Takes the root window's redirection, as a window manager does (fails if one runs),
        and lists `clients` in _NET_CLIENT_LIST."""
        mask = (ctypes.c_uint32 * 1)(EVENT_MASK_SUBSTRUCTURE_REDIRECT | EVENT_MASK_SUBSTRUCTURE_NOTIFY)
        error = self._xcb.xcb_request_check(
            self._conn, self._xcb.xcb_change_window_attributes_checked(self._conn, self.root, CW_EVENT_MASK, mask))
        if error:
            self._libc.free(error)
            raise AssertionError("another window manager holds the display")
        self.set_property(self.root, "_NET_CLIENT_LIST", ATOM_WINDOW, clients)
        self._change_state = self.atom("WM_CHANGE_STATE")

    def serve(self, seconds):
        """For `seconds`, grants every map and configure request and writes down every
        request to iconify a window."""
        deadline = time.monotonic() + seconds
        fd = self._xcb.xcb_get_file_descriptor(self._conn)
        while True:
            event = self._xcb.xcb_poll_for_event(self._conn)
            if event:
                e = event.contents
                kind = e.response_type & 0x7F
                if kind == MAP_REQUEST:
                    self._xcb.xcb_map_window(self._conn, e.word2)
                    self.mapped.append(e.word2)
                elif kind == CONFIGURE_REQUEST:
                    # window, then x, y (16 bits each), width, height, border, sibling, mask
                    window = e.word2
                    x, y = e.word4 & 0xFFFF, e.word4 >> 16
                    w, h = e.word5 & 0xFFFF, e.word5 >> 16
                    values = (ctypes.c_uint32 * 4)(ctypes.c_int16(x).value & 0xFFFFFFFF,
                                                   ctypes.c_int16(y).value & 0xFFFFFFFF, w, h)
                    self._xcb.xcb_configure_window(self._conn, window, 0x1 | 0x2 | 0x4 | 0x8, values)
                elif kind == CLIENT_MESSAGE and e.word2 == self._change_state and e.word3 == ICONIC_STATE:
                    self.iconify_requests.append(e.word1)
                self._libc.free(event)
                self._xcb.xcb_flush(self._conn)
                continue
            left = deadline - time.monotonic()
            if left <= 0:
                return
            select.select([fd], [], [], min(left, 0.05))
