#!/usr/bin/env python3
"""qelt-cli harmonic get / analyze against qelt-sim on a pseudo-terminal.

Usage: harmonic_cli_test.py CASE QELT_CLI QELT_SIM

The figures table is held against a plain DFT of the saved samples computed
here, and the files against their byte formats.
"""
import json
import math
import os
import select
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from simrig import SKIPPED, Failed, Simulator, expect, run_case, run_cli  # noqa: E402

HEADER = "K\tORD%\tDegree\tTHD-F%\tTHD-R%"


def single(x):
    return struct.unpack("f", struct.pack("f", x))[0]


def read_samples(path):
    with open(path, "rb") as f:
        data = f.read()
    expect(data.startswith(b"\t\t\r\n"), f"harmonic file header {data[:8]!r}")
    lines = data.split(b"\r\n")
    expect(lines[-1] == b"", "harmonic file does not end with CR LF")
    rows = [line.decode("ascii") for line in lines[1:-1]]
    samples = []
    for i, row in enumerate(rows, 1):
        cells = row.split("\t")
        expect(len(cells) == 3 and cells[0] == str(i) and cells[2] == "", f"row {i}: {row!r}")
        expect(cells[1].lstrip("-").isdigit(), f"row {i}: sample {cells[1]!r}")
        samples.append(int(cells[1]))
    return samples


def cycle_of(samples, hz, decimals=None):
    if hz == 50:
        return [float(v) for v in samples[:64]]
    cycle = [float(samples[0])]
    for j in range(1, 63):
        x = j * 53 / 63
        k = int(x)
        v = samples[k] + (x - k) * (samples[k + 1] - samples[k])
        cycle.append(round(v, decimals) if decimals is not None else v)
    cycle.append(float(samples[53]))
    return cycle


def figures(cycle):
    """(ORD %, phase, THD-F, THD-R) per order 1..31 by a plain DFT."""
    amps, phases = [], []
    for h in range(1, 32):
        re = sum(v * math.cos(2 * math.pi * h * n / 64) for n, v in enumerate(cycle))
        im = -sum(v * math.sin(2 * math.pi * h * n / 64) for n, v in enumerate(cycle))
        amps.append(single(math.hypot(re, im)))
        phases.append(math.degrees(math.atan2(im, re)))
    rows = []
    for h in range(1, 32):
        s = sum(a * a for a in amps[1:h])
        thdf = math.sqrt(s) / amps[0] * 100 if h > 1 else 0.0
        thdr = math.sqrt(s) / math.sqrt(s + amps[0] ** 2) * 100 if h > 1 else 0.0
        rows.append((amps[h - 1] / amps[0] * 100, phases[h - 1], thdf, thdr))
    return rows


def check_report(text, expected, what):
    expect(isinstance(text, str) and "\r" not in text and text.endswith("\n"), f"{what}: report must end in LF lines")
    lines = text.split("\n")[:-1]
    expect(len(lines) == 32 and lines[0] == HEADER, f"{what}: {len(lines)} lines, header {lines[0]!r}")
    expect(lines[1].startswith("1\t100.00\t") and lines[1].endswith("\t0\t0"), f"{what}: row 1 {lines[1]!r}")
    for h in range(1, 32):
        cells = lines[h].split("\t")
        expect(len(cells) == 5 and cells[0] == str(h), f"{what}: row {h} {lines[h]!r}")
        for n, (got, want) in enumerate(zip(cells[1:], expected[h - 1])):
            if h == 1 and n >= 2:
                continue
            expect(len(got.split(".")[-1]) == 2, f"{what}: row {h} cell {got!r} is not 0.00")
            # Two decimals, so half a step plus what the rounding of a phase near 0 may flip;
            # a phase near the half turn may come out as 180 or as -180.
            off = float(got) - want
            if n == 1:
                off = (off + 180) % 360 - 180
            expect(abs(off) <= 0.0051, f"{what}: order {h} figure {n + 1}: {got} against {want:.4f}")


def get_and_analyze(cli, sim, tmp, hz):
    s = Simulator(sim, ["--hz", str(hz)])
    out, cyc = os.path.join(tmp, "h.txt"), os.path.join(tmp, "cycle.txt")
    try:
        rc, report, err, _ = run_cli(cli, ["harmonic", "get", "--port", s.device, "--signal", "A Phase Current",
                                           "--hz", str(hz), "--out", out, "--cycle", cyc])
    finally:
        s.stop()
    expect(rc == 0, f"get exit {rc}: {err!r}")
    expect(err == "", f"get stderr {err!r}")
    samples = read_samples(out)
    expect(len(samples) == (64 if hz == 50 else 54), f"{len(samples)} sample rows at {hz} Hz")
    check_report(report.decode("ascii"), figures(cycle_of(samples, hz)), f"get {hz} Hz")

    with open(cyc, "rb") as f:
        lines = f.read().split(b"\r\n")
    expect(lines[0] == b"No.s\tValue\t" and lines[-1] == b"" and len(lines) == 66, f"cycle list {lines[:2]!r}")
    values = []
    for i, line in enumerate(lines[1:-1], 1):
        number, value, rest = line.decode().split("\t")
        expect(number == str(i) and rest == "" and len(value.split(".")[1]) == 4, f"cycle row {line!r}")
        values.append(float(value))
    expect(max(values) == 1.0, f"cycle peak {max(values)}")

    # The file again: "Open" stretches it as a 60 Hz cycle with three decimals;
    # at --hz 50 a 64-row file is taken as it stands.
    report_file = os.path.join(tmp, "report.txt")
    args = ["harmonic", "analyze", out, "--report", report_file] + (["--hz", "50"] if hz == 50 else [])
    rc, stdout, err, _ = run_cli(cli, args)
    # Without --hz the sample count decides, and stderr says so.
    said = "" if hz == 50 else f"qelt-cli: {out}: 54 sample lines: read as one 60 Hz cycle"
    expect(rc == 0 and stdout == b"" and err.startswith(said) and (hz == 60 or err == ""),
           f"analyze exit {rc}, stdout {stdout[:40]!r}, {err!r}")
    with open(report_file, "rb") as f:
        analysed = f.read().decode("ascii")
    check_report(analysed, figures(cycle_of(samples, hz, None if hz == 50 else 3)), f"analyze {hz} Hz")
    if hz == 50:
        expect(analysed == report.decode("ascii"), "analyze --hz 50 of a 50 Hz file differs from get")
        # Without --hz, 64 samples are taken as the 50 Hz cycle they are.
        rc, inferred, err, _ = run_cli(cli, ["harmonic", "analyze", out])
        expect(rc == 0 and inferred == report and "read as one 50 Hz cycle" in err,
               f"analyze without --hz: exit {rc} {err!r}")
        # --hz 60 keeps the file window's reading, 54 samples stretched, and warns.
        rc, stretched, err, _ = run_cli(cli, ["harmonic", "analyze", out, "--hz", "60"])
        expect(rc == 0 and "warning" in err and "look like a 50 Hz acquisition" in err, f"--hz 60: {rc} {err!r}")
        check_report(stretched.decode("ascii"), figures(cycle_of(samples, 60, 3)), "analyze --hz 60 of 64 samples")


def case_hz50(cli, sim, tmp):
    get_and_analyze(cli, sim, tmp, 50)


def case_hz60(cli, sim, tmp):
    get_and_analyze(cli, sim, tmp, 60)


def case_exits(cli, sim, tmp):
    # 2, and nothing reaches the port.
    master, slave = os.openpty()
    try:
        device = os.ttyname(slave)
        for args in (["--signal", "g", "--hz", "60"], ["--signal", "a phase voltage", "--hz", "60"],
                     ["--signal", "a", "--hz", "55"]):
            rc, out, err, _ = run_cli(cli, ["harmonic", "get", "--port", device, "--out", os.path.join(tmp, "x")]
                                      + args)
            expect(rc == 2 and out == b"", f"{args}: exit {rc}, {err!r}")
            ready, _, _ = select.select([master], [], [], 0.2)
            expect(not ready, f"{args}: something was sent: {os.read(master, 100) if ready else b''!r}")
        expect(not os.path.exists(os.path.join(tmp, "x")), "a file was written")
    finally:
        os.close(master)
        os.close(slave)
    rc, _, _, _ = run_cli(cli, ["harmonic", "analyze", os.path.join(tmp, "none"), "--hz", "55"])
    expect(rc == 2, f"analyze --hz 55: exit {rc}")

    # 3: a silent instrument, wake-up included.
    s = Simulator(sim, ["--silent"])
    try:
        rc, out, err, _ = run_cli(cli, ["harmonic", "get", "--port", s.device, "--signal", "b", "--hz", "50",
                                        "--out", os.path.join(tmp, "h"), "--timeout", "1"], limit=10)
    finally:
        s.stop()
    expect(rc == 3 and out == b"" and "did not answer" in err, f"silent: exit {rc}, {err!r}")

    # 4: files that cannot be read or written.
    rc, _, err, _ = run_cli(cli, ["harmonic", "analyze", os.path.join(tmp, "none")])
    expect(rc == 4 and err.startswith("qelt-cli: "), f"missing file: exit {rc}, {err!r}")
    rc, _, _, _ = run_cli(cli, ["harmonic", "analyze", tmp])
    expect(rc == 4, f"a folder: exit {rc}")
    good = os.path.join(tmp, "good.txt")
    with open(good, "wb") as f:
        f.write(b"\t\t\r\n" + b"".join(b"%d\t%d\t\r\n" % (i, int(1000 * math.sin(i / 9))) for i in range(1, 61)))
    rc, _, _, _ = run_cli(cli, ["harmonic", "analyze", good, "--report", os.path.join(tmp, "no", "r.txt")])
    expect(rc == 4, f"unwritable report: exit {rc}")
    s = Simulator(sim, [])
    try:
        rc, _, _, _ = run_cli(cli, ["harmonic", "get", "--port", s.device, "--signal", "a", "--hz", "60",
                                    "--out", os.path.join(tmp, "no", "h.txt")])
    finally:
        s.stop()
    expect(rc == 4, f"unwritable harmonic file: exit {rc}")

    # 5: too few sample rows (54, or 64 at --hz 50).
    short = os.path.join(tmp, "short.txt")
    with open(short, "wb") as f:
        f.write(b"\t\t\r\n" + b"".join(b"%d\t%d\t\r\n" % (i, i) for i in range(1, 54)))
    rc, _, err, _ = run_cli(cli, ["harmonic", "analyze", short])
    expect(rc == 5 and "53" in err, f"53 rows: exit {rc}, {err!r}")
    rc, _, _, _ = run_cli(cli, ["harmonic", "analyze", good])
    expect(rc == 0, f"60 rows: exit {rc}")
    rc, _, _, _ = run_cli(cli, ["harmonic", "analyze", good, "--hz", "50"])
    expect(rc == 5, f"60 rows at --hz 50: exit {rc}")


EN50160 = {2: 2.0, 3: 5.0, 4: 1.0, 5: 6.0, 7: 5.0, 9: 1.5, 11: 3.5, 13: 3.0, 15: 0.5, 17: 2.0, 19: 1.5, 21: 0.5,
           23: 1.5, 25: 1.5, **{h: 0.5 for h in range(6, 25, 2)}}


def ieee519_current(r, h):
    rows = [(20, (4.0, 2.0, 1.5, 0.6)), (50, (7.0, 3.5, 2.5, 1.0)), (100, (10.0, 4.5, 4.0, 1.5)),
            (1000, (12.0, 5.5, 5.0, 2.0)), (math.inf, (15.0, 7.0, 6.0, 2.5))]
    bands = next(b for top, b in rows if r < top)
    band = bands[0] if h < 11 else bands[1] if h < 17 else bands[2] if h < 23 else bands[3]
    return band / 2 if h % 2 == 0 and h <= 6 else band


def write_wave(path, n, orders):
    """One cycle of n samples, the orders in percent of the fundamental."""
    with open(path, "wb") as f:
        f.write(b"\t\t\r\n")
        for i in range(n):
            x = 2 * math.pi * i / n
            v = 100000 * math.sin(x) + sum(1000 * p * math.sin(h * x + 0.3 * h) for h, p in orders.items())
            f.write(b"%d\t%d\t\r\n" % (i + 1, round(v)))


def table_of(cli, path, hz):
    rc, out, err, _ = run_cli(cli, ["harmonic", "analyze", path, "--hz", str(hz)])
    expect(rc == 0, f"analyze {path}: exit {rc} {err!r}")
    return [line.split("\t") for line in out.decode("ascii").split("\n")[1:-1]]


def check_limits(cli, path, hz, args, limit_of, thd_limit):
    table = table_of(cli, path, hz)
    rc, out, err, _ = run_cli(cli, ["harmonic", "limits", path, "--format", "json"] + args)
    expect(rc == 0, f"limits {args}: exit {rc} {err!r}")
    got = json.loads(out)
    expect(list(got) == ["file", "hz", "standard", "kind", "isc_il", "thd_pct", "thd_limit_pct", "thd_pass", "orders",
                         "pass"], f"keys {list(got)}")
    expect(got["file"] == path and got["hz"] == hz, f"file/hz {got['file']} {got['hz']}")
    expect([o["h"] for o in got["orders"]] == list(range(2, 32)), "orders 2..31")
    failing = []
    for o in got["orders"]:
        text = table[o["h"] - 1][1]
        expect(o["pct"] == float(text), f"order {o['h']}: pct {o['pct']} against the table's {text}")
        limit = limit_of(o["h"])
        expect(o["limit_pct"] == limit, f"order {o['h']}: limit {o['limit_pct']} against {limit}")
        want = None if limit is None else round(float(text) * 100) <= round(limit * 100)
        expect(o["pass"] is want, f"order {o['h']}: pass {o['pass']} against {want}")
        if want is False:
            failing.append(o["h"])
    thd = table[30][3]
    expect(got["thd_pct"] == float(thd) and got["thd_limit_pct"] == thd_limit, f"thd {got['thd_pct']} {thd}")
    expect(got["thd_pass"] is (float(thd) <= thd_limit), f"thd_pass {got['thd_pass']}")
    expect(got["pass"] is (not failing and got["thd_pass"]), f"pass {got['pass']}")
    return got, failing


def case_limits(cli, sim, tmp):
    for hz, n in ((50, 64), (60, 54)):
        path = os.path.join(tmp, f"wave{hz}.txt")
        write_wave(path, n, {3: 2.0, 5: 6.8, 7: 1.0, 11: 3.0})
        got, failing = check_limits(cli, path, hz, ["--standard", "en50160"], EN50160.get, 8.0)
        expect(failing == [5] and got["standard"] == "en50160" and got["kind"] == "voltage" and got["isc_il"] is None,
               f"en50160 at {hz} Hz: {failing} {got['kind']}")
        got, failing = check_limits(cli, path, hz, ["--standard", "ieee519"], lambda h: 5.0, 8.0)
        expect(failing == [5], f"ieee519 voltage at {hz} Hz: {failing}")
        for r, over in ((19.9, [5, 11]), (20, []), (50, [])):
            got, failing = check_limits(cli, path, hz, ["--standard", "ieee519", "--isc-il", str(r)],
                                        lambda h, r=r: ieee519_current(r, h),
                                        5.0 if r < 20 else 8.0 if r < 50 else 12.0)
            expect(failing == over and got["kind"] == "current" and got["isc_il"] == r,
                   f"ieee519 R {r} at {hz} Hz: {failing}, {got['kind']} {got['isc_il']}")

    # The text: heading, the orders, the THD line and the verdict.
    rc, out, err, _ = run_cli(cli, ["harmonic", "limits", os.path.join(tmp, "wave50.txt"), "--standard", "en50160"])
    lines = out.decode("ascii").split("\n")
    expect(rc == 0 and lines[1] == "K\tORD%\tLimit%\tResult" and len(lines) == 35 and lines[-1] == "",
           f"text: {rc} {lines[:3]}")
    expect(lines[5].startswith("5\t6.") and lines[5].endswith("\t6.0\tfail"), f"text 5th {lines[5]!r}")
    expect(lines[26].endswith("\t-\t-"), f"text 27th {lines[26]!r}")
    expect(lines[32].startswith("THD-F\t") and lines[32].endswith("\t8.0\tpass"), f"text THD {lines[32]!r}")
    expect(lines[33] == "Verdict\tfail", f"text verdict {lines[33]!r}")
    expect("read as one 50 Hz cycle" in err, f"text stderr {err!r}")

    # Exits: 2 for the choice, 4 unreadable, 5 too short.
    wave = os.path.join(tmp, "wave50.txt")
    for args in (["--standard", "iec"], ["--standard", "ieee519", "--isc-il", "0"],
                 ["--standard", "ieee519", "--isc-il", "abc"], ["--standard", "ieee519", "--isc-il", "-3"],
                 ["--standard", "en50160", "--isc-il", "20"], [], ["--standard", "en50160", "--format", "xml"]):
        rc, out, err, _ = run_cli(cli, ["harmonic", "limits", wave] + args)
        expect(rc == 2 and out == b"", f"{args}: exit {rc} {err!r}")
    rc, _, _, _ = run_cli(cli, ["harmonic", "limits", os.path.join(tmp, "none"), "--standard", "en50160"])
    expect(rc == 4, f"missing file: exit {rc}")
    short = os.path.join(tmp, "short.txt")
    write_wave(short, 53, {})
    rc, _, err, _ = run_cli(cli, ["harmonic", "limits", short, "--standard", "en50160"])
    expect(rc == 5 and "53" in err, f"53 rows: exit {rc} {err!r}")


CASES = {"hz50": case_hz50, "hz60": case_hz60, "exits": case_exits, "limits": case_limits}


def main():
    return run_case(CASES, "qelt-harmonic")


if __name__ == "__main__":
    sys.exit(main())
