"""A pointer for a wlroots compositor (sway), through its virtual-pointer protocol, spoken
directly on the Wayland socket: no client library needed."""
import socket
import struct

BUTTON_LEFT = 0x110


def _string(text):
    data = text.encode() + b"\0"
    return struct.pack("<I", len(data)) + data + b"\0" * (-len(data) % 4)


class VirtualPointer:
    def __init__(self, socket_path, width, height):
        self.width, self.height = width, height
        self.connection = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.connection.connect(socket_path)
        self.next_id = 2
        self.buffer = b""
        registry = self._new_id()
        self._send(1, 1, struct.pack("<I", registry))  # wl_display.get_registry
        globals_ = {}
        for sender, opcode, payload in self._roundtrip():
            if sender == registry and opcode == 0:  # wl_registry.global
                name, length = struct.unpack_from("<II", payload)
                interface = payload[8:8 + length - 1].decode()
                globals_[interface] = name
        missing = {"wl_seat", "zwlr_virtual_pointer_manager_v1"} - set(globals_)
        if missing:
            raise RuntimeError(f"the compositor offers no {', '.join(sorted(missing))}")
        seat = self._bind(registry, globals_["wl_seat"], "wl_seat", 1)
        manager = self._bind(registry, globals_["zwlr_virtual_pointer_manager_v1"],
                             "zwlr_virtual_pointer_manager_v1", 1)
        self.pointer = self._new_id()
        self._send(manager, 0, struct.pack("<II", seat, self.pointer))  # create_virtual_pointer
        list(self._roundtrip())
        self.time = 0

    def move_to(self, x, y):
        """Jumps to (x, y) of the output, as one movement."""
        self.time += 10
        self._send(self.pointer, 1, struct.pack("<IIIII", self.time, x, y, self.width, self.height))
        self._send(self.pointer, 4, b"")  # frame
        list(self._roundtrip())

    def click(self):
        for state in (1, 0):
            self.time += 10
            self._send(self.pointer, 2, struct.pack("<III", self.time, BUTTON_LEFT, state))
            self._send(self.pointer, 4, b"")
        list(self._roundtrip())

    def _new_id(self):
        self.next_id += 1
        return self.next_id - 1

    def _send(self, target, opcode, payload):
        self.connection.sendall(struct.pack("<II", target, (8 + len(payload)) << 16 | opcode)
                                + payload)

    def _bind(self, registry, name, interface, version):
        new = self._new_id()
        self._send(registry, 0, struct.pack("<I", name) + _string(interface)
                   + struct.pack("<II", version, new))
        return new

    def _roundtrip(self):
        """The events that arrive until the compositor has handled all sent so far."""
        callback = self._new_id()
        self._send(1, 0, struct.pack("<I", callback))  # wl_display.sync
        while True:
            while len(self.buffer) < 8:
                self._receive()
            sender, header = struct.unpack_from("<II", self.buffer)
            size, opcode = header >> 16, header & 0xffff
            while len(self.buffer) < size:
                self._receive()
            payload, self.buffer = self.buffer[8:size], self.buffer[size:]
            if sender == 1 and opcode == 0:  # wl_display.error
                length = struct.unpack_from("<I", payload, 8)[0]
                raise RuntimeError(payload[12:12 + length - 1].decode())
            if sender == callback:
                return
            yield sender, opcode, payload

    def _receive(self):
        data = self.connection.recv(65536)
        if not data:
            raise RuntimeError("the compositor closed the connection")
        self.buffer += data
