#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""tools/check/check-includes.py against a copy of src/ with one fault put in per row.

    tests/check_includes.py [path/to/check-includes.py]

The copy as it is must pass; each row's fault must fail it, with the row's
words in the report. Exit 1 when a row does not."""

import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.join(HERE, "..", "src")
CHECK = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "tools", "check", "check-includes.py")

# (name, file of src/, line added at its end, words the report must hold)
ROWS = [
    ("panel includes the CAT module", "keyer/KeyerPanel.cpp", '#include "radio/Ft2000Cat.h"', "the CAT module"),
    ("app includes the CAT module", "app/Form1.cpp", '#include "radio/Ft2000Cat.h"', "the CAT module"),
    ("radio includes the server program", "radio/Radio.cpp", '#include "sim-server/PtyRadio.h"', "a program of its own"),
    ("command in a panel", "mode/ModePanel.cpp", 'static const char *c = "MD0";', 'CAT command "MD0"'),
    ("command inside a text", "voice/VoiceMemoryPanel.cpp", 'static const char *c = "then LM01; here";', "CAT command"),
    ("speed range copied", "keyer/KeySpeedPanel.cpp", "static void r(QSlider *s) { s->setRange(4, 60); }", "radio limit"),
    ("channel count compared", "voice/VoiceMemoryPanel.cpp", "static bool c(int i) { return i < 5; }", "radio limit"),
    ("take in seconds", "voice/VoiceMemoryPanel.cpp", "static auto t = std::chrono::seconds(20);", "radio limit"),
    ("settle pause as a timer", "keyer/KeySpeedPanel.cpp", "static void w() { QTimer::singleShot(30, [] {}); }", "radio limit"),
    ("sleep in a panel", "launcher/LauncherPanel.cpp", "static void s() { QThread::msleep(1); }", "a sleep"),
]


def run(root):
    result = subprocess.run([sys.executable, CHECK, root], capture_output=True, text=True)
    return result.returncode, result.stdout + result.stderr


def main():
    failures = 0
    with tempfile.TemporaryDirectory() as work:
        root = os.path.join(work, "src")
        shutil.copytree(SOURCE, root)
        status, report = run(root)
        if status != 0:
            print(f"FAIL the tree as it is: {report}")
            return 1
        for name, path, line, words in ROWS:
            target = os.path.join(root, path)
            with open(target, encoding="utf-8") as source:
                kept = source.read()
            with open(target, "a", encoding="utf-8") as source:
                source.write("\n" + line + "\n")
            status, report = run(root)
            with open(target, "w", encoding="utf-8") as source:
                source.write(kept)
            if status == 0 or words not in report:
                print(f"FAIL {name}: exit {status}, wanted {words!r} in: {report.strip()}")
                failures += 1
            else:
                print(f"PASS {name}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
