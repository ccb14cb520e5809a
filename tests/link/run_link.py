#!/usr/bin/env python3
"""Runs a host script over a real link against kestrum-xmtrd and checks its events like
check_script.py does.

   run_link.py HOST XMTRD serial|hart-ip|hart-ip-udp SCRIPT [--com N] [--wire fast|real] [--max-idle MS]

HOST is the host's command line joined by ';'. The transmitter program serves a pseudo-terminal
(Wine's dosdevices/comN points at its slave side; N defaults to 5) or HART-IP (over TCP, or UDP
with hart-ip-udp) on 127.0.0.1 at a free port (with sessions of at most --max-idle milliseconds). The host gets "link ..." first, then the script line by line. Lines the host cannot
carry out over a real link go elsewhere ({where} in a line stands for where the port is), after the host has done everything before them:
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
import struct
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [os.path.join(HERE, ".."), os.path.join(HERE, "..", "scripts")]
from check_script import Script, evaluate  # noqa: E402
from hostrun import Host, name_frames, wine_prefix  # noqa: E402

LIMIT = 120
# What the link itself reports (its setting, the device search, messages it passed over, such as
# a late answer to an exchange that was stopped), and the runner's own
# "call IsPageBusy" that waits for the host.
TOLERATED = ({"ev": "link"}, {"ev": "found"}, {"ev": "scan"}, {"ev": "stray"},
             {"ev": "result", "op": "IsPageBusy"})
# Each kind of link: how the transmitter program serves it, and the host's link words for it (the
# script's "link" and the GUI host's --link), where {com} is the COM port's number and {where}
# the address the transmitter serves at.
LINKS = {
    "serial": (["--pty"], "serial COM{com}"),
    "hart-ip": (["--hart-ip", "127.0.0.1:0"], "hart-ip {where}"),
    "hart-ip-udp": (["--hart-ip-udp", "127.0.0.1:0"], "hart-ip udp {where}"),
}


class Transmitter:
    """kestrum-xmtrd serving a kind of link to the host; a pseudo-terminal is put behind COMn of
    the host's Wine prefix. It ends by itself when its input closes."""

    def __init__(self, program, kind, com, host_command, wire="fast", max_idle="600000"):
        port, words = LINKS[kind]
        self.process = subprocess.Popen([program] + port + ["--wire", wire, "--max-idle", max_idle],
                                        stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        self.where = self.process.stdout.readline().decode().split()[1]
        self.link = words.format(com=com, where=self.where)
        self.device = None
        if kind == "serial":
            self.device = os.path.join(wine_prefix(host_command), "dosdevices", "com" + com)
            if os.path.lexists(self.device):
                os.remove(self.device)
            os.symlink(self.where, self.device)

    def control(self, line):
        """Returns the words after the "ok"."""
        self.process.stdin.write((line + "\n").encode())
        self.process.stdin.flush()
        answer = self.process.stdout.readline().decode().split()
        if answer[:1] != ["ok"]:
            raise RuntimeError(f"transmitter: {line}: {' '.join(answer)}")
        return answer[1:]

    def kill(self):
        self.process.kill()
        self.process.wait()

    def end(self):
        """Ends the program and takes its COM port away."""
        if self.process.poll() is None:
            self.process.stdin.close()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.kill()
        if self.device is not None and os.path.lexists(self.device):
            os.remove(self.device)


class SessionHolder:
    """Another HART-IP client: it asks for a primary session and holds what it got."""

    def __init__(self, where):
        host, port = where.rsplit(":", 1)
        self.socket = socket.create_connection((host, int(port)), timeout=5)
        body = struct.pack(">BI", 1, 60000)
        self.socket.sendall(struct.pack(">BBBBHH", 1, 0, 0, 0, 1, 8 + len(body)) + body)
        header = self.socket.recv(8)
        self.type, self.status = header[1], header[3]
        if struct.unpack(">H", header[6:8])[0] > 8:
            self.socket.recv(64)

    def close(self):
        """Closes the session as a host does, when it has one, and then the connection."""
        if (self.type, self.status) == (1, 0):
            self.socket.sendall(struct.pack(">BBBBHH", 1, 0, 1, 0, 2, 8))
            self.socket.recv(8)
            self.type = None
        self.socket.close()


def main():
    host_command, xmtrd, kind, script_path = sys.argv[1].split(";"), sys.argv[2], sys.argv[3], sys.argv[4]
    options = dict(zip(sys.argv[5::2], sys.argv[6::2]))
    com, wire = options.get("--com", "5"), options.get("--wire", "fast")
    max_idle = options.get("--max-idle", "600000")
    script = Script(script_path)
    failures = []
    transmitter = Transmitter(xmtrd, kind, com, host_command, wire, max_idle)
    host = Host(host_command)
    holder = None
    closed_before = None
    answered_before = 0
    try:
        host.send("link " + transmitter.link)
        for line in script.run_lines:
            line = line.rstrip("\n").replace("{where}", transmitter.where)
            if line.startswith("xmtr "):
                host.sync()
                transmitter.control("set " + line[5:])
            elif line.startswith("#~ "):
                words = line[3:].split()
                if words[0] == "kill-after":
                    time.sleep(float(words[1]))
                    transmitter.kill()
                    continue
                if words[0] == "within":
                    started = time.monotonic()
                    try:
                        host.sync(float(words[1]))
                    except TimeoutError:
                        host.sync()
                        failures.append(f"{line}: the host took {time.monotonic() - started:.1f} s")
                    continue
                host.sync()
                if words[0] == "xmtrd":
                    transmitter.control(" ".join(words[1:]))
                elif words[0] in ("sessions", "expired", "duplicates"):
                    counted = transmitter.control(words[0])
                    if counted != [words[1]]:
                        failures.append(f"{line}: the server counts {' '.join(counted)}")
                elif words[0] == "answered":
                    answered = int(transmitter.control("answered")[0])
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
                    closed_before = int(transmitter.control("closed")[0])
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
        if closed_before is not None and int(transmitter.control("closed")[0]) <= closed_before:
            failures.append("the host ended without closing its HART-IP session (" + " ".join(transmitter.control("sessions")) + " sessions)")
    finally:
        host.kill()
        if holder is not None:
            holder.close()
        transmitter.end()
    result = evaluate(script, host.events, exit_code, TOLERATED, failures)
    if result:
        print("--- standard error, last 200 lines ---")
        tail = "\n".join(host.error_text().splitlines()[-200:])
        print(name_frames(tail, os.path.dirname(host_command[1])))
    return result


if __name__ == "__main__":
    sys.exit(main())
