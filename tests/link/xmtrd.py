"""kestrum-xmtrd for the link runners: the program started on a kind of link, with its control
lines; the HART-IP messages a runner sends as a client of its own; and the runners' shared command
line "HOST XMTRD KIND [WORDS] [--option value ...]"."""
import os
import resource
import struct
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from hostrun import wine_prefix  # noqa: E402

# Each kind of link: how the transmitter program serves it, and the host's link words for it (the
# script's "link" and the GUI host's --link), where {com} is the COM port's number and {where}
# the address the transmitter serves at.
LINKS = {
    "serial": (["--pty"], "serial COM{com}"),
    "hart-ip": (["--hart-ip", "127.0.0.1:0"], "hart-ip {where}"),
    "hart-ip-udp": (["--hart-ip-udp", "127.0.0.1:0"], "hart-ip udp {where}"),
}


def message(message_id, sequence, body=b"", kind=0):
    """A HART-IP message: version 1, the kind (0 a request), status 0."""
    return struct.pack(">BBBBHH", 1, kind, message_id, 0, sequence, 8 + len(body)) + body


def initiate(milliseconds):
    """A request for a primary session with that inactivity timer."""
    return message(0, 1, struct.pack(">BI", 1, milliseconds))


def arguments(com):
    """The host's command line (HOST joined by ';'), XMTRD, KIND, the other words and the options,
    where --com defaults to com."""
    words, options, argv = [], {"--com": com}, iter(sys.argv[1:])
    for word in argv:
        if word.startswith("--"):
            options[word] = next(argv)
        else:
            words.append(word)
    return words[0].split(";"), words[1], words[2], words[3:], options


class Transmitter:
    """kestrum-xmtrd serving a kind of link; with a host's command, its pseudo-terminal is put
    behind COMn of the host's Wine prefix. It ends by itself when its input closes."""

    def __init__(self, program, kind, host_command=None, com="5", wire="fast", max_idle="600000",
                 files=None):
        port, words = LINKS[kind]
        limit = (lambda: resource.setrlimit(resource.RLIMIT_NOFILE, (files, files))) if files else None
        self.process = subprocess.Popen([program] + port + ["--wire", wire, "--max-idle", max_idle],
                                        stdin=subprocess.PIPE, stdout=subprocess.PIPE, preexec_fn=limit)
        self.where = self.process.stdout.readline().decode().split()[1]
        self.link = words.format(com=com, where=self.where)
        self.device = None
        if kind == "serial" and host_command:
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

    def count(self, name):
        return int(self.control(name)[0])

    def kill(self):
        self.process.kill()
        self.process.wait()

    def end(self):
        """Ends the program and takes its COM port away; its exit status (killed after 10 s)."""
        if self.process.poll() is None:
            self.process.stdin.close()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.kill()
        if self.device is not None and os.path.lexists(self.device):
            os.remove(self.device)
        return self.process.returncode
