#!/usr/bin/env python3
"""Runs a host script and checks its events step by step against the expectations written in it,
as docs/testing.md describes (the expectation lines, named patterns and sequences, the steps).

   check_script.py HOST SCRIPT [--limit S]   runs SCRIPT (tests/hostrun.py, 240 s by default)
   check_script.py HOST --commands README    README's table of script commands against the host's
HOST is the host's command line joined by ';'.
"""
import json
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, ".."))
from hostrun import Host, name_frames, run_script  # noqa: E402

FATAL = ("error", "hang", "terminated")


def symbols():
    """The resource ids and the page's private messages (WM_USER + N), by name."""
    with open(os.path.join(HERE, "..", "..", "res", "resource.h"), encoding="utf-8") as f:
        ids = dict(re.findall(r"(?m)^\s*#define\s+(ID[CD]_\w+)\s+(-?\d+)\b", f.read()))
    with open(os.path.join(HERE, "..", "..", "page", "DlgKestrum.h"), encoding="utf-8-sig") as f:
        for name, offset in re.findall(r"#define\s+(WM_\w+)\s+\(WM_USER \+ (\d+)\)", f.read()):
            ids[name] = str(0x400 + int(offset))
    return ids


SYMBOLS = symbols()


def substitute(text):
    return re.sub(r"\b(IDC_\w+|IDD_\w+|WM_\w+)\b", lambda m: SYMBOLS.get(m.group(1), m.group(1)), text)


def matches(pattern, event):
    for key, want in pattern.items():
        controls = event.get("controls", [])
        if key == "controls" and isinstance(want, int):
            found = len(controls) == want
        elif key == "control":
            found = any(all(c.get(k) == v for k, v in want.items()) for c in controls)
        else:
            found = event.get(key) == want
        if not found:
            return False
    return True


class Script:
    """A script's lines to run, its steps' expectations and its script-wide bans."""

    def __init__(self, path):
        self.names, self.sequences = {}, {}
        self.groups, self.banned, self.run_lines = [], [], []
        self.folder = os.path.dirname(os.path.abspath(path))
        self._read(path)

    def pattern(self, text, number):
        text = substitute(text.strip())
        if text.startswith("{"):
            return json.loads(text)
        name, _, rest = text.partition(" ")
        if name not in self.names:
            raise SystemExit(f"line {number}: unknown pattern name {name}")
        return {**self.names[name], **(json.loads(rest) if rest.strip() else {})}

    def expectations(self, text, optional, number):
        """The (line, pattern, optional) items of one #> or #? line."""
        text = text.strip()
        if not text.startswith("@"):
            return [(number, self.pattern(text, number), optional)]
        if text[1:] not in self.sequences:
            raise SystemExit(f"line {number}: unknown sequence {text}")
        return [(number, p, optional or o) for p, o in self.sequences[text[1:]]]

    def _name(self, body):
        name, _, rest = body[3:].partition(" ")
        self.names[name] = json.loads(substitute(rest))

    def _include(self, name, number):
        sequence = None
        path = os.path.join(self.folder, name)
        with open(path if os.path.exists(path) else os.path.join(HERE, name), encoding="utf-8") as f:
            for body in f.read().splitlines():
                if body.startswith("#= "):
                    self._name(body)
                elif body.startswith("#sequence "):
                    sequence = self.sequences.setdefault(body.split()[1], [])
                elif body == "#end":
                    sequence = None
                elif body[:3] in ("#> ", "#? ") and sequence is not None:
                    sequence += [(p, o) for _, p, o in self.expectations(body[3:], body[1] == "?", number)]

    def _read(self, path):
        command_since_group = True
        with open(path, encoding="utf-8") as f:
            for number, body in enumerate(f.read().splitlines(), 1):
                kind = body[:4] if body.startswith("#!! ") else body[:3]
                if body.startswith("#include "):
                    self._include(body[9:].strip(), number)
                elif kind == "#= ":
                    self._name(body)
                elif kind == "#!! ":
                    self.banned.append((number, self.pattern(body[4:], number)))
                elif kind in ("#> ", "#? ", "#! "):
                    text = body[3:]
                    if command_since_group:
                        self.groups.append({"line": number, "expected": [], "forbidden": []})
                        command_since_group = False
                        body = f"mark {number}"
                    group = self.groups[-1]
                    if kind == "#! ":
                        group["forbidden"].append((number, self.pattern(text, number)))
                    else:
                        group["expected"] += self.expectations(text, kind == "#? ", number)
                elif body.strip() and not body.lstrip().startswith("#"):
                    command_since_group = True
                    body = substitute(body)
                self.run_lines.append(body + "\n")

    def checks(self):
        """Every expectation, ban and step, and the exit status."""
        return sum(len(g["expected"]) + len(g["forbidden"]) + 1 for g in self.groups) + len(self.banned) + 1


def describe(event):
    return json.dumps(event)[:300]


def check_sequence(expected, events):
    """Wine's ok_sequence, thread by thread ("th"): every event is expected, each thread's events in
    their order, optional ones may be left out, the threads interleave freely. An expectation takes
    the earliest thread's next event that it matches; after a mismatch the check goes on without
    it, or from the later event of a thread that it matches, the events skipped there unexpected."""
    queues = {}
    for index, event in enumerate(events):
        queues.setdefault(event.get("th"), []).append(index)
    failures = []
    for number, pattern, optional in expected:
        heads = sorted(queue[0] for queue in queues.values() if queue)
        hit = next((h for h in heads if matches(pattern, events[h])), None)
        if hit is None and not optional:
            later = next((i for q in queues.values() for i in q if matches(pattern, events[i])), None)
            got = describe(events[heads[0]]) if heads else "nothing"
            failures.append(f"line {number}: expected {json.dumps(pattern)}, got {got}")
            if later is not None:
                queue = queues[events[later].get("th")]
                failures += [f"unexpected event {describe(events[i])}" for i in queue[:queue.index(later)]]
                del queue[:queue.index(later)]
            hit = later
        if hit is not None:
            queues[events[hit].get("th")].remove(hit)
    failures += [f"unexpected event {describe(events[i])}" for i in sorted(i for q in queues.values() for i in q)]
    return failures


def check_step(group, events, tolerated):
    """The failures of one step: its events against its expectations and its bans. The dumps are
    matched in order on their own; an event that matches a tolerated pattern needs no expectation."""
    dump = [x for x in group["expected"] if x[1].get("ev") == "dump"]
    calls = [x for x in group["expected"] if x[1].get("ev") != "dump"]
    seen = [e for e in events if e.get("ev") != "dump" and not (
        any(matches(t, e) for t in tolerated) and not any(matches(x[1], e) for x in calls))]
    sequence = check_sequence(calls, seen)
    unexpected = [f"line {group['line']}: {f}" for f in sequence if f.startswith("unexpected")]
    failures = [f for f in sequence if not f.startswith("unexpected")] + ([unexpected] if unexpected else [])
    dumps, position = [e for e in events if e.get("ev") == "dump"], 0
    for number, pattern, _ in dump:
        found = next((i for i in range(position, len(dumps)) if matches(pattern, dumps[i])), None)
        if found is None:
            failures.append(f"line {number}: no dump {json.dumps(pattern)} in order in its step")
        position = position if found is None else found
    for number, pattern in group["forbidden"]:
        failures += [f"line {number}: forbidden event {describe(e)}" for e in events if matches(pattern, e)]
    return failures


def evaluate(script, events, exit_code, tolerated=(), failures=()):
    """Checks the events step by step, prints the outcome with the failures found before, and
    returns the exit status."""
    steps, current = {}, []
    for event in events:
        if event.get("ev") == "mark":
            steps[event.get("line")], current = current, []
        else:
            current.append(event)
    failures = list(failures)
    for group in script.groups:
        if group["line"] not in steps:
            failures.append(f"line {group['line']}: the host did not reach this step")
        else:
            failures += check_step(group, steps[group["line"]], tolerated)
    failures += [f"after the last step: unexpected event {describe(e)}" for e in current if e.get("ev") in FATAL]
    checked = [e for e in events if e.get("ev") != "mark"]
    for number, pattern in script.banned:
        failures += [f"line {number}: forbidden event {describe(e)}" for e in checked if matches(pattern, e)]
    fatal = any(e.get("ev") in FATAL for e in checked)
    if exit_code is not None and (exit_code != 0) != fatal:
        failures.append(f"host exited with {exit_code} after {'a' if fatal else 'no'} error, hang or termination")
    for failure in failures:
        print("\n".join(failure) if isinstance(failure, list) else failure)
    if failures:
        print("--- events ---\n" + "\n".join(describe(e) for e in events))
    print(f"{script.checks() - len(failures)} passed, {len(failures)} failed")
    return 1 if failures else 0


def check_commands(command, readme):
    """The README's table of script commands (rows "| `NAME ARGS` |" under "### Script commands")
    against the host's own table, which its --help prints."""
    host = Host(command, ["--help"])
    exit_code = host.finish(120)
    commands = set(re.findall(r"^  (\w+)", "\n".join(host.lines).partition("script commands:")[2], re.M))
    with open(readme, encoding="utf-8") as f:
        section = f.read().partition("\n### Script commands\n")[2].partition("\n#")[0]
    listed = set(re.findall(r"^\| `(\w+)", section, re.M))
    failures = [] if exit_code == 0 and commands else [f"the host's --help ended with {exit_code}"]
    failures += [f"the README lists no command {c}" for c in sorted(commands - listed)]
    failures += [f"the host has no command {c}, which the README lists" for c in sorted(listed - commands)]
    print("\n".join(failures + [f"{len(commands)} commands, {len(failures)} failures"]))
    return 1 if failures else 0


def main():
    command, path = sys.argv[1].split(";"), sys.argv[2]
    if path == "--commands":
        return check_commands(command, sys.argv[3])
    limit = int(dict(zip(sys.argv[3::2], sys.argv[4::2])).get("--limit", 240))
    script = Script(path)
    events, exit_code, errors = run_script(command, "".join(script.run_lines).encode("utf-8"), limit)
    if exit_code is None:
        print(f"the host did not end within {limit} s")
    result = evaluate(script, events, -1 if exit_code is None else exit_code)
    if result and errors.strip():
        print("--- standard error ---")
        print(name_frames(errors, os.path.dirname(command[1])) if len(command) > 1 else errors)
    return result


if __name__ == "__main__":
    sys.exit(main())
