"""Proves the program works on Wayland: under weston (a window of the X server) its window shows
with the program's app id, and keys typed on weston's keyboard reach the picks box.
Usage: accessible_use.sh PROGRAM PICK_TOOL wayland_use.py (77: skipped)."""
import os
import re
import shutil
import subprocess
import sys

import accessible_use as a11y
from accessible_use import pyatspi, text_of, wait_for


def skip(reason):
    print(f"SKIP: {reason}")
    sys.exit(77)


plugins = subprocess.run(["qtpaths6", "--plugin-dir"], capture_output=True, text=True).stdout
if not os.path.exists(plugins.strip() + "/platforms/libqwayland-generic.so"):
    skip("Qt's Wayland platform plugin is missing (package qt6-wayland)")
if not shutil.which("weston-debug"):
    skip("weston is missing (package weston)")
# --debug lets weston-debug read the scene; --idle-time=0 keeps the screen from locking.
weston = subprocess.Popen(["weston", "--backend=x11-backend.so", "--use-pixman", "--idle-time=0",
                           "--debug", "--socket=tavilon", f"--log={a11y.WORK}/weston.log"])
os.environ["WAYLAND_DISPLAY"] = "tavilon"


def weston_shows(view):
    scene = subprocess.run(["weston-debug", "scene-graph"], capture_output=True, text=True)
    return re.search(view, scene.stdout)


def main():
    # Keys typed before weston's start-up fade ends reach nobody.
    wait_for("weston did not start, or its start-up fade never ended",
             lambda: weston_shows(r"Layer 0 .*\n\s*\[no views\]"), 30, skip)
    subprocess.run(["xdotool", "search", "--class", "Weston Compositor", "windowfocus", "--sync"])
    env = dict(os.environ, QT_QPA_PLATFORM="wayland")
    del env["DISPLAY"]
    main_window = a11y.start(env)
    view = rf"PID {a11y.app_process.pid}, .* 'Brenvask Tavilon' of test\.brenvask\.Tavilon,"
    wait_for("weston shows no window of test.brenvask.Tavilon", lambda: weston_shows(view))

    picks = a11y.control(main_window, "Number of random words", *a11y.TEXT)
    picks.queryComponent().grabFocus()  # as a screen reader moves the focus
    wait_for("The picks box did not take the focus",
             lambda: picks.getState().contains(pyatspi.STATE_FOCUSED))
    subprocess.run(["xdotool", "type", "--delay", "80", "42"])
    wait_for("42 typed on weston's keyboard did not reach the picks box",
             lambda: text_of(picks) == "42")
    a11y.exit_program(main_window)


try:
    main()
finally:
    weston.terminate()
