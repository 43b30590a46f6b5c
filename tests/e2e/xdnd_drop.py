#!/usr/bin/env python3
# Drops files onto an X window the way a file manager does (XDND, version 5).
#
#     xdnd_drop.py WINDOW X Y FILE...
#
# WINDOW is the X window id of the target, X and Y the drop point on the
# screen. The files go as a text/uri-list. Wine turns such a drop onto a
# window with WS_EX_ACCEPTFILES into WM_DROPFILES. Exits 0 when the target
# accepted and finished the drop. Plain ctypes on libX11: nothing to install.
import ctypes, ctypes.util, sys, time, urllib.parse
from ctypes import c_char_p, c_int, c_long, c_uint, c_ulong, c_void_p

x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
Window = Atom = Time = c_ulong
HEAD = [("type", c_int), ("serial", c_ulong), ("send_event", c_int), ("display", c_void_p)]


class ClientMessage(ctypes.Structure):
    _fields_ = HEAD + [("window", Window), ("message_type", Atom), ("format", c_int), ("l", c_long * 5)]


class SelectionRequest(ctypes.Structure):
    _fields_ = HEAD + [("owner", Window), ("requestor", Window), ("selection", Atom), ("target", Atom),
                       ("property", Atom), ("time", Time)]


class Selection(ctypes.Structure):
    _fields_ = HEAD + [("requestor", Window), ("selection", Atom), ("target", Atom), ("property", Atom),
                       ("time", Time)]


class Event(ctypes.Union):
    _fields_ = [("type", c_int), ("client", ClientMessage), ("request", SelectionRequest),
                ("selection", Selection), ("pad", c_long * 24)]


SELECTION_REQUEST, SELECTION_NOTIFY, CLIENT_MESSAGE = 30, 31, 33
EVENT = ctypes.POINTER(Event)
for name, result, arguments in [
        ("XOpenDisplay", c_void_p, [c_char_p]), ("XDefaultRootWindow", Window, [c_void_p]),
        ("XCreateSimpleWindow", Window, [c_void_p, Window] + [c_int] * 2 + [c_uint] * 3 + [c_ulong] * 2),
        ("XInternAtom", Atom, [c_void_p, c_char_p, c_int]),
        ("XSetSelectionOwner", c_int, [c_void_p, Atom, Window, Time]),
        ("XSendEvent", c_int, [c_void_p, Window, c_int, c_long, EVENT]),
        ("XChangeProperty", c_int, [c_void_p, Window, Atom, Atom, c_int, c_int, c_char_p, c_int]),
        ("XPending", c_int, [c_void_p]), ("XNextEvent", c_int, [c_void_p, EVENT]), ("XFlush", c_int, [c_void_p])]:
    getattr(x11, name).restype, getattr(x11, name).argtypes = result, arguments


def main():
    target, x, y = int(sys.argv[1], 0), int(sys.argv[2]), int(sys.argv[3])
    uris = "".join("file://" + urllib.parse.quote(f) + "\r\n" for f in sys.argv[4:]).encode()
    display = x11.XOpenDisplay(None)
    if not display:
        sys.exit("xdnd_drop: cannot open the display")
    atom = lambda name: x11.XInternAtom(display, name.encode(), 0)
    uri_list, selection = atom("text/uri-list"), atom("XdndSelection")
    source = x11.XCreateSimpleWindow(display, x11.XDefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0)
    x11.XSetSelectionOwner(display, selection, source, 0)

    def send(name, *data):
        event = Event()
        event.client.type, event.client.window, event.client.format = CLIENT_MESSAGE, target, 32
        event.client.message_type = atom(name)
        event.client.l[:] = [source] + list(data)
        x11.XSendEvent(display, target, 0, 0, ctypes.byref(event))
        x11.XFlush(display)

    # Answers requests for the data until the target sends `wanted` back.
    def serve_until(wanted, seconds=10):
        deadline = time.monotonic() + seconds
        event = Event()
        while time.monotonic() < deadline:
            if not x11.XPending(display):
                time.sleep(0.01)
                continue
            x11.XNextEvent(display, ctypes.byref(event))
            if event.type == SELECTION_REQUEST:
                r, reply = event.request, Event()
                reply.selection.type, reply.selection.requestor, reply.selection.selection = \
                    SELECTION_NOTIFY, r.requestor, r.selection
                reply.selection.target, reply.selection.time, reply.selection.property = r.target, r.time, 0
                if r.target == uri_list:
                    x11.XChangeProperty(display, r.requestor, r.property, uri_list, 8, 0, uris, len(uris))
                    reply.selection.property = r.property
                x11.XSendEvent(display, r.requestor, 0, 0, ctypes.byref(reply))
                x11.XFlush(display)
            elif event.type == CLIENT_MESSAGE and event.client.message_type == atom(wanted):
                return event.client
        sys.exit("xdnd_drop: no %s from the target" % wanted)

    send("XdndEnter", 5 << 24, uri_list, 0, 0)
    send("XdndPosition", 0, (x << 16) | y, 0, atom("XdndActionCopy"))
    if not serve_until("XdndStatus").l[1] & 1:
        send("XdndLeave", 0, 0, 0, 0)
        sys.exit("xdnd_drop: the target refused the drop")
    send("XdndDrop", 0, 0, 0, 0)
    serve_until("XdndFinished")


if __name__ == "__main__":
    main()
