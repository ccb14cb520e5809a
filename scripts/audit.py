#!/usr/bin/env python3
"""Prints the calibration record that kestrum-host keeps (--audit FILE; by default
%APPDATA%\\Kestrum\\audit.jsonl) as a table, one row per write with its base data as found and,
when the page read the base data again afterwards, as left.

   audit.py FILE          a table for reading
   audit.py FILE --csv    every field of every write, as CSV (as-left fields prefixed "left.")

A line that is not a whole JSON object (a file cut off in the middle of a line) is skipped with a
warning on standard error."""
import csv
import json
import sys

COMMANDS = {222: "Set base data", 43: "PV zero", 182: "Range point"}


def read(path):
    """The write lines in file order, each with the fields of the as-left line that names it."""
    writes, by_id = [], {}
    with open(path, encoding="utf-8", errors="replace") as f:
        for number, text in enumerate(f, 1):
            text = text.strip()
            if not text:
                continue
            try:
                line = json.loads(text)
                if not isinstance(line, dict):
                    raise ValueError("not an object")
            except ValueError:
                print(f"{path}:{number}: not a whole record, skipped", file=sys.stderr)
                continue
            if line.get("kind") == "write":
                writes.append(line)
                by_id[line.get("id")] = line
            elif line.get("kind") == "as_left":
                for write_id in line.get("after", []):
                    if write_id in by_id:
                        by_id[write_id].update(
                            {k: v for k, v in line.items() if k.startswith("left.")})
    return writes


def fields(line, prefix, names):
    shown = [f"{label} {line[prefix + name]}" for name, label in names if prefix + name in line]
    return ", ".join(shown) if shown else "-"


def request(line):
    cmd = line.get("cmd")
    if cmd == 222:
        return fields(line, "request.", [("press_type", "press type"), ("serial", "serial"),
                                         ("manufacturer", "manufacturer")])
    if cmd == 182:
        return fields(line, "request.", [("point", "point"), ("value", "value")])
    return line.get("request.data") or "-"


def base_data(line, prefix):
    cmd = line.get("cmd")
    if cmd == 222:
        names = [("press_type", "press type"), ("serial", "serial"), ("manufacturer", "manufacturer")]
    elif cmd == 43:
        names = [("pressure", "pressure"), ("zero", "zero")]
    else:
        names = [("lrv", "LRV"), ("urv", "URV"), ("range_low", "range low"),
                 ("range_high", "range high")]
    return fields(line, prefix, names)


def outcome(line):
    text = line.get("outcome", "?")
    if "meaning" in line and line.get("outcome") != "done":
        text += f": {line['meaning']} ({line['rc']})"
    return text


def device(line):
    tag = line.get("device.tag", "?")
    return f"{tag} ({line.get('device.long_address', '?')}, device {line.get('dev', '?')})"


def table(writes, out):
    header = ["time (UTC)", "device", "command", "request", "outcome", "as found", "as left"]
    rows = [[w.get("time", "?"), device(w), COMMANDS.get(w.get("cmd"), str(w.get("cmd"))),
             request(w), outcome(w), base_data(w, "found."), base_data(w, "left.")]
            for w in writes]
    widths = [max(len(str(r[i])) for r in rows + [header]) for i in range(len(header))]
    for row in [header, ["-" * w for w in widths]] + rows:
        out.write("  ".join(str(c).ljust(w) for c, w in zip(row, widths)).rstrip() + "\n")


def to_csv(writes, out):
    columns = []
    for w in writes:
        columns += [k for k in w if k not in columns]
    writer = csv.DictWriter(out, fieldnames=columns, lineterminator="\n")
    writer.writeheader()
    for w in writes:
        writer.writerow({k: (" ".join(v) if isinstance(v, list) else v) for k, v in w.items()})


def main(argv):
    args = [a for a in argv if a != "--csv"]
    if len(args) != 1:
        print("usage: audit.py FILE [--csv]", file=sys.stderr)
        return 2
    try:
        writes = read(args[0])
    except OSError as error:
        print(f"audit.py: {error}", file=sys.stderr)
        return 1
    (to_csv if "--csv" in argv else table)(writes, sys.stdout)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
