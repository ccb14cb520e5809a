#!/usr/bin/env python3
"""Prints the calibration record that kestrum-host keeps (--audit FILE; by default
%APPDATA%\\Kestrum\\audit.jsonl) as a table, one row per write with the fields it changes as
found and as left; or checks the record's chain.

   audit.py FILE          a table for reading
   audit.py FILE --csv    every field of every write, as CSV (as-left fields prefixed "left.")
   audit.py verify FILE   checks each line's sequence number and the SHA-256 it holds of the line
                          before it, through the full files the host renamed FILE.N and then FILE;
                          reports lines missing or edited, torn lines and writes without a result
                          (outcome unknown); exit status 1 when the chain is broken
   audit.py report FILE [--device ADDRESS] --html OUT
                          a report for signing, one standalone HTML page (audit_report.py): per
                          device (all, or the one of that long address) its identity, the writes
                          as found and as left, the Verify test points, and the chain's verdict

A line that is not a whole JSON object (a file cut off in the middle of a line) is skipped with a
warning on standard error."""
import csv
import hashlib
import json
import os
import re
import sys

import audit_report
from audit_report import COMMANDS


RESULT_FIELDS = ("result", "outcome", "rc", "meaning", "status", "status_words")


def read(path):
    """The writes in file order: each intent line with the fields of its result line and of the
    as-left line that names it; a write without a result line has the outcome unknown."""
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
            if line.get("kind") == "intent":
                writes.append(dict(line, outcome="unknown (no result)"))
                by_id[line.get("id")] = writes[-1]
            elif line.get("kind") == "result" and line.get("id") in by_id:
                by_id[line["id"]].update({k: line[k] for k in RESULT_FIELDS if k in line})
            elif line.get("kind") == "as_left" and line.get("id") in by_id:
                by_id[line["id"]].update({k: v for k, v in line.items() if k.startswith("left.")})
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
    """The fields the write changes, as found or as left ("not read back" where the device was not
    read after the write)."""
    shown = [f"{key[len(prefix):].replace('_', ' ')} {value}" for key, value in line.items()
             if key.startswith(prefix) and not key.endswith(".time") and key != prefix + "read"]
    return ", ".join(shown) if shown else "-"


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


def chain_files(path):
    """The files the chain runs through: those the host filled and renamed FILE.N (N the last
    sequence number in ten digits), in order, then FILE."""
    folder, name = os.path.split(path)
    earlier = sorted(entry for entry in os.listdir(folder or ".")
                     if re.fullmatch(re.escape(name) + r"\.\d{10}", entry))
    return [os.path.join(folder, entry) for entry in earlier] + [path]


def file_lines(files):
    """(file, line number, bytes) of every line of the files in turn."""
    for path in files:
        with open(path, "rb") as f:
            raw = f.read().split(b"\n")
        if raw and raw[-1] == b"":
            raw.pop()
        for number, text in enumerate(raw, 1):
            yield path, number, text


def check_chain(path):
    """Walks the chain line by line, across the files it runs through: whether it holds, what it
    found, and the number of lines."""
    whole, intents, found, count = True, {}, [], 0
    previous, previous_at, last_seq = None, None, 0
    for path, number, text in file_lines(chain_files(path)):
        count += 1
        match = re.match(rb'\{"seq":(\d+)', text)
        seq = int(match.group(1)) if match else None
        try:
            line = json.loads(text)
            if not isinstance(line, dict):
                raise ValueError("not an object")
        except ValueError:
            line = None
            found.append(f"{path}:{number}: torn line, not a whole record")
        if line is not None and "prev" in line:
            expected = hashlib.sha256(previous).hexdigest() if previous else "0" * 64
            gap = seq is not None and seq != last_seq + 1
            if gap:
                whole = False
                found.append(f"{path}:{number}: lines missing before it (sequence {last_seq}, "
                             f"then {seq})")
            if line["prev"] != expected:
                whole = False
                if not gap:
                    found.append(f"{previous_at}: edited (line {number} holds another "
                                 "SHA-256 of it)")
        if line is not None and line.get("kind") == "intent":
            intents[line.get("id")] = (path, number)
        elif line is not None and line.get("kind") == "result":
            intents.pop(line.get("id"), None)
        previous, previous_at = text, f"{path}:{number}"
        last_seq = seq if seq is not None else last_seq
    for write_id, (path, number) in intents.items():
        found.append(f"{path}:{number}: write {write_id} has no result: outcome unknown")
    return whole, found, count


def verify(path, out):
    """Checks the chain and reports it; returns whether it holds."""
    whole, found, count = check_chain(path)
    for text in found:
        out.write(text + "\n")
    out.write(f"{path}: {count} lines, chain {'whole' if whole else 'BROKEN'}\n")
    return whole


def write_report(argv):
    """report FILE [--device ADDRESS] --html OUT"""
    args, options = [], {}
    rest = iter(argv)
    for arg in rest:
        if arg in ("--device", "--html"):
            options[arg] = next(rest, None)
        else:
            args.append(arg)
    if len(args) != 1 or not options.get("--html") or ("--device" in options
                                                       and not options["--device"]):
        print("usage: audit.py report FILE [--device ADDRESS] --html OUT", file=sys.stderr)
        return 2
    try:
        chain = check_chain(args[0])
        text = audit_report.report(args[0], options.get("--device"), chain)
        with open(options["--html"], "w", encoding="utf-8") as f:
            f.write(text)
    except OSError as error:
        print(f"audit.py: {error}", file=sys.stderr)
        return 1
    return 0


def main(argv):
    if argv[:1] == ["report"]:
        return write_report(argv[1:])
    if argv[:1] == ["verify"]:
        if len(argv) != 2:
            print("usage: audit.py verify FILE", file=sys.stderr)
            return 2
        try:
            return 0 if verify(argv[1], sys.stdout) else 1
        except OSError as error:
            print(f"audit.py: {error}", file=sys.stderr)
            return 1
    args = [a for a in argv if a != "--csv"]
    if len(args) != 1:
        print("usage: audit.py FILE [--csv] | audit.py verify FILE | audit.py report FILE "
              "[--device ADDRESS] --html OUT", file=sys.stderr)
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
