# SPDX-License-Identifier: GPL-3.0-or-later
# A keyboard plugged into a Wayland compositor's seat through the
# virtual-keyboard protocol (wlroots compositors such as sway), speaking the
# Wayland wire protocol itself, so that the test needs no other tool. It
# stays plugged in for as long as the test runs: a keyboard that comes and
# goes makes a client drop the keys it is sent.

import array, ctypes, os, socket, struct

# Evdev key codes of a US keyboard.
CODES = {c: n for n, c in enumerate("1234567890", 2)}
CODES.update({c: n for row, first in (("qwertyuiop", 16), ("asdfghjkl", 30), ("zxcvbnm", 44))
              for n, c in enumerate(row, first)})
CODES.update({"Return": 28, "BackSpace": 14, "space": 57, "Home": 102, "Delete": 111})
MODIFIERS = {"shift": (42, 1), "ctrl": (29, 4), "alt": (56, 8)}  # key code, modifier mask


def _keymap():
    """The US keymap as text, compiled by libxkbcommon."""
    xkb = ctypes.CDLL("libxkbcommon.so.0")
    xkb.xkb_context_new.restype = xkb.xkb_keymap_new_from_names.restype = ctypes.c_void_p
    xkb.xkb_keymap_new_from_names.argtypes = [ctypes.c_void_p, ctypes.c_void_p, ctypes.c_int]
    xkb.xkb_keymap_get_as_string.restype = ctypes.c_void_p
    xkb.xkb_keymap_get_as_string.argtypes = [ctypes.c_void_p, ctypes.c_int]

    class Names(ctypes.Structure):
        _fields_ = [(f, ctypes.c_char_p) for f in ("rules", "model", "layout", "variant", "options")]

    names = Names(b"evdev", b"pc105", b"us", b"", b"")
    keymap = xkb.xkb_keymap_new_from_names(xkb.xkb_context_new(0), ctypes.byref(names), 0)
    if not keymap:
        raise RuntimeError("libxkbcommon made no keymap (is xkb-data installed?)")
    return ctypes.string_at(xkb.xkb_keymap_get_as_string(keymap, 1)) + b"\0"


class Keyboard:
    def __init__(self, path):
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.sock.connect(path)
        self.buffer, self.ids, self.time = b"", 1, 0
        registry = self._new()
        self._send(1, 1, struct.pack("<I", registry))  # wl_display.get_registry
        found = {}
        for obj, opcode, body in self._until_synced():
            if obj == registry and opcode == 0:  # wl_registry.global
                name, = struct.unpack_from("<I", body)
                interface, end = self._string(body, 4)
                found[interface] = (name, struct.unpack_from("<I", body, end)[0])
        if "zwp_virtual_keyboard_manager_v1" not in found:
            raise RuntimeError("the compositor offers no virtual keyboard")
        seat = self._bind(registry, "wl_seat", found["wl_seat"], 1)
        manager = self._bind(registry, "zwp_virtual_keyboard_manager_v1", found["zwp_virtual_keyboard_manager_v1"], 1)
        self.keyboard = self._new()
        self._send(manager, 0, struct.pack("<II", seat, self.keyboard))
        keymap = _keymap()
        fd = os.memfd_create("keymap")
        os.write(fd, keymap)
        self._send(self.keyboard, 0, struct.pack("<II", 1, len(keymap)), [fd])  # xkb_v1
        os.close(fd)
        list(self._until_synced())

    def tap(self, key, modifiers=()):
        mask = sum(MODIFIERS[m][1] for m in modifiers)
        for m in modifiers:
            self._key(MODIFIERS[m][0], 1)
        self._send(self.keyboard, 2, struct.pack("<IIII", mask, 0, 0, 0))
        self._key(CODES[key], 1)
        self._key(CODES[key], 0)
        for m in modifiers:
            self._key(MODIFIERS[m][0], 0)
        self._send(self.keyboard, 2, struct.pack("<IIII", 0, 0, 0, 0))
        list(self._until_synced())

    def type(self, text):
        for c in text:
            self.tap(c.lower(), ["shift"] if c.isupper() else [])

    def close(self):
        self.sock.close()

    def _key(self, code, pressed):
        self.time += 10
        self._send(self.keyboard, 1, struct.pack("<III", self.time, code, pressed))

    def _new(self):
        self.ids += 1
        return self.ids

    def _bind(self, registry, interface, global_, version):
        new = self._new()
        name = interface.encode() + b"\0"
        padded = name + b"\0" * (-len(name) % 4)
        self._send(registry, 0, struct.pack("<II", global_[0], len(name)) + padded + struct.pack("<II", version, new))
        return new

    def _send(self, obj, opcode, body, fds=()):
        message = struct.pack("<II", obj, (8 + len(body)) << 16 | opcode) + body
        ancillary = [(socket.SOL_SOCKET, socket.SCM_RIGHTS, array.array("i", fds))] if fds else []
        self.sock.sendmsg([message], ancillary)

    @staticmethod
    def _string(body, at):
        length, = struct.unpack_from("<I", body, at)
        return body[at + 4:at + 4 + length - 1].decode(), at + 4 + length + (-length % 4)

    def _until_synced(self):
        """The events until the compositor has handled every request so far."""
        callback = self._new()
        self._send(1, 0, struct.pack("<I", callback))  # wl_display.sync
        while True:
            while len(self.buffer) < 8 or len(self.buffer) < struct.unpack_from("<I", self.buffer, 4)[0] >> 16:
                data = self.sock.recv(65536)
                if not data:
                    raise RuntimeError("the compositor went away")
                self.buffer += data
            obj, header = struct.unpack_from("<II", self.buffer)
            size, opcode = header >> 16, header & 0xFFFF
            body, self.buffer = self.buffer[8:size], self.buffer[size:]
            if obj == 1 and opcode == 0:  # wl_display.error
                raise RuntimeError("Wayland error: " + self._string(body, 8)[0])
            if obj == callback:
                return
            yield obj, opcode, body
