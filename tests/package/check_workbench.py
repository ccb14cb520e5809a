#!/usr/bin/env python3
"""Makes the workbench package from a built program folder, unpacks it into an empty folder outside
the build tree and runs its demo tour there with the stand-in host, under Wine.

The tour must run through: the page sends the commands of each step (Set writes command 222,
PV zero 43, range calibration 182 and 183 after confirmations), Verify succeeds, and no script
error or hang occurs.

Usage: check_workbench.py PACKAGE_SH BIN_FOLDER WINE_RUN_SH
"""
import json
import pathlib
import subprocess
import sys
import tempfile
import zipfile

EXPECTED_FILES = {"README.md", "tour.ksc", "kestrum-host.exe", "Kestrum.dll", "mfcsub.dll",
                  "base.dll", "Device.dll", "hartSeComm.dll"}


def main() -> int:
    package, bin_folder, wine_run = sys.argv[1:4]
    problems = []
    with tempfile.TemporaryDirectory() as out, tempfile.TemporaryDirectory() as unpacked:
        subprocess.run([package, "--bin", bin_folder, "--out", out], check=True)
        (bench,) = pathlib.Path(out).glob("kestrum-workbench-*-win32.zip")
        with zipfile.ZipFile(bench) as archive:
            archive.extractall(unpacked)
        (folder,) = pathlib.Path(unpacked).iterdir()
        present = {p.name for p in folder.iterdir()}
        if present != EXPECTED_FILES:
            problems.append(f"the folder holds {sorted(present)}")
        # As the README says: kestrum-host.exe --script tour.ksc, in the folder.
        run = subprocess.run([wine_run, str(folder / "kestrum-host.exe"), "--script", "tour.ksc"],
                             cwd=folder, stdin=subprocess.DEVNULL, capture_output=True, timeout=240)
        events = [json.loads(line) for line in run.stdout.decode("utf-8", "replace").splitlines()
                  if line.startswith("{")]
    kinds = [e.get("ev") for e in events]
    sends = [e["cmd"] for e in events if e.get("ev") == "send"]
    boxes = [e.get("text") for e in events if e.get("ev") == "box"]
    for cmd in (222, 43, 182, 183):
        if cmd not in sends:
            problems.append(f"no command {cmd} sent: {sends}")
    if "Verify Success" not in boxes:
        problems.append(f"Verify did not succeed: {boxes}")
    if "error" in kinds or "hang" in kinds or run.returncode != 0:
        problems.append(f"exit {run.returncode}, events {kinds}")
    if kinds.count("dump") != 5:
        problems.append(f"{kinds.count('dump')} of the tour's 5 displays")
    for text in problems:
        print(text)
    print(f"{len(events)} events from the unpacked workbench, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
