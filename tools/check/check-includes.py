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

sim-server, the second program (rigdeck-sim), stands beside them: it may
include the floors below it, and nothing else in src/ includes it.

It also fails on an include cycle between files, and on anything in src/
that includes from tools/ or tests/ (or from outside src/ at all). Only
#include "..." lines are read; <...> includes are libraries.

And it keeps the radio's language in the radio layer: only src/radio
includes the CAT module (radio/Ft2000Cat.h), and no panel holds a CAT
command literal (one of the commands the CAT module writes, such as "KY1;"
or "MD0"), a radio limit written as a number where a limit is meant (a
count, range, take or pause of the FT2000's table in
src/radio/RadioCapabilities.h, in a comparison, an array size, a range, a
time or a named constant) or a sleep.

Usage: tools/check/check-includes.py [SOURCE_ROOT]   (default: the src/ of this repository)
Exit status 0 when every arrow points down or sideways within a folder and
the panels are clean, 1 otherwise.
"""

import os
import re
import sys

FLOORS = [
    ["ui"],
    ["sim"],
    ["sim-server"],
    ["settings"],
    ["radio"],
    ["keyer", "voice", "mode", "launcher"],
    ["app"],
]
TOP = "main.cpp"  # the top file of the program, above every floor
OTHER_PROGRAMS = ["sim-server"]  # programs of their own: nothing includes them
PANELS = FLOORS[-2]
CAT_MODULE = "radio/Ft2000Cat.h"  # only its own floor includes it
CAPABILITIES = "radio/RadioCapabilities.h"
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
    problems.extend(panel_problems(root))
    return problems


LITERAL = re.compile(r'"((?:[^"\\\n]|\\.)*)"')
COMMENT = re.compile(r"//[^\n]*|/\*.*?\*/", re.S)
CHARACTER = re.compile(r"'(?:[^'\\\n]|\\.)+'")
SLEEP = re.compile(r"\b(?:msleep|usleep|sleep_for|sleep_until|sleep)\s*\(")


def read_text(path):
    with open(path, encoding="utf-8", errors="replace") as source:
        return source.read()


def split_code(text):
    """The text's string literals, and its code without comments, literals and characters.

    Every line keeps its place, so that positions in the code give line numbers."""
    keep_lines = lambda match: "\n" * match.group(0).count("\n")
    literals = []
    code = []
    # Comments first, but not the "//" inside a literal: walk literal by literal.
    position = 0
    while position < len(text):
        literal = LITERAL.search(text, position)
        comment = COMMENT.search(text, position)
        if comment and (not literal or comment.start() < literal.start()):
            code.append(text[position:comment.start()] + keep_lines(comment))
            position = comment.end()
        elif literal:
            line = text.count("\n", 0, literal.start()) + 1
            literals.append((line, literal.group(1)))
            code.append(text[position:literal.start()] + '""')
            position = literal.end()
        else:
            code.append(text[position:])
            break
    return literals, CHARACTER.sub("' '", "".join(code))


def cat_commands(root):
    """The two letters of every command the CAT module writes ("KY", "MD", ...)."""
    letters = set()
    for suffix in (".h", ".cpp"):
        path = os.path.join(root, CAT_MODULE[: -len(".h")] + suffix)
        if os.path.isfile(path):
            for _, literal in split_code(read_text(path))[0]:
                match = re.match(r"([A-Z]{2})[0-9A-Z%]*;", literal)
                if match:
                    letters.add(match.group(1))
    return sorted(letters)


def radio_limits(root):
    """The numbers of the FT2000's table: counts and ranges, seconds, milliseconds."""
    path = os.path.join(root, CAPABILITIES)
    if not os.path.isfile(path):
        return set(), set(), set()
    code = split_code(read_text(path))[1]
    table = re.search(r"Ft2000Capabilities\s*=\s*\{(.*)\};", code, re.S)
    if not table:
        return set(), set(), set()
    body = table.group(1)
    seconds = set(re.findall(r"\bseconds\s*\(\s*(\d+)", body))
    milliseconds = set(re.findall(r"\bmilliseconds\s*\(\s*(\d+)", body))
    body = re.sub(r"std::chrono::\w+\s*\(\s*\d+\s*\)", "", body)
    counts = set(re.findall(r"\b(\d+)\b", body))
    return counts, seconds, milliseconds


def limit_patterns(counts, seconds, milliseconds):
    """Where a number of the table written in a panel stands for a limit."""
    patterns = []

    def alternatives(numbers):
        return "|".join(sorted(numbers, key=int))

    values = counts | seconds  # the take's seconds are counted and compared too
    if values:
        n = f"(?:{alternatives(values)})"
        patterns += [
            rf"(?<![<>-])(?:[<>]=?|[!=]=)\s*{n}\b",  # compared with
            rf"\b{n}\s*(?:[<>]=?|[!=]=)(?![<>])",
            rf"\[\s*{n}\s*\]",  # an array of that many
            rf"\bset(?:Range|Minimum|Maximum)\s*\([^)]*\b{n}\b",  # a range
            rf"\bconst(?:expr)?\b[^;=(]*?\w*(?:Channel|Memor|Mode|Speed|Wpm|WPM|Take|Limit|Count)\w*\s*(?:=|\{{)\s*{n}\b",
        ]
    if seconds:
        s = f"(?:{alternatives(seconds)})"
        patterns += [rf"\bseconds\s*[({{]\s*{s}\b", rf"\b{s}s\b"]
    if milliseconds:
        ms = f"(?:{alternatives(milliseconds)})"
        patterns += [rf"\bmilliseconds\s*[({{]\s*{ms}\b", rf"\b{ms}ms\b",
                     rf"\b(?:singleShot|setInterval|start)\s*\(\s*{ms}\b"]
    return [re.compile(pattern) for pattern in patterns]


def panel_problems(root):
    """CAT command literals, radio limits and sleeps in the panels."""
    commands = cat_commands(root)
    command = None
    if commands:
        letters = "|".join(commands)
        # The whole literal a command or a command's start ("KY", "MD0", "BI1;"),
        # or a complete command inside a longer text.
        command = re.compile(rf"^(?:{letters})[0-9A-F%]*;?$|(?<![A-Za-z0-9])(?:{letters})[0-9A-F%]*;")
    limits = limit_patterns(*radio_limits(root))
    problems = []
    for panel in PANELS:
        for path in source_files(os.path.join(root, panel)):
            name = os.path.relpath(path, root).replace(os.sep, "/")
            literals, code = split_code(read_text(path))
            if command:
                for line, literal in literals:
                    if command.search(literal):
                        problems.append(f'src/{name}:{line}: the CAT command "{literal}" in a panel; ask Radio for it')
            lines = code.split("\n")
            for number, line in enumerate(lines, 1):
                if SLEEP.search(line):
                    problems.append(f"src/{name}:{number}: a sleep in a panel; the radio layer keeps the pauses")
                for pattern in limits:
                    match = pattern.search(line)
                    if match:
                        problems.append(f'src/{name}:{number}: "{match.group(0).strip()}" copies a radio limit;'
                                        f" take it from Radio::capabilities()")
                        break
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
    if target_folder in OTHER_PROGRAMS:
        return [f'{where}: includes "{target}" from {target_folder}, a program of its own']
    if included == CAT_MODULE:
        return [f'{where}: includes the CAT module "{target}"; only src/{target_folder} speaks it']
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
        print(f"check-includes: {len(problems)} problem(s) with the floors of src/", file=sys.stderr)
        return 1
    print("check-includes: every include of src/ points down; the panels leave the radio's language to src/radio")
    return 0


if __name__ == "__main__":
    sys.exit(main())
