#!/usr/bin/env python3
"""Checks that the product's sources read the same whatever code page a compiler assumes.

A compiler that finds no byte-order mark reads a source in the system's ANSI code page (936 on a
Chinese Windows), so every product source is either plain ASCII or UTF-8 with a byte-order mark.
A resource script also declares #pragma code_page(65001), which the resource compiler needs.

Usage: check_encoding.py REPOSITORY_ROOT
"""
import pathlib
import sys

PRODUCT_FOLDERS = ("module", "page", "codetables", "res", "host")
SOURCE_SUFFIXES = {".h", ".cpp", ".rc"}
BOM = b"\xef\xbb\xbf"


def problem(path: pathlib.Path) -> str | None:
    data = path.read_bytes()
    if data.startswith(BOM):
        try:
            data[len(BOM):].decode("utf-8")
        except UnicodeDecodeError as error:
            return f"byte-order mark, but not UTF-8 ({error})"
    elif not data.isascii():
        return "neither ASCII nor UTF-8 with a byte-order mark"
    if path.suffix == ".rc" and b"#pragma code_page(65001)" not in data:
        return "resource script without #pragma code_page(65001)"
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
