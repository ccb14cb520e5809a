#!/usr/bin/env python3
"""Runs a host script and checks its events against the expectations written in the script.

   #> {json}        an event with these fields must come from the commands since the previous
                    group of expectations, after the previous expected one of its own group
                    (several dump patterns may match the same dump)
   #! {json}        no event with these fields may occur anywhere
   #= NAME {json}   names a pattern; "#> NAME" or "#> NAME {json}" (extra or overriding fields)
                    and "#! NAME" use it
   "controls": N in a dump pattern stands for the number of controls; "control": {"id":..,...}
   matches one control of a dump.
Commands may name controls by their resource names (IDC_BTN_SET for 1004), taken from
res/resource.h. The host runs the script with each group's first expectation line replaced by a
"mark" command, which keeps the line numbers and cuts the events into the groups' steps.
Every failed expectation is reported. Prints 'N passed, N failed'."""
import json
import os
import re
import subprocess
import sys

RESOURCE_H = os.path.join(os.path.dirname(__file__), "..", "..", "res", "resource.h")


def resource_ids():
    ids = {}
    with open(RESOURCE_H, encoding="utf-8") as f:
        for line in f:
            m = re.match(r"\s*#define\s+(IDC_\w+|IDD_\w+)\s+(-?\d+)\b", line)
            if m:
                ids[m.group(1)] = m.group(2)
    return ids


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


def parse_pattern(text, names, number):
    text = text.strip()
    name, _, rest = text.partition(" ") if not text.startswith("{") else ("", "", text)
    if name:
        if name not in names:
            raise SystemExit(f"line {number}: unknown pattern name {name}")
        pattern = dict(names[name])
        if rest.strip():
            pattern.update(json.loads(rest))
        return pattern
    return json.loads(text)


def read_script(script):
    """The lines to run, the groups of expectations and the forbidden patterns."""
    ids = resource_ids()
    names, groups, forbidden, run_lines = {}, [], [], []
    command_since_group = True
    with open(script, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            body = line.rstrip("\n")
            if body.startswith("#= "):
                name, _, rest = body[3:].partition(" ")
                names[name] = json.loads(rest)
            elif body.startswith("#> "):
                pattern = parse_pattern(body[3:], names, number)
                if command_since_group:
                    groups.append((number, []))
                    command_since_group = False
                    body = f"mark {number}"
                groups[-1][1].append((number, pattern))
            elif body.startswith("#! "):
                forbidden.append((number, parse_pattern(body[3:], names, number)))
            elif body.strip() and not body.lstrip().startswith("#"):
                command_since_group = True
                body = re.sub(r"\b(IDC_\w+|IDD_\w+)\b", lambda m: ids.get(m.group(1), m.group(1)), body)
            run_lines.append(body + "\n")
    return run_lines, groups, forbidden


def check_group(group, events):
    failures = []
    position = 0
    for number, pattern in group:
        found = next((i for i in range(position, len(events)) if matches(pattern, events[i])), None)
        if found is None:
            failures.append(f"line {number}: no event {json.dumps(pattern)} in order in its step")
            continue
        position = found if pattern.get("ev") == "dump" else found + 1
    return failures


def main():
    host, script = sys.argv[1], sys.argv[2]
    run_lines, groups, forbidden = read_script(script)
    # A pattern given after the script is forbidden throughout, as a #! line would be.
    forbidden += [("(command line)", json.loads(text)) for text in sys.argv[3:]]
    run = subprocess.run(host.split(";") + ["--script", "-"], input="".join(run_lines).encode("utf-8"),
                         capture_output=True, timeout=240)
    events = [json.loads(l) for l in run.stdout.decode("utf-8").splitlines() if l.startswith("{")]
    failures = [f"host exited with {run.returncode}: {run.stderr.decode()[-500:]}"] if run.returncode else []
    return evaluate(groups, forbidden, events, failures)


def evaluate(groups, forbidden, events, failures):
    """Checks the events step by step, prints the outcome and returns the exit status."""
    steps, current = {}, []
    for event in events:
        if event.get("ev") == "mark":
            steps[event.get("line")] = current
            current = []
        else:
            current.append(event)
    for number, group in groups:
        if number not in steps:
            failures.append(f"line {number}: the host did not reach this step")
            continue
        failures += check_group(group, steps[number])
    checked = [e for e in events if e.get("ev") != "mark"]
    for number, pattern in forbidden:
        for event in checked:
            if matches(pattern, event):
                failures.append(f"line {number}: unexpected event {json.dumps(event)[:300]}")
    for failure in failures:
        print(failure)
    if failures:
        print("--- events ---")
        for event in events:
            print(json.dumps(event)[:300])
    checks = sum(len(group) for _, group in groups) + len(forbidden) + 1
    print(f"{checks - len(failures)} passed, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
