#!/usr/bin/env python3
"""A serial line that echoes what it is sent, for the port tests under Wine.

Usage: line-echo.py LINK

Makes a pseudo-terminal and points LINK at it (for instance a COM port of a
Wine prefix: $WINEPREFIX/dosdevices/com6). Every byte written to the port comes
back, except the hang-up request (7F "HANG-UP" 7F): then the line hangs up, as a
pulled cable would, and a new one is put in its place under the same link.
Runs until it is killed.
"""
import os
import pty
import select
import sys
import tty

HANG_UP = b"\x7fHANG-UP\x7f"


def publish(link, target):
    # Renamed into place, so an opener never finds the link missing.
    temporary = link + ".new"
    if os.path.lexists(temporary):
        os.unlink(temporary)
    os.symlink(target, temporary)
    os.replace(temporary, link)


def serve(link):
    master, slave = pty.openpty()
    tty.setraw(slave)
    # The slave stays open here too, so the master reads nothing odd while the
    # port is closed between tests.
    publish(link, os.ttyname(slave))
    recent = b""
    try:
        while True:
            select.select([master], [], [])
            data = os.read(master, 4096)
            recent = (recent + data)[-2 * len(HANG_UP):]
            if HANG_UP in recent:
                return
            os.write(master, data)
    finally:
        os.close(master)
        os.close(slave)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    while True:
        serve(sys.argv[1])


if __name__ == "__main__":
    main()
