#!/usr/bin/env python3
"""kestrum-xmtrd against a hostile master and hostile clients (docs/testing.md lists the cases);
each case must leave it serving.

   xmtrd_abuse.py XMTRD"""
import os
import select
import socket
import subprocess
import sys
import time

from xmtrd import Transmitter, initiate, message

POLL_0 = bytes([0xFF] * 5 + [0x02, 0x80, 0x00, 0x00, 0x82])
POLL_5 = bytes([0x02, 0x85, 0x00, 0x00, 0x87])  # without preambles, as HART-IP carries it


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def ended(xmtrd, failures):
    if xmtrd.end() != 0:
        failures.append("the program did not end by itself when its input closed")


def answer_within(fd, seconds):
    deadline = time.monotonic() + seconds
    received = b""
    while time.monotonic() < deadline:
        ready, _, _ = select.select([fd], [], [], 0.1)
        if ready:
            received += os.read(fd, 512)
            if b"\x06\x80\x00" in received:
                return True
    return False


def serial_cases(program, failures):
    xmtrd = Transmitter(program, "serial")
    fd = os.open(xmtrd.where, os.O_RDWR | os.O_NOCTTY)
    try:
        before = cpu_seconds(xmtrd.process.pid)
        block = b"\xFF" * 65536
        for _ in range(58):  # 3.8 MB
            os.write(fd, block)
        os.write(fd, POLL_0[5:])
        if not answer_within(fd, 10):
            failures.append("no answer after a long run of preambles")
        spent = cpu_seconds(xmtrd.process.pid) - before
        if spent > 2.0:
            failures.append(f"a long run of preambles cost {spent:.1f} s of CPU")
        # A master killed after half a request, then a new master after a pause.
        os.write(fd, POLL_0[:8])
        time.sleep(0.5)
        os.write(fd, POLL_0)
        if not answer_within(fd, 5):
            failures.append("the request after a partial frame was swallowed")
    finally:
        os.close(fd)
        ended(xmtrd, failures)


def max_idle_cases(program, failures):
    for value in ["0", "5x", "-1", "86400001", "99999999999"]:
        code = subprocess.run([program, "--hart-ip", "127.0.0.1:0", "--max-idle", value],
                              stdin=subprocess.DEVNULL, capture_output=True, timeout=10).returncode
        if code != 2:
            failures.append(f"--max-idle {value} was taken (exit {code})")


def hart_ip_cases(program, failures):
    xmtrd = Transmitter(program, "hart-ip", max_idle="1000", files=12)
    host, port = xmtrd.where.rsplit(":", 1)
    clients = []
    try:
        half = socket.create_connection((host, int(port)), timeout=10)
        half.sendall(b"\x01\x00\x00")
        # More clients than descriptors: accept fails, the loop must rest instead of spinning.
        for _ in range(12):
            try:
                clients.append(socket.create_connection((host, int(port)), timeout=2))
            except OSError:
                break
        before = cpu_seconds(xmtrd.process.pid)
        time.sleep(1.0)
        spent = cpu_seconds(xmtrd.process.pid) - before
        if spent > 0.5:
            failures.append(f"with no descriptor left the server used {spent:.2f} s of CPU in 1 s")
        for client in clients:
            client.close()
        half.settimeout(10)
        started = time.monotonic()
        try:
            let_go = half.recv(16) == b""
        except OSError:
            let_go = True
        if not let_go or time.monotonic() - started > 9:
            failures.append("a client that never finished its header was not let go")
        half.close()
        # A session of 1000 ms kept only by pass-throughs the device leaves unanswered.
        session = socket.socket()
        session.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)
        session.settimeout(5)
        session.connect((host, int(port)))
        session.sendall(initiate(1000))
        session.recv(64)
        for sequence in range(2, 6):
            time.sleep(0.6)
            session.sendall(message(3, sequence, POLL_5))
            reply = session.recv(64)
            if len(reply) < 8 or reply[1] != 3:
                failures.append(f"pass-through {sequence}: no refusal, {reply!r}")
                break
        # The session's client floods keep-alives and never reads: the server lets it go instead
        # of blocking in a send, and the next client gets an answer while that one is still open.
        try:
            session.sendall(message(2, 7) * 1000000)
        except OSError:
            pass
        other = socket.create_connection((host, int(port)), timeout=5)
        other.sendall(initiate(1000))
        try:
            if len(other.recv(64)) < 8:
                failures.append("the next client got no answer after a client that never reads")
        except OSError:
            failures.append("a client that never reads blocked the server")
        other.close()
        session.close()
    finally:
        ended(xmtrd, failures)


def main():
    program = sys.argv[1]
    failures = []
    serial_cases(program, failures)
    max_idle_cases(program, failures)
    hart_ip_cases(program, failures)
    print("\n".join(failures + [f"{len(failures)} failures"]))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
