#!/usr/bin/env python3
"""qelt-cli quality on recordings written here.

Usage: quality_cli_test.py CASE QELT_CLI QELT_SIM

The events, the 10-minute blocks and the figures are held against a plain
computation here from the same rows, record by record.
"""
import datetime
import json
import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from simrig import Failed, Simulator, expect, run_case, run_cli  # noqa: E402
from summary_cli_test import HEADER, NAMES, continuation  # noqa: E402

START = datetime.datetime(2026, 3, 2, 23, 40, 0)
EPOCH = datetime.datetime(1970, 1, 1)


def voltages(k):
    """V1..V3 texts of record k (2 s apart): a dip, a swell, an outage, a long sag, over range."""
    v = [230.0 + (k % 5) * 0.4, 229.0, 231.0]
    if 300 <= k < 302:
        v[1] = 180.0
    if 302 <= k < 304:
        v[1] = 209.0  # still inside the dip: below 92 %
    if 900 <= k < 903:
        v[0] = 260.0
    if 1500 <= k < 1510:
        v = [3.0, 0.0, 12.0 if k == 1505 else 0.0]
    if 2000 <= k < 2400:
        v = [200.0, 201.0, 199.0]
    texts = [f"{x:05.1f}" for x in v]
    if k == 2600:
        texts[2] = "OL"
    return texts


def rows(count=3000):
    out = []
    for k in range(count):
        t = START + datetime.timedelta(seconds=2 * k)
        values = {name: "000.0" for name in NAMES}
        values["V1"], values["V2"], values["V3"] = voltages(k)
        values["Hz"] = "049.4" if 1500 <= k < 1510 else ("050.6" if k % 100 == 0 else "050.0")
        out.append((t, [values[n] for n in NAMES]))
    return out


def write_recording(path, rows_, per_file):
    names = [path] + [continuation(path, n) for n in range(1, (len(rows_) - 1) // per_file + 1)]
    for part, name in enumerate(names):
        with open(name, "wb") as f:
            f.write((HEADER + "\r\n").encode())
            for n in range(part * per_file, min(len(rows_), (part + 1) * per_file)):
                t, v = rows_[n]
                line = "\t".join([str(n + 1), t.strftime("%Y/%m/%d"), t.strftime("%H:%M:%S")] + v)
                f.write((line + "\r\n").encode())


def number(text):
    return None if text in ("", "OL", "-OL") else float(text)


def events(recs, un, weight_last):
    """The three tracks, literally: recs is [(moment, [V texts])]."""
    def below(p):
        return lambda vs: [i for i, x in enumerate(vs) if number(x) is not None and number(x) < un * p / 100]

    tracks = {
        "dip": (below(90),
                lambda vs: all(number(x) is None or number(x) >= un * 92 / 100 for x in vs)
                and any(x != "" for x in vs)),
        "swell": (lambda vs: [i for i, x in enumerate(vs) if x in ("OL", "-OL") or
                              (number(x) is not None and number(x) > un * 110 / 100)],
                  lambda vs: any(number(x) is not None for x in vs) and not any(x in ("OL", "-OL") for x in vs)
                  and all(number(x) is None or number(x) <= un * 108 / 100 for x in vs)),
        "interruption": (None,
                         lambda vs: any(x in ("OL", "-OL") or (number(x) is not None and number(x) >= un * 7 / 100)
                                        for x in vs)),
    }
    out = []
    for kind, (start_met, ends) in tracks.items():
        cur = None
        for at, vs in recs:
            if kind == "interruption":
                nums = [number(x) for x in vs if number(x) is not None]
                met = below(5)(vs)
                starts = nums and not any(x in ("OL", "-OL") for x in vs) and all(x < un * 5 / 100 for x in nums)
            else:
                met = start_met(vs)
                starts = bool(met)
            if cur is not None:
                if ends(vs):
                    cur["end"] = at
                    out.append(cur)
                    cur = None
                else:
                    cur["recs"].append(vs)
                    cur["phases"] |= set(met)
            if cur is None and starts:
                cur = {"kind": kind, "start": at, "recs": [vs], "phases": set(met), "open": False}
        if cur is not None:
            cur["end"] = recs[-1][0] + weight_last
            cur["open"] = True
            out.append(cur)
    order = {"dip": 0, "swell": 1, "interruption": 2}
    out.sort(key=lambda e: (e["start"], order[e["kind"]]))
    for e in out:
        nums = [number(x) for vs in e["recs"] for x in vs if number(x) is not None]
        over = any(x in ("OL", "-OL") for vs in e["recs"] for x in vs)
        e["extreme"] = None if e["kind"] == "swell" and over else (max(nums) if e["kind"] == "swell" else min(nums))
        e["duration"] = e["end"] - e["start"]
    return out


def reference(rows_, un):
    secs = [int((t - EPOCH).total_seconds()) for t, _ in rows_]
    T = 2
    weights = [b - a for a, b in zip(secs, secs[1:])] + [T]
    col = {name: i for i, name in enumerate(NAMES)}
    recs = [(s, [v[col["V1"]], v[col["V2"]], v[col["V3"]]]) for s, (_, v) in zip(secs, rows_)]
    evs = events(recs, un, T)
    blocks = {}
    for (s, vs), w in zip(recs, weights):
        b = blocks.setdefault(s - s % 600, [0.0, [0.0] * 3, [0.0] * 3])
        b[0] += w
        for p in range(3):
            if number(vs[p]) is not None:
                b[1][p] += number(vs[p]) ** 2 * w
                b[2][p] += w
    flagged = set()
    for e in evs:
        if e["kind"] == "interruption" or e["duration"] <= 60:
            for start, b in blocks.items():
                if b[0] >= 480 and e["start"] < start + 600 and e["end"] > start:
                    flagged.add(start)
    used = {s: [math.sqrt(b[1][p] / b[2][p]) for p in range(3)] for s, b in blocks.items()
            if b[0] >= 480 and s not in flagged}
    cuts = [(e["start"], e["end"]) for e in evs if e["kind"] == "interruption"]
    hz = [(number(v[col["Hz"]]), w) for s, (_, v), w in zip(secs, rows_, weights)
          if not any(a <= s < b for a, b in cuts)]
    return evs, blocks, flagged, used, hz


def close(a, b, what):
    expect(a is not None and abs(a - b) <= 1e-9 * max(1.0, abs(b)), f"{what}: {a} against {b}")


def quality_json(cli, args):
    rc, out, err, _ = run_cli(cli, ["quality"] + args + ["--format", "json"])
    expect(rc == 0, f"exit {rc}, stderr {err!r}")
    return json.loads(out)


def case_recording(cli, sim, tmp):
    path = os.path.join(tmp, "run.mes")
    rows_ = rows()
    write_recording(path, rows_, 1000)
    doc = quality_json(cli, [path])
    expect(doc["files"] == ["run.mes", "run-1.mes", "run-2.mes"], f"files {doc['files']}")
    expect(doc["nominal_v"] == 230 and doc["nominal_given"] is False, f"nominal {doc['nominal_v']}")
    expect(doc["phases"] == [1, 2, 3] and doc["nominal_hz"] == 50, f"phases {doc['phases']}")
    close(doc["days"], 6000 / 86400, "days")
    evs, blocks, flagged, used, hz = reference(rows_, 230.0)
    expect(len(doc["events"]) == len(evs), f"{len(doc['events'])} events against {len(evs)}")
    for got, want in zip(doc["events"], evs):
        when = (EPOCH + datetime.timedelta(seconds=want["start"])).strftime("%Y/%m/%d %H:%M:%S")
        expect(got["kind"] == want["kind"] and got["start"] == when, f"event {got} against {want}")
        expect(got["duration_s"] == want["duration"] and got["open"] == want["open"], f"event {got}")
        expect(got["phases"] == sorted(p + 1 for p in want["phases"]), f"phases {got} against {want}")
        if want["extreme"] is None:
            expect(got["extreme_v"] is None and got["extreme_pct"] is None, f"extreme {got}")
        else:
            close(got["extreme_v"], want["extreme"], "extreme")
            close(got["extreme_pct"], want["extreme"] / 230 * 100, "extreme %")
    expect(doc["interruptions"] == 1, f"interruptions {doc['interruptions']}")
    expect(doc["blocks"]["valid"] == sum(b[0] >= 480 for b in blocks.values()), f"blocks {doc['blocks']}")
    expect(doc["blocks"]["flagged"] == len(flagged), f"flagged {doc['blocks']} against {sorted(flagged)}")
    for p in range(3):
        values = [v[p] for v in used.values()]
        got = doc["voltage"][str(p + 1)]
        expect(got["blocks"] == len(values), f"V{p + 1} blocks {got}")
        close(got["min"], min(values), f"V{p + 1} min")
        close(got["max"], max(values), f"V{p + 1} max")
        close(got["within_10pct_share"], sum(207 <= x <= 253 for x in values) / len(values), f"V{p + 1} share")
    w = sum(x for _, x in hz)
    close(doc["frequency"]["within_1pct_share"], sum(x for f, x in hz if 49.5 <= f <= 50.5) / w, "frequency")
    close(doc["frequency"]["min"], 50.0, "frequency min")
    # The dip of 8 s at 78 %, the sag of 800 s at 87 %, the outage of 20 s (dip row lt5).
    expect(doc["dip_table"]["80_70"] == [0, 0, 1, 0], f"dips {doc['dip_table']}")
    expect(doc["dip_table"]["90_80"] == [0, 0, 0, 1], f"dips {doc['dip_table']}")
    expect(doc["dip_table"]["lt5"] == [0, 0, 1, 0], f"dips {doc['dip_table']}")
    expect(doc["swell_table"] == {"ge120": [0, 1, 0, 0], "120_110": [0, 0, 1, 0]}, f"swells {doc['swell_table']}")
    expect(doc["verdict"] == "fail", f"verdict {doc['verdict']}")  # the sag's blocks are below 90 %

    single = quality_json(cli, [path, "--single", "--nominal", "240", "--line-voltages"])
    expect(single["files"] == ["run.mes"] and single["records"] == 1000, f"single {single['records']}")
    expect(single["nominal_v"] == 240 and single["nominal_given"] is True, f"given {single['nominal_v']}")
    expect(single["unbalance"]["blocks"] > 0, f"unbalance {single['unbalance']}")


def case_text(cli, sim, tmp):
    path = os.path.join(tmp, "run.mes")
    write_recording(path, rows(), 10000)
    rc, out, err, _ = run_cli(cli, ["quality", path])
    expect(rc == 0, f"exit {rc}, stderr {err!r}")
    text = out.decode()
    for needle in ("EN 50160", "--nominal", "Dips", "Swells", "Events (", "interruption", "Verdict: fail",
                   "resolution of 2 s", "90 % > u >= 80 %"):
        expect(needle in text, f"{needle!r} not in the page:\n{text}")


def case_exits(cli, sim, tmp):
    path = os.path.join(tmp, "run.mes")
    write_recording(path, rows(10), 10000)
    for args in (["--nominal", "0"], ["--nominal", "-230"], ["--nominal", "abc"], ["--nominal", "nan"],
                 ["--format", "xml"], ["--bogus"]):
        rc, out, err, _ = run_cli(cli, ["quality", path] + args)
        expect(rc == 2 and out == b"", f"{args}: exit {rc}, stdout {out!r}")
    rc, out, err, _ = run_cli(cli, ["quality", os.path.join(tmp, "none.mes")])
    expect(rc == 4 and out == b"" and "none.mes" in err, f"missing: exit {rc}, stderr {err!r}")
    header = os.path.join(tmp, "header.mes")
    with open(header, "wb") as f:
        f.write((HEADER + "\r\n").encode())
    rc, out, err, _ = run_cli(cli, ["quality", header])
    expect(rc == 5 and out == b"", f"a header alone: exit {rc}")
    rc, out, err, _ = run_cli(cli, ["quality", path, "--nominal", "230.5", "--format", "json"])
    expect(rc == 0 and json.loads(out)["nominal_v"] == 230.5, f"--nominal 230.5: exit {rc}")


def case_recorded(cli, sim, tmp):
    """A dip of the simulator's supply, recorded by qelt-cli record and found again."""
    scenario = os.path.join(tmp, "dip.json")
    with open(scenario, "w") as f:
        json.dump({"drift": False, "supply": [{"kind": "dip", "at": 5, "seconds": 3, "level": 0.5}]}, f)
    link = os.path.join(tmp, "dev")
    mes = os.path.join(tmp, "sim.mes")
    s = Simulator(sim, ["--link", link, "--fast", "--scenario", scenario])
    try:
        rc, _, err, _ = run_cli(cli, ["record", "--port", link, "--count", "14", "--interval", "1", "--out", mes])
    finally:
        s.stop()
    expect(rc == 0, f"record: exit {rc}, stderr {err!r}")
    doc = quality_json(cli, [mes, "--nominal", "230"])
    dips = [e for e in doc["events"] if e["kind"] == "dip"]
    expect(len(dips) == 1, f"events {doc['events']}")
    expect(dips[0]["phases"] == [1, 2, 3] and 40 < dips[0]["extreme_pct"] < 60, f"dip {dips[0]}")
    expect(1 <= dips[0]["duration_s"] <= 4 and not dips[0]["open"], f"dip {dips[0]}")


CASES = {"recording": case_recording, "text": case_text, "exits": case_exits, "recorded": case_recorded}

if __name__ == "__main__":
    sys.exit(run_case(CASES, "qelt-quality", errors=(Failed, AssertionError, ValueError, KeyError, TypeError)))
