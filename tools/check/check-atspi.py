#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# The distribution's interpreter: the AT-SPI bindings come from its packages
# (gir1.2-atspi-2.0, python3-gi), not from a virtual environment.
"""What a screen reader finds in RIGDECK, over the real accessibility bus.

Starts the program in demo mode on a virtual display with a session bus of
its own, walks its accessibility tree with AT-SPI and prints every control's
role, name and description. Fails (exit 1) when a control the operator can
use has no name that tells it apart: empty, a bare channel caption ("CH-1"),
or shared with another control of the same window. Then drives controls the
way a screen reader does and checks that each change reaches the bus as an
event: break-in, the mode choice, the key speed, the seconds counter; and
opens the port dialog and the version window and checks their controls too.
With the simulated radio's server built beside the program
(src/sim-server/rigdeck-sim), the program runs on a TCP line to it instead
of in demo mode, and at the end the server is stopped: the status bar's
change to "reconnecting" must reach the bus too.

    tools/check/check-atspi.py [path/to/rigdeck]       (default: build/src/rigdeck)

Exit 77 when the tools it needs are missing (tools/install-deps.sh installs
them); CTest counts that as skipped. The display server is started and ended
here rather than by xvfb-run, which leaves it running when its own clean-up
fails.
"""

import os
import re
import select
import shutil
import subprocess
import sys
import tempfile
import time
import warnings

SKIP = 77
INSIDE = "RIGDECK_ATSPI_SESSION"
# Controls an operator acts on; they need a name. Containers and plain text
# only need one to read well, so they are printed but not judged.
CONTROL_ROLES = {"push button", "toggle button", "radio button", "check box", "text", "entry",
                 "password text", "slider", "spin button", "combo box", "menu item"}
STARTUP_TIMEOUT = 20.0
CHANGE_TIMEOUT = 5.0


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    program = os.path.abspath(sys.argv[1] if len(sys.argv) > 1
                              else os.path.join(here, "..", "..", "build", "src", "rigdeck"))
    if not os.access(program, os.X_OK):
        print(f"check-atspi: no program at {program}", file=sys.stderr)
        return 1
    if os.environ.get(INSIDE) == "1":
        return Session(program).run()
    # A bus and a display of our own: the accessibility bus is started on
    # demand by the session bus, and nothing of the desktop is touched.
    missing = [tool for tool in ("dbus-run-session", "Xvfb") if not shutil.which(tool)]
    try:
        import gi
        gi.require_version("Atspi", "2.0")
    except (ImportError, ValueError):
        missing.append("python3-gi / gir1.2-atspi-2.0")
    if missing:
        print("check-atspi: skipped, missing " + ", ".join(missing), file=sys.stderr)
        return SKIP
    env = dict(os.environ, **{INSIDE: "1"})
    command = ["dbus-run-session", "--", sys.executable, os.path.abspath(__file__), program]
    return subprocess.call(command, env=env)


def start_display():
    """A virtual X server on the first free display; None if it does not start."""
    # Xvfb picks the display itself and writes its number once it accepts
    # connections: no lock files to guess from, no race with other servers.
    ready, told = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(told), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                              pass_fds=(told,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(told)
    with os.fdopen(ready) as reply:
        number = reply.readline().strip() if select.select([reply], [], [], STARTUP_TIMEOUT)[0] else ""
    if not number:
        stop(server)
        return None, None
    return server, ":" + number


def stop(process):
    process.terminate()
    try:
        process.wait(timeout=10)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


class Session:
    def __init__(self, program):
        import gi
        gi.require_version("Atspi", "2.0")
        from gi.repository import Atspi, GLib
        self.Atspi = Atspi
        self.GLib = GLib
        self.context = GLib.MainContext.default()
        self.program = program
        self.failures = []
        self.events = []

    # Plumbing

    def pump(self):
        while self.context.pending():
            self.context.iteration(False)

    def wait_for(self, condition, timeout=CHANGE_TIMEOUT):
        deadline = time.monotonic() + timeout
        while True:
            self.pump()
            value = condition()
            if value or time.monotonic() > deadline:
                return value
            time.sleep(0.05)

    def on_event(self, event):
        try:
            self.events.append((event.type, event.source.get_role_name(), event.source.get_name(), event.detail1))
        except Exception:  # the source may be gone already
            pass

    def heard(self, kind, role, name, detail=None):
        return any(e[0] == kind and e[1] == role and e[2] == name and (detail is None or e[3] == detail)
                   for e in self.events)

    def fail(self, text):
        self.failures.append(text)
        print("FAIL: " + text)

    def children(self, node):
        # A window that is closing can leave a gap, or vanish while asked.
        try:
            found = [node.get_child_at_index(i) for i in range(node.get_child_count())]
        except self.GLib.Error:
            return []
        return [child for child in found if child is not None]

    def descendants(self, node):
        for child in self.children(node):
            yield child
            yield from self.descendants(child)

    def find(self, root, role, name):
        for node in self.descendants(root):
            if node.get_role_name() == role and node.get_name() == name:
                return node
        self.fail(f"no {role} named {name!r}")
        return None

    def press(self, node):
        Action = self.Atspi.Action
        for i in range(Action.get_n_actions(node)):
            # Deprecated for the localized name, which cannot be compared.
            with warnings.catch_warnings():
                warnings.simplefilter("ignore", DeprecationWarning)
                name = Action.get_action_name(node, i)
            if name.lower() in ("press", "click"):
                Action.do_action(node, i)
                return True
        self.fail(f"{node.get_role_name()} {node.get_name()!r} cannot be pressed")
        return False

    def window(self, app, name):
        found = self.wait_for(lambda: next((w for w in self.children(app) if w.get_name() == name), None))
        if not found:
            self.fail(f"no window {name!r}")
        return found

    # The tree

    def walk(self, window):
        print(f"\n== {window.get_role_name()} {window.get_name()!r}")
        names = {}
        self.print_node(window, 0, names)
        for name, count in names.items():
            if count > 1:
                self.fail(f"{count} controls in {window.get_name()!r} are all named {name!r}")

    def print_node(self, node, depth, names):
        role, name, description = node.get_role_name(), node.get_name(), node.get_description()
        states = node.get_state_set()
        flags = []
        if states.contains(self.Atspi.StateType.CHECKED):
            flags.append("checked")
        if role in CONTROL_ROLES and not states.contains(self.Atspi.StateType.ENABLED):
            flags.append("disabled")
        line = "  " * depth + f"{role}: {name!r}"
        labels = [relation.get_target(0).get_name() for relation in node.get_relation_set()
                  if relation.get_relation_type() == self.Atspi.RelationType.LABELLED_BY]
        if labels:
            line += f" (labelled by {labels[0]!r})"
        if flags:
            line += " [" + ", ".join(flags) + "]"
        if description:
            line += f" -- {description}"
        print(line)
        if role in CONTROL_ROLES:
            # Menu items are looked for by their place in the menu.
            if role != "menu item":
                names[name] = names.get(name, 0) + 1
            if not name.strip():
                self.fail(f"{role} without a name under {node.get_parent().get_name()!r}")
            elif re.fullmatch(r"CH-\d+", name.strip()):
                self.fail(f"{role} named only {name!r}: which column?")
        for child in self.children(node):
            self.print_node(child, depth + 1, names)

    # Changes a screen reader must hear

    def expect_description(self, root, role, name, wanted, action, what):
        node = self.find(root, role, name)
        if node is None:
            return
        self.events.clear()
        action()
        if not self.wait_for(lambda: wanted(node.get_description())
                             and self.heard("object:property-change:accessible-description", role, name)):
            self.fail(f"{what}: {role} {name!r} says {node.get_description()!r}, "
                      f"{len(self.events)} events heard")
        else:
            print(f"ok: {what}: {name!r} -- {node.get_description()}")

    def check_changes(self, main):
        break_in = self.find(main, "push button", "BREAK_IN")
        if break_in:
            for state in ("オン", "オフ"):
                self.expect_description(main, "push button", "BREAK_IN", lambda d, s=state: f"現在: {s}。" in d,
                                        lambda: self.press(break_in), f"break-in pressed, now {state}")

        modes = self.find(main, "panel", "運用モード")
        # Two choices away from the one the radio reported at start-up.
        for step in range(2):
            labels = [n for n in self.children(modes) if n.get_role_name() == "radio button"] if modes else []
            chosen = [n.get_name() for n in labels if n.get_state_set().contains(self.Atspi.StateType.CHECKED)]
            free = [n for n in labels if n.get_name() not in chosen]
            if not free:
                self.fail("no mode labels to choose from")
                return
            label = free[-1 if step == 0 else 0]
            mode, previous = label.get_name(), (chosen[0] if chosen else None)
            self.events.clear()
            self.press(label)
            checked = self.wait_for(
                lambda: label.get_state_set().contains(self.Atspi.StateType.CHECKED)
                and self.heard("object:state-changed:checked", "radio button", mode, 1)
                and (previous is None or self.heard("object:state-changed:checked", "radio button", previous, 0)))
            if checked:
                print(f"ok: mode {mode} pressed, reported checked" + (f", {previous} unchecked" if previous else ""))
            else:
                self.fail(f"mode {mode} pressed but not reported as the checked one")

        slider = self.find(main, "slider", "キースピード")
        if slider:
            self.expect_description(main, "label", "キースピード", lambda d: d == "45WPM",
                                    lambda: self.Atspi.Value.set_current_value(slider, 45.0),
                                    "key speed set to 45 on the slider")

        record = self.find(main, "push button", "ボイスメモリー 1 録音 (CH-1)")
        if record:
            self.expect_description(main, "label", "録音時間", lambda d: d == "1\u3000秒",
                                    lambda: self.press(record), "voice memory 1 recording, first second")
            stop = self.find(main, "push button", "ボイスメモリー録音中止")
            if stop:
                self.expect_description(main, "label", "録音時間", lambda d: d == "",
                                        lambda: self.press(stop), "recording stopped, counter cleared")

    def check_dialog(self, app, main, menu_item, title, close_button):
        item = self.find(main, "menu item", menu_item)
        if item is None or not self.press(item):
            return
        dialog = self.window(app, title)
        if dialog is None:
            return
        self.walk(dialog)
        button = self.find(dialog, "push button", close_button)
        if button and self.press(button):
            if not self.wait_for(lambda: all(w.get_name() != title for w in self.children(app))):
                self.fail(f"{title!r} did not close")

    # The run

    def run(self):
        Atspi = self.Atspi
        Atspi.init()
        listener = Atspi.EventListener.new(self.on_event)
        listener.register("object:property-change:accessible-description")
        listener.register("object:state-changed:checked")
        listener.register("object:property-change:accessible-name")
        display_server, display = start_display()
        if display_server is None:
            print("check-atspi: the virtual display did not start", file=sys.stderr)
            return 1
        try:
            with tempfile.TemporaryDirectory() as folder:
                env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb", QT_ACCESSIBILITY="1",
                           QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", RIGDECK_INI=os.path.join(folder, "rigdeck.ini"))
                radio = self.start_radio()
                if radio:
                    with open(env["RIGDECK_INI"], "w", encoding="ascii") as ini:
                        ini.write("[COM]\nPORT=1,19200\n")
                    env["RIGDECK_COM1"] = radio.address
                program = subprocess.Popen([self.program] + ([] if radio else ["--demo"]), env=env)
                try:
                    self.check_program(program.pid, radio)
                finally:
                    stop(program)
                    if radio:
                        stop(radio)
        finally:
            stop(display_server)
        print(f"\n{len(self.failures)} failures" if self.failures else "\nall controls named; every change heard")
        return 1 if self.failures else 0

    def start_radio(self):
        """The simulated radio on a TCP port, or None where it is not built."""
        sim = os.path.join(os.path.dirname(self.program), "sim-server", "rigdeck-sim")
        if not os.access(sim, os.X_OK):
            print("(no rigdeck-sim beside the program: demo mode, the line's state not checked)")
            return None
        radio = subprocess.Popen([sim, "--tcp", "0"], stdout=subprocess.PIPE, text=True)
        radio.address = radio.stdout.readline().strip()
        return radio

    def check_line_state(self, main, radio):
        # The line's state sits in the status bar, a label named by what it shows.
        status = self.find(main, "status bar", "状態表示")
        labels = [n for n in self.children(status) if n.get_role_name() == "label"] if status else []
        line = next((n for n in labels if "接続中" in n.get_name()), None)
        if line is None:
            self.fail("no label in the status bar says the line is connected")
            return
        self.events.clear()
        stop(radio)
        changed = self.wait_for(lambda: any(e[0] == "object:property-change:accessible-name" and "再接続中" in e[2]
                                            for e in self.events), 10.0)
        if changed:
            print(f"ok: the radio's server stopped, heard: {line.get_name()}")
        else:
            self.fail("the radio's server stopped, but no change of the line's state reached the bus")

    def check_program(self, pid, radio=None):
        desktop = self.Atspi.get_desktop(0)

        def our_window():
            for app in self.children(desktop):
                if app.get_process_id() == pid:
                    for window in self.children(app):
                        if window.get_role_name() == "frame" and window.get_name().startswith("RIGDECK"):
                            return app, window
            return None

        found = self.wait_for(our_window, STARTUP_TIMEOUT)
        if not found:
            self.fail("the program's window never reached the accessibility bus")
            return
        app, main = found
        self.walk(main)
        print()
        self.check_changes(main)
        self.check_dialog(app, main, "ＲＳ２３２Ｃの設定", "通信設定", "通信設定を終了")
        self.check_dialog(app, main, "バージョン", "バージョン", "閉じる")
        if radio:
            self.check_line_state(main, radio)


if __name__ == "__main__":
    sys.exit(main())
