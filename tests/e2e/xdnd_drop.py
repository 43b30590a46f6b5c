#!/usr/bin/env python3
# xdnd_drop.py WINDOW X Y FILE...: drops the files as a text/uri-list on the X window WINDOW at the
# screen point X,Y, the way a file manager does (XDND version 5); Wine makes that WM_DROPFILES for a
# window with WS_EX_ACCEPTFILES. Exits 0 when the target took and finished the drop. ctypes on libX11.
import ctypes, ctypes.util, sys, time, urllib.parse
from ctypes import c_char_p, c_int, c_long, c_uint, c_ulong, c_void_p

x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
# Each field of the events used here takes one long: type, serial, send_event, display, then
# ClientMessage: window, message_type, format, data[5]; SelectionRequest: owner, requestor,
# selection, target, property, time; SelectionNotify: requestor, selection, target, property, time.
Event = c_long * 24
SELECTION_REQUEST, SELECTION_NOTIFY, CLIENT_MESSAGE = 30, 31, 33
for name, result, arguments in [
        ("XOpenDisplay", c_void_p, [c_char_p]), ("XDefaultRootWindow", c_ulong, [c_void_p]),
        ("XCreateSimpleWindow", c_ulong, [c_void_p, c_ulong] + [c_int] * 2 + [c_uint] * 3 + [c_ulong] * 2),
        ("XInternAtom", c_ulong, [c_void_p, c_char_p, c_int]),
        ("XSetSelectionOwner", c_int, [c_void_p, c_ulong, c_ulong, c_ulong]),
        ("XSendEvent", c_int, [c_void_p, c_ulong, c_int, c_long, ctypes.POINTER(Event)]),
        ("XChangeProperty", c_int, [c_void_p, c_ulong, c_ulong, c_ulong, c_int, c_int, c_char_p, c_int]),
        ("XPending", c_int, [c_void_p]), ("XNextEvent", c_int, [c_void_p, ctypes.POINTER(Event)]),
        ("XFlush", c_int, [c_void_p])]:
    getattr(x11, name).restype, getattr(x11, name).argtypes = result, arguments

target, x, y = int(sys.argv[1], 0), int(sys.argv[2]), int(sys.argv[3])
uris = "".join("file://" + urllib.parse.quote(f) + "\r\n" for f in sys.argv[4:]).encode()
display = x11.XOpenDisplay(None) or sys.exit("xdnd_drop: cannot open the display")
atom = lambda name: x11.XInternAtom(display, name.encode(), 0)
uri_list = atom("text/uri-list")
source = x11.XCreateSimpleWindow(display, x11.XDefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0)
x11.XSetSelectionOwner(display, atom("XdndSelection"), source, 0)


def send(window, kind, *fields):  # the fields after display
    x11.XSendEvent(display, window, 0, 0, Event(kind, 0, 0, 0, *fields))
    x11.XFlush(display)


def message(name, *data):
    send(target, CLIENT_MESSAGE, target, atom(name), 32, source, *data)


def serve_until(wanted):  # answers requests for the data until the target sends `wanted`: its data
    deadline, event = time.monotonic() + 10, Event()
    while time.monotonic() < deadline:
        if not x11.XPending(display):
            time.sleep(0.01)
            continue
        x11.XNextEvent(display, event)
        if event[0] & 0xFFFFFFFF == SELECTION_REQUEST:
            requestor, selection, kind, prop, when = event[5:10]
            if kind == uri_list:
                x11.XChangeProperty(display, requestor, prop, uri_list, 8, 0, uris, len(uris))
            send(requestor, SELECTION_NOTIFY, requestor, selection, kind, prop if kind == uri_list else 0, when)
        elif event[0] & 0xFFFFFFFF == CLIENT_MESSAGE and event[5] == atom(wanted):
            return event[7:12]
    sys.exit("xdnd_drop: no %s from the target" % wanted)


message("XdndEnter", 5 << 24, uri_list, 0, 0)
message("XdndPosition", 0, (x << 16) | y, 0, atom("XdndActionCopy"))
if not serve_until("XdndStatus")[1] & 1:
    message("XdndLeave", 0, 0, 0, 0)
    sys.exit("xdnd_drop: the target refused the drop")
message("XdndDrop", 0, 0, 0, 0)
serve_until("XdndFinished")
