#!/usr/bin/env python3
"""qelt-cli publish against qelt-sim and a real mosquitto started here.

Usage: publish_cli_test.py CASE QELT_CLI QELT_SIM
"""
import datetime
import json
import os
import re
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from simrig import QUANTITIES, SKIPPED, Failed, Simulator, expect, read_trace, run_case, run_cli  # noqa: E402
from mqttrig import Broker, SilentListener, Subscriber, free_port, mosquitto_binary, spooled_readings  # noqa: E402


def number(text):
    return None if text in ("", "OL", "-OL") else float(text)


def readings(sub, topic="qelt/m1/reading"):
    return [json.loads(payload) for _, payload, _ in sub.taken(topic)]


def first_arrivals(items):
    """What a consumer that drops repeated seq values keeps."""
    kept, last = [], 0
    for item in items:
        if item["seq"] > last:
            kept.append(item)
            last = item["seq"]
    return kept


def publisher(cli, args, **popen):
    return subprocess.Popen([cli, "publish"] + args, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, **popen)


def finish(proc, limit=60):
    try:
        _, err = proc.communicate(timeout=limit)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.communicate()
        raise Failed(f"the publisher did not end within {limit} s")
    return proc.returncode, err.decode(errors="replace")


def rig(tmp, broker_users=None, sim_args=()):
    folder = os.path.join(tmp, "broker")
    os.makedirs(folder)
    broker = Broker(folder, broker_users)
    link = os.path.join(tmp, "dev")
    sim = Simulator(SIM, ["--link", link, "--fast", "--trace", os.path.join(tmp, "trace.jsonl")] + list(sim_args))
    return broker, sim, link


def base_args(tmp, broker, link):
    return ["--port", link, "--broker", broker.url(), "--id", "m1", "--spool", os.path.join(tmp, "spool")]


def case_seq(cli, sim, tmp):
    # A zone off UTC by a part of an hour: "t" must name the instant there too.
    os.environ["TZ"] = "NPT-5:45"
    time.tzset()
    broker, s, link = rig(tmp)
    sub = Subscriber(broker.port, "qelt/#")
    try:
        rc, _, err, _ = run_cli(cli, ["publish"] + base_args(tmp, broker, link) + ["--count", "5"], limit=40)
        expect(rc == 0, f"exit {rc}: {err}")
        sub.wait_for(lambda x: len(x.taken("qelt/m1/status")) >= 2, 5, "online and offline")
    finally:
        sub.close()
        s.stop()
        broker.stop()
    got = readings(sub)
    expect([r["seq"] for r in got] == [1, 2, 3, 4, 5], f"seq {[r['seq'] for r in got]}")
    frames, _ = read_trace(os.path.join(tmp, "trace.jsonl"))
    sent = [{q: number(f[q]) for q in QUANTITIES} for f in frames]
    for r in got:
        expect(list(r) == ["seq", "t", "date", "time", "WiringCode", "WiringMode", "values", "over"],
               f"reading members {list(r)}")
        expect(list(r["values"]) == QUANTITIES, "values out of order")
        expect(r["values"] in sent, f"reading {r['seq']} is no frame the simulator sent")
        expect(r["WiringMode"] == "3P4W" and r["WiringCode"] == 8, f"wiring {r['WiringMode']}")
        expect(r["t"].startswith(r["date"].replace("/", "-") + "T" + r["time"] + ".") and r["t"].endswith("+05:45"),
               f"t {r['t']}")
        instant = datetime.datetime.strptime(r["t"], "%Y-%m-%dT%H:%M:%S.%f%z").timestamp()
        expect(abs(instant - time.time()) < 60, f"t {r['t']} is not the instant it was taken")
    seconds = [time.mktime(time.strptime(r["date"] + " " + r["time"], "%Y/%m/%d %H:%M:%S")) for r in got]
    expect(all(b - a == 1 for a, b in zip(seconds, seconds[1:])), f"not one second apart: {seconds}")
    status = [p for _, p, _ in sub.taken("qelt/m1/status")]
    expect(status[0] == "online" and status[-1] == "offline", f"status {status}")
    expect([p for _, p, _ in sub.taken("qelt/m1/instrument")] == ["ok"], "instrument not ok")
    energy = [json.loads(p) for _, p, _ in sub.taken("qelt/m1/energy")]
    expect(len(energy) == 5 and energy[-1]["t"] == got[-1]["t"], f"energy after every reading: {len(energy)}")
    tkw = [r["values"]["TKW"] for r in got]
    expect(abs(energy[-1]["kWh_import"] - sum(max(p, 0) for p in tkw[:-1]) / 3600) < 1e-3 * max(tkw),
           f"energy {energy[-1]} from {tkw}")
    expect(err.strip() == "", f"stderr: {err}")


def case_broker_restart(cli, sim, tmp):
    broker, s, link = rig(tmp)
    sub = Subscriber(broker.port, "qelt/m1/reading", durable=True)
    try:
        proc = publisher(cli, base_args(tmp, broker, link) + ["--count", "12"])
        sub.wait_for(lambda x: len(x.taken()) >= 3, 15, "3 readings")
        broker.stop()
        time.sleep(5)
        broker.start()
        rc, err = finish(proc)
        expect(rc == 0, f"exit {rc}: {err}")
        sub.wait_for(lambda x: any(r["seq"] == 12 for r in readings(x)), 10, "reading 12")
    finally:
        sub.close()
        s.stop()
        broker.stop()
    kept = [r["seq"] for r in first_arrivals(readings(sub))]
    expect(kept == list(range(1, 13)), f"seq after the broker's restart: {kept}")
    expect("cannot be reached" in err or "was lost" in err, f"the outage is not told: {err}")
    expect(err.count("trying again") == 1, f"told more than once: {err}")


def case_broker_down_at_start(cli, sim, tmp):
    broker, s, link = rig(tmp)
    broker.stop()
    try:
        proc = publisher(cli, base_args(tmp, broker, link) + ["--count", "4"])
        time.sleep(2.5)
        broker.start()
        sub = Subscriber(broker.port, "qelt/m1/reading")
        rc, err = finish(proc)
        expect(rc == 0, f"exit {rc}: {err}")
        sub.wait_for(lambda x: len(x.taken()) >= 4, 5, "4 readings")
        sub.close()
    finally:
        s.stop()
        broker.stop()
    expect([r["seq"] for r in first_arrivals(readings(sub))] == [1, 2, 3, 4], f"seq {readings(sub)}")


def case_kill_restart(cli, sim, tmp):
    broker, s, link = rig(tmp)
    sub = Subscriber(broker.port, "qelt/#", durable=True)
    try:
        proc = publisher(cli, base_args(tmp, broker, link))
        sub.wait_for(lambda x: len(readings(x)) >= 3, 15, "3 readings")
        proc.send_signal(signal.SIGKILL)
        proc.wait()
        # The will: a killed publisher shows offline.
        sub.wait_for(lambda x: x.taken("qelt/m1/status")[-1][1] == "offline", 10, "the will")
        taken_before = max(r["seq"] for r in readings(sub))
        rc, _, err, _ = run_cli(cli, ["publish"] + base_args(tmp, broker, link) + ["--count", "3"], limit=40)
        expect(rc == 0, f"exit {rc}: {err}")
        sub.wait_for(lambda x: x.taken("qelt/m1/status")[-1][1] == "offline", 5, "offline at the end")
    finally:
        sub.close()
        s.stop()
        broker.stop()
    kept = [r["seq"] for r in first_arrivals(readings(sub))]
    expect(kept == list(range(1, len(kept) + 1)), f"a hole in seq: {kept}")
    expect(len(kept) >= taken_before + 3, f"the second run did not go on: {kept} after {taken_before}")
    status = [p for _, p, _ in sub.taken("qelt/m1/status")]
    expect(status.count("online") == 2, f"status {status}")


def case_silent(cli, sim, tmp):
    broker, s, link = rig(tmp)
    sub = Subscriber(broker.port, "qelt/#")
    try:
        proc = publisher(cli, base_args(tmp, broker, link) + ["--count", "4"])
        sub.wait_for(lambda x: len(readings(x)) >= 2, 15, "2 readings")
        s.stop()
        stopped = time.time()
        sub.wait_for(lambda x: x.taken("qelt/m1/instrument")[-1][1] == "lost", 15, "instrument lost")
        time.sleep(3)
        back = time.time()
        s = Simulator(SIM, ["--link", link, "--fast"])
        rc, err = finish(proc)
        expect(rc == 0, f"exit {rc}: {err}")
        sub.wait_for(lambda x: len(x.taken("qelt/m1/status")) >= 2, 5, "offline")
    finally:
        sub.close()
        s.stop()
        broker.stop()
    got = readings(sub)
    expect([r["seq"] for r in got] == [1, 2, 3, 4], f"seq {[r['seq'] for r in got]}")
    # A reading polled just before the end may still go out at its tick; none after. A tick
    # that waits for the poll in flight keeps its own second, so a reading polled just after
    # the restart can carry the second before it.
    moments = [time.mktime(time.strptime(r["t"][:19], "%Y-%m-%dT%H:%M:%S")) for r in got]
    silent = [m for m in moments if stopped + 1.5 < m < back - 1.0]
    expect(not silent, f"readings published while the instrument was silent: {moments}, {stopped}, {back}")
    states = [p for _, p, _ in sub.taken("qelt/m1/instrument")]
    expect(states == ["ok", "lost", "ok"], f"instrument {states}")


def case_discovery(cli, sim, tmp):
    broker, s, link = rig(tmp)
    try:
        rc, _, err, _ = run_cli(cli, ["publish"] + base_args(tmp, broker, link) + ["--count", "1", "--discovery"],
                                limit=40)
        expect(rc == 0, f"exit {rc}: {err}")
        # Subscribed afterwards: only retained documents arrive.
        sub = Subscriber(broker.port, "homeassistant/#")
        sub.wait_for(lambda x: len(x.taken()) >= 30, 5, "30 retained documents")
        sub.close()
        late = Subscriber(broker.port, "qelt/#", client_id="late")
        late.wait_for(lambda x: len(x.taken()) >= 3, 5, "retained state")
        late.close()
    finally:
        s.stop()
        broker.stop()
    docs = sub.taken()
    expect(len(docs) == 30 and all(retain for _, _, retain in docs), "not 30 retained documents")
    configs = {topic: json.loads(payload) for topic, payload, _ in docs}
    v1 = configs["homeassistant/sensor/qelt_m1/V1/config"]
    expect(v1["state_topic"] == "qelt/m1/reading" and v1["unit_of_measurement"] == "V", f"V1 {v1}")
    expect(configs["homeassistant/sensor/qelt_m1/kWh_import/config"]["state_class"] == "total_increasing", "energy")
    retained = {topic: payload for topic, payload, retain in late.taken() if retain}
    expect(retained.get("qelt/m1/status") == "offline", f"retained status {retained}")
    expect(retained.get("qelt/m1/instrument") == "ok", f"retained instrument {retained}")
    expect("qelt/m1/energy" in retained and "qelt/m1/reading" not in retained, f"retained {list(retained)}")


def case_password(cli, sim, tmp):
    broker, s, link = rig(tmp, broker_users={"meter": "right horse"})
    good, bad = os.path.join(tmp, "good"), os.path.join(tmp, "bad")
    with open(good, "w") as f:
        f.write("right horse\n")
    with open(bad, "w") as f:
        f.write("wrong\n")
    try:
        args = base_args(tmp, broker, link) + ["--count", "1", "--user", "meter"]
        rc, _, err, seconds = run_cli(cli, ["publish"] + args + ["--password-file", bad], limit=40)
        expect(rc == 6, f"a wrong password: exit {rc}: {err}")
        expect("refused" in err and "not authorised" in err.lower(), f"no reason: {err}")
        rc, _, err, _ = run_cli(cli, ["publish"] + args + ["--password-file", good], limit=40)
        expect(rc == 0, f"the right password: exit {rc}: {err}")
    finally:
        s.stop()
        broker.stop()


def case_stop_unreachable(cli, sim, tmp):
    """SIGTERM while no broker is connected, one refusing and one that never
    answers: nothing can be acknowledged, so the publisher ends at once (not
    after the drain's 10 s) and says what stays in the spool."""
    link = os.path.join(tmp, "dev")
    s = Simulator(SIM, ["--link", link, "--fast"])
    silent = SilentListener()
    try:
        for name, port in (("refused", free_port()), ("silent", silent.port)):
            spool = os.path.join(tmp, "spool-" + name)
            proc = publisher(cli, ["--port", link, "--broker", f"mqtt://127.0.0.1:{port}", "--id", "m1",
                                   "--spool", spool])
            deadline = time.monotonic() + 20
            while spooled_readings(spool) == 0 and time.monotonic() < deadline and proc.poll() is None:
                time.sleep(0.1)
            expect(spooled_readings(spool) > 0, f"{name}: nothing spooled")
            proc.send_signal(signal.SIGTERM)
            rc, err = finish(proc, limit=5)
            expect(rc == 0, f"{name}: exit {rc}: {err}")
            told = [line for line in err.splitlines() if "stay in the spool" in line]
            expect(len(told) == 1 and re.match(r"qelt-cli: \d+ reading\(s\) not acknowledged", told[0]),
                   f"{name}: {err}")
    finally:
        silent.close()
        s.stop()


def case_usage(cli, sim, tmp):
    broker_url = "mqtt://127.0.0.1:1"
    bad = [
        ["--id", "a/b"], ["--id", "a+b"], ["--id", "#"], ["--topic-prefix", "/x"],
        ["--topic-prefix", "a/#"], ["--broker", "127.0.0.1"], ["--broker", "http://127.0.0.1"],
        ["--broker", "mqtt://127.0.0.1:70000"], ["--broker", "mqtt://"], ["--qos", "2"], ["--interval", "0"],
        ["--count", "2", "--seconds", "2"], ["--password-file", os.path.join(tmp, "none"), "--user", "u"],
        ["--password-file", os.path.join(tmp, "none")], ["--password", "x"],
    ]
    for extra in bad:
        args = ["publish", "--port", os.path.join(tmp, "nodev"), "--broker", broker_url, "--id", "m1",
                "--spool", os.path.join(tmp, "spool")]
        for i in range(0, len(extra), 2):
            if extra[i] in args:
                args[args.index(extra[i]) + 1] = extra[i + 1]
            else:
                args += extra[i:i + 2]
        rc, out, err, _ = run_cli(cli, args, limit=10)
        expect(rc == 2, f"{extra}: exit {rc}: {err}")
        expect(err.startswith("qelt-cli: "), f"{extra}: {err}")
    # A spool that cannot be written is exit 4.
    blocker = os.path.join(tmp, "file")
    open(blocker, "w").close()
    rc, _, err, _ = run_cli(cli, ["publish", "--port", "/dev/null", "--broker", broker_url,
                                  "--id", "m1", "--spool", os.path.join(blocker, "s")], limit=10)
    expect(rc == 4, f"a spool in a file: exit {rc}: {err}")


CASES = {
    "seq": case_seq,
    "broker_restart": case_broker_restart,
    "broker_down_at_start": case_broker_down_at_start,
    "kill_restart": case_kill_restart,
    "silent": case_silent,
    "discovery": case_discovery,
    "password": case_password,
    "usage": case_usage,
    "stop_unreachable": case_stop_unreachable,
}

SIM = None


def main():
    global SIM
    if len(sys.argv) == 4:
        SIM = sys.argv[3]
    if mosquitto_binary() is None:
        # scripts/install-deps installs it: in CI a missing broker is a fault, not a skip.
        print("no mosquitto broker here" + ("" if os.environ.get("CI") else ": skipped"), file=sys.stderr)
        return 1 if os.environ.get("CI") else SKIPPED
    return run_case(CASES, "qelt-publish")


if __name__ == "__main__":
    sys.exit(main())
