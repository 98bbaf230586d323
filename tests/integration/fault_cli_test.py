#!/usr/bin/env python3
"""qelt-cli read, record, logger get and harmonic get against a faulty qelt-sim.

Usage: fault_cli_test.py SCENARIO|table QELT_CLI QELT_SIM

Each scenario checks the exit code, the seconds to give up, and the readings
or records delivered against the simulator's trace; `table` runs them all and
prints one line per scenario.
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from simrig import QUANTITIES, Failed, Simulator, expect, read_trace, run_cli  # noqa: E402


def garbled(printed, frames):
    """How many printed value sets were never sent."""
    sent = {tuple(f.items()) for f in frames}
    return sum(1 for values in printed if tuple(values.items()) not in sent)


def read_run(cli, sim, tmp, sim_args, count=30, timeout=5):
    trace = os.path.join(tmp, "trace.jsonl")
    link = os.path.join(tmp, "dev")
    s = Simulator(sim, ["--link", link, "--trace", trace, "--seed", "7"] + sim_args)
    try:
        rc, out, err, seconds = run_cli(cli, ["read", "--port", link, "--count", str(count), "--format", "json",
                                              "--timeout", str(timeout)], limit=120)
    finally:
        s.stop()
    lines = [json.loads(line) for line in out.decode().splitlines()]
    # The units line comes once, before the first reading.
    expect(not lines or "units" in lines[0], "the units line does not open the output")
    printed = [line["values"] for line in lines if "values" in line]
    frames, _ = read_trace(trace)
    return {"exit": rc, "seconds": seconds, "delivered": len(printed), "garbled": garbled(printed, frames),
            "stderr": err}


def record_stats(path, frames):
    with open(path, "rb") as f:
        data = f.read()
    expect(data.endswith(b"\r\n"), "the recording's last line is cut")
    rows = [line.decode().split("\t") for line in data[:-2].split(b"\r\n")[1:]]
    for n, row in enumerate(rows):
        expect(len(row) == 31 and row[0] == str(n + 1), f"record {n + 1} is not whole and numbered: {row[:3]}")
    times = [row[1] + " " + row[2] for row in rows]
    doubled = len(times) - len(set(times))
    seconds = [time.mktime(time.strptime(t, "%Y/%m/%d %H:%M:%S")) for t in times]
    missing = sum(int(b - a) - 1 for a, b in zip(seconds, seconds[1:]) if b - a > 1)
    printed = [dict(zip(QUANTITIES, row[3:])) for row in rows]
    return {"written": len(rows), "missing": missing, "doubled": doubled, "garbled": garbled(printed, frames)}


def record_run(cli, sim, tmp, sim_args, count=8, restart_after=None, away=3.0):
    trace = os.path.join(tmp, "trace.jsonl")
    link = os.path.join(tmp, "dev")
    mes = os.path.join(tmp, "rec.mes")
    s = Simulator(sim, ["--link", link, "--trace", trace, "--seed", "7"] + sim_args)
    start = time.monotonic()
    tool = subprocess.Popen([cli, "record", "--port", link, "--interval", "1", "--count", str(count), "--out", mes,
                             "--timeout", "10"], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    try:
        if restart_after is not None:
            time.sleep(restart_after)
            s.stop()
            time.sleep(away)
            s = Simulator(sim, ["--link", link, "--trace", trace, "--seed", "8"] + sim_args)
        _, err = tool.communicate(timeout=120)
    finally:
        if tool.poll() is None:
            tool.kill()
            tool.wait()
        s.stop()
    row = {"exit": tool.returncode, "seconds": time.monotonic() - start, "stderr": err.decode(errors="replace")}
    frames, _ = read_trace(trace)
    if os.path.exists(mes):
        row.update(record_stats(mes, frames))
    return row


def check(row, exit_code, garbled_max=0, seconds_max=None):
    expect(row["exit"] == exit_code, f"exit {row['exit']}, stderr {row['stderr']!r}")
    if garbled_max is not None:
        expect(row.get("garbled", 0) <= garbled_max, f"{row['garbled']} garbled values delivered")
    if seconds_max is not None:
        expect(row["seconds"] < seconds_max, f"took {row['seconds']:.1f} s")
    if "doubled" in row:
        expect(row["doubled"] == 0, f"{row['doubled']} records doubled")
    return row


# Noise in a value byte passes the frame marks; such values are counted, not
# refused. Every other fault must never deliver a value that was not sent.
def s_read_noise(cli, sim, tmp):
    return check(read_run(cli, sim, tmp, ["--noise", "0.01"]), 0, garbled_max=None)


def s_read_drop(cli, sim, tmp):
    row = check(read_run(cli, sim, tmp, ["--drop-frame", "0.2"], count=15), 0)
    expect(row["delivered"] == 15, f"{row['delivered']} readings")
    return row


def s_read_bad_echo(cli, sim, tmp):
    row = check(read_run(cli, sim, tmp, ["--bad-echo", "1000"], timeout=3), 3, seconds_max=5)
    expect(row["delivered"] == 0, "readings from an instrument that never echoed")
    return row


def s_read_silent_after(cli, sim, tmp):
    row = check(read_run(cli, sim, tmp, ["--silent-after", "10"], timeout=3), 3, seconds_max=8)
    # The count is of replies, wake-up echoes included.
    expect(1 <= row["delivered"] <= 10, f"{row['delivered']} readings before the silence")
    return row


def s_record_noise(cli, sim, tmp):
    return check(record_run(cli, sim, tmp, ["--noise", "0.01"]), 0, garbled_max=None)


def s_record_drop(cli, sim, tmp):
    row = check(record_run(cli, sim, tmp, ["--drop-frame", "0.2"]), 0)
    expect(row["written"] == 8, f"{row['written']} records")
    return row


def s_record_restart(cli, sim, tmp):
    row = check(record_run(cli, sim, tmp, [], count=10, restart_after=3.0), 0)
    expect(row["written"] == 10, f"{row['written']} records")
    return row


def s_record_silent(cli, sim, tmp):
    return check(record_run(cli, sim, tmp, ["--silent-after", "60"], count=100), 3, seconds_max=30)


def s_logger_noise(cli, sim, tmp):
    s = Simulator(sim, ["--fast", "--logger", "small", "--noise", "0.001", "--seed", "7"])
    out = os.path.join(tmp, "set.txt")
    try:
        rc, _, err, seconds = run_cli(cli, ["logger", "get", "--port", s.device, "--set", "1", "--out", out,
                                            "--timeout", "5"], limit=120)
    finally:
        s.stop()
    row = {"exit": rc, "seconds": seconds, "stderr": err}
    expect(rc in (0, 3), f"exit {rc}, stderr {err!r}")
    if os.path.exists(out):
        data = open(out, "rb").read()
        expect(data == b"" or data.endswith(b"\r\n"), "the list file's last line is cut")
        row["written"] = max(0, data.count(b"\r\n") - 1)
    return row


def s_harmonic_noise(cli, sim, tmp):
    s = Simulator(sim, ["--fast", "--noise", "0.001", "--seed", "7"])
    out = os.path.join(tmp, "samples.txt")
    try:
        rc, _, err, seconds = run_cli(cli, ["harmonic", "get", "--port", s.device, "--signal", "A Phase Current", "--hz", "50",
                                            "--out", out, "--timeout", "5"], limit=120)
    finally:
        s.stop()
    expect(rc in (0, 3), f"exit {rc}, stderr {err!r}")
    row = {"exit": rc, "seconds": seconds, "stderr": err}
    if os.path.exists(out):
        data = open(out, "rb").read()
        expect(data == b"" or data.endswith(b"\r\n"), "the harmonic file's last line is cut")
        row["written"] = max(0, data.count(b"\r\n") - 1)
    return row


SCENARIOS = {
    "read_noise": s_read_noise, "read_drop": s_read_drop, "read_bad_echo": s_read_bad_echo,
    "read_silent_after": s_read_silent_after, "record_noise": s_record_noise, "record_drop": s_record_drop,
    "record_restart": s_record_restart, "record_silent": s_record_silent, "logger_noise": s_logger_noise,
    "harmonic_noise": s_harmonic_noise,
}


def run_one(name, cli, sim):
    tmp = tempfile.mkdtemp(prefix="qelt-fault-")
    try:
        return SCENARIOS[name](cli, sim, tmp)
    finally:
        shutil.rmtree(tmp, ignore_errors=True)


def main():
    if len(sys.argv) != 4 or (sys.argv[1] not in SCENARIOS and sys.argv[1] != "table"):
        print(f"usage: {sys.argv[0]} {{{'|'.join(SCENARIOS)}|table}} QELT_CLI QELT_SIM", file=sys.stderr)
        return 2
    names = list(SCENARIOS) if sys.argv[1] == "table" else [sys.argv[1]]
    failed = 0
    for name in names:
        try:
            row = run_one(name, sys.argv[2], sys.argv[3])
            status = "ok"
        except Failed as e:
            row, status = {}, f"FAILED: {e}"
            failed += 1
        cells = " ".join(f"{k}={row[k]:.1f}" if isinstance(row[k], float) else f"{k}={row[k]}"
                         for k in ("exit", "seconds", "delivered", "garbled", "written", "missing", "doubled")
                         if k in row)
        print(f"{name:18} {cells} {status}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
