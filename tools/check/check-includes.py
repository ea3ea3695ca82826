#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks that the include arrows of src/ follow the program's floors.

Folders of src/, lowest first; a file may include from its own folder and
from any lower floor, never from a higher one:

    ui          the widget kit (depends only on Qt)
    sim         the simulated radio's model
    settings    the settings file
    radio       the radio's language, the link and the ports
    keyer, voice, mode, launcher
                the panels: one floor, and no panel includes another panel
    app         the windows, composing the panels
    main.cpp    the program, on top

It also fails on an include cycle between files, and on anything in src/
that includes from tools/ or tests/ (or from outside src/ at all). Only
#include "..." lines are read; <...> includes are libraries.

Usage: tools/check/check-includes.py [SOURCE_ROOT]   (default: the src/ of this repository)
Exit status 0 when every arrow points down or sideways within a folder, 1 otherwise.
"""

import os
import re
import sys

FLOORS = [
    ["ui"],
    ["sim"],
    ["sim-server"],  # rigdeck-sim, a program of its own
    ["settings"],
    ["radio"],
    ["keyer", "voice", "mode", "launcher"],
    ["app"],
]
TOP = "main.cpp"  # the top file of the program, above every floor
SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc", ".cxx")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def floor_of(folder):
    for level, folders in enumerate(FLOORS):
        if folder in folders:
            return level
    return None


def source_files(root):
    for directory, _, names in os.walk(root):
        for name in sorted(names):
            if name.endswith(SOURCE_SUFFIXES):
                yield os.path.join(directory, name)


def resolve(root, including, target):
    """The included file as a path relative to root, or None when it is outside root."""
    candidates = [os.path.join(os.path.dirname(including), target), os.path.join(root, target)]
    for candidate in candidates:
        if os.path.isfile(candidate):
            break
    else:
        candidate = candidates[1]  # a missing file still says where it was meant to come from
    relative = os.path.relpath(os.path.normpath(candidate), root)
    if relative.startswith(".."):
        return None
    return relative.replace(os.sep, "/")


def check(root):
    problems = []
    graph = {}
    for path in source_files(root):
        name = os.path.relpath(path, root).replace(os.sep, "/")
        graph.setdefault(name, [])
        with open(path, encoding="utf-8", errors="replace") as source:
            for number, line in enumerate(source, 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                target = match.group(1)
                where = f"src/{name}:{number}"
                first = target.replace("\\", "/").split("/")[0]
                included = resolve(root, path, target)
                if first in ("tools", "tests") or included is None:
                    problems.append(f'{where}: includes "{target}" from outside src/')
                    continue
                graph[name].append((included, where))
                problems.extend(arrow_problems(name, included, where, target))
    problems.extend(cycle_problems(graph))
    return problems


def arrow_problems(name, included, where, target):
    if name == TOP:
        return []
    if included == TOP:
        return [f'{where}: includes the top file "{target}"']
    folder = name.split("/")[0] if "/" in name else None
    target_folder = included.split("/")[0] if "/" in included else None
    if folder == target_folder:
        return []
    level = floor_of(folder)
    target_level = floor_of(target_folder)
    if level is None:
        return [f"{where}: src/{folder or name} is on no floor; add it to FLOORS in tools/check/check-includes.py"]
    if target_level is None:
        return [f'{where}: includes "{target}", which is on no floor']
    if target_level > level:
        return [f'{where}: {folder} includes "{target}" from the higher floor {target_folder}']
    if target_level == level:
        return [f'{where}: the panel folder {folder} includes "{target}" from the panel folder {target_folder}']
    return []


def cycle_problems(graph):
    """Every include cycle between files, each reported once."""
    problems = []
    state = {}  # absent: not seen, 1: on the current path, 2: done
    reported = set()

    def visit(node, path):
        state[node] = 1
        path.append(node)
        for included, _ in graph.get(node, []):
            if state.get(included) == 1:
                cycle = path[path.index(included):]
                key = frozenset(cycle)
                if key not in reported:
                    reported.add(key)
                    problems.append("include cycle: " + " -> ".join(f"src/{n}" for n in cycle + [included]))
            elif included not in state:
                visit(included, path)
        path.pop()
        state[node] = 2

    for node in sorted(graph):
        if node not in state:
            visit(node, [])
    return problems


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "src")
    root = os.path.normpath(root)
    problems = check(root)
    for problem in problems:
        print(problem, file=sys.stderr)
    if problems:
        print(f"check-includes: {len(problems)} include(s) against the floors of src/", file=sys.stderr)
        return 1
    print("check-includes: every include of src/ points down")
    return 0


if __name__ == "__main__":
    sys.exit(main())
