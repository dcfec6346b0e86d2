#!/usr/bin/python3
"""A pointer for a headless sway, through the wlroots virtual-pointer protocol.

A headless sway has no input devices, so its seat offers no pointer to clients. This
program adds one for as long as it runs, speaking the Wayland wire protocol itself (no
binding library needed). It reads numbered requests, one a line, from the FIFO named
on its command line and answers each on standard output as "NUMBER done":

    N click X Y BUTTON     moves to X, Y of the layout and clicks (1 primary, 3 secondary)

Usage: sway-pointer.py SOCKET LAYOUT-WIDTH LAYOUT-HEIGHT FIFO
"""

import os
import socket
import struct
import sys
import time

BUTTONS = {1: 0x110, 2: 0x112, 3: 0x111}  # evdev BTN_LEFT, BTN_MIDDLE, BTN_RIGHT
MANAGER = "zwlr_virtual_pointer_manager_v1"
# Request numbers of the virtual pointer, in the protocol's order.
MOTION_ABSOLUTE, BUTTON, FRAME = 1, 2, 4


def message(target, opcode, payload=b""):
    return struct.pack("<II", target, ((8 + len(payload)) << 16) | opcode) + payload


def text(value):
    data = value.encode() + b"\0"
    return struct.pack("<I", len(data)) + data + b"\0" * (-len(data) % 4)


class Connection:
    def __init__(self, path):
        self.socket = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.socket.connect(path)
        self.last_id = 1
        self.received = b""
        self.globals = {}
        self.registry = self.new_id()
        self.send(1, 1, struct.pack("<I", self.registry))  # wl_display.get_registry

    def new_id(self):
        self.last_id += 1
        return self.last_id

    def send(self, target, opcode, payload=b""):
        self.socket.sendall(message(target, opcode, payload))

    def event(self):
        while len(self.received) < 8 or len(self.received) < struct.unpack_from("<I", self.received, 4)[0] >> 16:
            chunk = self.socket.recv(65536)
            if not chunk:
                raise SystemExit("the compositor closed the connection")
            self.received += chunk
        target, word = struct.unpack_from("<II", self.received)
        size = word >> 16
        payload, self.received = self.received[8:size], self.received[size:]
        return target, word & 0xFFFF, payload

    def roundtrip(self):
        callback = self.new_id()
        self.send(1, 0, struct.pack("<I", callback))  # wl_display.sync
        while True:
            target, opcode, payload = self.event()
            if target == callback:
                return
            if target == 1 and opcode == 0:
                raise SystemExit("protocol error: " + payload[12:].split(b"\0")[0].decode(errors="replace"))
            if target == self.registry and opcode == 0:
                name, length = struct.unpack_from("<II", payload)
                interface = payload[8:8 + length - 1].decode()
                self.globals[interface] = name


def main():
    socket_path, width, height, fifo_path = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
    connection = Connection(socket_path)
    connection.roundtrip()
    if MANAGER not in connection.globals:
        raise SystemExit("the compositor offers no virtual pointers")
    manager = connection.new_id()
    connection.send(connection.registry, 0,
                    struct.pack("<I", connection.globals[MANAGER]) + text(MANAGER) + struct.pack("<II", 1, manager))
    pointer = connection.new_id()
    connection.send(manager, 0, struct.pack("<II", 0, pointer))  # the default seat
    connection.roundtrip()
    print("ready", flush=True)

    def now():
        return int(time.monotonic() * 1000) & 0xFFFFFFFF

    def click(x, y, button):
        connection.send(pointer, MOTION_ABSOLUTE, struct.pack("<IIIII", now(), x, y, width, height))
        connection.send(pointer, FRAME)
        time.sleep(0.05)
        for state in (1, 0):
            connection.send(pointer, BUTTON, struct.pack("<III", now(), BUTTONS[button], state))
            connection.send(pointer, FRAME)
            time.sleep(0.05)
        connection.roundtrip()

    with open(fifo_path, "r+b", buffering=0) as fifo:
        pending = b""
        while True:
            pending += os.read(fifo.fileno(), 4096)
            while b"\n" in pending:
                line, pending = pending.split(b"\n", 1)
                number, verb, *arguments = line.decode().split()
                if verb == "click":
                    click(*(int(argument) for argument in arguments))
                print(number, "done", flush=True)


if __name__ == "__main__":
    main()
