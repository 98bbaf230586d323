#!/usr/bin/env python3
"""qelt-cli against a real instrument, opt-in: runs only when QELT_TEST_PORT
names its port (a device path or COMn), and is skipped otherwise.

Usage: real_port_test.py CASE QELT_CLI QELT_SIM

Only formats and exit codes are checked: the readings, the memory and the
waveform are whatever the instrument holds. The logger memory is read,
never erased. QELT_TEST_TIMEOUT (seconds, default 10) is each command's
--timeout.
"""
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from simrig import QUANTITIES, SKIPPED, Failed, expect, run_case, run_cli  # noqa: E402

DATE = r"\d{4}/\d{2}/\d{2}"
TIME = r"\d{2}:\d{2}:\d{2}"
VALUE = r"-?(\d{3}\.\d|\d\.\d{3}|OL)"
TITLES = ["No.s", "      Date", "    Time"] + QUANTITIES


def port():
    return os.environ.get("QELT_TEST_PORT", "")


def port_args():
    return ["--port", port(), "--timeout", os.environ.get("QELT_TEST_TIMEOUT", "10")]


def ok(cli, args, limit=120):
    rc, out, err, _ = run_cli(cli, args + port_args(), limit=limit)
    expect(rc == 0, f"{' '.join(args)}: exit {rc}, stderr {err!r}")
    return out


def expect_sample_line(fields, what):
    expect(len(fields) == 30, f"{what}: {len(fields)} fields")
    expect(re.fullmatch(DATE, fields[0]) and re.fullmatch(TIME, fields[1]), f"{what}: {fields[:2]}")
    for name, text in zip(QUANTITIES, fields[2:]):
        expect(re.fullmatch(VALUE, text), f"{what}: {name} is {text!r}")


def case_read(cli, sim, tmp):
    out = ok(cli, ["read", "--count", "3"])
    expect(out.endswith(b"\n") and b"\r" not in out, f"read: LF lines expected: {out[-40:]!r}")
    lines = out.decode("ascii").splitlines()
    expect(len(lines) == 3, f"read: {len(lines)} lines")
    for n, line in enumerate(lines):
        expect_sample_line(line.split("\t"), f"reading {n + 1}")


def case_record(cli, sim, tmp):
    mes = os.path.join(tmp, "run.mes")
    out = ok(cli, ["record", "--count", "3", "--interval", "1", "--out", mes])
    expect(len(out.decode("ascii").splitlines()) == 3, f"record: stdout {out!r}")
    with open(mes, "rb") as f:
        data = f.read()
    expect(data.endswith(b"\r\n"), f"record: the file does not end with CR LF: {data[-20:]!r}")
    lines = data[:-2].decode("ascii").split("\r\n")
    expect(lines[0] == "\t".join(TITLES), f"record: header {lines[0]!r}")
    expect(len(lines) == 4, f"record: {len(lines) - 1} records")
    for n, line in enumerate(lines[1:]):
        fields = line.split("\t")
        expect(fields[0] == str(n + 1), f"record {n + 1} is numbered {fields[0]!r}")
        expect_sample_line(fields[1:], f"record {n + 1}")


def case_logger_list(cli, sim, tmp):
    out = ok(cli, ["logger", "list"]).decode("ascii")
    lines = out.split("\n")
    expect(lines[-1] == "" and "\r" not in out, f"logger list: LF lines expected: {out!r}")
    expect(re.fullmatch(r"Remained\t.+", lines[0]), f"logger list: line 1 {lines[0]!r}")
    expect(lines[1] == "Set\t Date\t Time\t Mode\tRec.s\tIntv.", f"logger list: header {lines[1]!r}")
    for row in lines[2:-1]:
        cells = row.split("\t")
        expect(len(cells) == 6 and cells[0].strip().isdigit() and cells[4].strip().isdigit(),
               f"logger list: row {row!r}")


def case_harmonic(cli, sim, tmp):
    wave = os.path.join(tmp, "wave.txt")
    report = os.path.join(tmp, "figures.txt")
    ok(cli, ["harmonic", "get", "--signal", "a", "--hz", "50", "--out", wave, "--report", report])
    with open(wave, "rb") as f:
        data = f.read()
    expect(data.startswith(b"\t\t\r\n") and data.endswith(b"\r\n"), f"harmonic file {data[:8]!r}")
    rows = data.split(b"\r\n")[1:-1]
    expect(len(rows) == 64, f"harmonic file: {len(rows)} sample rows")
    for i, row in enumerate(rows, 1):
        expect(re.fullmatch(rb"%d\t-?\d+\t" % i, row), f"harmonic file row {i}: {row!r}")
    with open(report, "rb") as f:
        lines = f.read().decode("ascii").split("\n")
    expect(lines[0] == "K\tORD%\tDegree\tTHD-F%\tTHD-R%" and len(lines) == 33 and lines[-1] == "",
           f"figures table: {lines[:2]} .. {len(lines)} lines")
    for h, line in enumerate(lines[1:-1], 1):
        expect(line.split("\t")[0] == str(h) and len(line.split("\t")) == 5, f"figures row {h}: {line!r}")


CASES = {"read": case_read, "record": case_record, "logger_list": case_logger_list, "harmonic": case_harmonic}


def skipping(case):
    def run(cli, sim, tmp):
        if not port():
            print(f"{sys.argv[1]}: skipped: QELT_TEST_PORT names no port")
            return SKIPPED
        return case(cli, sim, tmp)
    return run


if __name__ == "__main__":
    sys.exit(run_case({name: skipping(case) for name, case in CASES.items()}, "qelt-real", (Failed, OSError,
                                                                                             UnicodeError)))
