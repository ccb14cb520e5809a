#!/usr/bin/env python3
"""Checks the Visual Studio path as far as it can be checked without Visual Studio (docs/msvc.md):
CMake in script mode reads the MSVC path (msvc_lists.cmake), which must need no newer CMake than
Visual Studio 2019's (3.20), link the Release MFC unless KESTRUM_DEBUG_MFC asks for the Debug one,
stop with one error that says what to set without KESTRUM_HOST_LIB_DIR, and name only sources
that exist, whose includes resolve and which call no plain min or max (the SDK's macros); the
presets (version 2, valid, Win32 presets for v142 and v143, each generator no newer than the CMake
it states) and the user presets' example must read in CMake.

Usage: check_msvc_path.py SCHEMA (--tree ROOT | --package PACKAGE_SH)
With --package the source kit is made and unpacked: it must be named by res/version.h's version
and hold exactly the files the MSVC path needs, its README, the presets and the example.
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
# The first CMake that has each generator a preset may name.
GENERATOR_SINCE = {
    "Unix Makefiles": (2, 6),
    "Ninja": (2, 8),
    "Visual Studio 15 2017": (3, 7),
    "Visual Studio 16 2019": (3, 14),
    "Visual Studio 17 2022": (3, 21),
}
STATED_CMAKE = re.compile(r"\bCMake (\d+)\.(\d+) or newer\b")
KIT_EXAMPLE = "CMakeUserPresets.json.example"
# Headers of MFC, the Windows SDK and the C and C++ libraries that the product includes.
SYSTEM_HEADERS = {"afx.h", "afxwin.h", "afxtempl.h", "afxdllx.h", "windows.h", "math.h",
                  "stdlib.h", "string.h", "stddef.h", "wctype.h", "atomic", "climits", "cmath",
                  "cstddef", "cstdint", "cstring", "string", "utility"}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.MULTILINE)
COMMENT_OR_STRING = re.compile(r'//[^\n]*|/\*.*?\*/|"(?:\\.|[^"\\\n])*"', re.DOTALL)
MIN_MAX_CALL = re.compile(r"\b(?:min|max)\s*\(")


def run_msvc_lists(root: pathlib.Path, *options: str) -> subprocess.CompletedProcess:
    with tempfile.TemporaryDirectory() as work:
        return subprocess.run(
            ["cmake", f"-DKESTRUM_ROOT={root}", f"-DKESTRUM_WORK={work}", *options,
             "-P", str(HERE / "msvc_lists.cmake")],
            cwd=root, capture_output=True, text=True)


def read_msvc_lists(root: pathlib.Path, *options: str) -> dict[str, list[str]]:
    run = run_msvc_lists(root, *options)
    if run.returncode != 0:
        raise SystemExit(f"CMake could not read the MSVC path:\n{run.stderr}")
    found: dict[str, list[str]] = {}
    for line in run.stderr.splitlines():
        key, _, value = line.partition(": ")
        found.setdefault(key, []).append(value)
    return found


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
            found = next(((folder / name).resolve() for folder in
                          ([path.parent] if mark == '"' else []) + folders
                          if (folder / name).is_file()), None)
            if found is not None:
                todo.append(found)
            elif name not in SYSTEM_HEADERS:
                problems.append(f"{path.name} includes {name}, which is nowhere")
    return needed


def check_missing_host_libraries(root: pathlib.Path, problems: list[str]) -> None:
    run = run_msvc_lists(root, "-DKESTRUM_HOST_LIB_DIR=")
    errors = run.stderr.count("CMake Error")
    if run.returncode == 0 or errors != 1 or "KESTRUM_HOST_LIB_DIR is not set" not in run.stderr \
            or KIT_EXAMPLE not in " ".join(run.stderr.split()):
        problems.append(f"without KESTRUM_HOST_LIB_DIR: exit {run.returncode}, {errors} errors:\n"
                        f"{run.stderr}")


def read_presets(path: pathlib.Path, schema: dict, problems: list[str]) -> dict:
    presets = json.loads(path.read_text(encoding="utf-8"))
    if presets.get("version") != 2:
        problems.append(f"{path.name}: version {presets.get('version')}, Visual Studio 2019 "
                        "reads 2")
    try:
        jsonschema.validate(presets, schema)
    except jsonschema.ValidationError as error:
        problems.append(f"{path.name} invalid: {error.message[:300]}")
    return presets


def resolved(preset: dict, by_name: dict[str, dict]) -> dict:
    """The preset with what it inherits filled in (its own fields first)."""
    fields: dict = {}
    parents = preset.get("inherits", [])
    for parent in [parents] if isinstance(parents, str) else parents:
        for key, value in resolved(by_name[parent], by_name).items():
            fields.setdefault(key, value)
    return {**fields, **{k: v for k, v in preset.items() if k != "hidden"}}


def check_presets(root: pathlib.Path, example: pathlib.Path, schema: dict,
                  problems: list[str]) -> None:
    presets = read_presets(root / "CMakePresets.json", schema, problems)
    minimum = presets.get("cmakeMinimumRequired", {})
    minimum = (minimum.get("major", 0), minimum.get("minor", 0))
    if minimum > VS2019_CMAKE:
        problems.append(f"presets require CMake {minimum}")
    by_name = {p["name"]: p for p in presets.get("configurePresets", [])}
    toolsets = {}
    for name, preset in by_name.items():
        if preset.get("hidden"):
            continue
        preset = resolved(preset, by_name)
        stated = STATED_CMAKE.search(preset.get("displayName", ""))
        stated = max(minimum, (int(stated[1]), int(stated[2])) if stated else minimum)
        generator = preset.get("generator")
        needed = GENERATOR_SINCE.get(generator)
        if needed is None:
            problems.append(f"preset {name}: generator {generator} is not in the table")
        elif needed > stated:
            problems.append(f"preset {name}: generator {generator} needs CMake "
                            f"{needed[0]}.{needed[1]}, the preset states {stated[0]}.{stated[1]}")
        if preset.get("architecture", {}).get("value") == "Win32":
            toolsets[preset.get("toolset", {}).get("value")] = stated
    for toolset in ("v142", "v143"):
        if toolset not in toolsets:
            problems.append(f"no Win32 preset for toolset {toolset}")
    if toolsets.get("v142", VS2019_CMAKE) > VS2019_CMAKE:
        problems.append("the v142 preset needs a newer CMake than Visual Studio 2019's")
    # The example must name presets of the file and set the folder; CMake reads both files as
    # Visual Studio would once the example is copied to CMakeUserPresets.json.
    user = read_presets(example, schema, problems)
    for preset in user.get("configurePresets", []):
        if "KESTRUM_HOST_LIB_DIR" not in preset.get("cacheVariables", {}):
            problems.append(f"{example.name}: {preset['name']} does not set KESTRUM_HOST_LIB_DIR")
    with tempfile.TemporaryDirectory() as folder:
        (pathlib.Path(folder) / "CMakePresets.json").write_text(json.dumps(presets))
        (pathlib.Path(folder) / "CMakeUserPresets.json").write_text(json.dumps(user))
        run = subprocess.run(["cmake", "--list-presets"], cwd=folder, capture_output=True,
                             text=True)
    if run.returncode != 0:
        problems.append(f"CMake does not read the presets with {example.name}: {run.stderr}")


def check(root: pathlib.Path, schema: dict, kit: bool) -> list[str]:
    problems: list[str] = []
    lists = read_msvc_lists(root)
    for required in lists.get("requires", []):
        if tuple(int(part) for part in required.split("...")[0].split(".")) > VS2019_CMAKE:
            problems.append(f"the MSVC path requires CMake {required}")
    if lists.get("runtime") != ["MultiThreadedDLL"] or lists.get("mfc-flag") != ["2"]:
        problems.append(f"by default: runtime {lists.get('runtime')}, MFC {lists.get('mfc-flag')}")
    debug = read_msvc_lists(root, "-DKESTRUM_DEBUG_MFC=ON")
    if debug.get("runtime") != ["MultiThreaded$<$<CONFIG:Debug>:Debug>DLL"]:
        problems.append(f"KESTRUM_DEBUG_MFC=ON: runtime {debug.get('runtime')}")
    check_missing_host_libraries(root, problems)
    needed = needed_files(lists, problems)
    needed |= {pathlib.Path(f).resolve() for f in lists.get("lists", [])}
    example = root / (KIT_EXAMPLE if kit else f"scripts/kits/{KIT_EXAMPLE}")
    check_presets(root, example, schema, problems)
    if kit:
        needed |= {(root / name).resolve() for name in ("CMakePresets.json", "README.md",
                                                          KIT_EXAMPLE)}
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
            version = re.search(r'^#define KESTRUM_VERSION_TEXT "(.*)"$',
                                (root / "res/version.h").read_text(encoding="utf-8"), re.MULTILINE)
            if kit.name != f"kestrum-source-{version and version[1]}.zip" or root.name != kit.stem:
                problems.append(f"{kit.name} (folder {root.name}) for version "
                                f"{version and version[1]}")
    for text in problems:
        print(text)
    print(f"{len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
