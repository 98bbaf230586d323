#!/usr/bin/env python3
"""How long qelt-cli publish takes to end after SIGTERM while no broker is
connected: one that refuses (nothing listens at the port) and one that does
not answer (a listener that never accepts, its queue filled). Each is run
REPEAT times once readings are in the spool; prints min, median and max.

Usage: stop_bench.py QELT_CLI QELT_SIM [REPEAT]
"""
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "integration"))
from mqttrig import SilentListener, free_port, spooled_readings  # noqa: E402
from simrig import Simulator  # noqa: E402


def stop_seconds(cli, link, port, spool):
    proc = subprocess.Popen([cli, "publish", "--port", link, "--broker", f"mqtt://127.0.0.1:{port}", "--id", "m1",
                             "--spool", spool], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    deadline = time.monotonic() + 20
    while spooled_readings(spool) == 0 and time.monotonic() < deadline:
        time.sleep(0.05)
    time.sleep(1.5)  # a connection attempt under way, a backoff pause begun
    start = time.monotonic()
    proc.send_signal(signal.SIGTERM)
    _, err = proc.communicate(timeout=60)
    took = time.monotonic() - start
    if "stay in the spool" not in err.decode(errors="replace"):
        print(f"  no spool count on stderr: {err!r}", file=sys.stderr)
    return took


def main():
    cli, sim = sys.argv[1], sys.argv[2]
    repeat = int(sys.argv[3]) if len(sys.argv) > 3 else 5
    tmp = tempfile.mkdtemp(prefix="qelt-stop-bench-")
    link = os.path.join(tmp, "dev")
    s = Simulator(sim, ["--link", link, "--fast"])
    silent = SilentListener()
    try:
        for name, port in (("refused", free_port()), ("not answering", silent.port)):
            times = [stop_seconds(cli, link, port, os.path.join(tmp, f"spool-{name}-{i}")) for i in range(repeat)]
            print(f"{name}: stop after SIGTERM min {min(times):.2f} s, median {statistics.median(times):.2f} s, "
                  f"max {max(times):.2f} s ({repeat} runs)")
    finally:
        silent.close()
        s.stop()
        shutil.rmtree(tmp, ignore_errors=True)


if __name__ == "__main__":
    main()
