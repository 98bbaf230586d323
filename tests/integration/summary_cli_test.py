#!/usr/bin/env python3
"""qelt-cli summary on recordings written here, and on one recorded from qelt-sim.

Usage: summary_cli_test.py CASE QELT_CLI QELT_SIM

The figures are held against a plain computation here from the same rows:
weights from the most frequent step, gaps and clock steps, energy, demand,
unbalance, frequency share and the hourly profile.
"""
import collections
import datetime
import json
import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from simrig import Failed, Simulator, expect, run_case, run_cli  # noqa: E402

NAMES = ["KW1", "KVAR1", "KVA1", "PF1", "Theta1", "V1", "I1", "KW2", "KVAR2", "KVA2", "PF2", "Theta2", "V2",
         "I2", "KW3", "KVAR3", "KVA3", "PF3", "Theta3", "V3", "I3", "Hz", "I4", "TKW", "TKVAR", "TKVA", "TPF",
         "TTheta"]
HEADER = "\t".join(["No.s", "      Date", "    Time"] + NAMES)
START = datetime.datetime(2026, 3, 2, 9, 50, 0)


def values(k):
    """The 28 value texts of record k: a load that changes every minute."""
    v = {}
    for p in (1, 2, 3):
        kw = 3.0 + p + (k // 30) % 5 - (4.5 if k % 97 == 0 else 0)
        v[f"KW{p}"] = f"{kw:05.1f}" if kw >= 0 else f"-{-kw:04.1f}"
        v[f"KVAR{p}"] = f"{1.5 - p * 0.5:05.1f}" if p < 3 else "-000.5"
        v[f"KVA{p}"] = f"{abs(kw) + 1.0:05.1f}"
        v[f"PF{p}"] = "0.950"
        v[f"Theta{p}"] = "018.2"
        v[f"V{p}"] = f"{228.0 + p * 2 + (k % 3):05.1f}"
        v[f"I{p}"] = f"{10.0 + p * (k % 4):05.1f}"
    v["Hz"] = "050.0" if k % 10 else "050.6"
    v["I4"] = "OL" if k % 50 == 0 else ("" if k % 77 == 0 else "000.4")
    tkw = sum(float(v[f"KW{p}"]) for p in (1, 2, 3))
    v["TKW"] = f"{tkw:05.1f}" if tkw >= 0 else f"-{-tkw:04.1f}"
    v["TKVAR"] = "002.0"
    v["TKVA"] = f"{abs(tkw) + 3.0:05.1f}"
    v["TPF"] = "0.950"
    v["TTheta"] = "018.2"
    return [v[name] for name in NAMES]


def moments():
    """Every 2 s for 50 minutes, with an outage of 5 minutes and a clock step back of 10 s."""
    t, out = START, []
    for k in range(1500):
        out.append(t)
        if k == 600:
            t += datetime.timedelta(seconds=300)
        elif k == 900:
            t -= datetime.timedelta(seconds=10)
        else:
            t += datetime.timedelta(seconds=2)
    return out


def rows():
    return [(t, values(k)) for k, t in enumerate(moments())]


def write_recording(path, rows_, per_file, list_style=False):
    """Record files as the recorder writes them (continuation files every per_file records), or a saved list."""
    end = "\t\r\n" if list_style else "\r\n"
    names = [path] + [continuation(path, n) for n in range(1, (len(rows_) - 1) // per_file + 1)]
    for part, name in enumerate(names):
        with open(name, "wb") as f:
            f.write((HEADER + end).encode())
            for n in range(part * per_file, min(len(rows_), (part + 1) * per_file)):
                t, v = rows_[n]
                line = "\t".join([str(n + 1), t.strftime("%Y/%m/%d"), t.strftime("%H:%M:%S")] + v)
                f.write((line + end).encode())
    return names


def continuation(path, n):
    folder, name = os.path.split(path)
    dot = name.find(".")
    name = name + f"-{n}" if dot < 0 else name[:dot] + f"-{n}" + name[dot:]
    return os.path.join(folder, name)


def number(text):
    return None if text in ("", "OL", "-OL") else float(text)


def reference(rows_, demand_minutes=15):
    """The figures computed the plain way."""
    secs = [int((t - datetime.datetime(1970, 1, 1)).total_seconds()) for t, _ in rows_]
    steps = collections.Counter(b - a for a, b in zip(secs, secs[1:]) if b > a)
    top = max(steps.values())
    T = min(d for d, c in steps.items() if c == top)
    weights, gaps, gap_s, clock_steps = [], 0, 0, 0
    for a, b in zip(secs, secs[1:]):
        d = b - a
        if d <= 0:
            weights.append(0)
            clock_steps += 1
        elif d > 2 * T:
            weights.append(T)
            gaps += 1
            gap_s += d - T
        else:
            weights.append(d)
    weights.append(T)
    col = {name: i for i, name in enumerate(NAMES)}

    def energy(p, q, s):
        e = dict(kWh_import=0.0, kWh_export=0.0, kvarh_positive=0.0, kvarh_negative=0.0, kVAh=0.0)
        for (_, v), w in zip(rows_, weights):
            P, Q, S = (number(v[col[x]]) or 0.0 for x in (p, q, s))
            e["kWh_import"] += max(P, 0) * w / 3600
            e["kWh_export"] += max(-P, 0) * w / 3600
            e["kvarh_positive"] += max(Q, 0) * w / 3600
            e["kvarh_negative"] += max(-Q, 0) * w / 3600
            e["kVAh"] += S * w / 3600
        return e

    blocks, block, length = [], None, demand_minutes * 60
    for (t, v), s, w in zip(rows_, secs, weights):
        midnight = s - s % 86400
        start = midnight + (s - midnight) // length * length
        if block is None or block[0] != start:
            block = [start, 0.0, 0.0, min(length, midnight + 86400 - start)]
            blocks.append(block)
        block[1] += (number(v[col["TKW"]]) or 0.0) * w
        block[2] += w
    full = [(b[1] / b[2], b[0]) for b in blocks if b[2] > 0 and b[2] >= 0.8 * b[3]]
    peak = max(full, key=lambda x: (x[0], -x[1])) if full else None

    def unbalance(names):
        pcts = []
        for (t, v) in rows_:
            x = [number(v[col[n]]) for n in names]
            if all(a is not None and a > 0 for a in x):
                m = sum(x) / 3
                pcts.append((max(abs(a - m) for a in x) / m * 100, t))
        return pcts

    hourly = []
    for h in range(24):
        num = sum((number(v[col["TKW"]]) or 0.0) * w for (t, v), w in zip(rows_, weights) if t.hour == h)
        den = sum(w for (t, v), w in zip(rows_, weights) if t.hour == h)
        hourly.append(num / den if den > 0 else None)
    hz = [number(v[col["Hz"]]) for _, v in rows_ if number(v[col["Hz"]]) is not None]
    nominal = 50 if sum(hz) / len(hz) < 55 else 60
    return dict(T=T, weights=weights, gaps=gaps, gap_s=gap_s, clock_steps=clock_steps,
                total=energy("TKW", "TKVAR", "TKVA"),
                phases=[energy(f"KW{p}", f"KVAR{p}", f"KVA{p}") for p in (1, 2, 3)],
                blocks=len(full), peak=peak, voltage=unbalance(["V1", "V2", "V3"]),
                current=unbalance(["I1", "I2", "I3"]), hourly=hourly, nominal=nominal,
                share=sum(1 for x in hz if abs(x - nominal) <= nominal / 100 + 1e-9) / len(hz))


def close(a, b, what):
    expect(a is not None and math.isclose(a, b, rel_tol=1e-9, abs_tol=1e-12), f"{what}: {a} against {b}")


def summary_json(cli, args):
    rc, out, err, _ = run_cli(cli, ["summary"] + args + ["--format", "json"])
    expect(rc == 0, f"exit {rc}, stderr {err!r}")
    return json.loads(out), err


def check_figures(doc, rows_, demand=15):
    ref = reference(rows_, demand)
    expect(doc["records"] == len(rows_), f"records {doc['records']}")
    expect(doc["bad_rows"] == 0, f"bad rows {doc['bad_rows']}")
    expect(doc["interval_s"] == ref["T"], f"interval {doc['interval_s']}")
    expect(doc["gaps"] == ref["gaps"] == 1 and doc["gap_s"] == ref["gap_s"] == 298, f"gaps {doc['gaps']} {doc['gap_s']}")
    expect(doc["clock_steps"] == ref["clock_steps"] == 1, f"clock steps {doc['clock_steps']}")
    expect(doc["covered_s"] == sum(ref["weights"]), f"covered {doc['covered_s']}")
    expect(doc["first"] == rows_[0][0].strftime("%Y/%m/%d %H:%M:%S"), f"first {doc['first']}")
    expect(doc["last"] == rows_[-1][0].strftime("%Y/%m/%d %H:%M:%S"), f"last {doc['last']}")
    for key, value in ref["total"].items():
        close(doc["energy"][key], value, key)
    for p in range(3):
        for key, value in ref["phases"][p].items():
            close(doc["energy"]["per_phase"][str(p + 1)][key], value, f"phase {p + 1} {key}")
    close(doc["pf_average"], (ref["total"]["kWh_import"] + ref["total"]["kWh_export"]) / ref["total"]["kVAh"], "pf")
    expect(doc["demand"]["minutes"] == demand and doc["demand"]["blocks"] == ref["blocks"],
           f"demand {doc['demand']} against {ref['blocks']} blocks")
    close(doc["demand"]["peak_kW"], ref["peak"][0], "peak demand")
    peak_at = (datetime.datetime(1970, 1, 1) + datetime.timedelta(seconds=ref["peak"][1])).strftime("%Y/%m/%d %H:%M:%S")
    expect(doc["demand"]["peak_at"] == peak_at, f"peak at {doc['demand']['peak_at']} against {peak_at}")
    for kind in ("voltage", "current"):
        pcts = ref[kind]
        u = doc["unbalance"][kind]
        expect(u["records"] == len(pcts), f"{kind} unbalance records {u['records']}")
        best = max(pcts, key=lambda x: x[0])
        first_best = next(x for x in pcts if x[0] == best[0])
        close(u["max_pct"], best[0], f"{kind} unbalance max")
        expect(u["max_at"] == first_best[1].strftime("%Y/%m/%d %H:%M:%S"), f"{kind} max at {u['max_at']}")
        close(u["mean_pct"], sum(x[0] for x in pcts) / len(pcts), f"{kind} unbalance mean")
    expect(doc["frequency"]["nominal"] == ref["nominal"], f"nominal {doc['frequency']}")
    close(doc["frequency"]["within_1pct_share"], ref["share"], "frequency share")
    for h in range(24):
        if ref["hourly"][h] is None:
            expect(doc["hourly_kW"][h] is None, f"hour {h}: {doc['hourly_kW'][h]}")
        else:
            close(doc["hourly_kW"][h], ref["hourly"][h], f"hour {h}")
    i4 = doc["quantities"]["I4"]
    expect(i4["ol"] == sum(1 for _, v in rows_ if v[22] == "OL"), f"I4 OL {i4}")
    expect(i4["missing"] == sum(1 for _, v in rows_ if v[22] == ""), f"I4 missing {i4}")
    kw1 = [float(v[0]) for _, v in rows_]
    close(doc["quantities"]["KW1"]["min"], min(kw1), "KW1 min")
    close(doc["quantities"]["KW1"]["mean"], sum(kw1) / len(kw1), "KW1 mean")
    expect(doc["quantities"]["KW1"]["min_at"] == rows_[kw1.index(min(kw1))][0].strftime("%Y/%m/%d %H:%M:%S"),
           "KW1 min at")


def case_recording(cli, sim, tmp):
    rows_ = rows()
    path = os.path.join(tmp, "week.2026.mes")
    names = write_recording(path, rows_, 400)
    expect(len(names) == 4, f"{len(names)} files")
    doc, err = summary_json(cli, [path])
    expect(err == "", f"stderr {err!r}")
    expect(doc["files"] == [os.path.basename(n) for n in names], f"files {doc['files']}")
    check_figures(doc, rows_)
    # --demand and --single
    doc, _ = summary_json(cli, [path, "--demand", "7"])
    check_figures(doc, rows_, 7)
    doc, _ = summary_json(cli, [path, "--single"])
    expect(doc["files"] == ["week.2026.mes"] and doc["records"] == 400, f"single: {doc['files']} {doc['records']}")


def case_list_file(cli, sim, tmp):
    rows_ = rows()
    path = os.path.join(tmp, "0302095000.mes")
    write_recording(path, rows_, len(rows_), list_style=True)
    doc, _ = summary_json(cli, [path])
    check_figures(doc, rows_)
    # A bad row is counted, told on stderr and skipped.
    with open(path, "ab") as f:
        f.write(b"1501\t2026/03/02\t10:45:00\tOL\r\n")
    doc, err = summary_json(cli, [path])
    expect(doc["bad_rows"] == 1 and doc["records"] == len(rows_), f"bad rows {doc['bad_rows']}")
    expect("1 bad row" in err, f"stderr {err!r}")


def case_text(cli, sim, tmp):
    path = os.path.join(tmp, "run.mes")
    write_recording(path, rows(), 10000)
    rc, out, err, _ = run_cli(cli, ["summary", path])
    expect(rc == 0, f"exit {rc}, stderr {err!r}")
    text = out.decode("utf-8")
    for needle in ("Records", "1500", "Interval", "Peak demand", "kWh", "kvarh", "kVAh", "Average power factor",
                   "Voltage unbalance: maximum", "Nominal frequency", "Quantity", "TKW", "kW", "Hz"):
        expect(needle in text, f"{needle!r} not in the table:\n{text}")
    line = next(x for x in text.splitlines() if x.startswith("Gaps"))
    expect(line.split()[1] == "1", f"gaps line {line!r}")


def case_exits(cli, sim, tmp):
    path = os.path.join(tmp, "run.mes")
    write_recording(path, rows()[:10], 10000)
    for args in (["--demand", "0"], ["--demand", "1441"], ["--demand", "2.5"], ["--format", "xml"], ["--bogus"]):
        rc, out, err, _ = run_cli(cli, ["summary", path] + args)
        expect(rc == 2 and out == b"", f"{args}: exit {rc}, stdout {out!r}")
    rc, _, err, _ = run_cli(cli, ["summary"])
    expect(rc == 2, f"no FILE: exit {rc}")
    rc, out, err, _ = run_cli(cli, ["summary", os.path.join(tmp, "none.mes")])
    expect(rc == 4 and out == b"" and "none.mes" in err, f"missing: exit {rc}, stderr {err!r}")
    rc, _, err, _ = run_cli(cli, ["summary", tmp])
    expect(rc == 4, f"a folder: exit {rc}, stderr {err!r}")
    header = os.path.join(tmp, "header.mes")
    with open(header, "wb") as f:
        f.write((HEADER + "\r\n").encode())
    rc, out, err, _ = run_cli(cli, ["summary", header])
    expect(rc == 5 and out == b"", f"a header alone: exit {rc}")
    noise = os.path.join(tmp, "noise.bin")
    with open(noise, "wb") as f:
        f.write(os.urandom(5000).replace(b"\t", b"x"))
    rc, out, err, _ = run_cli(cli, ["summary", noise, "--format", "json"])
    expect(rc == 5 and out == b"", f"random bytes: exit {rc}")


def case_recorded(cli, sim, tmp):
    """A recording made by qelt-cli record from the simulator, summarised."""
    link = os.path.join(tmp, "dev")
    mes = os.path.join(tmp, "sim.mes")
    s = Simulator(sim, ["--link", link, "--fast"])
    try:
        rc, _, err, _ = run_cli(cli, ["record", "--port", link, "--count", "4", "--interval", "1", "--out", mes])
    finally:
        s.stop()
    expect(rc == 0, f"record: exit {rc}, stderr {err!r}")
    doc, _ = summary_json(cli, [mes])
    expect(doc["records"] == 4 and doc["interval_s"] == 1, f"records {doc['records']}, interval {doc['interval_s']}")
    expect(doc["covered_s"] == 4 and doc["gaps"] == 0, f"covered {doc['covered_s']}")
    expect(doc["quantities"]["V1"]["count"] + doc["quantities"]["V1"]["ol"] == 4, f"V1 {doc['quantities']['V1']}")


def case_daylight_saving(cli, sim, tmp):
    """A night's recording in central European wall time across the change back:
    the text says so; the figures stay those of the records' own times."""
    night = [datetime.datetime(2026, 10, 25, 1, 30) + datetime.timedelta(minutes=m) for m in range(90)]
    night += [datetime.datetime(2026, 10, 25, 2, 0) + datetime.timedelta(minutes=m) for m in range(90)]
    path = os.path.join(tmp, "night.mes")
    write_recording(path, [(t, values(k)) for k, t in enumerate(night)], 10000)
    said = {}
    for zone in ("CET-1CEST,M3.5.0,M10.5.0/3", "UTC0"):
        os.environ["TZ"] = zone
        rc, out, err, _ = run_cli(cli, ["summary", path])
        expect(rc == 0, f"{zone}: exit {rc}, stderr {err!r}")
        said[zone] = [x for x in out.decode("utf-8").splitlines() if x.startswith("Daylight saving")]
        doc, _ = summary_json(cli, [path])
        expect(doc["clock_steps"] == 1 and doc["records"] == 180, f"{zone}: figures {doc['clock_steps']}")
    expect(said["CET-1CEST,M3.5.0,M10.5.0/3"] == [
        "Daylight saving: at 2026/10/25 03:00:00 the local clock went back by 60 minutes; the records repeat the "
        "60 minutes before it."], f"central Europe: {said}")
    expect(said["UTC0"] == [], f"UTC: {said}")


CASES = {"recording": case_recording, "list_file": case_list_file, "text": case_text, "exits": case_exits,
         "recorded": case_recorded, "daylight_saving": case_daylight_saving}

if __name__ == "__main__":
    sys.exit(run_case(CASES, "qelt-summary", errors=(Failed, AssertionError, ValueError, KeyError, TypeError)))
