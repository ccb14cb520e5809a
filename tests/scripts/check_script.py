#!/usr/bin/env python3
"""Runs a host script and checks its events against the expectations written in the script.

   #> {json}   an event with these fields must follow, after the previous expected one (several
               dump patterns may match the same dump)
   #! {json}   no event with these fields may occur anywhere
   "controls": N in a dump pattern stands for the number of controls; "control": {"id":..,...}
   matches one control of a dump.
Prints 'N passed, N failed'."""
import json
import subprocess
import sys


def matches(pattern, event):
    for key, want in pattern.items():
        if key == "controls" and isinstance(want, int):
            if len(event.get("controls", [])) != want:
                return False
        elif key == "control":
            if not any(all(c.get(k) == v for k, v in want.items()) for c in event.get("controls", [])):
                return False
        elif event.get(key) != want:
            return False
    return True


def main():
    host, script = sys.argv[1], sys.argv[2]
    expected, forbidden = [], []
    with open(script, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            if line.startswith("#> "):
                expected.append((number, json.loads(line[3:])))
            elif line.startswith("#! "):
                forbidden.append((number, json.loads(line[3:])))
    with open(script, "rb") as f:
        run = subprocess.run(host.split(";") + ["--script", "-"], stdin=f, capture_output=True, timeout=240)
    events = [json.loads(l) for l in run.stdout.decode("utf-8").splitlines() if l.startswith("{")]
    failures = []
    position = 0
    for number, pattern in expected:
        while position < len(events) and not matches(pattern, events[position]):
            position += 1
        if position == len(events):
            failures.append(f"line {number}: no event {json.dumps(pattern)} in order")
            position = 0
            break
        if pattern.get("ev") != "dump":
            position += 1
    for number, pattern in forbidden:
        for event in events:
            if matches(pattern, event):
                failures.append(f"line {number}: unexpected event {json.dumps(event)[:300]}")
    if run.returncode != 0:
        failures.append(f"host exited with {run.returncode}: {run.stderr.decode()[-500:]}")
    for failure in failures:
        print(failure)
    if failures:
        print("--- events ---")
        for event in events:
            print(json.dumps(event)[:300])
    checks = len(expected) + len(forbidden) + 1
    print(f"{checks - len(failures)} passed, {len(failures)} failed")
    return 1 if failures else 0


sys.exit(main())
