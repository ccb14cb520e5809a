"""Runs a host program for the tests: kestrum-host.exe under scripts/wine-run.sh (or any command),
fed script lines on standard input, with its JSON event lines gathered as they come, every wait
bounded, and a diagnosis of a host that does not end (Host, run_script; name_frames names our
functions in a backtrace, also as "hostrun.py FOLDER" on standard input for scripts/stress.sh).

The script host's last line is the event {"ev":"exit","code":N}, printed once it has let the page
go and closed its links. The runner takes it out of the events. A host whose process is still
there LINGER seconds after that event is ended by the runner, which counts it as Wine's linger (a
Windows process that ended can leave its Unix process behind) and takes the code reported. A host
that does not end without that event is diagnosed: winedbg's backtraces and where each of its Unix
threads waits."""
import json
import os
import re
import select
import subprocess
import sys
import tempfile
import threading
import time

LINGER = 5


class Host:
    """A host program with its events read as they come."""

    def __init__(self, command, args=("--script", "-")):
        # Standard error goes to a file: a crash's report lands there, and Wine's own processes,
        # started by the host on a fresh server, inherit it and may write much to it long after.
        self.errors = tempfile.TemporaryFile()
        self.command = list(command)
        self.process = subprocess.Popen(self.command + list(args), stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=self.errors)
        self.events, self.lines, self.exit_code, self.exited_at = [], [], None, None
        self._pending, self._closed, self._fed = b"", False, False

    def _read(self, timeout):
        """Reads what the host prints within timeout seconds; False once its output has ended.
        Only complete lines count, so a host killed mid-line leaves no half an event."""
        if self._closed:
            return False
        ready, _, _ = select.select([self.process.stdout], [], [], timeout)
        if not ready:
            return True
        chunk = os.read(self.process.stdout.fileno(), 65536)
        if not chunk:
            self._closed = True
            return False
        *lines, self._pending = (self._pending + chunk).split(b"\n")
        for line in lines:
            text = line.decode("utf-8").rstrip()
            if not text.startswith("{"):
                self.lines.append(text)
                continue
            event = json.loads(text)
            if event.get("ev") == "exit" and "th" not in event:
                self.exit_code, self.exited_at = event.get("code"), time.monotonic()
            else:
                self.events.append(event)
        return True

    def send(self, line):
        self.process.stdin.write((line + "\n").encode("utf-8"))
        self.process.stdin.flush()

    def feed(self, text):
        """Sends the whole text and closes the input, from a thread of its own: the host's output
        is read meanwhile, so neither pipe can fill up."""
        self._fed = True
        stdin = self.process.stdin
        threading.Thread(target=lambda: (stdin.write(text), stdin.close()), daemon=True).start()

    def wait_output(self, limit):
        """Whether the host printed anything within limit seconds."""
        deadline = time.monotonic() + limit
        while not self.events and self.exited_at is None and time.monotonic() < deadline:
            if not self._read(0.5) and self.process.poll() is not None:
                break
        return bool(self.events) or self.exited_at is not None

    def sync(self, limit=120):
        """Waits until the host has carried out every line sent so far: it answers the runner's
        own "call IsPageBusy" in order."""
        def answered():
            return sum(1 for e in self.events if e.get("op") == "IsPageBusy")
        count = answered()
        self.send("call IsPageBusy")
        deadline = time.monotonic() + limit
        while answered() <= count:
            left = deadline - time.monotonic()
            if left <= 0:
                raise TimeoutError("the host did not catch up")
            if not self._read(min(left, 0.5)):
                if self.process.poll() is not None:
                    raise TimeoutError("the host has ended")
                time.sleep(0.2)

    def finish(self, limit=240):
        """Closes the input and reads the host's output until it ends: its exit status, or None
        when it did not end within limit seconds, after its diagnosis is printed."""
        if not self._fed and not self.process.stdin.closed:
            try:
                self.process.stdin.close()
            except BrokenPipeError:
                pass
        deadline = time.monotonic() + limit
        while self.process.poll() is None:
            if self.exited_at is not None and time.monotonic() > self.exited_at + LINGER:
                print(f"{' '.join(self.command)}: reported its exit with {self.exit_code}, but its "
                      f"process stayed {LINGER} s: taken as Wine's linger and ended", file=sys.stderr)
                self.kill()
                return self.exit_code
            if self.exited_at is None and time.monotonic() > deadline:
                print(diagnosis(self.command, self.process.pid))
                self.kill()
                return None
            if not self._read(0.5):
                time.sleep(0.2)
        # Wine's own processes may hold the pipe open long after the host: what the host printed
        # is there at once, so a quiet pipe has no more of it.
        while not self._closed and select.select([self.process.stdout], [], [], 0.2)[0]:
            self._read(0)
        return self.process.returncode

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait()

    def error_text(self):
        """What the host and Wine wrote to standard error (a crash's report)."""
        self.errors.seek(0)
        return self.errors.read().decode("utf-8", "replace")


def run_script(command, text, limit=240, start_limit=60):
    """Runs the host on the script's text: its events, its exit status (None when it did not end
    within limit seconds) and its standard error. A host that prints nothing at all within
    start_limit seconds never got past Wine's start (every script's first command reports at
    once), so it is started once more."""
    for attempt in range(2):
        host = Host(command)
        host.feed(text)
        if attempt == 1 or host.wait_output(start_limit):
            break
        host.kill()
        print(f"the host printed nothing within {start_limit} s; started again")
    exit_code = host.finish(limit)
    return host.events, exit_code, host.error_text()


def wine_prefix(command):
    """The prefix scripts/wine-run.sh runs the host's program in, made when missing."""
    return subprocess.run([command[0], "--prefix-of", command[1]], stdin=subprocess.DEVNULL,
                          capture_output=True, text=True, check=True, timeout=300).stdout.strip()


def diagnosis(command, pid):
    """What each thread of a host that does not end is doing: winedbg's backtraces of the
    processes of the host's program, when the host runs under scripts/wine-run.sh, and where each
    Unix thread of the host's process waits (a Windows process that has ended can leave its Unix
    process behind, which winedbg no longer lists)."""
    return windows_backtraces(command) + "\n--- the host's Unix threads ---\n" + unix_threads(pid)


def windows_backtraces(command):
    if len(command) < 2 or not command[0].endswith("wine-run.sh"):
        return "no backtraces: the host does not run under wine-run.sh"
    name = os.path.basename(command[1]).lower()
    try:
        result = subprocess.run([command[0], "--wine-of", command[1], "winedbg", "--command", "bt all"],
                                stdin=subprocess.DEVNULL, capture_output=True, timeout=45)
    except subprocess.TimeoutExpired:
        return "no backtraces: winedbg did not end within 45 s"
    blocks = re.split(r"\n(?=Backtracing for thread)", result.stdout.decode("utf-8", "replace"))
    mine = "\n".join(b for b in blocks if name in b.split("\n", 1)[0].lower())
    if not mine:
        return f"--- backtraces ---\nwinedbg lists no thread of {name}"
    return "--- backtraces ---\n" + name_frames(mine, os.path.dirname(command[1]))


def unix_threads(pid):
    """Each thread of the Unix process pid: its name, state, kernel wait channel and system call."""
    lines = []
    try:
        tasks = sorted(os.listdir(f"/proc/{pid}/task"), key=int)
    except OSError:
        return f"process {pid} has ended"
    for task in tasks:
        def read(name):
            try:
                with open(f"/proc/{pid}/task/{task}/{name}") as f:
                    return f.read().strip()
            except OSError:
                return "?"
        state = next((l[6:].strip() for l in read("status").splitlines() if l.startswith("State:")), "?")
        lines.append(f"{task} {read('comm')}: {state}, waits in {read('wchan')}, system call {read('syscall')}")
    return "\n".join(lines)


def name_frames(text, folder):
    """winedbg names no function of a module without debug information ("in Kestrum (+0x1c2f)");
    the function is found in the symbol table of the module's file in folder."""
    tables = {}

    def table(module):
        if module not in tables:
            tables[module] = None
            for path in (os.path.join(folder, module + ext) for ext in (".exe", ".dll")):
                if os.path.isfile(path):
                    header = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", path],
                                            capture_output=True, text=True).stdout
                    base = int(re.search(r"ImageBase\s+([0-9a-fA-F]+)", header).group(1), 16)
                    symbols = subprocess.run(["x86_64-w64-mingw32-nm", "-C", "--defined-only", path],
                                             capture_output=True, text=True).stdout.splitlines()
                    code = sorted((int(l[:l.index(" ")], 16), l.split(" ", 2)[2])
                                  for l in symbols if l.split(" ")[1:2] in (["t"], ["T"]))
                    tables[module] = (base, code)
        return tables[module]

    def name(match):
        found = table(match.group(1))
        if found is None:
            return match.group(0)
        address = found[0] + int(match.group(2), 16)
        below = [s for s in found[1] if s[0] <= address]
        return f"in {match.group(1)} ({below[-1][1]}+0x{address - below[-1][0]:x})" if below else match.group(0)

    return re.sub(r"in (\S+) \(\+0x([0-9a-f]+)\)", name, text)


if __name__ == "__main__":
    sys.stdout.write(name_frames(sys.stdin.read(), sys.argv[1]))
