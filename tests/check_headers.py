#!/usr/bin/env python3
"""Lists the git-tracked source files that do not open with a comment saying what they are.

C and C++ sources and resource scripts open with // or /*, after a byte-order mark and, in a
resource script, after its #pragma code_page line. Python and shell files (by suffix or by a
shebang line) open with a # comment or, in Python, a docstring, after the shebang line.
Exits with 1 when any file fails.

Usage: check_headers.py [REPOSITORY_ROOT]
"""
import pathlib
import subprocess
import sys

C_SUFFIXES = {".c", ".cpp", ".h", ".rc"}
SCRIPT_SUFFIXES = {".py", ".sh"}


def first_lines(data: bytes) -> list[str]:
    lines = data.removeprefix(b"\xef\xbb\xbf").decode("utf-8", "replace").splitlines()
    return [line.strip() for line in lines if line.strip()]


def opens_with_comment(path: pathlib.Path) -> bool:
    lines = first_lines(path.read_bytes())
    if path.suffix in C_SUFFIXES:
        if path.suffix == ".rc" and lines[:1] and lines[0].startswith("#pragma code_page"):
            lines = lines[1:]
        return bool(lines) and lines[0].startswith(("//", "/*"))
    if lines[:1] and lines[0].startswith("#!"):
        lines = lines[1:]
    return bool(lines) and lines[0].startswith(("#", '"""', "'''")) and not lines[0].startswith("#!")


def is_source(path: pathlib.Path) -> bool:
    if path.suffix in C_SUFFIXES | SCRIPT_SUFFIXES:
        return True
    with path.open("rb") as file:
        return file.read(2) == b"#!"


def main() -> int:
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".")
    names = subprocess.run(["git", "-C", str(root), "ls-files", "-z"], check=True,
                           capture_output=True).stdout.decode().split("\0")
    paths = [root / name for name in names if name and (root / name).is_file()]
    offenders = [path for path in paths if is_source(path) and not opens_with_comment(path)]
    for path in offenders:
        print(f"{path.relative_to(root)}: does not open with a comment saying what it is")
    return 1 if offenders else 0


if __name__ == "__main__":
    sys.exit(main())
