#!/usr/bin/env python3
"""Reads the window as a screen reader does, over AT-SPI, and fails on a
control that takes the focus but has no name, on a file summary that a
screen reader does not hear, or on a start-up picture still up beside the window.

Usage, on a display and a session bus of its own:
    xvfb-run -a dbus-run-session -- screen_reader_names.py PROGRAM CSV
The program runs with CSV loaded, in a HOME of its own, and is killed at the end.
"""
import os
import signal
import subprocess
import sys
import tempfile
import time

import pyatspi

# Seconds for the window to appear on the bus, and for the whole walk.
APPEAR_SECONDS = 60
WALK_SECONDS = 60
# Fewer named controls than this means the walk did not see the window.
LEAST_CONTROLS = 15


class TimedOut(Exception):
    pass


def on_alarm(_signum, _frame):
    raise TimedOut()


def find_window(pid):
    """The application's frame that holds the Export button, or None yet."""
    for app in pyatspi.Registry.getDesktop(0):
        try:
            if app is None or app.get_process_id() != pid:
                continue
            for frame in app:
                found = pyatspi.findDescendant(
                    frame, lambda n: n.getRole() == pyatspi.ROLE_PUSH_BUTTON
                    and n.name == "Export vCards")
                if found is not None:
                    return frame
        except Exception:  # the application is still coming up on the bus
            continue
    return None


def label(node):
    """What a screen reader says the control is: its name, and for a combo box,
    whose name is the choice it shows, the label it is labelled by as well."""
    if node.getRole() != pyatspi.ROLE_COMBO_BOX:
        return node.name.strip()
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            return relation.getTarget(0).name.strip()
    return ""


def other_windows_showing(frame):
    """The application's windows in sight besides the main one."""
    app = frame.getApplication()
    return [w for w in app if w is not None and w != frame
            and w.getState().contains(pyatspi.STATE_SHOWING)]


def summary_heard(frame):
    """What a screen reader reads for the file summary: the line itself."""
    found = pyatspi.findDescendant(
        frame, lambda n: n.getRole() == pyatspi.ROLE_LABEL and n.description == "File summary")
    return found.name if found is not None else ""


def walk(node, path, named, unnamed):
    states = node.getState()
    here = f"{path}/{node.getRoleName()}"
    if states.contains(pyatspi.STATE_FOCUSABLE) and states.contains(pyatspi.STATE_SHOWING):
        (named if label(node) else unnamed).append(f"{here} '{label(node)}'")
    # Cells and a list's items are named by the file's own values, which may be empty.
    if node.getRole() in (pyatspi.ROLE_TABLE, pyatspi.ROLE_COMBO_BOX):
        return
    for child in node:
        if child is not None:
            walk(child, here, named, unnamed)


def main():
    program, csv = sys.argv[1], sys.argv[2]
    home = tempfile.TemporaryDirectory()
    env = dict(os.environ, HOME=home.name, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
               QT_QPA_PLATFORM="xcb")
    # libxkbcommon-x11, under Qt's X11 platform, reads X atom names with strndup
    # past their end, which AddressSanitizer's strict string checks report as
    # an overflow in that library; everything else is still checked.
    if "ASAN_OPTIONS" in env:
        env["ASAN_OPTIONS"] += ":strict_string_checks=0"
    app = subprocess.Popen([program, csv], env=env)
    signal.signal(signal.SIGALRM, on_alarm)
    try:
        signal.alarm(APPEAR_SECONDS)
        frame = None
        while frame is None:
            if app.poll() is not None:
                print(f"the program ended with status {app.returncode}")
                return 1
            time.sleep(0.5)
            frame = find_window(app.pid)
        signal.alarm(WALK_SECONDS)
        named, unnamed = [], []
        walk(frame, "", named, unnamed)
        while "contacts" not in summary_heard(frame):  # the file loads after the window shows
            time.sleep(0.5)
        summary = summary_heard(frame)
        others = other_windows_showing(frame)
        signal.alarm(0)
    except TimedOut:
        print("timed out: the window, or the text of its file summary, never showed on the "
              "accessibility bus")
        return 1
    finally:
        app.kill()
        app.wait()
    print("\n".join(["named:"] + named + ["file summary: " + summary]))
    if others:
        print("still showing beside the window: " + ", ".join(w.getRoleName() for w in others))
        return 1
    if unnamed:
        print("\n".join(["no name:"] + unnamed))
        return 1
    if len(named) < LEAST_CONTROLS:
        print(f"only {len(named)} controls found")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
