#!/usr/bin/env python3
"""Runs a host script over a real link against kestrum-xmtrd and checks its events like
check_script.py does; or, with "gui" for SCRIPT, checks that the GUI host pointed at the link
with --link finds the device there and reads it in the page's first refresh.

   run_link.py HOST XMTRD serial|hart-ip|hart-ip-udp SCRIPT|gui [--com N] [--wire fast|real] [--max-idle MS]

HOST is the host's command line joined by ';'. The transmitter program (xmtrd.py) serves a
pseudo-terminal behind Wine's dosdevices/comN (N defaults to 5) or HART-IP (over TCP, or UDP with
hart-ip-udp) on 127.0.0.1 at a free port, with sessions of at most --max-idle milliseconds. The
host gets "link ..." first, then the script line by line. Lines the host cannot carry out over a
real link go elsewhere ({where} in a line stands for where the port is), after the host has done
everything before them:
   xmtr KEY VALUE      sets the variable in the transmitter program
   #~ xmtrd CONTROL    sends a control line to the transmitter program (garble N, mute N, drop)
   #~ sessions N       checks that the server has opened N HART-IP sessions so far
   #~ expired N        checks that the inactivity timer has ended N sessions so far
   #~ duplicates N     checks that N requests came again with the sequence number just answered
   #~ answered [N]     checks that the device answered N requests since the last "answered"
   #~ pause S          lets S seconds pass with the host idle
   #~ within S         checks that the host carries out the lines sent so far within S seconds
   #~ kill             kills the transmitter program
   #~ kill-after S     lets S seconds pass without waiting for the host, then kills it
   #~ hold-session     takes the HART-IP session as another client; release-session closes it
   #~ refused-session  checks that the server refuses a second client's session
   #~ closed-at-end    checks that the host closes its HART-IP session when it ends
Everything is bounded in time; the programs this starts are ended before it returns."""
import os
import socket
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [os.path.join(HERE, ".."), os.path.join(HERE, "..", "scripts")]
from check_script import Script, evaluate  # noqa: E402
from hostrun import Host, name_frames  # noqa: E402
from xmtrd import Transmitter, arguments, initiate, message  # noqa: E402

LIMIT = 120
# What the link itself reports (its setting, the device search, messages it passed over, such as
# a late answer to an exchange that was stopped), and the runner's own
# "call IsPageBusy" that waits for the host.
TOLERATED = ({"ev": "link"}, {"ev": "found"}, {"ev": "scan"}, {"ev": "stray"},
             {"ev": "result", "op": "IsPageBusy"})
# Command 0 finds the device; the refresh that the page starts on the device change then asks for
# the three parts of the device record (command 223).
GUI_ANSWERS = 4


class SessionHolder:
    """Another HART-IP client: it asks for a primary session and holds what it got."""

    def __init__(self, where):
        host, port = where.rsplit(":", 1)
        self.socket = socket.create_connection((host, int(port)), timeout=5)
        self.socket.sendall(initiate(60000))
        header = self.socket.recv(8)
        self.type, self.status = header[1], header[3]
        if int.from_bytes(header[6:8], "big") > 8:
            self.socket.recv(64)

    def close(self):
        """Closes the session as a host does, when it has one, and then the connection."""
        if (self.type, self.status) == (1, 0):
            self.socket.sendall(message(1, 2))
            self.socket.recv(8)
            self.type = None
        self.socket.close()


def run_script(script, host, transmitter, failures):
    """Carries out the script's lines; the exit status (None when the host did not end)."""
    holder, closed_before, answered_before = None, None, 0
    try:
        host.send("link " + transmitter.link)
        for line in script.run_lines:
            line = line.rstrip("\n").replace("{where}", transmitter.where)
            words = line[3:].split() if line.startswith("#~ ") else [None]
            if line.startswith("xmtr "):
                host.sync()
                transmitter.control("set " + line[5:])
            elif words[0] == "kill-after":
                time.sleep(float(words[1]))
                transmitter.kill()
            elif words[0] == "within":
                started = time.monotonic()
                try:
                    host.sync(float(words[1]))
                except TimeoutError:
                    host.sync()
                    failures.append(f"{line}: the host took {time.monotonic() - started:.1f} s")
            elif words[0] is not None:
                host.sync()
                if words[0] == "xmtrd":
                    transmitter.control(" ".join(words[1:]))
                elif words[0] in ("sessions", "expired", "duplicates"):
                    counted = transmitter.control(words[0])
                    if counted != [words[1]]:
                        failures.append(f"{line}: the server counts {' '.join(counted)}")
                elif words[0] == "answered":
                    answered = transmitter.count("answered")
                    if len(words) > 1 and answered - answered_before != int(words[1]):
                        failures.append(f"{line}: the device answered {answered - answered_before}")
                    answered_before = answered
                elif words[0] == "pause":
                    time.sleep(float(words[1]))
                elif words[0] == "kill":
                    transmitter.kill()
                elif words[0] == "hold-session":
                    holder = SessionHolder(transmitter.where)
                elif words[0] == "release-session":
                    holder.close()
                elif words[0] == "closed-at-end":
                    closed_before = transmitter.count("closed")
                elif words[0] == "refused-session":
                    second = SessionHolder(transmitter.where)
                    second.close()
                    if (second.type, second.status) != (3, 1):
                        failures.append(f"a second session got type {second.type}, status {second.status}")
                elif words[0] != "sync":
                    raise ValueError(f"unknown directive: {line}")
            elif not line.startswith("#"):
                host.send(line)
        exit_code = host.finish(LIMIT)
        if exit_code is None:
            failures.append("the host did not end")
        if closed_before is not None and transmitter.count("closed") <= closed_before:
            failures.append("the host ended without closing its HART-IP session ("
                            + " ".join(transmitter.control("sessions")) + " sessions)")
        return exit_code
    finally:
        if holder is not None:
            holder.close()


def run_gui(kind, host, transmitter, failures):
    """Waits until the transmitter has answered the GUI host's search and first refresh."""
    answered, deadline = 0, time.monotonic() + LIMIT
    while host.process.poll() is None and time.monotonic() < deadline and answered < GUI_ANSWERS:
        answered = transmitter.count("answered")
        time.sleep(0.5)
    if host.process.poll() is not None:
        failures.append(f"the GUI host ended with {host.process.returncode}: {host.error_text()[-500:]}")
    elif answered < GUI_ANSWERS:
        failures.append(f"the transmitter answered {answered} requests in {LIMIT} s, "
                        f"not the {GUI_ANSWERS} of finding it and the first refresh")
    if kind == "hart-ip" and transmitter.control("sessions") != ["1"]:
        failures.append("the GUI host did not hold exactly one HART-IP session")


def main():
    host_command, xmtrd, kind, (script_path,), options = arguments("5")
    transmitter = Transmitter(xmtrd, kind, host_command, options["--com"], options.get("--wire", "fast"),
                              options.get("--max-idle", "600000"))
    gui = script_path == "gui"
    script = None if gui else Script(script_path)
    host = Host(host_command, ["--link"] + transmitter.link.split() if gui else ["--script", "-"])
    failures = []
    try:
        if gui:
            run_gui(kind, host, transmitter, failures)
        else:
            exit_code = run_script(script, host, transmitter, failures)
    finally:
        host.kill()
        transmitter.end()
    if gui:
        print("\n".join([f"FAIL: {f}" for f in failures] + [f"gui link {kind}: " + (
            "failed" if failures else "the host found the device and read it")]))
        return 1 if failures else 0
    result = evaluate(script, host.events, exit_code, TOLERATED, failures)
    if result:
        print("--- standard error, last 200 lines ---")
        tail = "\n".join(host.error_text().splitlines()[-200:])
        print(name_frames(tail, os.path.dirname(host_command[1])))
    return result


if __name__ == "__main__":
    sys.exit(main())
