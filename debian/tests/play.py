#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# The real game played by real key presses: on the private X server of
# debian/tests/desktop, or (--wayland) as a Wayland client of a headless
# sway with a keyboard in its seat. The name box comes first and takes the
# name; the window floats at the size of its layout; the answer box takes
# the product of the question that a screen reader is told; Alt+X ends the
# game with the record stored.
#
# Usage: desktop python3 play.py path/to/brunilla [--wayland]

import glob, json, os, pwd, re, shutil, subprocess, sys, tempfile, time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

GAME = os.path.abspath(sys.argv[1])
WAYLAND = "--wayland" in sys.argv
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


class X11:
    """Keys through xdotool, windows as the X server has them."""

    def type(self, text):
        subprocess.run(["xdotool", "type", "--delay", "60", text], check=True)

    def tap(self, key, modifiers=()):
        subprocess.run(["xdotool", "key", "+".join([*modifiers, key])], check=True)

    def windows(self, pid):
        ids = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid), "--name", "."],
                             capture_output=True, text=True).stdout.split()
        names = [subprocess.run(["xdotool", "getwindowname", i], capture_output=True, text=True).stdout.strip()
                 for i in ids]
        return [(name, True) for name in names if name]  # a stacking desktop floats every window

    def active(self):
        return subprocess.run(["xdotool", "getactivewindow", "getwindowname"], capture_output=True,
                              text=True).stdout.strip()

    def close(self):
        pass


class Wayland:
    """A headless sway, as nobody when this runs as root (sway refuses root), with a keyboard in its
    seat, plugged in before the game starts: a keyboard that comes and goes makes a client drop keys."""

    def __init__(self, work):
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
            command = ["setpriv", f"--reuid={user.pw_uid}", f"--regid={user.pw_gid}", "--clear-groups", *command]
            if os.stat("/dev/shm").st_mode & 0o1777 != 0o1777:
                # A bare root (a chroot's /dev without its tmpfs) leaves sway no shared memory
                # for the keymap, and it crashes at the first client: it gets a /dev/shm of its own.
                # In a chroot, "/" is no mount whose propagation unshare may change: /dev is made
                # a slave instead, so that nothing mounted here reaches the host.
                command = ["unshare", "--mount", "--propagation", "unchanged", "sh", "-c",
                           'mount --make-rslave /dev && mount -t tmpfs -o mode=1777 shm /dev/shm && exec "$@"',
                           "sh", *command]
        self.log = os.path.join(work, "sway.log")
        with open(self.log, "w") as log:
            self.sway = subprocess.Popen(command + ["--debug"], env=env, stdout=log, stderr=log)
        wait_for(lambda: glob.glob(runtime + "/wayland-*[0-9]") and glob.glob(runtime + "/sway-ipc.*"), "sway")
        self.display, self.ipc = glob.glob(runtime + "/wayland-*[0-9]")[0], glob.glob(runtime + "/sway-ipc.*")[0]
        from wayland_keys import Keyboard
        self.keyboard = Keyboard(self.display)
        self.type, self.tap = self.keyboard.type, self.keyboard.tap

    def windows(self, pid):
        found = []

        def walk(node, floating):
            if node.get("pid") == pid:
                found.append((node["name"], floating))
            for child in node.get("nodes", []):
                walk(child, floating)
            for child in node.get("floating_nodes", []):
                walk(child, True)

        tree = subprocess.run(["swaymsg", "-s", self.ipc, "-t", "get_tree"], capture_output=True, text=True)
        walk(json.loads(tree.stdout), False)
        return found

    def active(self):
        def walk(node):
            if node.get("focused"):
                return node.get("name")
            return next(filter(None, map(walk, node.get("nodes", []) + node.get("floating_nodes", []))), None)

        tree = subprocess.run(["swaymsg", "-s", self.ipc, "-t", "get_tree"], capture_output=True, text=True)
        return walk(json.loads(tree.stdout))

    def close(self):
        self.keyboard.close()
        if self.sway.poll() is not None:
            print(f"sway ended by itself ({self.sway.returncode}); its last words:")
            print("".join(open(self.log, errors="replace").readlines()[-40:]), flush=True)
        self.sway.terminate()
        self.sway.wait()


def accessible(pid, focused=False):
    """Every accessible object of the game: (role, name); focused, only the one with the focus."""
    import pyatspi
    out = []

    def walk(node, depth):
        if not focused or node.getState().contains(pyatspi.STATE_FOCUSED):
            out.append((node.getRoleName(), node.name or ""))
        if depth < 12:
            for child in node:
                if child:
                    walk(child, depth + 1)

    for app in pyatspi.Registry.getDesktop(0):
        if app and app.get_process_id() == pid:
            walk(app, 0)
    return out


def press_ok(desk, game, what):
    """Return, once the box's OK button has the focus: a key sent before the box is active goes
    to the window behind it, out of play, and the box would wait for ever."""
    # AT-SPI names the role "push button" on Debian 12, "button" on 13.
    ok = {("push button", "OK"), ("button", "OK")}
    wait_for(lambda: ok & set(accessible(game.pid, focused=True)), what, 10)
    desk.tap("Return")


def play(desk, game, data):
    wait_for(lambda: ("Brunilla", True) in desk.windows(game.pid), "the name box")
    desk.type("Anna")
    desk.tap("Return")
    wait_for(lambda: any(" Anna vediamo se sei un vero campione" in name for _, name in accessible(game.pid)),
             "the greeting")
    press_ok(desk, game, "the greeting's focus")
    shown = wait_for(lambda: ("Gioca con la Brunilla", True) in desk.windows(game.pid), "the window", 10)
    check(shown, "the window is shown, and floats at the size of its layout")
    question = wait_for(lambda: next((re.fullmatch(r"8 per (\d)", name) for role, name in accessible(game.pid)
                                      if role in ("text", "entry") and re.fullmatch(r"8 per (\d)", name)), None),
                        "the first question")
    # A digit too many, taken back with Home and Delete as in any text box.
    desk.type("9" + str(8 * int(question.group(1))))
    desk.tap("Home")
    desk.tap("Delete")
    desk.tap("Return")
    praised = wait_for(lambda: any(name == "Esatto! Anna sei forte!" for _, name in accessible(game.pid)),
                       "the verdict", 10)
    check(praised, f"the answer box took the product of {question.group(0)}, its first digit deleted")
    desk.tap("x", ["alt"])
    # A record beaten is told in a box once the helper has stored it, within the lock's wait and
    # the helper's time limit (3 s and 10 s); one not beaten ends the game at once. A box saying
    # that the record was not stored fails the test with its words.
    told = wait_for(lambda: game.poll() is not None or [name for _, name in accessible(game.pid)
                                                         if re.search("C A M P I O N E|non sono riuscita", name)],
                    "the end", 30)
    if game.poll() is None:
        check(any("C A M P I O N E" in name for name in told), f"the record is said stored: {told}")
        press_ok(desk, game, "the focus of the box that tells it")
    wait_for(lambda: game.poll() is not None, "the end of the game", 10)
    check(game.returncode == 0, "Alt+X ended the game")
    if not GAME.startswith("/usr/games/"):  # installed, the record is the one every account shares
        stored = [open(os.path.join(data, "brunilla", f), "rb").read() for f in ("tavrec8.txt", "ntavrec8.txt")]
        check(stored == [b"1\r\n", b"Anna\r\n"], f"the record is stored: {stored}")


def main():
    work = tempfile.mkdtemp(prefix="brunilla-play-")
    desk = Wayland(work) if WAYLAND else X11()
    env = dict(os.environ, XDG_DATA_HOME=os.path.join(work, "data"), XDG_RUNTIME_DIR=tempfile.mkdtemp(dir=work))
    if WAYLAND:
        env.update(QT_QPA_PLATFORM="wayland", WAYLAND_DISPLAY=desk.display)
        env.pop("DISPLAY", None)
    game = subprocess.Popen([GAME], env=env)
    try:
        play(desk, game, env["XDG_DATA_HOME"])
    except SystemExit:
        if game.poll() is None:  # what a timed-out wait left on screen, for the log
            print("the game shows:", accessible(game.pid), flush=True)
            print("its focus:", accessible(game.pid, focused=True), "; the active window:", desk.active(), flush=True)
        raise
    finally:
        game.kill()
        desk.close()
        shutil.rmtree(work, ignore_errors=True)
    sys.exit(1 if failures else 0)


main()
