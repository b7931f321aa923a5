#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Plays the real game with real key presses (xdotool) while GNOME's screen
reader Orca runs beside it, and checks what a player sees (the window read
through AT-SPI, a screenshot) and what a blind player hears (Orca's own log
of what it sent to speech).

Usage: desktop_session.sh python3 e2e_game.py path/to/brunilla
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

import pyatspi

GAME = os.path.abspath(sys.argv[1])
TITLE = "Gioca con la Brunilla"
WORK = tempfile.mkdtemp(prefix="brunilla-e2e-")
failures = []

# Orca as /usr/bin/orca starts it, without the wrapper, which would replace
# any Orca the user already runs; a debug log shows what it decided to say.
ORCA = r"""
import sys
from orca import debug
debug.debugLevel = debug.LEVEL_INFO
debug.debugFile = open(sys.argv[1], "w", buffering=1)
from orca import orca, settings_manager
manager = (getattr(settings_manager, "get_manager", None) or settings_manager.getManager)()
manager.activate(sys.argv[2], {"enableBraille": False})
sys.path.insert(0, (getattr(manager, "get_prefs_dir", None) or manager.getPrefsDir)())
sys.exit(orca.main())
"""


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what, flush=True)
    if not condition:
        failures.append(what)
    return condition


def wait_for(predicate, what, timeout=15.0):
    end = time.time() + timeout
    while time.time() < end:
        value = predicate()
        if value:
            return value
        time.sleep(0.1)
    raise SystemExit("timed out waiting for " + what)


def xdotool(*args):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True).stdout.strip()


def key(*keys):
    xdotool("key", "--delay", "60", *keys)
    time.sleep(0.4)


def type_text(text):
    xdotool("type", "--delay", "60", text)
    time.sleep(0.3)


def windows_titled(title):
    return [i for i in xdotool("search", "--onlyvisible", "--name", ".").split()
            if xdotool("getwindowname", i) == title]


class Orca:
    """Orca with a speech-dispatcher of its own that speaks into ALSA's null device."""

    def __init__(self):
        for d in ("rt", "config", "cache"):
            os.makedirs(os.path.join(WORK, d), mode=0o700)
        os.environ.update(XDG_RUNTIME_DIR=os.path.join(WORK, "rt"), XDG_CONFIG_HOME=os.path.join(WORK, "config"),
                          XDG_CACHE_HOME=os.path.join(WORK, "cache"))
        conf = os.path.join(WORK, "speechd")
        shutil.copytree("/etc/speech-dispatcher", conf)
        with open(os.path.join(conf, "speechd.conf"), "a") as c:
            c.write('\nAudioOutputMethod "alsa"\nAudioALSADevice "null"\n')
        socket = os.path.join(WORK, "rt", "speechd.sock")
        os.environ["SPEECHD_ADDRESS"] = "unix_socket:" + socket
        quiet = {"stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL}
        self.procs = [subprocess.Popen(["speech-dispatcher", "-s", "-t", "0", "-c", "unix_socket", "-S", socket,
                                        "-C", conf, "-L", WORK], **quiet)]
        wait_for(lambda: os.path.exists(socket), "speech-dispatcher")
        self.log, self.seen = os.path.join(WORK, "orca.log"), 0
        self.procs.append(subprocess.Popen(["/usr/bin/python3", "-c", ORCA, self.log, os.path.join(WORK, "prefs")],
                                           **quiet))
        wait_for(lambda: re.search(r"ORCA: Starting (registry|Atspi main event loop)", self.text()),
                 "Orca", timeout=60)
        self.skip()

    def text(self):
        try:
            with open(self.log, encoding="utf-8", errors="replace") as f:
                return f.read()
        except FileNotFoundError:
            return ""

    def spoken(self):
        return re.findall(r"SPEECH OUTPUT: '(.*?)'", self.text())

    def skip(self):
        self.seen = len(self.spoken())

    def hears(self, expected, what):
        """Checks that Orca speaks the expected text, soon, after what it said before."""
        end = time.time() + 20
        while True:
            said = " ".join(self.spoken()[self.seen:])
            if expected in said or time.time() > end:
                self.skip()
                return check(expected in said, f"{what}: {said!r}")
            time.sleep(0.2)

    def stop(self):
        for p in self.procs:
            p.kill()


def client_area():
    """The game window's client area as AT-SPI shows it, or None."""
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "brunilla":
            for frame in app:
                if frame.getRoleName() == "frame":
                    for child in frame:
                        if child.getRoleName() == "filler":
                            return child
    return None


def named(client, prefix):
    """The text of the control whose accessible name begins with prefix, after it."""
    for child in client:
        if (child.name or "").startswith(prefix):
            return child.name[len(prefix):]
    raise SystemExit("nothing is named " + prefix)


def message(client):
    """The verdict line: the empty-or-not label at its layout place, 1680, 2040 twips."""
    origin = client.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    for child in client:
        place = child.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        if (place.x - origin.x, place.y - origin.y) == (112, 136):
            return child.name
    raise SystemExit("no verdict line")


def answer_box(client):
    box = [child for child in client if child.getRoleName() == "text"][0]
    return box.queryText().getText(0, -1)


def counters(client):
    return [named(client, "Risposte %s: " % which) for which in ("esatte", "errate", "totali")]


def pixels(window, points):
    shot = os.path.join(WORK, "window.png")
    subprocess.run(["import", "-window", window, shot], check=True)
    out = subprocess.run(["convert", shot, "-depth", "8", "txt:-"], capture_output=True, text=True).stdout
    menu = int(subprocess.run(["identify", "-format", "%h", shot], capture_output=True, text=True).stdout) - 554
    colour = {}
    for x, y, r, g, b in re.findall(r"^(\d+),(\d+): \((\d+),(\d+),(\d+)", out, re.M):
        colour[int(x), int(y)] = (int(r), int(g), int(b))
    return [colour[x, y + menu] for x, y in points]


def play(game, orca, records):
    # The name box, then the greeting, both before the window.
    name_box = wait_for(lambda: windows_titled("Brunilla"), "the name box")[0]
    check(not windows_titled(TITLE), "the window is not shown while the name is asked")
    type_text("Anna")
    key("Return")
    wait_for(lambda: [b for b in windows_titled("Brunilla") if b != name_box], "the greeting box")
    orca.hears("vediamo se sei un vero campione", "the greeting is spoken")
    check(not windows_titled(TITLE), "the window is not shown while the player is greeted")
    key("Return")

    window = wait_for(lambda: windows_titled(TITLE), "the main window")[0]
    client = wait_for(client_area, "the window's accessibility tree")
    factor = int(wait_for(lambda: named(client, "Secondo numero: "), "the first question"))
    orca.hears(f"8 per {factor}", "the first question is spoken")
    check(named(client, "Primo numero: ") == "8" and named(client, "Sfidante: ") == "Anna",
          "the first factor and the player's name are shown")
    column = pixels(window, [(780, 300), (780, 420), (780, 540)])
    check(all(r == g for r, g, _ in column) and column[0][2] < column[1][2] < column[2][2],
          f"a gradient with red equal to green and blue rising: {column}")

    type_text("ab -.")
    check(answer_box(client) == "", "letters, blanks and signs never reach the box")
    type_text(str(8 * factor))
    key("Return")
    check(message(client) == "Esatto! Anna sei forte!", "a right answer is praised")
    orca.hears("Esatto! Anna sei forte!", "the praise is spoken")
    check(counters(client) == ["1", "0", "1"], "the counters read 1, 0, 1")

    key("Return")  # the focus is on the next-question button
    factor = int(named(client, "Secondo numero: "))
    check(message(client) == "" and answer_box(client) == "", "Enter after judging deals the next question")
    orca.hears(f"8 per {factor}", "the next question is spoken")
    type_text(str(8 * factor + 1))
    key("Return")
    check(message(client) == f"Sbagliato!! {8 * factor}", "a wrong answer shows the right product")
    orca.hears(f"Sbagliato!! {8 * factor}", "the right product is spoken")
    check(counters(client) == ["1", "1", "2"], "the counters read 1, 1, 2")
    check(pixels(window, [(780, 420)]) == [(0, 0, 0)], "a wrong answer blacks out the background")

    # Minimized, the window takes its other caption, and keeps it restored.
    other = "Giocare con la tavola pitagorica"
    xdotool("windowminimize", "--sync", window)
    wait_for(lambda: xdotool("getwindowname", window) == other, "the minimized caption", timeout=10)
    xdotool("windowactivate", "--sync", window)
    time.sleep(0.5)
    check(xdotool("getwindowname", window) == other, "the caption stays after restoring")
    orca.skip()

    key("alt+x")
    wait_for(lambda: windows_titled("Brunilla"), "the record message")
    orca.hears("C A M P I O N E", "beating the record is announced and spoken")
    key("Return")
    wait_for(lambda: game.poll() is not None, "the program to end", timeout=10)
    check(game.returncode == 0, "the program ends cleanly")
    for name, content in (("tavrec8.txt", b"1\r\n"), ("ntavrec8.txt", b"Anna\r\n")):
        with open(os.path.join(records, "brunilla", name), "rb") as f:
            check(f.read() == content, f"{name} holds {content!r}")

    whole = orca.text()
    check(not re.search(r"SPEECH OUTPUT: '[^']*\d\d:\d\d:\d\d", whole), "the clock never speaks by itself")
    check(not re.search(r"SPEECH OUTPUT: '[^']*\bGo\b", whole), "nothing of the game is spoken in English")


def main():
    orca = Orca()
    records = os.path.join(WORK, "data")
    game = subprocess.Popen([GAME], env=dict(os.environ, XDG_DATA_HOME=records))
    try:
        play(game, orca, records)
    finally:
        if game.poll() is None:
            game.kill()
        orca.stop()
        if failures:
            print("Orca's log is kept in " + orca.log)
        else:
            shutil.rmtree(WORK, ignore_errors=True)
    print("e2e: %d failed" % len(failures))
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
