#!/usr/bin/env python3
"""Turns the stand-in host's JSON events into a transcript a person can read.

Given the script that ran (transcript.py [SCRIPT]), it narrates it: each of the script's "#:" lines
says what the user does and what the page should do in the step up to the next display ("dump"),
and is printed before that step's events.
"""
import json
import sys

NAMES = {1000: "Press Type", 1001: "Manufacturer", 1017: "Serial Number", 1009: "Press High",
         1011: "Press Low", 1010: "Press Val", 1012: "Temp Val", 1020: "Zero",
         1022: "Factor K", 1024: "Factor B", 1026: "Calibration Up", 1028: "Calibration Down",
         4012: "Range Value", 1013: "Unit"}


def show(event):
    kind = event["ev"]
    if kind == "dump":
        controls = {c["id"]: c for c in event["controls"]}
        print("  page shows:")
        for cid, name in NAMES.items():
            c = controls.get(cid)
            if c is not None and c["visible"]:
                print(f"    {name:<18} {c['text']}")
        shown = "shown" if controls[2039]["visible"] else "hidden"
        print(f"    range calibration  {shown}")
    elif kind == "send":
        print(f"  send command {event['cmd']} data [{event['data']}] -> result {event['rc']}")
    elif kind == "box":
        print(f"  message box \"{event['text']}\" (flags {event['flags']}) answered {event['answer']}")
    elif kind == "result":
        print(f"  {event['op']} returned {event['value']}")
    elif kind in ("error", "hang"):
        print(f"  {kind}: {event}")


def narration(path):
    with open(path, encoding="utf-8") as script:
        return [line[2:].strip() for line in script if line.startswith("#:")]


steps = narration(sys.argv[1]) if len(sys.argv) > 1 else []
if steps:
    print(steps.pop(0))
for line in sys.stdin:
    line = line.strip()
    if line.startswith("{"):
        event = json.loads(line)
        show(event)
        if event["ev"] == "dump" and steps:
            print(steps.pop(0))
