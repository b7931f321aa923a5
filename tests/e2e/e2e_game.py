#!/usr/bin/python3
"""Plays the real game with real key presses (xdotool), and reads the
window back the way a screen reader does (AT-SPI) and the way a player
does (a screenshot).

Usage: desktop_session.sh python3 e2e_game.py path/to/brunilla
"""

import os
import subprocess
import sys
import tempfile
import time

import pyatspi

GAME = os.path.abspath(sys.argv[1])
TITLE = "Gioca con la Brunilla"
failures = []
passed = 0


def check(condition, what):
    global passed
    print(("ok   " if condition else "FAIL ") + what, flush=True)
    if condition:
        passed += 1
    else:
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


def eventually(predicate, timeout=10.0):
    end = time.time() + timeout
    while time.time() < end:
        if predicate():
            return True
        time.sleep(0.1)
    return False


def xdotool(*args):
    out = subprocess.run(["xdotool", *args], capture_output=True, text=True)
    return out.stdout.strip()


def window_names():
    ids = xdotool("search", "--onlyvisible", "--name", ".").split()
    return {i: xdotool("getwindowname", i) for i in ids}


def boxes_titled(title):
    return [i for i, n in window_names().items() if n == title]


def key(*keys):
    xdotool("key", "--delay", "60", *keys)
    time.sleep(0.4)


def type_text(text):
    xdotool("type", "--delay", "60", text)
    time.sleep(0.3)


def client_area():
    """The game's client area as AT-SPI sees it, or None."""
    for app in pyatspi.Registry.getDesktop(0):
        if app is None or app.name != "brunilla":
            continue
        for i in range(app.childCount):
            frame = app.getChildAtIndex(i)
            if frame.getRoleName() == "frame" and frame.childCount:
                for j in range(frame.childCount):
                    child = frame.getChildAtIndex(j)
                    if child.getRoleName() == "filler":
                        return child
    return None


def extents(accessible):
    e = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return e.x, e.y, e.width, e.height


def control(client, left_twips, top_twips):
    """The control whose top-left corner sits at the layout position."""
    cx, cy, _, _ = extents(client)
    want = (cx + left_twips // 15, cy + top_twips // 15)
    for i in range(client.childCount):
        child = client.getChildAtIndex(i)
        x, y, _, _ = extents(child)
        if (x, y) == want:
            return child
    raise SystemExit("no control at %d,%d" % (left_twips, top_twips))


def caption(client, left, top):
    return control(client, left, top).name


def spoken(client, prefix):
    """What a screen reader hears of the control named with this prefix."""
    for i in range(client.childCount):
        name = client.getChildAtIndex(i).name or ""
        if name.startswith(prefix):
            return name[len(prefix):]
    raise SystemExit("nothing is named " + prefix)


def counters(client):
    return [spoken(client, "Risposte %s: " % which) for which in ("esatte", "errate", "totali")]


def answer_text(client):
    box = [client.getChildAtIndex(i) for i in range(client.childCount)
           if client.getChildAtIndex(i).name == "Risultato"][0]
    text = box.queryText()
    return text.getText(0, -1)


def screenshot(window_id, path):
    subprocess.run(["import", "-window", window_id, path], check=True)


def image_height(path):
    return int(subprocess.run(["identify", "-format", "%h", path], capture_output=True, text=True, check=True).stdout)


def pixel(path, x, y):
    out = subprocess.run(["convert", path, "-crop", "1x1+%d+%d" % (x, y), "-depth", "8", "txt:-"],
                         capture_output=True, text=True, check=True).stdout
    rgb = out.splitlines()[1].split("(")[1].split(")")[0].split(",")
    return tuple(int(float(v)) for v in rgb[:3])


def main():
    records = tempfile.mkdtemp(prefix="brunilla-e2e-")
    env = dict(os.environ, XDG_DATA_HOME=records, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    game = subprocess.Popen([GAME], env=env)
    try:
        play(game, records)
    finally:
        if game.poll() is None:
            game.kill()
    print("e2e: %d passed, %d failed" % (passed, len(failures)))
    sys.exit(1 if failures else 0)


def play(game, records):
    # The name box comes first, before the window.
    name_box = wait_for(lambda: boxes_titled("Brunilla"), "the name box")[0]
    check(TITLE not in window_names().values(), "the window is not shown while the name is asked")
    type_text("Anna")
    key("Return")
    # Then the greeting, still before the window.
    wait_for(lambda: [b for b in boxes_titled("Brunilla") if b != name_box], "the greeting box")
    check(TITLE not in window_names().values(), "the window is not shown while the player is greeted")
    key("Return")

    window = wait_for(lambda: boxes_titled(TITLE), "the main window")[0]
    check(xdotool("getwindowname", window) == TITLE, "the window manager reads the title exactly")
    client = wait_for(client_area, "the window's accessibility tree")
    wait_for(lambda: spoken(client, "Secondo numero: ") != "", "the first question")
    check(spoken(client, "Primo numero: ") == "8", "the first factor is 8")
    check(spoken(client, "Sfidante: ") == "Anna", "the player's name is shown")

    shot = os.path.join(records, "window.png")
    screenshot(window, shot)
    # A column of the background clear of every control, in client coordinates.
    menu = image_height(shot) - 554
    column = [pixel(shot, 780, menu + y) for y in (300, 420, 540)]
    check(all(r == g for r, g, _ in column), "the gradient has red equal to green: %s" % column)
    check(column[0][2] < column[1][2] < column[2][2], "blue rises down the gradient: %s" % column)

    # Letters, blanks and signs never reach the box.
    type_text("ab -.")
    check(answer_text(client) == "", "letters typed into the box are refused")

    product = 8 * int(spoken(client, "Secondo numero: "))
    type_text(str(product))
    check(answer_text(client) == str(product), "digits are typed into the box")
    key("Return")
    check(caption(client, 1680, 2040) == "Esatto! Anna sei forte!", "a right answer is praised")
    check(counters(client) == ["1", "0", "1"], "the counters read 1, 0, 1")

    # Focus is on the next-question button: Enter deals.
    key("Return")
    check(caption(client, 1680, 2040) == "", "Enter after judging deals the next question")
    check(answer_text(client) == "", "the new question starts with an empty box")

    product = 8 * int(spoken(client, "Secondo numero: "))
    type_text(str(product + 1))
    key("Return")
    check(caption(client, 1680, 2040) == "Sbagliato!! %d" % product, "a wrong answer shows the right product")
    check(counters(client) == ["1", "1", "2"], "the counters read 1, 1, 2")
    screenshot(window, shot)
    check(pixel(shot, 780, menu + 420) == (0, 0, 0), "a wrong answer blacks out the background")

    # Minimized, the window takes its other caption, and keeps it restored.
    xdotool("windowminimize", "--sync", window)
    check(eventually(lambda: xdotool("getwindowname", window) == "Giocare con la tavola pitagorica"),
          "minimizing changes the caption the window manager reads")
    xdotool("windowactivate", "--sync", window)
    time.sleep(0.5)
    check(xdotool("getwindowname", window) == "Giocare con la tavola pitagorica", "the caption stays after restoring")

    # Exit with a score above the empty record stores it.
    key("alt+x")
    saved = wait_for(lambda: boxes_titled("Brunilla"), "the record message")
    check(bool(saved), "beating the record is announced")
    key("Return")
    wait_for(lambda: game.poll() is not None, "the program to end", timeout=10)
    check(game.returncode == 0, "the program ends cleanly")
    folder = os.path.join(records, "brunilla")
    with open(os.path.join(folder, "tavrec8.txt"), "rb") as f:
        check(f.read() == b"1\r\n", "the record score file holds 1 and CR LF")
    with open(os.path.join(folder, "ntavrec8.txt"), "rb") as f:
        check(f.read() == b"Anna\r\n", "the record holder file holds the name and CR LF")


if __name__ == "__main__":
    main()
