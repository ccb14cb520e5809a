#!/usr/bin/env python3
"""Checks the Visual Studio path as far as it can be checked without Visual Studio.

- CMake in script mode reads the MSVC path of the build (msvc_lists.cmake): it must need no more
  than the CMake of Visual Studio 2019 (3.20), link the Release MFC unless KESTRUM_DEBUG_MFC asks
  for the Debug one, and name only sources that exist, whose includes all resolve (to the tree,
  or to a header of MFC, the Windows SDK or the C and C++ libraries). No file calls a function
  named min or max in the plain form: the Windows SDK defines them as macros for C++ too, which
  MFC keeps (mingw-w64 defines them for C only, so its build cannot see this); (std::min)(a, b)
  is the portable form.
- CMakePresets.json is version 2, which that CMake and Visual Studio 2019 read, is valid by
  CMake's own schema and has Win32 presets for the toolsets v142 and v143.

Usage: check_msvc_path.py SCHEMA (--tree ROOT | --package PACKAGE_SH)
With --package the script makes the source kit, which is unpacked into an empty folder and must
hold exactly the files the MSVC path needs, its README and the presets.
"""
import json
import pathlib
import re
import subprocess
import sys
import tempfile
import zipfile

import jsonschema

HERE = pathlib.Path(__file__).resolve().parent
VS2019_CMAKE = (3, 20)
# Headers of MFC, the Windows SDK and the C and C++ libraries that the product includes.
SYSTEM_HEADERS = {"afx.h", "afxwin.h", "afxtempl.h", "afxdllx.h", "windows.h", "math.h",
                  "stdlib.h", "string.h", "stddef.h", "wctype.h", "atomic", "climits", "cmath",
                  "cstddef", "cstdint", "cstring", "string", "utility"}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.MULTILINE)
COMMENT_OR_STRING = re.compile(r'//[^\n]*|/\*.*?\*/|"(?:\\.|[^"\\\n])*"', re.DOTALL)
MIN_MAX_CALL = re.compile(r"\b(?:min|max)\s*\(")


def read_msvc_lists(root: pathlib.Path, *options: str) -> dict[str, list[str]]:
    with tempfile.TemporaryDirectory() as work:
        run = subprocess.run(
            ["cmake", f"-DKESTRUM_ROOT={root}", f"-DKESTRUM_WORK={work}", *options,
             "-P", str(HERE / "msvc_lists.cmake")],
            cwd=root, capture_output=True, text=True)
    if run.returncode != 0:
        raise SystemExit(f"CMake could not read the MSVC path:\n{run.stderr}")
    found: dict[str, list[str]] = {}
    for line in run.stderr.splitlines():
        key, _, value = line.partition(": ")
        found.setdefault(key, []).append(value)
    return found


def version(text: str) -> tuple[int, ...]:
    return tuple(int(part) for part in text.split("...")[0].split("."))


def resolve(name: str, quoted: bool, source: pathlib.Path,
            folders: list[pathlib.Path]) -> pathlib.Path | None:
    for folder in ([source.parent] if quoted else []) + folders:
        if (folder / name).is_file():
            return (folder / name).resolve()
    return None


def needed_files(lists: dict[str, list[str]], problems: list[str]) -> set[pathlib.Path]:
    """The sources and every header of the tree they reach."""
    folders = [pathlib.Path(f) for f in lists.get("include", [])]
    todo = [pathlib.Path(s) for s in lists.get("source", [])]
    needed: set[pathlib.Path] = set()
    while todo:
        path = todo.pop()
        if path in needed:
            continue
        if not path.is_file():
            problems.append(f"missing: {path}")
            continue
        needed.add(path)
        text = path.read_text(encoding="utf-8-sig")
        if path.suffix in (".h", ".cpp") and MIN_MAX_CALL.search(COMMENT_OR_STRING.sub("", text)):
            problems.append(f"{path.name} calls min or max, which the SDK's macros replace")
        for mark, name in INCLUDE.findall(text):
            found = resolve(name, mark == '"', path, folders)
            if found is not None:
                todo.append(found)
            elif name not in SYSTEM_HEADERS:
                problems.append(f"{path.name} includes {name}, which is nowhere")
    return needed


def check_presets(path: pathlib.Path, schema: dict, problems: list[str]) -> None:
    presets = json.loads(path.read_text(encoding="utf-8"))
    if presets.get("version") != 2:
        problems.append(f"presets version {presets.get('version')}, Visual Studio 2019 reads 2")
    try:
        jsonschema.validate(presets, schema)
    except jsonschema.ValidationError as error:
        problems.append(f"presets invalid: {error.message[:300]}")
    minimum = presets.get("cmakeMinimumRequired", {})
    if (minimum.get("major", 0), minimum.get("minor", 0)) > VS2019_CMAKE:
        problems.append(f"presets require CMake {minimum}")
    toolsets = {p.get("toolset", {}).get("value"): p for p in presets.get("configurePresets", [])
                if p.get("architecture", {}).get("value") == "Win32"}
    for toolset in ("v142", "v143"):
        if toolset not in toolsets:
            problems.append(f"no Win32 preset for toolset {toolset}")


def check(root: pathlib.Path, schema: dict, kit: bool) -> list[str]:
    problems: list[str] = []
    lists = read_msvc_lists(root)
    for required in lists.get("requires", []):
        if version(required) > VS2019_CMAKE:
            problems.append(f"the MSVC path requires CMake {required}")
    if lists.get("runtime") != ["MultiThreadedDLL"] or lists.get("mfc-flag") != ["2"]:
        problems.append(f"by default: runtime {lists.get('runtime')}, MFC {lists.get('mfc-flag')}")
    debug = read_msvc_lists(root, "-DKESTRUM_DEBUG_MFC=ON")
    if debug.get("runtime") != ["MultiThreaded$<$<CONFIG:Debug>:Debug>DLL"]:
        problems.append(f"KESTRUM_DEBUG_MFC=ON: runtime {debug.get('runtime')}")
    needed = needed_files(lists, problems)
    needed |= {pathlib.Path(f).resolve() for f in lists.get("lists", [])}
    check_presets(root / "CMakePresets.json", schema, problems)
    if kit:
        needed |= {(root / "CMakePresets.json").resolve(), (root / "README.md").resolve()}
        present = {p.resolve() for p in root.rglob("*") if p.is_file()}
        for path in sorted(present - needed):
            problems.append(f"the kit holds {path.relative_to(root)}, which the build does not need")
        for path in sorted(needed - present):
            problems.append(f"the kit lacks {path.relative_to(root)}")
    print(f"{len(needed)} files needed by the MSVC path")
    return problems


def main() -> int:
    schema = json.loads(pathlib.Path(sys.argv[1]).read_text(encoding="utf-8"))
    if sys.argv[2] == "--tree":
        problems = check(pathlib.Path(sys.argv[3]).resolve(), schema, kit=False)
    else:
        with tempfile.TemporaryDirectory() as out, tempfile.TemporaryDirectory() as folder:
            subprocess.run([sys.argv[3], "--source-only", "--out", out], check=True)
            (kit,) = pathlib.Path(out).glob("kestrum-source-*.zip")
            with zipfile.ZipFile(kit) as archive:
                archive.extractall(folder)
            (root,) = pathlib.Path(folder).iterdir()
            problems = check(root.resolve(), schema, kit=True)
    for text in problems:
        print(text)
    print(f"{len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
