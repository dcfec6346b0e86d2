"""A Wayland client over the wire protocol, enough to bind a compositor's global and send
it requests: the harness's input devices need no binding library."""

import socket
import struct
import subprocess


def text(value):
    data = value.encode() + b"\0"
    return struct.pack("<I", len(data)) + data + b"\0" * (-len(data) % 4)


def fixed(value):
    return struct.pack("<i", round(value * 256))


class WaylandClient:
    def __init__(self, path):
        self.socket = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.socket.connect(path)
        self.last_id, self.received, self.globals = 1, b"", {}
        self.registry = self.send(1, 1, new_id=self.new_id())  # wl_display.get_registry
        self.roundtrip()

    def new_id(self):
        self.last_id += 1
        return self.last_id

    def bind(self, interface, version):
        """The new object of the global, which the compositor must offer."""
        name = self.globals[interface]
        return self.send(self.registry, 0, struct.pack("<I", name) + text(interface) + struct.pack("<I", version),
                         self.new_id())  # wl_registry.bind

    def send(self, target, opcode, payload=b"", new_id=None):
        payload += struct.pack("<I", new_id) if new_id else b""
        self.socket.sendall(struct.pack("<II", target, ((8 + len(payload)) << 16) | opcode) + payload)
        return new_id

    def roundtrip(self):
        """Waits until the compositor has handled every request sent so far."""
        callback = self.send(1, 0, new_id=self.new_id())  # wl_display.sync
        while True:
            while len(self.received) < 8 or len(self.received) < struct.unpack_from("<I", self.received, 4)[0] >> 16:
                chunk = self.socket.recv(65536)
                if not chunk:
                    raise RuntimeError("the compositor closed the connection")
                self.received += chunk
            target, word = struct.unpack_from("<II", self.received)
            payload, self.received = self.received[8:word >> 16], self.received[word >> 16:]
            if target == callback:
                return
            if target == self.registry and word & 0xFFFF == 0:
                name, length = struct.unpack_from("<II", payload)
                self.globals[payload[8:8 + length - 1].decode()] = name


class WlClipboard:
    """A desktop's selections where its compositor offers the data-control protocol to
    every client: wl-clipboard reads and sets them from outside."""

    paste_timeout = 10  # seconds until a selection that wl-paste hears nothing of counts as empty

    def selection(self, name):
        found = self.run(["wl-paste", "--no-newline"] + (["--primary"] if name == "primary" else []),
                         self.paste_timeout)
        return found.stdout if found.returncode == 0 else None

    def set_selection(self, name, text):
        # wl-copy stays behind to serve the selection, until the compositor goes.
        subprocess.run(["wl-copy"] + (["--primary"] if name == "primary" else []) + ["--", text], env=self.tools,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
