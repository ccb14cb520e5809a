#!/usr/bin/env python3
"""Tests of check_script.py against a fake host that prints the event written after each "emit"
command, reports each "mark" as the host does and exits with 1 after an error event; "exited"
prints the host's last event, "linger" keeps the process from ending."""
import os
import subprocess
import json
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
FAKE_HOST = r'''
import json, sys, time
failed = False
for n, line in enumerate(sys.stdin, 1):
    line = line.rstrip("\n")
    if line.startswith("emit "):
        print(line[5:])
        failed = failed or json.loads(line[5:])["ev"] in ("error", "hang", "terminated")
    elif line.startswith("mark "):
        print(json.dumps({"ev": "mark", "line": int(line[5:])}))
    elif line.startswith("click "):
        print(json.dumps({"ev": "click", "id": line[6:]}))
    elif line.startswith("exit "):
        sys.exit(int(line[5:]))
    elif line == "exited":
        print(json.dumps({"ev": "exit", "code": 0}))
    elif line == "linger":
        sys.stdout.flush()
        time.sleep(120)
sys.exit(1 if failed else 0)
'''


def check(script, include="", options=()):
    with tempfile.TemporaryDirectory() as folder:
        host = os.path.join(folder, "host.py")
        with open(host, "w") as f:
            f.write(FAKE_HOST)
        with open(os.path.join(folder, "common.ksi"), "w") as f:
            f.write(include)
        path = os.path.join(folder, "test.ksc")
        with open(path, "w") as f:
            f.write(script)
        run = subprocess.run([sys.executable, os.path.join(HERE, "check_script.py"),
                              f"{sys.executable};{host}", path, *options], capture_output=True, text=True)
    return run.returncode, [l for l in (run.stdout + run.stderr).splitlines() if not l.startswith("{")]


def failures(out):
    return [l for l in out if l.startswith(("line ", "after ", "host "))]


A, B, C = '{"ev":"a"}', '{"ev":"b"}', '{"ev":"c"}'


class CheckScriptTest(unittest.TestCase):
    def test_every_event_of_a_step_is_expected_in_order(self):
        self.assertEqual(check(f"emit {A}\nemit {B}\n#> {A}\n#> {B}\n")[0], 0)
        cases = [  # script, the failures it reports
            (f"emit {A}\nemit {B}\n#> {A}\n", ["line 3: unexpected event {\"ev\": \"b\"}"]),
            (f"emit {A}\nemit {B}\n#> {B}\n#> {A}\n",
             ['line 3: expected {"ev": "b"}, got {"ev": "a"}', 'line 4: expected {"ev": "a"}, got nothing',
              'line 3: unexpected event {"ev": "a"}']),
            (f"emit {A}\n#> {A}\n#> {C}\n", ['line 3: expected {"ev": "c"}, got nothing']),
            # An event of a later step does not count for an earlier one.
            (f"emit {C}\n#> {B}\nemit {B}\n#> {B}\n",
             ['line 2: expected {"ev": "b"}, got {"ev": "c"}', 'line 2: unexpected event {"ev": "c"}']),
        ]
        for script, expected in cases:
            code, out = check(script)
            self.assertEqual((code, failures(out)), (1, expected), script)

    def test_each_thread_in_its_order_and_the_threads_interleaved_freely(self):
        worker_a, worker_b, ui_c = '{"ev":"a","th":7}', '{"ev":"b","th":7}', '{"ev":"c","th":"ui"}'
        emitted = f"emit {worker_a}\nemit {ui_c}\nemit {worker_b}\n"
        self.assertEqual(check(emitted + f"#> {C}\n#> {A}\n#> {B}\n")[0], 0)
        code, out = check(emitted + f"#> {B}\n#> {C}\n#> {A}\n")
        worker_a = json.dumps(json.loads(worker_a))
        self.assertEqual(failures(out), [f'line 4: expected {{"ev": "b"}}, got {worker_a}',
                                         'line 6: expected {"ev": "a"}, got nothing',
                                         f'line 4: unexpected event {worker_a}'])

    def test_optional_events_and_sequences(self):
        include = f"#sequence TAIL\n#> {B}\n#? {C}\n#end\n"
        for emitted in ([A, B], [A, B, C]):
            script = "#include common.ksi\n" + "".join(f"emit {e}\n" for e in emitted) + f"#> {A}\n#> @TAIL\n"
            self.assertEqual(check(script, include)[0], 0, emitted)
        code, out = check(f"#include common.ksi\nemit {A}\n#> {A}\n#? {C}\n#> @TAIL\n", include)
        self.assertEqual(failures(out), ['line 5: expected {"ev": "b"}, got nothing'])

    def test_bans_dumps_and_failures(self):
        # A ban binds to its step unless it is script-wide.
        self.assertEqual(check(f"emit {A}\n#> {A}\nemit {B}\n#! {A}\n#> {B}\n")[0], 0)
        code, out = check(f"#!! {A}\nemit {A}\n#> {A}\nemit {B}\n#> {B}\n")
        self.assertEqual(failures(out), ['line 1: forbidden event {"ev": "a"}'])
        # Dumps need no expectation and may share one.
        dump = '{"ev":"dump","controls":[{"id":1,"text":"x"}]}'
        script = (f"emit {dump}\n#> {{\"ev\":\"dump\",\"control\":{{\"id\":1}}}}\n"
                  f"#> {{\"ev\":\"dump\",\"controls\":1}}\nemit {dump}\nemit {A}\n#> {A}\n")
        self.assertEqual(check(script)[0], 0)
        # An error fails the script unless a step expects it, and the exit status must say so.
        error = '{"ev":"error","line":1}'
        self.assertEqual(check(f"emit {error}\n#> {{\"ev\":\"error\"}}\n")[0], 0)
        code, out = check(f"emit {A}\n#> {A}\nemit {error}\n")
        self.assertEqual(failures(out), [f"after the last step: unexpected event {json.dumps(json.loads(error))}"])
        code, out = check(f"emit {A}\n#> {A}\nexit 1\n")
        self.assertEqual(failures(out), ["host exited with 1 after no error, hang or termination"])

    def test_a_host_that_does_not_end_fails_unless_it_reported_its_exit(self):
        code, out = check(f"emit {A}\n#> {A}\nexited\nlinger\n", options=["--limit", "3"])
        self.assertEqual(code, 0, out)
        self.assertTrue(any("Wine's linger" in l for l in out), out)
        code, out = check(f"emit {A}\n#> {A}\nlinger\n", options=["--limit", "3"])
        self.assertEqual(code, 1)
        self.assertIn("the host did not end within 3 s", out)
        self.assertIn("--- the host's Unix threads ---", out)

    def test_named_patterns_and_symbolic_ids(self):
        script = ('#= BOX {"ev":"box","flags":16}\nemit {"ev":"box","flags":16,"text":"t"}\n'
                  '#> BOX {"text":"t"}\nclick IDC_BTN_SET\n#> {"ev":"click","id":"1004"}\n'
                  'emit {"ev":"post","msg":2024}\n#> {"ev":"post","msg":WM_OPERATION_DONE}\n')
        self.assertEqual(check(script), (0, ["7 passed, 0 failed"]))


if __name__ == "__main__":
    unittest.main()
