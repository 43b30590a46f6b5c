#!/usr/bin/env python3
"""Drops files onto an X window the way a file manager does (XDND, version 5).

    xdnd_drop.py WINDOW X Y FILE...

WINDOW is the X window id of the target, X and Y the drop point on the
screen. The files go as a text/uri-list. Wine turns such a drop onto a window
with WS_EX_ACCEPTFILES into WM_DROPFILES. Exits 0 when the target accepted
and finished the drop. Plain ctypes on libX11: nothing to install.
"""
import ctypes
import ctypes.util
import sys
import time
import urllib.parse

x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")

Window = Atom = Time = ctypes.c_ulong


class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", Window), ("message_type", Atom),
                ("format", ctypes.c_int), ("l", ctypes.c_long * 5)]


class SelectionRequest(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("owner", Window), ("requestor", Window),
                ("selection", Atom), ("target", Atom), ("property", Atom), ("time", Time)]


class Selection(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("requestor", Window), ("selection", Atom),
                ("target", Atom), ("property", Atom), ("time", Time)]


class Event(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("client", ClientMessage), ("request", SelectionRequest),
                ("selection", Selection), ("pad", ctypes.c_long * 24)]


SELECTION_REQUEST, SELECTION_NOTIFY, CLIENT_MESSAGE = 30, 31, 33
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XDefaultRootWindow.restype = Window
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XCreateSimpleWindow.restype = Window
x11.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, Window] + [ctypes.c_int] * 2 + \
    [ctypes.c_uint] * 3 + [ctypes.c_ulong] * 2
x11.XInternAtom.restype = Atom
x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x11.XSetSelectionOwner.argtypes = [ctypes.c_void_p, Atom, Window, Time]
x11.XSendEvent.argtypes = [ctypes.c_void_p, Window, ctypes.c_int, ctypes.c_long, ctypes.POINTER(Event)]
x11.XChangeProperty.argtypes = [ctypes.c_void_p, Window, Atom, Atom, ctypes.c_int, ctypes.c_int,
                                ctypes.c_char_p, ctypes.c_int]
x11.XPending.argtypes = [ctypes.c_void_p]
x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(Event)]
x11.XFlush.argtypes = [ctypes.c_void_p]


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
        event.client.type = CLIENT_MESSAGE
        event.client.window = target
        event.client.message_type = atom(name)
        event.client.format = 32
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
                r = event.request
                reply = Event()
                reply.selection.type = SELECTION_NOTIFY
                reply.selection.requestor, reply.selection.selection = r.requestor, r.selection
                reply.selection.target, reply.selection.time = r.target, r.time
                reply.selection.property = 0
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
