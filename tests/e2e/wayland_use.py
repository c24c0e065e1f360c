"""The program as a Wayland client, with no X display of its own: under weston its window shows with
the program's app id, and keys typed on weston's keyboard reach the picks box (read back through the
accessibility bus). Weston runs as a window of the virtual X server (with_x_server.sh): xdotool types
into that window, and weston hands the keys on as Wayland key events. Usage: wayland_use.py PROGRAM
PICK_TOOL. Exits with 77 (skipped) without weston, Qt's Wayland plugin or the accessibility tools.
"""
import os, re, shutil, subprocess, sys, tempfile

if os.environ.get("TAVILON_A11Y_SESSION") != "1":
    missing = [tool for tool in ("weston", "weston-debug", "dbus-run-session") if not shutil.which(tool)]
    missing += [] if os.access("/usr/libexec/at-spi-bus-launcher", os.X_OK) else ["at-spi-bus-launcher"]
    missing += ["pyatspi"] if subprocess.run([sys.executable, "-c", "import pyatspi"]).returncode else []
    if missing:
        print(f"SKIP: the Wayland test needs {missing} (packages weston, dbus, at-spi2-core, python3-pyatspi)")
        sys.exit(77)
    # A private session bus, gone with this test.
    os.execvpe("dbus-run-session", ["dbus-run-session", "--", sys.executable, *sys.argv],
               dict(os.environ, TAVILON_A11Y_SESSION="1"))

sys.path.insert(0, os.path.dirname(os.path.realpath(__file__)))
work = tempfile.mkdtemp()
# accessible_use reads PROGRAM PICK_TOOL WORK_DIR; its failure report shows the program's log there.
sys.argv[1:] = [os.path.realpath(path) for path in sys.argv[1:3]] + [work]
import accessible_use as a11y
from accessible_use import fail, find, pyatspi, text_of, wait_for, window

os.environ.update(XDG_RUNTIME_DIR=work, WAYLAND_DISPLAY="tavilon-test")
# --debug opens the scene to weston-debug; --idle-time=0 keeps the screen from locking.
weston = subprocess.Popen(["weston", "--backend=x11-backend.so", "--use-pixman", "--width=1024", "--height=768",
                           "--idle-time=0", "--debug", "--socket=tavilon-test", f"--log={work}/weston.log"],
                          stderr=subprocess.DEVNULL)
scene = ""  # what weston last said it shows, for the failure report


def weston_shows(view):
    global scene
    if weston.poll() is not None:
        fail(f"weston ended with status {weston.returncode}")
    scene = subprocess.run(["weston-debug", "scene-graph"], capture_output=True, text=True, timeout=20).stdout
    return re.search(view, scene)


def program_on_bus(process):
    if process.poll() is not None:
        if 'Could not find the Qt platform plugin "wayland"' in open(a11y.LOG, errors="replace").read():
            print("SKIP: Qt's Wayland platform plugin is not installed (package qt6-wayland)")
            sys.exit(77)
        fail("the program ended before it appeared")
    return next((app for app in pyatspi.Registry.getDesktop(0) if app and app.get_process_id() == process.pid), None)


def main():
    a11y.step = "starting weston"
    wait_for("weston shows no screen", lambda: weston_shows("Output 0"), 30)
    a11y.step = "starting the program on Wayland"
    env = {name: value for name, value in os.environ.items() if name != "DISPLAY"}
    env.update(QT_QPA_PLATFORM="wayland", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    with open(a11y.LOG, "w") as log:
        a11y.app_process = process = subprocess.Popen([a11y.PROGRAM], cwd=work, env=env, stderr=log)
    a11y.app = wait_for("the program did not appear on the accessibility bus", lambda: program_on_bus(process), 60)
    main_window = wait_for("no frame \"Brenvask Tavilon\"", lambda: window(pyatspi.ROLE_FRAME, "Brenvask Tavilon"))
    a11y.step = "looking for the window in weston's scene"
    view = rf"xdg_toplevel, PID {process.pid}, .* window 'Brenvask Tavilon' of test\.brenvask\.Tavilon,"
    wait_for("weston shows no window of test.brenvask.Tavilon", lambda: weston_shows(view), 20)

    a11y.step = "typing 42 into the picks box"
    picks = wait_for("no picks box", lambda: find(main_window, a11y.TEXT_ROLES, "Number of random words"))
    # The focus moves as a screen reader moves it; the keys are typed into weston's window.
    picks.queryComponent().grabFocus()
    wait_for("the picks box did not take the focus", lambda: picks.getState().contains(pyatspi.STATE_FOCUSED))
    screen = subprocess.run(["xdotool", "search", "--class", "Weston Compositor"], capture_output=True, text=True)
    subprocess.run(["xdotool", "windowfocus", "--sync", (screen.stdout.split() or ["none"])[0]])
    subprocess.run(["xdotool", "type", "--delay", "80", "42"])
    wait_for("the picks box does not read 42 after typing it", lambda: text_of(picks) == "42")

    a11y.step = "choosing File > Exit"
    a11y.act(find(main_window, pyatspi.ROLE_MENU_ITEM, "Exit"), "Press")
    wait_for("the program still runs after Exit", lambda: process.poll() is not None)
    if process.returncode != 0:
        fail(f"the program exited with status {process.returncode}")
    print("the window shows as test.brenvask.Tavilon, and the typed 42 reached it\n1 passed, 0 failed")


try:
    main()
except SystemExit as end:
    if end.code not in (0, 77, None):  # weston's side, after the program's from accessible_use
        print(f"  weston's log:\n{open(f'{work}/weston.log').read()[-3000:]}\n  weston's scene:\n{scene}",
              file=sys.stderr)
    raise
finally:
    if a11y.app_process and a11y.app_process.poll() is None:
        a11y.app_process.kill()
    weston.terminate()
    weston.wait()
    shutil.rmtree(work)
