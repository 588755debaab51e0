#!/usr/bin/env python3
"""The interactive tabrik under a pseudo-terminal: the sample dialog is worked with the
keyboard on the terminal driver's screen, and what the dialog returns is checked.

usage: terminal_dialog.py TABRIK WORKDIR
"""
import fcntl
import os
import pty
import select
import struct
import sys
import termios
import time

# The keys as xterm sends them in keypad (application) mode, which curses turns on.
DOWN, RIGHT, TAB, ENTER, ESC, BACKSPACE = "\x1bOB", "\x1bOC", "\t", "\r", "\x1b", "\x7f"


class Session:
    def __init__(self, tabrik, work):
        pid, fd = pty.fork()
        if pid == 0:
            fcntl.ioctl(sys.stdout.fileno(), termios.TIOCSWINSZ, struct.pack("HHHH", 40, 120, 0, 0))
            os.environ["TERM"] = "xterm"
            os.chdir(work)
            os.execv(tabrik, [tabrik, "--quiet", "--no-module", "--registry", os.path.join(work, "registry")])
        self.pid, self.fd, self.seen = pid, fd, b""

    def read_until(self, text, timeout=30):
        wanted = text.encode()
        start = len(self.seen)
        deadline = time.monotonic() + timeout
        while wanted not in self.seen[start:]:
            left = deadline - time.monotonic()
            if left <= 0:
                raise SystemExit(f"timed out waiting for {text!r}; the terminal showed:\n"
                                 + self.seen[-3000:].decode(errors="replace"))
            ready, _, _ = select.select([self.fd], [], [], left)
            if ready:
                try:
                    chunk = os.read(self.fd, 65536)
                except OSError:
                    chunk = b""
                if not chunk:
                    raise SystemExit(f"tabrik ended before {text!r}:\n" + self.seen[-3000:].decode(errors="replace"))
                self.seen += chunk

    def keys(self, *sequence):
        # Each key on its own, slower than the driver's Escape delay, so that an Escape
        # alone is not read as the start of an arrow key.
        for key in sequence:
            os.write(self.fd, key.encode())
            time.sleep(0.08)

    def mark(self):
        return len(self.seen)

    def since(self, mark):
        return self.seen[mark:].decode(errors="replace")


def main():
    tabrik, work = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    os.makedirs(work, exist_ok=True)
    s = Session(tabrik, work)
    s.read_until("Command: ")
    s.keys("(host:sample-dialog)" + ENTER)
    s.read_until("Esc: cancel")
    # Name, Notes, Urgent (tick), Colour (next item), then on to the grid: second row,
    # the Qty column, edit the cell; then to OK and press it.
    s.keys(*"Ada", TAB, TAB, " ", TAB, DOWN, TAB, TAB, TAB, TAB, DOWN, DOWN, RIGHT, ENTER)
    s.read_until("Qty: ")
    s.keys(BACKSPACE, "9", ENTER, TAB, TAB)
    mark = s.mark()
    s.keys(ENTER)
    s.read_until("Command: ")
    expected = '("Ada" "" T "Green" "" "" nil (("Bolt" "12" "1" "Pipe" "1" "...") ("Anchor" "9" "0" "Duct" "2" "...")))'
    if expected not in s.since(mark):
        raise SystemExit("the dialog returned something else:\n" + s.since(mark))

    # Escape cancels; the run is recorded as cancelled.
    s.keys("(host:dialogs)" + ENTER)
    s.read_until("Command: ")
    s.keys("(host:sample-dialog)" + ENTER)
    s.read_until("Esc: cancel")
    s.keys(ESC)
    s.read_until("Command: ")
    mark = s.mark()
    s.keys('(mapcar (quote caddr) (host:dialogs))' + ENTER)
    s.read_until("Command: ")
    if "(2)" not in s.since(mark):
        raise SystemExit("Escape did not cancel:\n" + s.since(mark))
    os.write(s.fd, b"\x04")
    _, status = os.waitpid(s.pid, 0)
    print("terminal dialog: ok")


if __name__ == "__main__":
    main()
