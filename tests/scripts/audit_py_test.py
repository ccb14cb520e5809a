#!/usr/bin/env python3
"""Tests scripts/audit.py on a record written the way kestrum-host writes it."""
import io
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
import audit  # noqa: E402

ID = '"dev":0,"device.tag":"PT-101","device.long_address":"20B300032A"'
RECORD = "\n".join([
    '{"time":"T1","kind":"write","id":"s/1",' + ID + ',"cmd":222,"request.press_type":2,'
    '"request.serial":"AB-77","request.manufacturer":1,"result":240,"outcome":"done","rc":0,'
    '"meaning":"success","found.press_type":0,"found.serial":"KS0001234","found.manufacturer":0}',
    '{"time":"T2","kind":"write","id":"s/2",' + ID + ',"cmd":182,"request.point":"upper",'
    '"request.value":150.5,"result":7,"outcome":"refused","rc":7,"meaning":"in write-protect mode",'
    '"found.lrv":0,"found.urv":200}',
    '{"time":"T3","kind":"as_left","after":["s/1","s/2","s/9"],' + ID + ',"left.press_type":2,'
    '"left.serial":"AB-77","left.manufacturer":1,"left.range_low":0,"left.range_high":250}',
    '{"time":"T4","kind":"write","id":"s/3",' + ID + ',"cmd":43,"request.data":"","result":255,',
]) + "\n"


class AuditTest(unittest.TestCase):
    def setUp(self):
        handle, self.path = tempfile.mkstemp(suffix=".jsonl")
        with os.fdopen(handle, "w", encoding="utf-8") as f:
            f.write(RECORD)

    def tearDown(self):
        os.remove(self.path)

    def run_audit(self, *args):
        out, err = io.StringIO(), io.StringIO()
        stdout, stderr = sys.stdout, sys.stderr
        sys.stdout, sys.stderr = out, err
        try:
            code = audit.main([self.path, *args])
        finally:
            sys.stdout, sys.stderr = stdout, stderr
        return code, out.getvalue().splitlines(), err.getvalue()

    def test_table_joins_each_write_with_its_as_left_and_skips_a_cut_line(self):
        code, lines, err = self.run_audit()
        self.assertEqual(code, 0)
        self.assertIn(":4: not a whole record, skipped", err)
        self.assertEqual(len(lines), 4)
        set_row, range_row = lines[2], lines[3]
        self.assertIn("PT-101 (20B300032A, device 0)", set_row)
        self.assertIn("press type 2, serial AB-77, manufacturer 1", set_row)
        self.assertIn("press type 0, serial KS0001234, manufacturer 0", set_row)
        self.assertTrue(set_row.endswith("press type 2, serial AB-77, manufacturer 1"))
        self.assertIn("point upper, value 150.5", range_row)
        self.assertIn("refused: in write-protect mode (7)", range_row)
        self.assertIn("LRV 0, URV 200", range_row)
        self.assertTrue(range_row.endswith("range low 0, range high 250"))

    def test_csv_has_every_field_of_every_write(self):
        code, lines, _ = self.run_audit("--csv")
        self.assertEqual(code, 0)
        header = lines[0].split(",")
        self.assertEqual(header[:4], ["time", "kind", "id", "dev"])
        self.assertIn("left.serial", header)
        self.assertIn("found.urv", header)
        self.assertEqual(len(lines), 3)
        row = dict(zip(header, lines[1].split(",")))
        self.assertEqual((row["request.serial"], row["left.serial"], row["found.urv"]),
                         ("AB-77", "AB-77", ""))

    def test_a_missing_file_is_an_error(self):
        os.remove(self.path)
        code, _, err = self.run_audit()
        open(self.path, "w").close()
        self.assertEqual(code, 1)
        self.assertIn("audit.py:", err)


if __name__ == "__main__":
    unittest.main()
