#!/usr/bin/env python3
"""qelt-cli record under a file size limit, killed mid-run, and over old files.

Usage: safety_cli_test.py CASE QELT_CLI QELT_SIM
"""
import os
import random
import resource
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from simrig import Failed, Simulator, expect, run_case, run_cli  # noqa: E402


def whole_records(data, what):
    """Checks a measurement file holds only whole, numbered lines; returns the record lines."""
    expect(data.endswith(b"\r\n"), f"{what}: the last line is cut: {data[-40:]!r}")
    lines = data[:-2].split(b"\r\n")
    records = lines[1:]
    for n, line in enumerate(records):
        fields = line.split(b"\t")
        expect(len(fields) == 31, f"{what}: record {n + 1} has {len(fields)} fields")
        expect(fields[0] == str(n + 1).encode(), f"{what}: record {n + 1} is numbered {fields[0]!r}")
    return records


def case_size_limit(cli, sim, tmp):
    link = os.path.join(tmp, "dev")
    mes = os.path.join(tmp, "limited.mes")
    limit = 1000  # the header and a few records

    def small_files():
        signal.signal(signal.SIGXFSZ, signal.SIG_DFL)  # as a shell would leave it
        resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit))

    s = Simulator(sim, ["--link", link])
    try:
        start = time.monotonic()
        done = subprocess.run([cli, "record", "--port", link, "--interval", "1", "--count", "30", "--out", mes],
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=40, preexec_fn=small_files)
        seconds = time.monotonic() - start
    finally:
        s.stop()
    err = done.stderr.decode(errors="replace")
    expect(done.returncode == 4, f"exit {done.returncode} (a kill by SIGXFSZ is -25), stderr {err!r}")
    expect("The recording file cannot be written:" in err and mes in err and "Recording stopped." in err,
           f"message {err!r}")
    with open(mes, "rb") as f:
        data = f.read()
    expect(len(data) <= limit, f"{len(data)} bytes past the limit")
    records = whole_records(data, "size limit")
    expect(len(records) >= 1, "no record before the limit")
    print(f"size limit {limit} B: exit 4 after {seconds:.1f} s, {len(records)} whole records, last line ends CR LF")
    print("message: " + err.strip().replace("\r\n", " | "))


def case_kill(cli, sim, tmp):
    link = os.path.join(tmp, "dev")
    s = Simulator(sim, ["--link", link])
    rng = random.Random(13)
    runs, total = 5, 0
    try:
        for run in range(runs):
            mes = os.path.join(tmp, f"kill{run}.mes")
            p = subprocess.Popen([cli, "record", "--port", link, "--interval", "1", "--count", "1000", "--out", mes],
                                 stdout=subprocess.PIPE, stderr=subprocess.PIPE)
            time.sleep(rng.uniform(1.5, 4.5))
            p.send_signal(signal.SIGKILL)
            out, _ = p.communicate(timeout=10)
            expect(p.returncode == -signal.SIGKILL, f"run {run}: ended with {p.returncode}")
            printed = [line for line in out.decode().split("\n") if line]
            with open(mes, "rb") as f:
                data = f.read()
            records = [r.decode() for r in whole_records(data, f"run {run}")]
            # A record printed was written first: none may be missing after the kill.
            lost = [line for line in printed if line not in records]
            expect(not lost, f"run {run}: {len(lost)} printed record(s) not in the file")
            expect(len(records) - len(printed) <= 1, f"run {run}: {len(records)} records, {len(printed)} printed")
            total += len(records)
            print(f"run {run}: {len(records)} whole records, {len(printed)} printed before the kill, 0 lost")
    finally:
        s.stop()
    print(f"{runs} kills, {total} records, 0 lost")


def case_replace(cli, sim, tmp):
    link = os.path.join(tmp, "dev")
    mes = os.path.join(tmp, "again.mes")
    for name in (mes, os.path.join(tmp, "again-1.mes"), os.path.join(tmp, "again-2.mes")):
        with open(name, "wb") as f:
            f.write(b"old\r\n")
    s = Simulator(sim, ["--link", link])
    try:
        rc, _, err, _ = run_cli(cli, ["record", "--port", link, "--interval", "1", "--count", "1", "--out", mes])
    finally:
        s.stop()
    expect(rc == 0, f"exit {rc}, stderr {err!r}")
    expect(f"{mes} exists and is replaced" in err, f"stderr {err!r}")
    expect("2 old continuation file(s)" in err and "again-1.mes" in err, f"stderr {err!r}")
    with open(mes, "rb") as f:
        expect(len(whole_records(f.read(), "replaced")) == 1, "the file was not replaced")


CASES = {"size_limit": case_size_limit, "kill": case_kill, "replace": case_replace}


def main():
    return run_case(CASES, "qelt-safety")


if __name__ == "__main__":
    sys.exit(main())
