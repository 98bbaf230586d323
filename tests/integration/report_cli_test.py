"""qelt-cli report against recordings written here: exit codes, pages, the
figures read back with pdftotext. Usage: report_cli_test.py QELT_CLI"""
import math, os, shutil, subprocess, sys, tempfile

NAMES = ("KW1 KVAR1 KVA1 PF1 Theta1 V1 I1 KW2 KVAR2 KVA2 PF2 Theta2 V2 I2 KW3 KVAR3 KVA3 PF3 Theta3 V3 I3 "
         "Hz I4 TKW TKVAR TKVA TPF TTheta").split()


def recording(path, records, gap_at=None, ol_at=()):
    with open(path, "w", newline="") as f:
        f.write("\t".join(["No.s", "      Date", "    Time"] + NAMES) + "\r\n")
        t = 0
        for k in range(records):
            if k == gap_at:
                t += 600
            cells = ["OL" if (n == "I1" and k in ol_at) else ("0.900" if "PF" in n else "010.0") for n in NAMES]
            f.write("\t".join([str(k + 1), "2026/03/01", "%02d:%02d:%02d" % (t // 3600, t // 60 % 60, t % 60)]
                              + cells) + "\r\n")
            t += 2


def run(cli, *args):
    env = dict(os.environ)
    env.pop("QT_QPA_PLATFORM", None)
    env.pop("DISPLAY", None)
    return subprocess.run([cli, "report", *args], env=env, capture_output=True, timeout=120).returncode


def main():
    cli = sys.argv[1]
    d = tempfile.mkdtemp()
    try:
        rec = os.path.join(d, "run.mes")
        # An hour at 2 s and TKW 10 kW, one 10-minute gap, a few OL currents.
        recording(rec, 1800, gap_at=900, ol_at=(100, 101, 102))
        h = os.path.join(d, "a60.txt")
        with open(h, "w", newline="") as f:
            f.write("\t\t\r\n")
            for i in range(54):
                x = 2 * math.pi * i / 54
                f.write("%d\t%d\t\r\n" % (i + 1, round(1000 * (math.sin(x) + 0.2 * math.sin(3 * x)))))
        out = os.path.join(d, "r.pdf")
        assert run(cli, rec, "--out", out, "--harmonic", h, "--hz", "60") == 0
        info = subprocess.run(["pdfinfo", out], capture_output=True, text=True).stdout
        assert "Pages:           5" in info, info
        text = subprocess.run(["pdftotext", "-layout", out, "-"], capture_output=True, text=True).stdout
        # 1800 records x 2 s x 10 kW = 10 kWh; every full 15-minute block at 10 kW.
        for expected in ["10.000", "10.000 kW in the 15-minute block", "Gaps", "00:10:00", "Harmonic analysis: a60.txt",
                         "THD-F %", "page 5 of 5", "Voltage quality (EN 50160)", "Dips"] + NAMES:
            assert expected in text, expected
        assert run(cli, os.path.join(d, "missing.mes"), "--out", out) == 4
        empty = os.path.join(d, "empty.mes")
        with open(empty, "w") as f:
            f.write("No.s\r\n")
        assert run(cli, empty, "--out", os.path.join(d, "e.pdf")) == 5
        bad = os.path.join(d, "nofolder", "x.pdf")
        assert run(cli, rec, "--out", bad) == 4 and not os.path.exists(bad)
        assert run(cli, rec, "--out", out, "--demand", "0") == 2
    finally:
        shutil.rmtree(d)


main()
