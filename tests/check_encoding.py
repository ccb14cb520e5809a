#!/usr/bin/env python3
"""Checks that the product's sources read the same whatever code page a compiler assumes.

A compiler that finds no byte-order mark reads a source in the system's ANSI code page (936 on a
Chinese Windows), so every C++ source is either plain ASCII or UTF-8 with a byte-order mark.
A resource script is UTF-8 without a mark and declares #pragma code_page(65001) on its first line:
the pragma makes the bytes unambiguous to the resource compiler, while older resource compilers
read a marked script's first line in the ANSI code page and the resource editor rewrites such
files badly.

Usage: check_encoding.py REPOSITORY_ROOT
"""
import pathlib
import sys

PRODUCT_FOLDERS = ("module", "page", "codetables", "res", "host")
SOURCE_SUFFIXES = {".h", ".cpp", ".rc"}
BOM = b"\xef\xbb\xbf"
RC_FIRST_LINE = b"#pragma code_page(65001)"


def problem(path: pathlib.Path) -> str | None:
    data = path.read_bytes()
    if path.suffix == ".rc":
        return resource_script_problem(data)
    if data.startswith(BOM):
        try:
            data[len(BOM):].decode("utf-8")
        except UnicodeDecodeError as error:
            return f"byte-order mark, but not UTF-8 ({error})"
    elif not data.isascii():
        return "neither ASCII nor UTF-8 with a byte-order mark"
    return None


def resource_script_problem(data: bytes) -> str | None:
    if data.startswith(BOM):
        return "resource script with a byte-order mark"
    if data.splitlines()[:1] != [RC_FIRST_LINE]:
        return "resource script whose first line is not #pragma code_page(65001)"
    try:
        data.decode("utf-8")
    except UnicodeDecodeError as error:
        return f"resource script not UTF-8 ({error})"
    return None


def main() -> int:
    root = pathlib.Path(sys.argv[1])
    sources = sorted(
        path
        for folder in PRODUCT_FOLDERS
        for path in (root / folder).rglob("*")
        if path.suffix in SOURCE_SUFFIXES
    )
    failures = [(path, problem(path)) for path in sources]
    failures = [(path, text) for path, text in failures if text]
    for path, text in failures:
        print(f"{path.relative_to(root)}: {text}")
    print(f"{len(sources)} sources checked, {len(failures)} with a wrong encoding")
    return 1 if failures or not sources else 0


if __name__ == "__main__":
    sys.exit(main())
