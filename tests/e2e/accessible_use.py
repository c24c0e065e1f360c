"""Proves a screen reader's road: Load, the count, Select and the picks, all through the
accessibility bus by role and name. Usage: accessible_use.sh PROGRAM PICK_TOOL"""
import os
import subprocess
import sys
import time

import pyatspi

PROGRAM, PICK, WORK = sys.argv[1:4]
TEXT, BUTTON = (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY), pyatspi.ROLE_PUSH_BUTTON
app_process = app = None


def fail(sentence):
    sys.exit(f"FAIL: {sentence}")


def wait_for(sentence, probe, seconds=10, give_up=fail):
    """The first true probe() within `seconds`, else give_up(sentence)."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            found = probe()
            if found:
                return found
        except Exception:  # objects come and go while windows open and close
            pass
        time.sleep(0.1)
    give_up(sentence)


def control(root, name, *roles):
    return wait_for(f"No control \"{name}\" showed on the accessibility bus", lambda:
                    pyatspi.findDescendant(root, lambda a: a.name == name and a.getRole() in roles))


def window(name, role):
    return next((w for w in app if w and w.name == name and w.getRole() == role), None)


def act(acc, action):
    actions = acc.queryAction()
    names = [actions.getName(i) for i in range(actions.nActions)]
    if action not in names:
        fail(f"\"{acc.name}\" has no accessible action {action}")
    actions.doAction(names.index(action))


def text_of(acc):
    return acc.queryText().getText(0, -1)


def start(env):  # the program's main window on the accessibility bus
    global app_process, app
    app_process = subprocess.Popen([PROGRAM], cwd=WORK,
                                   env=dict(env, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1"))
    desktop, pid = pyatspi.Registry.getDesktop(0), app_process.pid
    app = wait_for("The program did not show on the accessibility bus",
                   lambda: next(a for a in desktop if a and a.get_process_id() == pid), 60)
    return wait_for("The program's main window did not show on the accessibility bus",
                    lambda: window("Brenvask Tavilon", pyatspi.ROLE_FRAME))


def exit_program(main_window):
    act(control(main_window, "Exit", pyatspi.ROLE_MENU_ITEM), "Press")
    wait_for("File > Exit did not end the program with status 0", lambda: app_process.poll() == 0)


def pick_tool(*args):
    tool = subprocess.run([PICK, *args, "words.txt"], cwd=WORK, capture_output=True, text=True)
    return tool.stdout


def main():
    count, picks = pick_tool("count").strip(), pick_tool("pick", "-n", "5").splitlines()
    main_window = start(os.environ)
    act(control(main_window, "Load", pyatspi.ROLE_MENU_ITEM), "Press")
    dialog = wait_for("File > Load opened no dialog", lambda: window("Load", pyatspi.ROLE_DIALOG))
    files = control(dialog, "Files", pyatspi.ROLE_LIST)
    act(control(files, "words.txt", pyatspi.ROLE_LIST_ITEM), "Toggle")
    act(control(dialog, "Ok", BUTTON), "Press")
    wait_for("Ok, with words.txt chosen in the file list, did not close the open dialog",
             lambda: not window("Load", pyatspi.ROLE_DIALOG))
    count_box = control(main_window, "Number Of Lines", *TEXT)
    wait_for(f"The count box did not show {count} after Load", lambda: text_of(count_box) == count)

    control(main_window, "Number of random words", *TEXT).queryEditableText().setTextContents("5")
    act(control(main_window, "Select", BUTTON), "Press")
    output = control(main_window, "Picked words", *TEXT)
    wait_for("The output box did not show the five picks tavilon-pick draws",
             lambda: text_of(output).replace("\r", "").splitlines() == picks)
    exit_program(main_window)


if __name__ == "__main__":
    main()
