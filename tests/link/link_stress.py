#!/usr/bin/env python3
"""The link fault campaign: stop points and fuzz steps over a real link against kestrum-xmtrd, with
line faults drawn at random; docs/links.md says what each step checks and counts.

   link_stress.py HOST XMTRD serial|hart-ip|hart-ip-udp STOPS STEPS [SEED] [--com N]

The last line gives the counts."""
import random
import sys
import time

from xmtrd import Transmitter, arguments
from hostrun import Host  # in tests/, which xmtrd puts on the path

FAULTS = {
    "serial": [["noise 100"], ["mute 2"], ["mute 8"], ["garble 1"], ["garble 4"], ["echo 4"],
               ["wrongcommand 1"], ["wrongcommand 8"], ["preambles 20", "slow 200"],
               ["second-master 4"], ["stall 1"], ["kill"]],
    "hart-ip": [["late-initiate 1500", "drop"], ["unanswered 1"], ["unanswered 4"], ["drop"],
                ["garble 1"], ["mute 1"], ["slow 2500"], ["stray 2"], ["warn-initiate 30000", "drop"],
                ["kill"]],
    "hart-ip-udp": [["lose 1"], ["lose 4"], ["unanswered 1"], ["slow 2500"], ["drop"], ["garble 1"],
                    ["mute 1"], ["kill"]],
}
# The controls the faults set, back at the transmitter's defaults.
CLEAR = {kind: [f"{name} {5 if name == 'preambles' else 0}" for name in dict.fromkeys(
    control.split()[0] for fault in faults for control in fault if " " in control)]
    for kind, faults in FAULTS.items()}
RANGE_HIGH_CONTROL = 1009
# IDC_CMB_PRESS_TYPE, IDC_CMB_MANUFACTURER and IDC_BTN_SET: a Set the transmitter accepts.
SET = ["select 1000 1", "select 1001 0", "click 1004", "wait"]


class Campaign:
    def __init__(self, host_command, xmtrd, kind, com, seed):
        self.kind, self.random, self.refreshed = kind, random.Random(seed), 0
        self.counts = dict(crashes=0, hangs=0, held=0, unconfirmed=0, bad=0, misfiled=0, left=0,
                           doubled=0, lockouts=0)
        self.new_transmitter = lambda: Transmitter(xmtrd, kind, host_command, com, "real")
        self.transmitter = self.new_transmitter()
        self.host = Host(host_command)
        self.link()

    def link(self):
        self.host.send("link " + self.transmitter.link)
        self.host.sync()

    def run(self, lines, limit=60):
        """Sends the lines and returns the events they caused; None when the host is gone."""
        start = len(self.host.events)
        for line in lines:
            self.host.send(line)
        try:
            self.host.sync(limit)
        except (TimeoutError, BrokenPipeError, OSError):
            if self.host.process.poll() is not None:
                self.counts["crashes"] += 1
                return None
            self.counts["hangs"] += 1
            self.host.sync()
        events = self.host.events[start:]
        if any(e.get("ev") in ("terminated", "hang") for e in events):
            self.counts["hangs"] += 1
        return events

    def fault(self):
        for control in self.random.choice(FAULTS[self.kind]):
            if control == "kill":
                self.transmitter.kill()
                self.transmitter = self.new_transmitter()
                self.link()
            else:
                self.transmitter.control(control)

    def clear(self):
        for control in CLEAR[self.kind]:
            self.transmitter.control(control)

    def stop_point(self):
        self.fault()
        events = self.run(["click 1016", f"pause {self.random.randint(0, 1500)}", "call StopPage",
                           "dump"], limit=15)
        if events is None:
            return False
        dumps = [e for e in events if e.get("ev") == "dump"]
        if not dumps or dumps[-1].get("busy") or any(dumps[-1].get("threads", {}).values()):
            self.counts["held"] += 1
        self.clear()
        whole = self.refresh_step(with_fault=False)
        if whole is False:
            self.counts["lockouts"] += 1
            print("lock-out: the refresh after a stop did not reach the device", flush=True)
        return whole is not None

    def fuzz_step(self):
        with_fault = self.random.random() < 0.5
        if self.random.random() < 0.25 and not self.write_step(with_fault):
            return False
        return self.refresh_step(with_fault) is not None

    def write_step(self, with_fault):
        """A Set under the fault; False when the host is gone."""
        if with_fault:
            self.fault()
        before = self.transmitter.count("written")
        events = self.run(SET)
        if with_fault:
            self.clear()
        if events is None:
            return False
        sent = sum(1 for e in events if e.get("ev") == "send" and e.get("cmd") == 222)
        carried = self.transmitter.count("written") - before
        if carried > sent and self.kind != "serial":
            self.counts["doubled"] += carried - sent
            print(f"written twice: {sent} sends of command 222, {carried} carried out", flush=True)
        return True

    def refresh_step(self, with_fault):
        """Whether all three reads succeeded; None when the host is gone."""
        # The fault first: a transmitter started again starts with its defaults.
        if with_fault:
            self.fault()
        value = self.random.randint(1000, 99000) / 100
        self.transmitter.control(f"set range_high {value}")
        events = self.run(["click 1016", "wait", "dump"])
        if with_fault:
            self.clear()
        if events is None:
            return None
        sends = [e for e in events if e.get("ev") == "send"]
        self.counts["bad"] += sum(1 for e in sends if e.get("cmd") != 223)
        if len(sends) != 3 or any(e.get("rc") != 240 for e in sends):
            return False
        self.refreshed += 1
        dump = [e for e in events if e.get("ev") == "dump"][-1]
        shown = [c["text"] for c in dump["controls"] if c["id"] == RANGE_HIGH_CONTROL]
        if shown != [f"{value:.3f}"]:
            self.counts["misfiled"] += 1
            print(f"misfiled: range high {value:.3f}, the page shows {shown}", flush=True)
        return True

    def end(self):
        if self.host.finish(120) is None:
            self.counts["hangs"] += 1
        if self.kind != "serial" and self.transmitter.process.poll() is None:
            self.counts["left"] += self.transmitter.count("open")
        self.transmitter.end()


def main():
    host_command, xmtrd, kind, numbers, options = arguments("11")
    stops, steps, seed = (list(map(int, numbers)) + [1])[:3]
    campaign = Campaign(host_command, xmtrd, kind, options["--com"], seed)
    started = time.monotonic()
    done_stops = done_steps = 0
    try:
        for _ in range(stops):
            if not campaign.stop_point():
                break
            done_stops += 1
        for _ in range(steps if done_stops == stops else 0):
            if not campaign.fuzz_step():
                break
            done_steps += 1
    finally:
        campaign.end()
    c = campaign.counts
    print(f"link campaign over {kind}, seed {seed}, {time.monotonic() - started:.0f} s, "
          f"{campaign.refreshed} whole refreshes checked")
    print(f"stress: {done_stops} stop points, {done_steps} fuzz steps: {c['crashes']} crashes, "
          f"{c['hangs']} hangs, {c['held']} held locks, {c['unconfirmed']} unconfirmed writes, "
          f"{c['bad']} bad sends, {c['misfiled']} misfiled answers, {c['left']} sessions left open, "
          f"{c['doubled']} writes carried out twice, {c['lockouts']} lock-outs after a stop")
    return 0 if sum(c.values()) == 0 and done_stops == stops and done_steps == steps else 1


if __name__ == "__main__":
    sys.exit(main())
