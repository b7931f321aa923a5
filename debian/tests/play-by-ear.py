#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Plays the real game by ear: real key presses (xdotool) in the real
# window, with GNOME's screen reader Orca beside it, checked against what
# Orca sent to speech (its own debug log).
#
# Usage: desktop python3 play-by-ear.py path/to/brunilla

import os, re, shutil, subprocess, sys, tempfile, time

GAME = os.path.abspath(sys.argv[1])
WORK = tempfile.mkdtemp(prefix="brunilla-e2e-")
failures = []

# Orca as /usr/bin/orca starts it, without the wrapper, which would replace
# any Orca the user already runs; it works with Orca 43 and 48.
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
    failures.extend([] if condition else [what])


def wait_for(predicate, what, timeout=20):
    end = time.time() + timeout
    while not predicate():
        if time.time() > end:
            raise SystemExit("timed out waiting for " + what)
        time.sleep(0.1)


def xdotool(*args):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True).stdout.split()


def keys(*names):
    xdotool("key", "--delay", "80", *names)


class Orca:
    # Orca, and a speech-dispatcher of its own that speaks into ALSA's null device.

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
        self.log, self.seen = os.path.join(WORK, "orca.log"), 0
        self.procs = [subprocess.Popen(["speech-dispatcher", "-s", "-t", "30", "-c", "unix_socket", "-S", socket,
                                        "-C", conf, "-L", WORK], **quiet)]
        wait_for(lambda: os.path.exists(socket), "speech-dispatcher")
        self.procs.append(subprocess.Popen(["/usr/bin/python3", "-c", ORCA, self.log, os.path.join(WORK, "prefs")], **quiet))
        wait_for(lambda: re.search(r"ORCA: Starting (registry|Atspi main event loop)", self.text()), "Orca", 60)
        self.seen = len(self.spoken())

    def text(self):
        return open(self.log, encoding="utf-8", errors="replace").read() if os.path.exists(self.log) else ""

    def spoken(self):
        return re.findall(r"SPEECH OUTPUT: '(.*?)'", self.text())

    def hears(self, pattern, what):
        # What Orca speaks next, once it matches the pattern (or has not, after a while).
        end = time.time() + 20
        while not re.search(pattern, " ".join(self.spoken()[self.seen:])) and time.time() < end:
            time.sleep(0.2)
        said = " ".join(self.spoken()[self.seen:])
        self.seen = len(self.spoken())
        check(re.search(pattern, said), f"{what}: {said!r}")
        return re.search(pattern, said)


def play(orca, game):
    wait_for(lambda: xdotool("search", "--onlyvisible", "--name", "^Brunilla$"), "the name box")
    orca.hears("Come ti chiami", "the name box is spoken")
    check(not xdotool("search", "--onlyvisible", "--name", "^Gioca con la Brunilla$"), "the window waits for the name")
    xdotool("type", "--delay", "80", "Anna")
    keys("Return")
    orca.hears("Anna vediamo se sei un vero campione", "the greeting is spoken")
    keys("Return")
    question = orca.hears(r"\b8 per (\d)\b", "the first question is spoken")
    factor = int(question.group(1)) if question else 1
    # Held modifiers never put anything into the box: only the product does. Alt comes
    # with Control: under load, Qt's accessibility bridge, which holds each key for the
    # screen reader, may let Alt's release through first, and a lone Alt opens the menu bar.
    keys("ctrl+alt+a", "ctrl+alt+minus", "ctrl+period", "super+z", "a", "minus", *str(8 * factor), "Return")
    orca.hears("Esatto! Anna sei forte!", "a right answer is praised aloud")
    keys("Return")  # the focus is on the next-question button
    question = orca.hears(r"\b8 per (\d)\b", "the next question is spoken")
    factor = int(question.group(1)) if question else 1
    keys(*str(8 * factor + 1), "Return")
    orca.hears(f"Sbagliato!! {8 * factor}", "a wrong answer is told the product")
    keys("alt+x")
    # Installed, the record is every account's, which this game may not beat.
    if not GAME.startswith("/usr/games/"):
        orca.hears("C A M P I O N E", "beating the record is announced")
    wait_for(lambda: game.poll() is not None or "C A M P I O N E" in " ".join(orca.spoken()), "the end", 10)
    if game.poll() is None:
        keys("Return")  # the box that tells of the new record
    wait_for(lambda: game.poll() is not None, "the program to end", 10)
    check(game.returncode == 0, "the program ends cleanly")
    spoken = orca.spoken()
    check(not any(re.search(r"\d\d:\d\d:\d\d", s) for s in spoken), "the clock never speaks by itself")
    check(not any(re.search(r"\bGo\b", s) for s in spoken), "nothing of the game is spoken in English")


def main():
    orca = Orca()
    game = subprocess.Popen([GAME], env=dict(os.environ, XDG_DATA_HOME=os.path.join(WORK, "data")))
    try:
        play(orca, game)
    finally:
        game.kill()
        for p in orca.procs:
            p.kill()
    if failures:
        print("Orca's log is kept in " + orca.log)
    else:
        shutil.rmtree(WORK, ignore_errors=True)
    sys.exit(1 if failures else 0)


main()
