#!/usr/bin/env python3
"""Publish benchmark: N instruments (qelt-sim --fast, one publisher each at
1 s) into one mosquitto for S seconds: readings taken, delivered, lost, CPU
per publisher and of the broker; then the replay of R spooled readings.

Usage: publish_bench.py QELT_CLI QELT_SIM [N] [SECONDS] [REPLAY]
"""
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "integration"))
from mqttrig import Broker, Subscriber  # noqa: E402
from simrig import Simulator  # noqa: E402


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def main():
    cli, sim = sys.argv[1], sys.argv[2]
    n = int(sys.argv[3]) if len(sys.argv) > 3 else 50
    seconds = float(sys.argv[4]) if len(sys.argv) > 4 else 60
    replay = int(sys.argv[5]) if len(sys.argv) > 5 else 100000
    tmp = tempfile.mkdtemp(prefix="qelt-publish-bench-")
    os.makedirs(os.path.join(tmp, "broker"))
    broker = Broker(os.path.join(tmp, "broker"))
    sub = Subscriber(broker.port, "bench/+/reading")
    sims = [Simulator(sim, ["--fast", "--link", os.path.join(tmp, f"dev{i}")]) for i in range(n)]
    pubs = [subprocess.Popen([cli, "publish", "--port", os.path.join(tmp, f"dev{i}"), "--broker", broker.url(),
                              "--id", f"m{i}", "--topic-prefix", "bench", "--spool", os.path.join(tmp, f"spool{i}"),
                              "--seconds", str(seconds)], stderr=subprocess.PIPE) for i in range(n)]
    broker_cpu0 = cpu_seconds(broker.proc.pid)
    cpu = [0.0] * n
    start = time.monotonic()
    while any(p.poll() is None for p in pubs):
        for i, p in enumerate(pubs):
            try:
                cpu[i] = cpu_seconds(p.pid)
            except (FileNotFoundError, ProcessLookupError):
                pass
        time.sleep(0.5)
    wall = time.monotonic() - start
    broker_cpu = cpu_seconds(broker.proc.pid) - broker_cpu0
    time.sleep(1)
    taken = 0
    for i in range(n):
        # Taken readings: the highest seq spooled (the spool numbers every one).
        seqs = [json.loads(p)["seq"] for t, p, _ in sub.taken(f"bench/m{i}/reading")]
        taken += max(seqs) if seqs else 0
    delivered = {}
    for t, p, _ in sub.taken():
        delivered.setdefault(t, set()).add(json.loads(p)["seq"])
    got = sum(len(v) for v in delivered.values())
    print(f"instruments {n}, {seconds:.0f} s (wall {wall:.1f} s): taken {taken}, delivered {got}, lost {taken - got}")
    print(f"CPU per publisher: mean {100 * sum(cpu) / n / wall:.2f} % of a core, max {100 * max(cpu) / wall:.2f} %")
    print(f"broker CPU: {100 * broker_cpu / wall:.2f} % of a core")
    for s in sims:
        s.stop()
    sub.close()

    # Replay: a spool of R readings taken while the broker was away.
    if replay > 0:
        spool = os.path.join(tmp, "replay")
        broker.stop()
        s = Simulator(sim, ["--fast", "--link", os.path.join(tmp, "rdev")])
        subprocess.run([os.path.join(os.path.dirname(cli), "..", "..", "bench", "publish", "bench_spool_fill"),
                        spool, str(replay)], check=True)
        broker.start()
        # mosquitto_sub counts the messages: a Python subscriber would be the bottleneck.
        rsub = subprocess.Popen(["mosquitto_sub", "-h", "127.0.0.1", "-p", str(broker.port), "-t", "bench/r/reading",
                                 "-q", "1", "-C", str(replay)], stdout=subprocess.DEVNULL)
        time.sleep(0.5)
        t0 = time.monotonic()
        p = subprocess.Popen([cli, "publish", "--port", os.path.join(tmp, "rdev"), "--broker", broker.url(), "--id",
                              "r", "--topic-prefix", "bench", "--spool", spool, "--seconds", "3600"],
                             stderr=subprocess.PIPE)
        try:
            rsub.wait(timeout=300)
        finally:
            rsub.kill()
        dt = time.monotonic() - t0
        p.send_signal(signal.SIGTERM)  # the replay is measured; the run itself is not needed
        p.wait()
        print(f"replay: {replay} spooled readings in {dt:.2f} s: {replay / dt:.0f} msgs/s")
        s.stop()
    broker.stop()
    shutil.rmtree(tmp, ignore_errors=True)


if __name__ == "__main__":
    main()
