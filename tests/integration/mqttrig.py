"""A mosquitto broker started by the test on 127.0.0.1 at a free port, and a
small MQTT 3.1.1 subscriber, for the qelt-cli publish tests."""
import os
import shutil
import signal
import socket
import struct
import subprocess
import threading
import time

from simrig import Failed, expect


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def mosquitto_binary():
    for path in (shutil.which("mosquitto"), "/usr/sbin/mosquitto"):
        if path and os.access(path, os.X_OK):
            return path
    return None


class SilentListener:
    """A port on 127.0.0.1 that listens and never accepts, its one-place queue
    filled: a connection attempt there gets no answer at all."""

    def __init__(self):
        self.sock = socket.socket()
        self.sock.bind(("127.0.0.1", 0))
        self.sock.listen(0)
        self.port = self.sock.getsockname()[1]
        self.fillers = []
        for _ in range(2):
            filler = socket.socket()
            filler.setblocking(False)
            filler.connect_ex(("127.0.0.1", self.port))
            self.fillers.append(filler)
        time.sleep(0.2)

    def close(self):
        for s in self.fillers + [self.sock]:
            s.close()


def spooled_readings(spool):
    """Readings written to a spool folder so far (its segment bytes, roughly)."""
    if not os.path.isdir(spool):
        return 0
    return sum(os.path.getsize(os.path.join(spool, n)) for n in os.listdir(spool) if n.endswith(".qsp"))


class Broker:
    """mosquitto with its own config and persistence in folder; the same port
    across a stop and a start."""

    def __init__(self, folder, users=None):
        self.folder = folder
        self.port = free_port()
        self.proc = None
        conf = [f"listener {self.port} 127.0.0.1", "persistence true", f"persistence_location {folder}/",
                "autosave_interval 1"]
        if os.geteuid() == 0:
            # Else it becomes the mosquitto user, who cannot read the test's folder.
            conf += ["user root"]
        if users:
            pwfile = os.path.join(folder, "passwords")
            for n, (user, password) in enumerate(users.items()):
                args = ["mosquitto_passwd", "-b"] + (["-c"] if n == 0 else []) + [pwfile, user, password]
                subprocess.run(args, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            conf += ["allow_anonymous false", f"password_file {pwfile}"]
        else:
            conf += ["allow_anonymous true"]
        self.conf = os.path.join(folder, "mosquitto.conf")
        with open(self.conf, "w") as f:
            f.write("\n".join(conf) + "\n")
        self.start()

    def start(self):
        log = open(os.path.join(self.folder, "broker.log"), "ab")
        self.proc = subprocess.Popen([mosquitto_binary(), "-c", self.conf], stdout=log, stderr=log)
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline:
            try:
                socket.create_connection(("127.0.0.1", self.port), timeout=0.5).close()
                return
            except OSError:
                expect(self.proc.poll() is None, "mosquitto ended at its start (see broker.log)")
                time.sleep(0.05)
        raise Failed("mosquitto did not listen within 10 s")

    def stop(self):
        if self.proc and self.proc.poll() is None:
            self.proc.send_signal(signal.SIGTERM)
            try:
                self.proc.wait(10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        self.proc = None

    def url(self):
        return f"mqtt://127.0.0.1:{self.port}"


def _varint(n):
    out = bytearray()
    while True:
        byte = n % 128
        n //= 128
        out.append(byte | (0x80 if n else 0))
        if not n:
            return bytes(out)


def _string(text):
    data = text.encode()
    return struct.pack(">H", len(data)) + data


class Subscriber:
    """Subscribes to topic at QoS 1 and keeps every message (topic, payload
    text, retain flag) in arrival order; connects again by itself. durable:
    a persistent session, so that the broker keeps what comes while it is away."""

    def __init__(self, port, topic, client_id="qelt-test-sub", durable=False):
        self.port, self.topic, self.client_id, self.durable = port, topic, client_id, durable
        self.messages = []
        self.lock = threading.Lock()
        self.subscribed = threading.Event()
        self.stopping = False
        self.sock = None
        self.thread = threading.Thread(target=self._run, daemon=True)
        self.thread.start()
        expect(self.subscribed.wait(10), "the test subscriber could not subscribe within 10 s")

    def _read(self, n):
        data = b""
        while len(data) < n:
            chunk = self.sock.recv(n - len(data))
            if not chunk:
                raise OSError("closed")
            data += chunk
        return data

    def _packet(self):
        head = self._read(1)[0]
        length, shift = 0, 0
        while True:
            byte = self._read(1)[0]
            length += (byte & 0x7F) << shift
            shift += 7
            if not byte & 0x80:
                break
        return head, self._read(length) if length else b""

    def _run(self):
        while not self.stopping:
            try:
                self.sock = socket.create_connection(("127.0.0.1", self.port), timeout=1)
                self.sock.settimeout(None)
                flags = 0x00 if self.durable else 0x02
                body = _string("MQTT") + bytes([4, flags]) + struct.pack(">H", 60) + _string(self.client_id)
                self.sock.sendall(b"\x10" + _varint(len(body)) + body)
                head, data = self._packet()
                if head >> 4 != 2 or data[1] != 0:
                    raise OSError("refused")
                sub = struct.pack(">H", 1) + _string(self.topic) + b"\x01"
                self.sock.sendall(b"\x82" + _varint(len(sub)) + sub)
                while not self.stopping:
                    head, data = self._packet()
                    kind = head >> 4
                    if kind == 9:
                        self.subscribed.set()
                    elif kind == 3:
                        qos = (head >> 1) & 3
                        tlen = struct.unpack(">H", data[:2])[0]
                        topic = data[2:2 + tlen].decode()
                        rest = data[2 + tlen:]
                        if qos:
                            pid, rest = rest[:2], rest[2:]
                            self.sock.sendall(b"\x40\x02" + pid)
                        with self.lock:
                            self.messages.append((topic, rest.decode(errors="replace"), bool(head & 1)))
            except OSError:
                pass
            finally:
                if self.sock:
                    self.sock.close()
            time.sleep(0.05)

    def taken(self, topic=None):
        with self.lock:
            return [m for m in self.messages if topic is None or m[0] == topic]

    def wait_for(self, condition, seconds, what):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            if condition(self):
                return
            time.sleep(0.05)
        raise Failed(f"within {seconds} s: {what}")

    def close(self):
        self.stopping = True
        if self.sock:
            try:
                self.sock.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass
        self.thread.join(2)
