#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# The real game on a Wayland desktop, as a Wayland client of its own: a
# headless sway with a keyboard in its seat. The name box comes first and
# takes the name; the window floats at the size of its layout; the answer
# box takes the product of the question that a screen reader is told;
# Alt+X ends the game with the record stored.
#
# Usage: desktop_session.sh python3 wayland_game.py path/to/brunilla

import glob, json, os, pwd, re, shutil, subprocess, sys, tempfile, time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from wayland_keys import Keyboard  # noqa: E402

GAME = os.path.abspath(sys.argv[1])
failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what, flush=True)
    failures.extend([] if condition else [what])
    return condition


def wait_for(find, what, timeout=20):
    end = time.time() + timeout
    while time.time() < end:
        found = find()
        if found:
            return found
        time.sleep(0.1)
    raise SystemExit("timed out waiting for " + what)


def start_sway(work):
    """sway refuses to run as root: then it runs as nobody, in a runtime folder of its own."""
    user = pwd.getpwnam("nobody") if os.getuid() == 0 else pwd.getpwuid(os.getuid())
    runtime = os.path.join(work, "sway")
    os.makedirs(runtime, mode=0o700)
    os.chown(runtime, user.pw_uid, user.pw_gid)
    os.chmod(work, 0o755)
    config = os.path.join(work, "sway.conf")
    with open(config, "w") as c:
        c.write("output HEADLESS-1 mode 1280x1024\n")
    env = {"PATH": "/usr/bin:/bin", "HOME": runtime, "XDG_RUNTIME_DIR": runtime, "WLR_BACKENDS": "headless",
           "WLR_LIBINPUT_NO_DEVICES": "1", "WLR_RENDERER": "pixman"}
    command = ["sway", "-c", config]
    if os.getuid() == 0:
        command = ["setpriv", f"--reuid={user.pw_uid}", f"--regid={user.pw_gid}", "--clear-groups"] + command
    sway = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wait_for(lambda: glob.glob(runtime + "/wayland-*[0-9]") and glob.glob(runtime + "/sway-ipc.*"), "sway")
    return sway, glob.glob(runtime + "/wayland-*[0-9]")[0], glob.glob(runtime + "/sway-ipc.*")[0]


def views(ipc, pid):
    """The game's windows as sway has them: (title, floating)."""
    found = []

    def walk(node, floating):
        if node.get("pid") == pid:
            found.append((node["name"], floating))
        for child in node.get("nodes", []):
            walk(child, floating)
        for child in node.get("floating_nodes", []):
            walk(child, True)

    walk(json.loads(subprocess.run(["swaymsg", "-s", ipc, "-t", "get_tree"], capture_output=True, text=True).stdout),
         False)
    return found


def accessible(pid):
    """Every accessible object of the game: (role, name)."""
    import pyatspi
    out = []

    def walk(node, depth):
        out.append((node.getRoleName(), node.name or ""))
        if depth < 12:
            for child in node:
                if child:
                    walk(child, depth + 1)

    for app in pyatspi.Registry.getDesktop(0):
        if app and app.get_process_id() == pid:
            walk(app, 0)
    return out


def play(keys, ipc, game, data):
    wait_for(lambda: ("Brunilla", True) in views(ipc, game.pid), "the name box")
    keys.type("Anna")
    keys.tap("Return")
    wait_for(lambda: any(" Anna vediamo se sei un vero campione" in name for _, name in accessible(game.pid)),
             "the greeting")
    keys.tap("Return")
    shown = wait_for(lambda: ("Gioca con la Brunilla", True) in views(ipc, game.pid), "the window", 10)
    check(shown, "the window is shown, and floats at the size of its layout")
    question = wait_for(lambda: next((re.fullmatch(r"8 per (\d)", name) for role, name in accessible(game.pid)
                                      if role in ("text", "entry") and re.fullmatch(r"8 per (\d)", name)), None),
                        "the first question")
    keys.type(str(8 * int(question.group(1))))
    keys.tap("Return")
    praised = wait_for(lambda: any(name == "Esatto! Anna sei forte!" for _, name in accessible(game.pid)),
                       "the verdict", 10)
    check(praised, f"the answer box took the product of {question.group(0)}")
    keys.tap("x", ["alt"])
    wait_for(lambda: any("C A M P I O N E" in name for _, name in accessible(game.pid)), "the record box", 10)
    keys.tap("Return")
    wait_for(lambda: game.poll() is not None, "the end of the game", 10)
    check(game.returncode == 0, "Alt+X and Enter ended the game")
    stored = [open(os.path.join(data, "brunilla", f), "rb").read() for f in ("tavrec8.txt", "ntavrec8.txt")]
    check(stored == [b"1\r\n", b"Anna\r\n"], f"the record is stored: {stored}")


def main():
    work = tempfile.mkdtemp(prefix="brunilla-wayland-")
    sway, display, ipc = start_sway(work)
    keys = Keyboard(display)  # plugged in before the game starts
    runtime = tempfile.mkdtemp(prefix="runtime-", dir=work)
    data = os.path.join(work, "data")
    env = dict(os.environ, QT_QPA_PLATFORM="wayland", WAYLAND_DISPLAY=display, XDG_RUNTIME_DIR=runtime,
               XDG_DATA_HOME=data)
    env.pop("DISPLAY", None)
    game = subprocess.Popen([GAME], env=env)
    try:
        play(keys, ipc, game, data)
    finally:
        game.kill()
        keys.close()
        sway.terminate()
        sway.wait()
        shutil.rmtree(work, ignore_errors=True)
    sys.exit(1 if failures else 0)


main()
