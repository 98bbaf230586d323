#!/usr/bin/env python3
"""qelt-cli against qelt-sim on a real pseudo-terminal, as separate processes.

Usage: cli_sim_test.py CASE QELT_CLI QELT_SIM

The simulator's --trace file is its own account of every frame and clock
setting it sent; the tool's output is held against it text for text.
"""
import datetime
import json
import os
import re
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from simrig import QUANTITIES, SKIPPED, Failed, Simulator, expect, read_trace, run_case, run_cli  # noqa: E402

TITLES = ["No.s", "      Date", "    Time"] + QUANTITIES
VALUE_TEXT = re.compile(r"^-?(\d{3}\.\d|\d\.\d{3}|OL)$")
CLOCK_TEXT = re.compile(r"^44( [0-9A-F]{2}){6}$")
# How far the tool's date and time may be from this script's clock.
NOW_SLACK = datetime.timedelta(seconds=120)


def expect_traced_in_order(printed, frames, what):
    """Every printed values object is a traced frame, keys in order, and they come in the traced order."""
    at = 0
    for n, values in enumerate(printed):
        expect(list(values) == QUANTITIES, f"{what} {n + 1}: keys out of order: {list(values)}")
        for name, text in values.items():
            expect(VALUE_TEXT.match(text), f"{what} {n + 1}: {name} is {text!r}")
        while at < len(frames) and list(frames[at].items()) != list(values.items()):
            at += 1
        expect(at < len(frames), f"{what} {n + 1} is no traced frame after the one before: {values}")
        at += 1


def expect_date_time(date, clock_time, what):
    expect(re.fullmatch(r"\d{4}/\d{2}/\d{2}", date), f"{what}: date {date!r}")
    expect(re.fullmatch(r"\d{2}:\d{2}:\d{2}", clock_time), f"{what}: time {clock_time!r}")
    try:
        when = datetime.datetime.strptime(date + " " + clock_time, "%Y/%m/%d %H:%M:%S")
    except ValueError:
        raise Failed(f"{what}: {date} {clock_time} is no date and time")
    expect(abs(when - datetime.datetime.now()) < NOW_SLACK, f"{what}: {when} is not now")
    return when


def expect_complaint(stderr, what):
    lines = stderr.splitlines()
    expect(len(lines) == 1 and lines[0].startswith("qelt-cli: "), f"{what}: stderr {stderr!r}")


def case_read_json(cli, sim, tmp):
    # A zone off UTC by a part of an hour: "t" must name the instant there too.
    os.environ["TZ"] = "NPT-5:45"
    time.tzset()
    trace = os.path.join(tmp, "trace.jsonl")
    link = os.path.join(tmp, "dev")
    s = Simulator(sim, ["--link", link, "--trace", trace])
    try:
        rc, out, err, _ = run_cli(cli, ["read", "--port", link, "--count", "3", "--format", "json"])
    finally:
        s.stop()
    expect(rc == 0, f"exit {rc}, stderr {err!r}")
    expect(err == "", f"stderr {err!r}")
    expect(out.endswith(b"\n") and b"\r" not in out, f"lines must end with LF alone: {out[-40:]!r}")
    lines = out.decode("utf-8").splitlines()
    expect(len(lines) == 4, f"{len(lines)} lines")
    units = json.loads(lines[0])
    expect(list(units) == ["units"] and len(units["units"]) == 28, f"units line {lines[0]!r}")
    expect(units["units"]["KW1"] == "kW" and units["units"]["PF1"] == "" and units["units"]["Theta1"] == "\u00b0",
           f"units {units['units']}")
    printed = []
    for n, line in enumerate(lines[1:]):
        item = json.loads(line)
        expect(list(item) == ["date", "time", "t", "WiringCode", "WiringMode", "values"],
               f"reading {n + 1}: {list(item)}")
        expect_date_time(item["date"], item["time"], f"reading {n + 1}")
        t = item["t"]
        expect(re.fullmatch(r"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}\+05:45", t) is not None
               and t[:10] == item["date"].replace("/", "-") and t[11:19] == item["time"], f"reading {n + 1}: t {t!r}")
        instant = datetime.datetime.strptime(t, "%Y-%m-%dT%H:%M:%S.%f%z").timestamp()
        expect(abs(instant - time.time()) < NOW_SLACK.total_seconds(), f"reading {n + 1}: {t} is not now")
        expect(item["WiringCode"] == 8 and item["WiringMode"] == "3P4W",
               f"reading {n + 1}: wiring {item['WiringCode']!r} {item['WiringMode']!r}")
        printed.append(item["values"])
    frames, _ = read_trace(trace)
    expect_traced_in_order(printed, frames, "reading")


def case_silent(cli, sim, tmp):
    s = Simulator(sim, ["--silent"])
    try:
        rc, out, err, seconds = run_cli(
            cli, ["read", "--port", s.device, "--count", "3", "--format", "json", "--timeout", "2"])
    finally:
        s.stop()
    expect(rc == 3, f"exit {rc}, stderr {err!r}")
    expect(seconds < 3.0, f"took {seconds:.2f} s")
    expect(out == b"", f"stdout {out!r}")
    expect_complaint(err, "silent instrument")


def case_timeout(cli, sim, tmp):
    # The instrument wakes but its frames come damaged, some of them short:
    # the wait for the rest of a frame ends with --timeout, not at 4 s.
    s = Simulator(sim, ["--drop-frame", "1", "--seed", "1"])
    try:
        rc, out, err, seconds = run_cli(cli, ["read", "--port", s.device, "--timeout", "2"])
    finally:
        s.stop()
    expect(rc == 3, f"exit {rc}, stderr {err!r}")
    expect(seconds < 3.0, f"took {seconds:.2f} s")
    expect(out == b"", f"stdout {out!r}")
    expect_complaint(err, "damaged frames")


def case_record(cli, sim, tmp):
    trace = os.path.join(tmp, "trace.jsonl")
    link = os.path.join(tmp, "dev")
    outdir = os.path.join(tmp, "out")
    os.mkdir(outdir)
    mes = os.path.join(outdir, "run.mes")
    s = Simulator(sim, ["--link", link, "--trace", trace])
    try:
        rc, out, err, _ = run_cli(cli, ["record", "--port", link, "--count", "3", "--interval", "1", "--out", mes])
    finally:
        s.stop()
    expect(rc == 0, f"exit {rc}, stderr {err!r}")
    expect(err == "", f"stderr {err!r}")
    expect(os.listdir(outdir) == ["run.mes"], f"files written: {os.listdir(outdir)}")

    with open(mes, "rb") as f:
        data = f.read()
    expect(data.endswith(b"\r\n"), f"the file does not end with CR LF: {data[-20:]!r}")
    lines = data[:-2].split(b"\r\n")
    for n, line in enumerate(lines):
        expect(b"\r" not in line and b"\n" not in line, f"line {n + 1} holds a bare CR or LF: {line!r}")
        expect(not line.endswith(b"\t"), f"line {n + 1} ends with a TAB")
        expect(all(b < 0x80 for b in line), f"line {n + 1} is not ASCII")
    lines = [line.decode("ascii") for line in lines]
    expect(lines[0] == "\t".join(TITLES), f"header {lines[0]!r}")
    records = lines[1:]
    expect(len(records) == 3, f"{len(records)} records")

    printed, previous = [], None
    for n, line in enumerate(records):
        fields = line.split("\t")
        expect(len(fields) == 31, f"record {n + 1}: {len(fields)} fields")
        expect(fields[0] == str(n + 1), f"record {n + 1} is numbered {fields[0]!r}")
        when = expect_date_time(fields[1], fields[2], f"record {n + 1}")
        expect(previous is None or when > previous, f"record {n + 1} is not later than the one before")
        previous = when
        printed.append(dict(zip(QUANTITIES, fields[3:])))
    frames, _ = read_trace(trace)
    expect_traced_in_order(printed, frames, "record")

    expect(b"\r" not in out, "stdout lines must end with LF alone")
    expect(out.decode("ascii").splitlines() == records, f"stdout {out!r}")


def case_clock(cli, sim, tmp):
    trace = os.path.join(tmp, "trace.jsonl")
    s = Simulator(sim, ["--trace", trace])
    try:
        rc, out, err, _ = run_cli(cli, ["clock", "--port", s.device])
    finally:
        s.stop()
    expect(rc == 0, f"exit {rc}, stderr {err!r}")
    expect(err == "", f"stderr {err!r}")
    lines = out.decode("ascii").splitlines()
    expect(len(lines) == 1 and CLOCK_TEXT.match(lines[0]), f"stdout {out!r}")
    _, clocks = read_trace(trace)
    expect(clocks == [lines[0]], f"the simulator received {clocks}, the tool says {lines[0]}")
    # The six bytes are the PC's time in packed BCD.
    year, month, day, hour, minute, second = (int(b) for b in lines[0].split()[1:])
    sent = datetime.datetime(2000 + year, month, day, hour, minute, second)
    expect(abs(sent - datetime.datetime.now()) < NOW_SLACK, f"clock set to {sent}")


def case_usage(cli, sim, tmp):
    missing = os.path.join(tmp, "no-such-device")
    cases = [
        (["read"], 2, "no --port"),
        (["read", "--port", missing, "--format", "xml"], 2, "--format xml"),
        (["read", "--port", "com3"], 2, "port text com3"),
        (["clock", "--port", "com3"], 2, "clock on com3"),
        (["read", "--port", missing, "--timeout", "nan"], 2, "--timeout nan"),
        (["read", "--port", missing, "--timeout", "0"], 2, "--timeout 0"),
        (["record", "--port", missing, "--seconds", "nan", "--out", os.path.join(tmp, "r.mes")], 2,
         "--seconds nan"),
        (["bogus"], 2, "an unknown command"),
        (["record", "--port", missing, "--out", os.path.join(tmp, "r.mes")], 2, "record without --count or --seconds"),
        (["record", "--port", missing, "--count", "1", "--seconds", "1", "--out", os.path.join(tmp, "r.mes")], 2,
         "record with both --count and --seconds"),
        (["read", "--port", missing], 4, "a device that cannot be opened"),
        (["record", "--port", missing, "--count", "1", "--out", os.path.join(tmp, "r.mes")], 4,
         "record on a device that cannot be opened"),
    ]
    for args, want, what in cases:
        rc, out, err, _ = run_cli(cli, args, limit=10)
        expect(rc == want, f"{what}: exit {rc}, want {want}; stderr {err!r}")
        expect(out == b"", f"{what}: stdout {out!r}")
        expect_complaint(err, what)
    expect(not os.path.exists(os.path.join(tmp, "r.mes")), "record made its file without a port")
    rc, out, err, _ = run_cli(cli, ["bogus"], limit=10)
    expect("bogus" in err, f"the unknown command is not named: {err!r}")
    rc, out, err, _ = run_cli(cli, ["--version"], limit=10)
    expect(rc == 0 and out.startswith(b"qelt-cli ") and not err, f"--version: exit {rc}, {out!r}, {err!r}")


def decimal_comma_locale():
    """The name of an installed locale that writes 2,5, or None."""
    import locale
    names = subprocess.run(["locale", "-a"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                           text=True).stdout.split()
    saved = locale.setlocale(locale.LC_NUMERIC)
    try:
        for name in names:
            try:
                locale.setlocale(locale.LC_NUMERIC, name)
            except locale.Error:
                continue
            if locale.localeconv()["decimal_point"] == ",":
                return name
    finally:
        locale.setlocale(locale.LC_NUMERIC, saved)
    return None


def case_locale(cli, sim, tmp):
    # Numbers on the command line take a point whatever the locale.
    name = decimal_comma_locale()
    if name is None:
        print("locale: no decimal-comma locale installed", file=sys.stderr)
        return SKIPPED
    env = dict(os.environ, LC_ALL=name, LANG=name)
    s = Simulator(sim, [])
    try:
        done = subprocess.run([cli, "read", "--port", s.device, "--timeout", "2.5", "--format", "json"],
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=30, env=env)
    finally:
        s.stop()
    err = done.stderr.decode(errors="replace")
    expect(done.returncode == 0, f"{name}: exit {done.returncode}, stderr {err!r}")
    values = json.loads(done.stdout.splitlines()[1])["values"]
    expect(all(VALUE_TEXT.match(text) for text in values.values()), f"{name}: values {values}")


def case_file_fault(cli, sim, tmp):
    # The recorder's message is made for a message box, in several lines;
    # on stderr each of them carries the prefix.
    mes = os.path.join(tmp, "no-such-folder", "run.mes")
    s = Simulator(sim, [])
    try:
        rc, out, err, _ = run_cli(cli, ["record", "--port", s.device, "--count", "1", "--out", mes])
    finally:
        s.stop()
    expect(rc == 4, f"exit {rc}, stderr {err!r}")
    expect(out == b"", f"stdout {out!r}")
    expect("\r" not in err and err.endswith("\n"), f"stderr {err!r}")
    lines = err.splitlines()
    expect(lines and all(line.startswith("qelt-cli: ") for line in lines), f"stderr {err!r}")
    expect(mes in err, f"stderr does not name the file: {err!r}")


def run_through_outage(sim, link, args, stdout_path, stderr_path, before, away, what, outlives_first=False):
    # Runs the tool (args) on the link while the simulator goes away after
    # `before` seconds and comes back on a new pseudo-terminal behind the same
    # name `away` seconds later; returns the exit code and stderr.
    # outlives_first: the tool must still run when the first simulator stops.
    first = Simulator(sim, ["--link", link])
    second = None
    with open(stdout_path, "wb") as so, open(stderr_path, "wb") as se:
        tool = subprocess.Popen(args, stdout=so, stderr=se)
        try:
            time.sleep(before)
            first.stop()
            if outlives_first:
                expect(tool.poll() is None, f"the tool ended (exit {tool.returncode}) before the simulator did")
            time.sleep(away)
            second = Simulator(sim, ["--link", link])
            try:
                rc = tool.wait(40)
            except subprocess.TimeoutExpired:
                raise Failed(f"{what} did not finish within 40 s of the simulator's return")
        finally:
            if tool.poll() is None:
                tool.kill()
                tool.wait()
            first.stop()
            if second:
                second.stop()
    with open(stderr_path) as f:
        return rc, f.read()


def case_reconnect(cli, sim, tmp):
    # The tool opens the link's name; the simulator goes away for about 3 s
    # and comes back on a new pseudo-terminal behind the same name.
    link = os.path.join(tmp, "dev")
    out_path = os.path.join(tmp, "read.tsv")
    rc, err = run_through_outage(sim, link, [cli, "read", "--port", link, "--count", "200", "--timeout", "20"],
                                 out_path, os.path.join(tmp, "read.err"), 1.0, 3.0, "the tool", outlives_first=True)
    expect(rc == 0, f"exit {rc}, stderr {err!r}")
    with open(out_path) as f:
        lines = f.read().splitlines()
    expect(len(lines) == 200, f"{len(lines)} readings")
    times = []
    for n, line in enumerate(lines):
        fields = line.split("\t")
        expect(len(fields) == 30, f"reading {n + 1}: {len(fields)} fields")
        times.append(expect_date_time(fields[0], fields[1], f"reading {n + 1}"))
    gap = max(b - a for a, b in zip(times, times[1:]))
    expect(gap >= datetime.timedelta(seconds=2), f"no gap in the readings (longest {gap}): nothing was lost")


def case_record_outage(cli, sim, tmp):
    # The simulator goes away for 5 s during a recording at one record a
    # second: no record repeats the last reading, the numbering has no gap,
    # and the outage is told on stderr.
    link = os.path.join(tmp, "dev")
    out = os.path.join(tmp, "run.mes")
    rc, err = run_through_outage(sim, link, [cli, "record", "--port", link, "--out", out, "--interval", "1",
                                             "--seconds", "14", "--timeout", "20"],
                                 os.path.join(tmp, "rec.out"), os.path.join(tmp, "rec.err"), 4.0, 5.0,
                                 "the recording")
    expect(rc == 0, f"exit {rc}, stderr {err!r}")
    with open(out, "rb") as f:
        lines = f.read().split(b"\r\n")
    expect(lines[-1] == b"", "the file ends with CR LF")
    records = [line.decode().split("\t") for line in lines[1:-1]]
    expect(len(records) >= 5, f"{len(records)} records")
    numbers = [int(r[0]) for r in records]
    expect(numbers == list(range(1, len(records) + 1)), f"numbering {numbers}")
    values = [tuple(r[3:]) for r in records]
    repeats = [n + 2 for n in range(len(values) - 1) if values[n] == values[n + 1]]
    expect(not repeats, f"records {repeats} repeat the reading before them")
    times = [expect_date_time(r[1], r[2], f"record {r[0]}") for r in records]
    gap = max(b - a for a, b in zip(times, times[1:]))
    expect(gap >= datetime.timedelta(seconds=4), f"no gap in the record times (longest {gap})")
    expect("stopped answering" in err and "outage from" in err and "record(s) skipped" in err,
           f"the outage is not on stderr: {err!r}")


def case_ports(cli, sim, tmp):
    # The system's ports, then --port find among candidates: a device that
    # does not exist, a silent simulator, and one that answers.
    rc, out, err, _ = run_cli(cli, ["ports"], limit=10)
    expect(rc == 0, f"ports: exit {rc}, {err!r}")
    for line in out.decode().splitlines():
        expect(len(line.split("\t")) == 3, f"ports line {line!r}")
    rc, out, err, _ = run_cli(cli, ["ports", "--format", "json"], limit=10)
    expect(rc == 0, f"ports json: exit {rc}")
    for line in out.decode().splitlines():
        expect(set(json.loads(line)) == {"device", "description", "serial"}, f"ports json line {line!r}")

    silent = Simulator(sim, ["--link", os.path.join(tmp, "silent"), "--silent"])
    good = Simulator(sim, ["--link", os.path.join(tmp, "good")])
    try:
        candidates = ",".join([os.path.join(tmp, "missing"), os.path.join(tmp, "silent"), os.path.join(tmp, "good")])
        rc, out, err, _ = run_cli(cli, ["read", "--port", "find", "--candidates", candidates], limit=30)
        expect(rc == 0, f"find: exit {rc}, {err!r}")
        expect(len(out.splitlines()) == 1, f"find: {out!r}")
        expect("found the instrument on " + os.path.join(tmp, "good") in err, f"find: stderr {err!r}")
        rc, out, err, _ = run_cli(cli, ["read", "--port", "find", "--candidates", os.path.join(tmp, "silent")],
                                  limit=30)
        expect(rc == 3 and out == b"", f"find among silent ports: exit {rc}, {out!r}")
        expect(err.splitlines()[-1] == "qelt-cli: no port answered the wake-up", f"find among silent ports: {err!r}")
    finally:
        silent.stop()
        good.stop()


CASES = {
    "ports": case_ports,
    "record_outage": case_record_outage,
    "read_json": case_read_json,
    "silent": case_silent,
    "timeout": case_timeout,
    "record": case_record,
    "clock": case_clock,
    "usage": case_usage,
    "file_fault": case_file_fault,
    "locale": case_locale,
    "reconnect": case_reconnect,
}


def main():
    return run_case(CASES, "qelt-it")


if __name__ == "__main__":
    sys.exit(main())
