#!/usr/bin/env python3
"""What reaches the line: every byte qelt-cli writes arrives at qelt-sim, the
last ones of a command too, although the tool exits right after writing them.

Usage: line_cli_test.py CASE QELT_CLI QELT_SIM

The simulator's --trace file holds every piece it received; the bytes are
checked after the tool has exited, once the simulator has had a moment to
take what the terminal still holds.
"""
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from simrig import Failed, Simulator, expect, read_received, read_trace, run_case, run_cli  # noqa: E402

# How long the simulator may take to read what the tool wrote before exiting.
SETTLE = 2.0


def received_after(cli, sim, tmp, args, want_tail, sim_args=()):
    """Runs one command; returns (exit code, stdout, stderr, bytes the simulator received)."""
    trace = os.path.join(tmp, "trace.jsonl")
    s = Simulator(sim, ["--trace", trace] + list(sim_args))
    try:
        rc, out, err, _ = run_cli(cli, args + ["--port", s.device])
        # Whatever the tool handed on before it ended reaches the simulator at
        # once; bytes lost in the tool never do, so the wait is bounded.
        end = time.monotonic() + SETTLE
        while True:
            got = b"".join(piece for _, piece in read_received(trace))
            if got.endswith(want_tail(out)) or time.monotonic() >= end:
                break
            time.sleep(0.05)
    finally:
        s.stop()
    got = b"".join(piece for _, piece in read_received(trace))
    expect(got.startswith(b"E"), f"the first byte after opening is not \"E\": {got[:8]!r}")
    return rc, out, err, got


def tail_counts(got, after):
    """The bytes the simulator received after the last byte `after`."""
    at = got.rfind(after)
    expect(at >= 0, f"{after!r} never arrived: {got[-40:]!r}")
    return got[at + 1:]


def case_harmonic(cli, sim, tmp):
    out_file = os.path.join(tmp, "wave.txt")
    args = ["harmonic", "get", "--signal", "a", "--hz", "50", "--out", out_file]
    rc, _, err, got = received_after(cli, sim, tmp, args, lambda _out: b"aEE")
    expect(rc == 0, f"exit {rc}, stderr {err!r}")
    # Two requests, each after its own wake-up; then the reply and two "E".
    expect(got.count(b"a") == 2, f"requests {got.count(b'a')}: {got[-40:]!r}")
    tail = tail_counts(got, b"a")
    expect(tail == b"EE", f"after the last request the instrument received {tail!r}, not two \"E\"")


def case_erase(cli, sim, tmp):
    rc, _, err, got = received_after(cli, sim, tmp, ["logger", "erase", "--yes"], lambda _out: b"G")
    expect(rc == 0, f"exit {rc}, stderr {err!r}")
    expect(got.endswith(b"wG"), f"the erase did not end with \"G\" after the wake-up: {got[-16:]!r}")
    expect(got.count(b"G") == 1, f"{got.count(b'G')} erase commands")


def case_clock(cli, sim, tmp):
    def sent(out):
        text = out.decode("ascii").strip()
        return bytes.fromhex(text) if text else b"\0"

    rc, out, err, got = received_after(cli, sim, tmp, ["clock"], sent)
    expect(rc == 0, f"exit {rc}, stderr {err!r}")
    bytes_sent = sent(out)
    expect(len(bytes_sent) == 7 and bytes_sent[:1] == b"D", f"stdout {out!r}")
    expect(got.endswith(bytes_sent), f"the clock bytes {bytes_sent.hex(' ')} did not all arrive: "
           f"{got[-10:].hex(' ')}")
    _, clocks = read_trace(os.path.join(tmp, "trace.jsonl"))
    expect(clocks == [out.decode("ascii").strip()], f"clock settings {clocks}")


def case_read(cli, sim, tmp):
    rc, out, err, got = received_after(cli, sim, tmp, ["read", "--count", "5"], lambda _out: b" ")
    expect(rc == 0, f"exit {rc}, stderr {err!r}")
    expect(len(out.splitlines()) == 5, f"stdout {out!r}")
    # One request per reading (the paced simulator damages none), each
    # right after a wake-up.
    expect(got.count(b" ") == 5, f"{got.count(b' ')} requests for 5 readings")
    expect(got.replace(b"w", b"") == b"E" + b" " * 5, f"received {got!r}")


def case_logger_get(cli, sim, tmp):
    out_file = os.path.join(tmp, "set.txt")
    args = ["logger", "get", "--set", "1", "--out", out_file]
    rc, _, err, got = received_after(cli, sim, tmp, args, lambda _out: b"k")
    expect(rc == 0, f"exit {rc}, stderr {err!r}")
    # Set 1 of the small memory: 40 records of 24 bytes, four blocks.
    expect(got.endswith(b"wK\x01kkkk"), f"the download's requests: {got[-12:]!r}")


CASES = {
    "harmonic": case_harmonic,
    "erase": case_erase,
    "clock": case_clock,
    "read": case_read,
    "logger_get": case_logger_get,
}

if __name__ == "__main__":
    sys.exit(run_case(CASES, "qelt-line", (Failed, OSError, ValueError)))
