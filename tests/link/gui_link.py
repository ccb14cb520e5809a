#!/usr/bin/env python3
"""Points the GUI host at the transmitter program with --link and checks that the host finds the
device there and that the page's first refresh reads it over the link; then ends the host.

   gui_link.py HOST XMTRD serial|hart-ip [--com N]

HOST is the host's command line joined by ';'. The serial link goes through Wine's dosdevices/comN
(N defaults to 8) to the program's pseudo-terminal; HART-IP goes to 127.0.0.1 at a free port.
Everything is bounded in time; the programs this starts are ended before it returns."""
import sys
import time

from run_link import LIMIT, Host, Transmitter

# Command 0 finds the device; the refresh that the page starts on the device change then asks for
# the three parts of the device record (command 223).
EXPECTED_ANSWERS = 4


def main():
    host_command, xmtrd, kind = sys.argv[1].split(";"), sys.argv[2], sys.argv[3]
    options = dict(zip(sys.argv[4::2], sys.argv[5::2]))
    transmitter = Transmitter(xmtrd, kind, options.get("--com", "8"), host_command)
    host = Host(host_command, ["--link"] + transmitter.link.split())
    failures = []
    try:
        answered = 0
        deadline = time.monotonic() + LIMIT
        while host.process.poll() is None and time.monotonic() < deadline:
            answered = int(transmitter.control("answered")[0])
            if answered >= EXPECTED_ANSWERS:
                break
            time.sleep(0.5)
        if host.process.poll() is not None:
            failures.append(f"the GUI host ended with {host.process.returncode}: {host.error_text()[-500:]}")
        elif answered < EXPECTED_ANSWERS:
            failures.append(f"the transmitter answered {answered} requests in {LIMIT} s, "
                            f"not the {EXPECTED_ANSWERS} of finding it and the first refresh")
        if kind == "hart-ip" and transmitter.control("sessions") != ["1"]:
            failures.append("the GUI host did not hold exactly one HART-IP session")
    finally:
        host.kill()
        transmitter.end()
    for failure in failures:
        print("FAIL:", failure)
    print(f"gui_link {kind}: " + ("failed" if failures else "the host found the device and read it"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
