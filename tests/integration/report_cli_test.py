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


def run_full(cli, *args):
    env = dict(os.environ)
    env.pop("QT_QPA_PLATFORM", None)
    env.pop("DISPLAY", None)
    # Without a runtime folder (a cron job, a service) the report still says nothing on success.
    env.pop("XDG_RUNTIME_DIR", None)
    done = subprocess.run([cli, "report", *args], env=env, capture_output=True, timeout=120)
    return done.returncode, done.stderr.decode()


def run(cli, *args, quiet=False):
    rc, err = run_full(cli, *args)
    if quiet:
        assert err == "", err
    return rc


def pdf_text(path):
    return subprocess.run(["pdftotext", "-layout", path, "-"], capture_output=True, text=True).stdout


def harmonic_limits(cli, d, rec):
    """The harmonic page's limits and verdict; the frequency from the sample count."""
    h = os.path.join(d, "A Phase Voltage 50Hz.txt")
    with open(h, "w", newline="") as f:
        f.write("\t\t\r\n")
        for i in range(64):
            x = 2 * math.pi * i / 64
            f.write("%d\t%d\t\r\n" % (i + 1, round(100000 * (math.sin(x) + 0.07 * math.sin(5 * x)))))
    out = os.path.join(d, "limits.pdf")
    rc, err = run_full(cli, rec, "--out", out, "--harmonic", h)
    assert rc == 0 and "read as one 50 Hz cycle" in err, (rc, err)
    text = pdf_text(out)
    for expected in ["50 Hz: the first 64 samples as one cycle", "EN 50160", "FAIL", "Limit %", "Result",
                     "THD-F", "against 8.0 %: pass", "Over the limit: order 5"]:
        assert expected in text, expected
    rc, err = run_full(cli, rec, "--out", out, "--harmonic", h, "--limits", "ieee519", "--isc-il", "50")
    assert rc == 0, (rc, err)
    text = pdf_text(out)
    assert "IEEE 519 current (ISC/IL 50)" in text and "PASS" in text and "Every order within its limit" in text, text
    # A current's page has no limits unless asked for.
    current = os.path.join(d, "A Phase Current 50Hz.txt")
    shutil.copy(h, current)
    assert run(cli, rec, "--out", out, "--harmonic", current) == 0
    text = pdf_text(out)
    assert "Limit %" not in text and "Over the limit" not in text and "Every order within" not in text
    # --hz 60 on 64 samples keeps the stretched reading and warns.
    rc, err = run_full(cli, rec, "--out", out, "--harmonic", h, "--hz", "60")
    assert rc == 0 and "warning" in err and "50 Hz acquisition" in err, (rc, err)
    assert "60 Hz: the first 54 samples stretched" in pdf_text(out)
    for bad in (["--limits", "iec"], ["--limits", "en50160", "--isc-il", "20"], ["--isc-il", "0"]):
        assert run(cli, rec, "--out", out, "--harmonic", h, *bad) == 2, bad


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
        assert run(cli, rec, "--out", out, "--harmonic", h, "--hz", "60", quiet=True) == 0
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
        harmonic_limits(cli, d, rec)
    finally:
        shutil.rmtree(d)


main()
