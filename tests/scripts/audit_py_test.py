#!/usr/bin/env python3
"""Tests scripts/audit.py on a record kestrum-host wrote in two sessions, the first one's last line
torn: audit_py_test.py HOST, HOST the host's command line joined by ';'."""
import contextlib
import html.parser
import io
import os
import shutil
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "scripts"))
sys.path.insert(0, os.path.join(HERE, ".."))
import audit  # noqa: E402
import check_script  # noqa: E402
import hostrun  # noqa: E402

HOST = None
# A Set, a Refresh, a Verify that fails on the temperature, and a Set whose result line gets torn
# and whose as-left line is lost; then a Set the write-protected device refuses.
FIRST = """call ReloadPage
wait
type IDC_EDT_SERIAL_NO AB-77
click IDC_BTN_SET
wait
click IDC_BTN_REFRESH
wait
type IDC_EDT_VERIFY_RANGE_HIGH 250.000
type IDC_EDT_VERIFY_RANGE_LOW 0.000
type IDC_EDT_VERIFY_PRESS 1.2
type IDC_EDT_VERIFY_TEMP 40
answer ok
click IDC_BTN_VERIFY
wait
click IDC_BTN_SET
wait
"""
SECOND = """call ReloadPage
wait
xmtr write_protect 1
click IDC_BTN_SET
wait
"""


def write_record(path, script, exit_code=0):
    text = check_script.substitute(f"audit Z:{path.replace('/', chr(92))}\n" + script)
    _, code, errors = hostrun.run_script(HOST, text.encode(), 120)
    assert code == exit_code, (code, errors)


class AuditTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.mkdtemp()
        cls.record = os.path.join(cls.folder, "audit.jsonl")
        write_record(cls.record, FIRST)
        with open(cls.record, "rb") as f:
            data = f.read()
        with open(cls.record, "wb") as f:
            f.write(data[:data.rindex(b"\n", 0, len(data) - 1) - 20])
        write_record(cls.record, SECOND)
        with open(cls.record, "rb") as f:
            cls.lines = f.read().split(b"\n")[:-1]

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.folder)

    def run_audit(self, *args):
        out, err = io.StringIO(), io.StringIO()
        with contextlib.redirect_stdout(out), contextlib.redirect_stderr(err):
            code = audit.main(list(args))
        return code, out.getvalue().splitlines(), err.getvalue()

    def test_table_and_csv_join_intent_result_and_as_left_and_skip_the_torn_line(self):
        code, lines, err = self.run_audit(self.record)
        self.assertEqual(code, 0)
        self.assertIn(":9: not a whole record, skipped", err)
        self.assertEqual(len(lines), 6, lines)
        first, _, torn, refused = lines[2:]
        self.assertIn("PT-101 (20B300032A, device 0)", first)
        self.assertIn("done", first)
        self.assertIn("press type 0, serial KS0001234, manufacturer 0", first)
        self.assertTrue(first.endswith("press type 0, serial AB-77, manufacturer 0"), first)
        self.assertIn("unknown (no result)", torn)
        self.assertIn("refused: in write-protect mode (7)", refused)
        code, lines, _ = self.run_audit(self.record, "--csv")
        header = lines[0].split(",")
        self.assertEqual(header[:4], ["seq", "prev", "time", "kind"])
        self.assertIn("left.serial", header)
        self.assertIn("status_words", header)

    def check_copy(self, lines, *reports):
        path = os.path.join(self.folder, "copy.jsonl")
        with open(path, "wb") as f:
            f.write(b"\n".join(lines) + b"\n")
        code, out, _ = self.run_audit("verify", path)
        for report in reports:
            self.assertTrue(any(report in line for line in out), (report, out))
        return code, out

    def test_verify_follows_the_chain_across_sessions_and_a_torn_line(self):
        code, out = self.check_copy(self.lines, ":9: torn line", ":8: write ",
                                    "has no result: outcome unknown", "chain whole")
        self.assertEqual(code, 0, out)
        self.assertEqual(len(out), 3, out)

    def test_verify_follows_the_chain_through_the_files_it_filled(self):
        self.check_copy(self.lines[4:], "copy.jsonl:1: lines missing before it (sequence 0, "
                        "then 5)", "chain BROKEN")
        with open(os.path.join(self.folder, "copy.jsonl.0000000004"), "wb") as f:
            f.write(b"\n".join(self.lines[:4]) + b"\n")
        try:
            code, out = self.check_copy(self.lines[4:], "copy.jsonl:5: torn line",
                                        f"{len(self.lines)} lines, chain whole")
            self.assertEqual(code, 0, out)
        finally:
            os.remove(os.path.join(self.folder, "copy.jsonl.0000000004"))

    def test_a_host_killed_between_intent_and_result_leaves_the_outcome_unknown(self):
        path = os.path.join(self.folder, "killed.jsonl")
        write_record(path, "call ReloadPage\nwait\ndieafterintent\nclick IDC_BTN_SET\nwait\n",
                     3)
        code, out, _ = self.run_audit("verify", path)
        self.assertEqual(code, 0, out)
        self.assertRegex(out[0], r"killed.jsonl:1: write .*/1 has no result: outcome unknown")
        self.assertIn("1 lines, chain whole", out[1])

    def test_verify_finds_an_edited_and_a_deleted_line(self):
        edited = list(self.lines)
        edited[1] = edited[1].replace(b'"outcome":"done"', b'"outcome":"refused"')
        code, _ = self.check_copy(edited, ":2: edited", "chain BROKEN")
        self.assertEqual(code, 1)
        code, _ = self.check_copy(self.lines[:1] + self.lines[2:],
                                  ":2: lines missing before it (sequence 1, then 3)")
        self.assertEqual(code, 1)

    def test_report_per_device_with_writes_test_points_chart_and_chain_as_standalone_html(self):
        path = os.path.join(self.folder, "report.html")
        code, _, _ = self.run_audit("report", self.record, "--device", "20b300032a",
                                    "--html", path)
        self.assertEqual(code, 0)
        page = Page(path)
        self.assertEqual(page.tags["section"], 1)
        self.assertEqual(page.tags["caption"], 5, "four writes and the test points")
        self.assertEqual(page.tags["circle"], 1, "the one test point charted")
        self.assertEqual(page.external, [], "nothing fetched from elsewhere")
        self.assertIn("@media print", page.text)
        for text in ("PT-101 (20B300032A)", "chain whole", "9: torn line",
                     "| serial | AB-77 | KS0001234 (", ") | AB-77 (",
                     "unknown: no result recorded",
                     "refused: in write-protect mode (response code 7)",
                     "| 1.2 | 1.25 | 0.04999995 | 0.01999998 | 0.0749 | 40 | 23.5 | -16.5 |"
                     " 4.999999 | 0.000 to 250.000: pass | fail"):
            self.assertIn(text, page.text)
        self.run_audit("report", self.record, "--device", "0011223344", "--html", path)
        self.assertIn("No writes recorded for 0011223344.", Page(path).text)


class Page(html.parser.HTMLParser):
    """A report as html.parser reads it: its tags counted, its text with " | " between cells,
    and every attribute that would fetch something."""

    def __init__(self, path):
        super().__init__()
        self.tags, self.parts, self.external = {}, [], []
        with open(path, encoding="utf-8") as f:
            self.feed(f.read())
        self.text = " ".join(" ".join(self.parts).split())

    def handle_starttag(self, tag, attrs):
        self.tags[tag] = self.tags.get(tag, 0) + 1
        self.external += [value for name, value in attrs if name in ("src", "href")]
        self.external += [tag] if tag in ("script", "link", "img", "iframe") else []
        if tag in ("td", "th"):
            self.parts.append("|")

    def handle_data(self, data):
        self.parts.append(data)


if __name__ == "__main__":
    HOST = sys.argv.pop(1).split(";")
    unittest.main()
