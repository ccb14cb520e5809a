#!/usr/bin/env python3
"""Table test of check_encoding.py: which bytes it accepts for a resource script and a C++ source."""
import pathlib
import sys
import tempfile

sys.path.insert(0, str(pathlib.Path(__file__).parent))
from check_encoding import problem  # noqa: E402

BOM = b"\xef\xbb\xbf"
PRAGMA = b"#pragma code_page(65001)\n"
LABEL = "\u2103".encode("utf-8")
CASES = [
    # name, suffix, bytes, accepted
    ("script: pragma first, UTF-8, no mark", ".rc", PRAGMA + b'LTEXT "' + LABEL + b'"\n', True),
    ("script: pragma first, CRLF", ".rc", PRAGMA.replace(b"\n", b"\r\n") + b"// x\r\n", True),
    ("script: with a mark", ".rc", BOM + PRAGMA + LABEL, False),
    ("script: pragma after a comment", ".rc", b"// x\n" + PRAGMA + LABEL, False),
    ("script: no pragma", ".rc", b'LTEXT "' + LABEL + b'"\n', False),
    ("script: pragma first, not UTF-8", ".rc", PRAGMA + "\u2103".encode("gbk"), False),
    ("source: ASCII", ".h", b"int x;\n", True),
    ("source: UTF-8 with a mark", ".h", BOM + LABEL, True),
    ("source: UTF-8 without a mark", ".cpp", LABEL, False),
    ("source: a mark, not UTF-8", ".cpp", BOM + "\u2103".encode("gbk"), False),
]


def main() -> int:
    failures = 0
    with tempfile.TemporaryDirectory() as folder:
        for name, suffix, data, accepted in CASES:
            path = pathlib.Path(folder) / f"case{suffix}"
            path.write_bytes(data)
            found = problem(path)
            if (found is None) != accepted:
                failures += 1
                print(f"FAIL {name}: {found or 'accepted'}")
    print(f"{len(CASES)} cases, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
