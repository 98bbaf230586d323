#!/usr/bin/env python3
"""qelt-cli logger against qelt-sim on a real pseudo-terminal, as separate processes.

Usage: logger_cli_test.py CASE QELT_CLI QELT_SIM
"""
import datetime
import os
import re
import subprocess
import sys
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from simrig import QUANTITIES, SKIPPED, Failed, Simulator, expect, run_case, run_cli  # noqa: E402

LIST_TITLES = ["No.s", "      Date", "    Time"] + QUANTITIES
SHEET_TITLES = ["No.s", "Date", "Time"] + QUANTITIES
VALUE_TEXT = re.compile(r"^-?(\d{3,4}\.\d|\d\.\d{3})$")


def logger_list(cli, device):
    rc, out, err, _ = run_cli(cli, ["logger", "list", "--port", device], limit=60)
    out = out.decode()
    expect(rc == 0, f"logger list: exit {rc}, {err!r}")
    lines = out.split("\n")
    expect(lines[-1] == "" and "\r" not in out, f"logger list: LF lines expected: {out!r}")
    expect(lines[0].startswith("Remained\t") and lines[0].endswith(" K"), f"logger list: line 1 {lines[0]!r}")
    expect(lines[1] == "Set\t Date\t Time\t Mode\tRec.s\tIntv.", f"logger list: header {lines[1]!r}")
    return lines[0].split("\t")[1], [line.split("\t") for line in lines[2:-1]]


def read_sheet(path):
    """Rows of the first worksheet: {row number: {column letters: value text}}; strings resolved."""
    with zipfile.ZipFile(path) as book:
        xml = book.read("xl/worksheets/sheet1.xml").decode()
        strings = []
        if "xl/sharedStrings.xml" in book.namelist():
            shared = book.read("xl/sharedStrings.xml").decode()
            strings = re.findall(r"<si><t[^>]*>(.*?)</t></si>", shared)
    rows = {}
    for number, body in re.findall(r'<row r="(\d+)"[^>]*>(.*?)</row>', xml):
        cells = {}
        for ref, attrs, inner in re.findall(r'<c r="([A-Z]+)\d+"([^>]*)>(.*?)</c>', body):
            if 't="inlineStr"' in attrs:
                cells[ref] = re.search(r"<t[^>]*>(.*?)</t>", inner).group(1)
            else:
                value = re.search(r"<v>(.*?)</v>", inner).group(1)
                cells[ref] = strings[int(value)] if 't="s"' in attrs else value
        rows[int(number)] = cells
    return rows


def column_letters(index):
    letters = ""
    index += 1
    while index:
        index, rest = divmod(index - 1, 26)
        letters = chr(65 + rest) + letters
    return letters


def check_set(cli, device, tmp, number, entry):
    """logger get of one set: the list file and the workbook, against the set's row in logger list."""
    _, date, clock, _, count, interval = entry
    count, interval = int(count), int(interval)
    out = os.path.join(tmp, f"set{number}.txt")
    book = os.path.join(tmp, f"set{number}.xlsx")
    rc, _, err, _ = run_cli(cli, ["logger", "get", "--port", device, "--set", str(number), "--out", out,
                                  "--xlsx", book], limit=120)
    expect(rc == 0, f"set {number}: exit {rc}, {err!r}")
    data = open(out, "rb").read().decode()
    lines = data.split("\r\n")
    expect(lines[-1] == "", f"set {number}: CRLF lines expected")
    lines = lines[:-1]
    expect(len(lines) == count + 1, f"set {number}: {len(lines)} lines for {count} records")
    expect(lines[0] == "\t".join(LIST_TITLES) + "\t", f"set {number}: header {lines[0]!r}")
    start = datetime.datetime.strptime("20" + date + " " + clock, "%Y/%m/%d %H:%M:%S")
    sheet = read_sheet(book)
    expect(len(sheet) == count + 1, f"set {number}: {len(sheet)} sheet rows for {count} records")
    expect([sheet[1].get(column_letters(c)) for c in range(31)] == SHEET_TITLES, f"set {number}: sheet titles")
    for r, line in enumerate(lines[1:]):
        cells = line.split("\t")
        expect(len(cells) == 32 and cells[-1] == "", f"set {number} row {r + 1}: a TAB after every cell")
        moment = start + datetime.timedelta(seconds=r * interval)
        expect(cells[0] == str(r + 1), f"set {number} row {r + 1}: number {cells[0]!r}")
        expect(cells[1] == moment.strftime("%Y/%m/%d") and cells[2] == moment.strftime("%H:%M:%S"),
               f"set {number} row {r + 1}: moment {cells[1]} {cells[2]}")
        for text in cells[3:31]:
            expect(VALUE_TEXT.match(text), f"set {number} row {r + 1}: value text {text!r}")
        for phase in range(3):
            base = 3 + 7 * phase
            v, i = float(cells[base + 5]), float(cells[base + 6])
            expect(f"{v * i / 1000:05.1f}"[:4] == cells[base + 2][:4] or abs(v * i / 1000 - float(cells[base + 2])) < 0.051,
                   f"set {number} row {r + 1}: KVA {cells[base + 2]} for {v} V {i} A")
        row = sheet[r + 2]
        expect(row.get("A") == str(r + 1), f"set {number} sheet row {r + 2}: column A {row.get('A')!r}")
        # Date and time cells are numbers: days since 1899-12-30 and the fraction of the day.
        day = (moment.date() - datetime.date(1899, 12, 30)).days
        seconds = moment.hour * 3600 + moment.minute * 60 + moment.second
        expect(float(row.get("B", "nan")) == day and abs(float(row.get("C", "nan")) * 86400 - seconds) < 1e-6,
               f"set {number} sheet row {r + 2}: moment {row.get('B')} {row.get('C')}")
        expect(abs(float(row["F"]) - float(cells[8]) * float(cells[9]) / 1000) < 1e-9,
               f"set {number} sheet row {r + 2}: unrounded KVA1 {row['F']}")
        expect(float(row["G"]) == float(cells[6]), f"set {number} sheet row {r + 2}: PF1 as a number")
    return lines


def with_sim(sim, args, body):
    s = Simulator(sim, args)
    try:
        return body(s.device)
    finally:
        s.stop()


def case_small(cli, sim, tmp):
    def body(device):
        remain, sets = logger_list(cli, device)
        expect(remain == "510.1 K", f"remained {remain!r}")
        expect([s[:4] for s in sets] == [["1", "11/07/29", "09:05:00", "3P4W"], ["2", "11/07/29", "23:59:30", "1P3W"],
                                         ["3", "11/08/01", "14:00:00", "3P3W2M"]], f"sets {sets!r}")
        for number, entry in enumerate(sets, 1):
            lines = check_set(cli, device, tmp, number, entry)
            if number == 3:
                # Record 6 holds no reading: it repeats record 5.
                expect(lines[6].split("\t")[3:] == lines[5].split("\t")[3:], "set 3: record 6 repeats record 5")
    with_sim(sim, ["--logger", "small"], body)


def case_large(cli, sim, tmp):
    def body(device):
        _, sets = logger_list(cli, device)
        expect([s[4] for s in sets] == ["12000", "20"], f"sets {sets!r}")
        for number, entry in enumerate(sets, 1):
            check_set(cli, device, tmp, number, entry)
    with_sim(sim, ["--logger", "large", "--fast"], body)


def case_usage(cli, sim, tmp):
    def body(device):
        out = os.path.join(tmp, "x.txt")
        for bad in ["0", "4", "-1"]:
            rc, _, err, _ = run_cli(cli, ["logger", "get", "--port", device, "--set", bad, "--out", out])
            expect(rc == 2 and err.startswith("qelt-cli: "), f"--set {bad}: exit {rc}, {err!r}")
            expect(not os.path.exists(out), f"--set {bad}: a file was written")
        rc, _, err, _ = run_cli(cli, ["logger", "erase", "--port", device])
        expect(rc == 2 and err.startswith("qelt-cli: "), f"erase without --yes: exit {rc}, {err!r}")
        _, sets = logger_list(cli, device)
        expect(len(sets) == 3, "erase without --yes erased")
        rc, _, err, _ = run_cli(cli, ["logger", "erase", "--port", device, "--yes"])
        expect(rc == 0, f"erase: exit {rc}, {err!r}")
        remain, sets = logger_list(cli, device)
        expect(sets == [] and remain == "512.0 K", f"after erase: {remain!r} {sets!r}")
        rc, _, _, _ = run_cli(cli, ["logger", "get", "--port", device, "--set", "1", "--out", out])
        expect(rc == 2, f"get from an empty memory: exit {rc}")
    with_sim(sim, ["--logger", "small", "--fast"], body)


def case_silent(cli, sim, tmp):
    def body(device):
        rc, _, err, _ = run_cli(cli, ["logger", "list", "--port", device, "--timeout", "2"])
        expect(rc == 3 and err.startswith("qelt-cli: "), f"silent: exit {rc}, {err!r}")
    with_sim(sim, ["--silent"], body)


CASES = {"small": case_small, "large": case_large, "usage": case_usage, "silent": case_silent}


def main():
    return run_case(CASES, "qelt-logger", errors=(Failed, OSError, KeyError, ValueError, subprocess.TimeoutExpired))


if __name__ == "__main__":
    sys.exit(main())
