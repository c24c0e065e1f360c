"""Load a word list, pick words and read them back through the
accessibility bus alone: every control is found by its role and name and
worked by its accessible actions, never by a place on the screen.

Usage: accessible_use.py PROGRAM PICK_TOOL WORK_DIR
Runs inside a session bus with the accessibility bus up and an X display.
"""
import os
import subprocess
import sys
import time

import pyatspi

PROGRAM, PICK, WORK = sys.argv[1:4]
LOG = os.path.join(WORK, "program-errors.log")
PICKS = 5
TEXT_ROLES = (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY)

app_process = None
app = None
step = "starting"


def fail(message):
    print(f"FAIL while {step}: {message}", file=sys.stderr)
    if app_process is not None:
        state = "is still running" if app_process.poll() is None else f"ended with status {app_process.returncode}"
        print(f"  the program (pid {app_process.pid}) {state}", file=sys.stderr)
    if os.path.exists(LOG) and os.path.getsize(LOG):
        print("  the program's error output:", file=sys.stderr)
        with open(LOG, errors="replace") as log:
            for line in log.read().splitlines()[-40:]:
                print("    " + line, file=sys.stderr)
    if app_process is not None and app_process.poll() is None:
        app_process.kill()
    sys.exit(1)


def wait_for(what, probe, seconds=10):
    """Polls probe() until it returns something true; fails saying `what`."""
    deadline = time.monotonic() + seconds
    last_error = None
    while time.monotonic() < deadline:
        try:
            found = probe()
            if found:
                return found
        except Exception as error:  # objects come and go while windows open and close
            last_error = error
        time.sleep(0.1)
    fail(f"{what} (waited {seconds} s" + (f"; last error: {last_error})" if last_error else ")"))


def find(root, roles, name):
    roles = roles if isinstance(roles, tuple) else (roles,)
    return pyatspi.findDescendant(root, lambda acc: acc.getRole() in roles and acc.name == name)


def window(roles, name):
    """A top-level window of the program by role and name."""
    roles = roles if isinstance(roles, tuple) else (roles,)
    return next((child for child in app if child is not None and child.getRole() in roles and child.name == name), None)


def act(acc, action):
    """Does the accessible action named `action` (Press, Toggle, ...)."""
    actions = acc.queryAction()
    names = [actions.getName(i) for i in range(actions.nActions)]
    if action not in names:
        fail(f"{acc.getRoleName()} \"{acc.name}\" has no action \"{action}\", only {names}")
    actions.doAction(names.index(action))


def text_of(acc):
    text = acc.queryText()
    return text.getText(0, text.characterCount)


def start(env, cwd, ended=lambda: None):
    """Starts the program, its error output into LOG; returns its main window on the accessibility bus.
    ended() is called first when the program ends before it appears."""
    global app_process, app
    with open(LOG, "w") as log:
        app_process = subprocess.Popen([PROGRAM], cwd=cwd, env=dict(env, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1"),
                                       stderr=log)

    def program_on_bus():
        if app_process.poll() is not None:
            ended()
            fail("the program ended before it appeared")
        return next((acc for acc in pyatspi.Registry.getDesktop(0) if acc and acc.get_process_id() == app_process.pid),
                    None)

    # Generous: the first start on a fresh machine may build caches.
    app = wait_for("the program did not appear on the accessibility bus", program_on_bus, 60)
    return wait_for("no frame \"Brenvask Tavilon\"", lambda: window(pyatspi.ROLE_FRAME, "Brenvask Tavilon"))


def exit_program(main_window):
    """File > Exit, and the program ends with status 0."""
    global app
    act(find(main_window, pyatspi.ROLE_MENU_ITEM, "Exit"), "Press")
    try:
        status = app_process.wait(10)
    except subprocess.TimeoutExpired:
        fail("the program still runs after Exit")
    app = None
    if status != 0:
        fail(f"the program exited with status {status}")


def main():
    global step
    expected_count = subprocess.run([PICK, "count", "words.txt"], cwd=WORK, capture_output=True, text=True,
                                    check=True).stdout.strip()
    expected_picks = subprocess.run([PICK, "pick", "-n", str(PICKS), "words.txt"], cwd=WORK, capture_output=True,
                                    text=True, check=True).stdout.splitlines()

    step = "waiting for the program on the accessibility bus"
    main_window = start(os.environ, WORK)

    step = "choosing File > Load"
    act(wait_for("no menu item \"Load\"", lambda: find(main_window, pyatspi.ROLE_MENU_ITEM, "Load")), "Press")
    dialog = wait_for("no dialog \"Load\" opened", lambda: window(pyatspi.ROLE_DIALOG, "Load"))

    step = "selecting words.txt in the open dialog's file list"
    files = wait_for("the open dialog has no list \"Files\"", lambda: find(dialog, pyatspi.ROLE_LIST, "Files"))
    entry = wait_for("words.txt is not in the file list",
                     lambda: pyatspi.findDescendant(files, lambda acc: acc.name == "words.txt"))
    act(entry, "Toggle")
    name_box = wait_for("no box \"Open file\"", lambda: find(dialog, TEXT_ROLES, "Open file"))
    wait_for(f"the name box shows \"{text_of(name_box)}\", not words.txt", lambda: text_of(name_box) == "words.txt")

    step = "pressing Ok"
    act(find(dialog, pyatspi.ROLE_PUSH_BUTTON, "Ok"), "Press")
    wait_for("the open dialog stayed open", lambda: window(pyatspi.ROLE_DIALOG, "Load") is None)
    count_box = wait_for("no box \"Number Of Lines\"", lambda: find(main_window, TEXT_ROLES, "Number Of Lines"))
    wait_for(f"the count reads \"{text_of(count_box)}\", not {expected_count}",
             lambda: text_of(count_box) == expected_count)

    step = f"asking for {PICKS} words and pressing Select"
    picks_box = wait_for("no box \"Number of random words\"",
                         lambda: find(main_window, TEXT_ROLES, "Number of random words"))
    picks_box.queryEditableText().setTextContents(str(PICKS))
    wait_for(f"the picks box reads \"{text_of(picks_box)}\"", lambda: text_of(picks_box) == str(PICKS))
    select = find(main_window, pyatspi.ROLE_PUSH_BUTTON, "Select")
    wait_for("Select stayed disabled", lambda: select.getState().contains(pyatspi.STATE_SENSITIVE))
    act(select, "Press")

    step = "reading the picked words"
    output = wait_for("no box \"Picked words\"", lambda: find(main_window, TEXT_ROLES, "Picked words"))
    wait_for(f"the output holds {text_of(output)!r}, expected the lines {expected_picks}",
             lambda: text_of(output).replace("\r", "").splitlines() == expected_picks)

    step = "choosing File > Exit"
    exit_program(main_window)


if __name__ == "__main__":
    main()
