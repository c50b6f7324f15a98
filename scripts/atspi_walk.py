#!/usr/bin/python3
"""Drives the three programs of the folder given as argument through AT-SPI
alone, as a screen reader sees them: walks every window's tree and fails on
an element that takes the focus without a name, plays a game's first word
(the romaji read from its label, its keys sent through AT-SPI) and ends the
game, then looks at each page of the statistics that game fills, where
the painted charts must give their cells' texts.

Runs inside a session D-Bus on an X display with no window manager: keys go
to the window under the pointer, which is moved there first."""

import os
import subprocess
import sys
import time

import pyatspi

FOLDER = sys.argv[1]
desktop = pyatspi.Registry.getDesktop(0)
faults = []


def fail(message):
    print(f"check-atspi: FAIL: {message}", file=sys.stderr)
    sys.exit(1)


def wait_for(what, condition, seconds=10):
    """The first true value of condition(), polled for up to seconds."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        value = condition()
        if value:
            return value
        time.sleep(0.1)
    fail(f"waited {seconds} s in vain for {what}")


def showing(element):
    return element.getState().contains(pyatspi.STATE_SHOWING)


def elements(root):
    """Every element below root that is on the screen, depth first."""
    for child in root:
        if child is not None and showing(child):
            yield child
            yield from elements(child)


def find(root, role, name):
    return next((e for e in elements(root) if e.getRoleName() == role and e.name == name), None)


def described(root, description):
    """The element a screen reader introduces by description."""
    found = next((e for e in elements(root) if e.description == description), None)
    return found or fail(f'no element described "{description}" in "{root.name}"')


def start(program):
    """Starts a program of the folder; its process and its application."""
    process = subprocess.Popen([os.path.join(FOLDER, program)], stdout=subprocess.DEVNULL)
    app = wait_for(f"{program} on the accessibility bus",
                   lambda: next((a for a in desktop if a is not None and a.name == program), None))
    return process, app


def window(app, title, other=None):
    """The window titled title (and other than other) once it shows."""
    return wait_for(f'the window "{title}"',
                    lambda: next((w for w in app if w.name == title and showing(w) and w != other),
                                 None))


def place(element):
    """Where an element is, for a reader: the named element before it."""
    parent = element.parent
    before = [parent.getChildAtIndex(i).name for i in range(element.getIndexInParent())]
    named = [name for name in before if name.strip()]
    return f'after "{named[-1]}"' if named else f'first in its {parent.getRoleName()}'


def check(window, what):
    """Notes every focusable element of the window without a name."""
    for element in elements(window):
        state = element.getState()
        if state.contains(pyatspi.STATE_FOCUSABLE) and not element.name.strip():
            faults.append(f'{what} ("{window.name}"): the {element.getRoleName()} '
                          f'{place(element)} takes the focus without a name')


def opened(app, title, what, other=None):
    """The window titled title once it shows, its elements checked as what."""
    found = window(app, title, other)
    check(found, what)
    return found


def press(window, name, role="push button"):
    element = wait_for(f'the {role} "{name}" in "{window.name}"',
                       lambda: find(window, role, name))
    action = element.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if "Press" not in names:
        fail(f'"{name}" in "{window.name}" has no Press action, only {names}')
    action.doAction(names.index("Press"))


def type_text(window, text):
    """Types text into the window: the pointer over it takes the keys."""
    box = window.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    pyatspi.Registry.generateMouseEvent(box.x + box.width // 2, box.y + box.height // 2, "abs")
    for char in text.lower():
        pyatspi.Registry.generateKeyboardEvent(ord(char), None, pyatspi.KEY_SYM)


def ended(process, program):
    try:
        process.wait(10)
    except subprocess.TimeoutExpired:
        process.kill()
        fail(f"{program} does not end")


def game():
    process, app = start("Yubimaru")
    menu = opened(app, "Yubimaru", "the menu")
    press(menu, "CONFIG")
    config = opened(app, "Config", "the settings")
    press(config, "変更(C)")
    name = opened(app, "Default User Name ", "the name entry")
    press(name, "ｷｬﾝｾﾙ")
    wait_for("the name entry to close", lambda: not showing(name))
    press(config, "設定完了(E)")
    wait_for("the menu to come back", lambda: showing(menu))
    press(menu, "RANKING")
    ranking = opened(app, "RANKING", "the ranking")
    press(ranking, "EXIT(E)")

    wait_for("the menu to come back", lambda: showing(menu))
    press(menu, "START")
    screen = opened(app, "Yubimaru", "the game screen", menu)
    press(screen, "ＳＴＡＲＴ")
    romaji = described(screen, "打つローマ字")
    score = described(screen, "スコア")
    # Keys count from "ＧＯ" on.
    wait_for("the countdown's ＧＯ", lambda: find(screen, "label", "ＧＯ"), 15)
    target = romaji.name
    before = score.name
    type_text(screen, target)
    wait_for(f"the typed {target} to score (the score stays {before})",
             lambda: score.name != before)
    check(screen, "the game screen during a game")
    press(screen, "ＥＮＤ")
    wait_for("the game to end", lambda: find(screen, "push button", "ＳＴＡＲＴ"))
    press(screen, "EXIT")
    wait_for("the menu to come back", lambda: showing(menu))
    press(menu, "EXIT")
    ended(process, "Yubimaru")


def editor():
    process, app = start("Tangobako")
    touroku = opened(app, "登録画面", "the registration screen")
    press(touroku, "手入力画面")
    keyboard = opened(app, "File Write", "the kana keyboard")
    press(keyboard, "終了")
    wait_for("the kana keyboard to close", lambda: not showing(keyboard))
    press(touroku, "終了")
    ended(process, "Tangobako")


def statistics():
    process, app = start("Seiseki")
    seiseki = window(app, "成績")
    tabs = wait_for("the statistics' pages",
                    lambda: next((e for e in elements(seiseki) if e.getRoleName() == "page tab list"),
                                 None))
    # The pages lie beside their tabs, in the same order.
    pages = next(e for e in tabs.parent if e.getRoleName() == "layered pane")
    for index, tab in enumerate(t for t in tabs if t.getRoleName() == "page tab"):
        page = pages.getChildAtIndex(index)
        press(tabs, tab.name, "page tab")
        wait_for(f'the page "{tab.name}"', lambda: showing(page))
        check(seiseki, f'the statistics page "{tab.name}"')
        # The painted charts give each cell's text as an item.
        for chart in (e for e in elements(page) if e.getRoleName() == "list"):
            if chart.childCount == 0 or not all(cell.name for cell in chart):
                faults.append(f'the chart "{chart.name}" does not give its cells\' texts')
    press(seiseki, "終了(X)")
    ended(process, "Seiseki")


game()
editor()
statistics()
if faults:
    fail("\n".join(faults))
print("check-atspi: passed")
