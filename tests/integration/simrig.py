"""What the qelt-cli-against-qelt-sim scripts share: the simulator process,
one run of the tool, the simulator's trace, and the case runner."""
import json
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

QUANTITIES = [
    "KW1", "KVAR1", "KVA1", "PF1", "Theta1", "V1", "I1",
    "KW2", "KVAR2", "KVA2", "PF2", "Theta2", "V2", "I2",
    "KW3", "KVAR3", "KVA3", "PF3", "Theta3", "V3", "I3",
    "Hz", "I4", "TKW", "TKVAR", "TKVA", "TPF", "TTheta",
]

# Exit code of a case that cannot run here (ctest's SKIP_RETURN_CODE).
SKIPPED = 77


class Failed(Exception):
    pass


def expect(condition, message):
    if not condition:
        raise Failed(message)


class Simulator:
    """A qelt-sim process; its first stdout line is the device path."""

    def __init__(self, binary, args):
        self.proc = subprocess.Popen([binary] + args, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        try:
            ready, _, _ = select.select([self.proc.stdout], [], [], 10)
            expect(ready, "qelt-sim printed no device path within 10 s")
            self.device = self.proc.stdout.readline().decode().strip()
            expect(self.device.startswith("/dev/"), f"qelt-sim's first line is no device: {self.device!r}")
        except Failed:
            self.proc.kill()
            self.proc.wait()
            raise

    def stop(self):
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGTERM)
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        expect(self.proc.returncode == 0, f"qelt-sim ended with {self.proc.returncode}")


def run_cli(cli, args, limit=30):
    """Runs qelt-cli to its end; returns (exit code, stdout bytes, stderr text, seconds)."""
    start = time.monotonic()
    done = subprocess.run([cli] + args, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=limit)
    return done.returncode, done.stdout, done.stderr.decode(errors="replace"), time.monotonic() - start


def trace_items(path):
    with open(path, "rb") as f:
        for raw in f:
            expect(raw.endswith(b"\n"), f"trace line without LF: {raw!r}")
            yield json.loads(raw)


def read_trace(path):
    """(frames, clock texts) from a trace file, in the order they were sent."""
    frames, clocks = [], []
    for item in trace_items(path):
        if "received" in item:
            continue
        if "clock" in item:
            clocks.append(item["clock"])
        else:
            expect(list(item) == QUANTITIES, f"trace frame keys out of order: {list(item)}")
            frames.append(item)
    return frames, clocks


def read_received(path):
    """[(seconds, bytes)] from a trace file: every piece the simulator received."""
    return [(item["at"], bytes.fromhex(item["received"])) for item in trace_items(path) if "received" in item]


def run_case(cases, prefix, errors=(Failed,)):
    """main() of a script: CASE QELT_CLI QELT_SIM; a failed case keeps its files."""
    if len(sys.argv) != 4 or sys.argv[1] not in cases:
        print(f"usage: {sys.argv[0]} {{{'|'.join(cases)}}} QELT_CLI QELT_SIM", file=sys.stderr)
        return 2
    name, cli, sim = sys.argv[1:]
    tmp = tempfile.mkdtemp(prefix=f"{prefix}-{name}-")
    try:
        if cases[name](cli, sim, tmp) == SKIPPED:
            shutil.rmtree(tmp, ignore_errors=True)
            return SKIPPED
    except errors as e:
        print(f"{name}: FAILED: {e!r}", file=sys.stderr)
        print(f"{name}: files kept in {tmp}", file=sys.stderr)
        return 1
    shutil.rmtree(tmp, ignore_errors=True)
    print(f"{name}: passed")
    return 0
