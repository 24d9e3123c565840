#!/usr/bin/python3
"""Asks an X window to close, as a window manager does when the user clicks its close button."""
import sys

from Xlib import X, display, protocol


def main() -> int:
    window_id = int(sys.argv[1], 0)
    dpy = display.Display()
    window = dpy.create_resource_object("window", window_id)
    wm_protocols = dpy.intern_atom("WM_PROTOCOLS")
    wm_delete = dpy.intern_atom("WM_DELETE_WINDOW")
    event = protocol.event.ClientMessage(
        window=window, client_type=wm_protocols, data=(32, [wm_delete, X.CurrentTime, 0, 0, 0])
    )
    window.send_event(event, event_mask=X.NoEventMask)
    # Wait until the server has handled the request: closing the connection right after a flush lost
    # the request about one time in six, and the window never learned it was to close.
    dpy.sync()
    dpy.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
