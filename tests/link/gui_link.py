#!/usr/bin/env python3
"""Points the GUI host at the transmitter program with --link and checks that the host finds the
device there and that the page's first refresh reads it over the link; then ends the host.

   gui_link.py HOST XMTRD serial|hart-ip [--com N]

HOST is the host's command line joined by ';'. The serial link goes through Wine's dosdevices/comN
(N defaults to 8) to the program's pseudo-terminal; HART-IP goes to 127.0.0.1 at a free port.
Everything is bounded in time; the programs this starts are ended before it returns."""
import os
import subprocess
import sys
import tempfile
import time

from run_link import LIMIT, Transmitter, prefix

# Command 0 finds the device; the refresh that the page starts on the device change then asks for
# the three parts of the device record (command 223).
EXPECTED_ANSWERS = 4


def main():
    host_command, xmtrd, kind = sys.argv[1].split(";"), sys.argv[2], sys.argv[3]
    options = dict(zip(sys.argv[4::2], sys.argv[5::2]))
    com = options.get("--com", "8")
    # The prefix is made on first use; the port's link goes into it before the host starts.
    subprocess.run(host_command + ["--usage"], capture_output=True, timeout=LIMIT)
    transmitter = Transmitter(xmtrd, kind, "fast", "600000")
    device = os.path.join(prefix(host_command[-1]), "dosdevices", "com" + com)
    if kind == "serial":
        if os.path.lexists(device):
            os.remove(device)
        os.symlink(transmitter.where, device)
        link = ["serial", "COM" + com]
    else:
        link = ["hart-ip", transmitter.where]
    output = tempfile.TemporaryFile()
    host = subprocess.Popen(host_command + ["--link"] + link, stdin=subprocess.DEVNULL,
                            stdout=output, stderr=output)
    failures = []
    try:
        answered = 0
        deadline = time.monotonic() + LIMIT
        while host.poll() is None and time.monotonic() < deadline:
            answered = int(transmitter.control("answered")[0])
            if answered >= EXPECTED_ANSWERS:
                break
            time.sleep(0.5)
        if host.poll() is not None:
            output.seek(0)
            failures.append(f"the GUI host ended with {host.returncode}: "
                            f"{output.read().decode(errors='replace')[-500:]}")
        elif answered < EXPECTED_ANSWERS:
            failures.append(f"the transmitter answered {answered} requests in {LIMIT} s, "
                            f"not the {EXPECTED_ANSWERS} of finding it and the first refresh")
        if kind == "hart-ip" and transmitter.control("sessions") != ["1"]:
            failures.append("the GUI host did not hold exactly one HART-IP session")
    finally:
        if host.poll() is None:
            host.kill()
            host.wait()
        transmitter.end()
        if kind == "serial" and os.path.lexists(device):
            os.remove(device)
    for failure in failures:
        print("FAIL:", failure)
    print(f"gui_link {kind}: " + ("failed" if failures else "the host found the device and read it"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
