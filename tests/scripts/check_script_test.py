#!/usr/bin/env python3
"""Tests of check_script.py against a fake host that prints the event written after each "emit"
command and reports each "mark" as the host does: an event that comes from a later step does not
satisfy an earlier one, every failure is reported, named patterns and resource names work."""
import os
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
FAKE_HOST = r'''
import json, sys
for n, line in enumerate(sys.stdin, 1):
    line = line.rstrip("\n")
    if line.startswith("emit "):
        print(line[5:])
    elif line.startswith("mark "):
        print(json.dumps({"ev": "mark", "line": int(line[5:])}))
    elif line.startswith("click "):
        print(json.dumps({"ev": "click", "id": line[6:]}))
'''


def check(script):
    with tempfile.TemporaryDirectory() as folder:
        host = os.path.join(folder, "host.py")
        with open(host, "w") as f:
            f.write(FAKE_HOST)
        path = os.path.join(folder, "test.ksc")
        with open(path, "w") as f:
            f.write(script)
        run = subprocess.run([sys.executable, os.path.join(HERE, "check_script.py"),
                              f"{sys.executable};{host}", path], capture_output=True, text=True)
    return run.returncode, [l for l in run.stdout.splitlines() if not l.startswith("{")]


class CheckScriptTest(unittest.TestCase):
    def test_events_of_the_right_steps_pass(self):
        code, out = check('emit {"ev":"a"}\n#> {"ev":"a"}\nemit {"ev":"b"}\n#> {"ev":"b"}\n')
        self.assertEqual(code, 0, out)
        self.assertEqual(out[-1], "3 passed, 0 failed")

    def test_an_event_of_a_later_step_does_not_count_for_an_earlier_one(self):
        code, out = check('emit {"ev":"x"}\n#> {"ev":"b"}\nemit {"ev":"b"}\n#> {"ev":"b"}\n')
        self.assertEqual(code, 1)
        self.assertIn('line 2: no event {"ev": "b"} in order in its step', out)
        self.assertEqual(out[-1], "2 passed, 1 failed")

    def test_every_failure_is_reported_and_order_within_a_step_counts(self):
        code, out = check('emit {"ev":"a"}\nemit {"ev":"b"}\n#> {"ev":"b"}\n#> {"ev":"a"}\n'
                          '#> {"ev":"c"}\n#! {"ev":"a"}\n')
        self.assertEqual(code, 1)
        failures = [l for l in out if l.startswith("line ")]
        self.assertEqual([l.split(":")[0] for l in failures], ["line 4", "line 5", "line 6"])

    def test_named_patterns_with_extra_fields_and_resource_names(self):
        code, out = check('#= BOX {"ev":"box","flags":16}\nemit {"ev":"box","flags":16,"text":"t"}\n'
                          '#> BOX {"text":"t"}\nclick IDC_BTN_SET\n#> {"ev":"click","id":"1004"}\n'
                          '#! BOX {"text":"u"}\n')
        self.assertEqual(code, 0, out)

    def test_line_numbers_stay_as_written(self):
        code, out = check('emit {"ev":"a"}\n#> {"ev":"a"}\n#> {"ev":"zz"}\n')
        self.assertIn('line 3: no event {"ev": "zz"} in order in its step', out)


if __name__ == "__main__":
    unittest.main()
