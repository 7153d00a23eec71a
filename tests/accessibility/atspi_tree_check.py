#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Walks the real clock's accessibility tree through AT-SPI, as a screen
reader sees it, and checks names, states and the events of a colour pick
and of FREE The Triangle. Run by xvfb_atspi_test.sh inside a private X
server and D-Bus session. Exit 0: all passed, 1: a check failed, 77: the
AT-SPI Python bindings are missing.

Usage: atspi_tree_check.py PATH/TO/trilume
"""
import os
import subprocess
import sys
import time

from check_tally import check, finish

try:
    import gi
    gi.require_version("Atspi", "2.0")
    from gi.repository import GLib
    import pyatspi
except (ImportError, ValueError) as error:
    print(f"SKIP: AT-SPI Python bindings missing ({error})")
    sys.exit(77)

# Only a bound on failure: every wait below ends as soon as its condition holds.
DEADLINE_SECONDS = 30



events = []


def on_event(event):
    data = event.any_data
    events.append((event.type, event.source, data if isinstance(data, str) else None))


def wait_for(what, condition):
    """Runs the event loop until condition() is true or the deadline passes."""
    context = GLib.MainContext.default()
    end = time.monotonic() + DEADLINE_SECONDS
    while time.monotonic() < end:
        while context.pending():
            context.iteration(False)
        result = condition()
        if result:
            return result
        context.iteration(False)
        time.sleep(0.01)  # polls the condition; the deadline bounds only a failure
    print(f"FAIL  timed out waiting for {what}")
    return None


def find(root, predicate, depth=0):
    if root is None or depth > 12:
        return None
    try:
        if predicate(root):
            return root
        for child in root:
            found = find(child, predicate, depth + 1)
            if found is not None:
                return found
    except Exception:  # an object gone while walking
        return None
    return None


# By role, not by the role's name: at-spi2-core 2.56 (Debian 13) calls a push
# button "button".
ROLES = {
    "application": pyatspi.ROLE_APPLICATION, "frame": pyatspi.ROLE_FRAME,
    "panel": pyatspi.ROLE_PANEL, "check box": pyatspi.ROLE_CHECK_BOX,
    "scroll bar": pyatspi.ROLE_SCROLL_BAR, "combo box": pyatspi.ROLE_COMBO_BOX,
    "push button": pyatspi.ROLE_PUSH_BUTTON,
}


def is_a(o, role):
    return o.getRole() == ROLES[role]


def named(role, name):
    return lambda o: is_a(o, role) and o.name == name


def text_events(kind, source_name=None, text=None):
    return [
        e for e in events
        if e[0] == kind and e[2] is not None and (text is None or e[2] == text)
        and (source_name is None or e[1].name == source_name)
    ]


def main():
    clock_binary = sys.argv[1]
    for kind in ("object:property-change:accessible-name",
                 "object:property-change:accessible-description"):
        pyatspi.Registry.registerEventListener(on_event, kind)

    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    env.pop("QT_QPA_PLATFORM", None)
    env.pop("QT_SCALE_FACTOR", None)
    clock = subprocess.Popen([clock_binary], env=env)
    try:
        desktop = pyatspi.Registry.getDesktop(0)
        app = wait_for("the clock on the accessibility bus", lambda: find(
            desktop, lambda o: is_a(o, "application") and o.name == "TRILUME", 10))
        if app is None:
            return 1
        picture = wait_for("the picture", lambda: find(app, lambda o: o.name == "TRILUME clock"))
        check("the picture is named 'TRILUME clock'", picture is not None)
        if picture is not None:
            # Its widget is as large as the canvas; a magnifier must follow
            # only what the 280-pixel window shows of it.
            shown = picture.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            check(f"the picture's extents are the part the window shows ({shown.width}x"
                  f"{shown.height})", 0 < shown.width < 400 and 0 < shown.height < 400)

        def status_lines():
            return [e[2] for e in events if e[0].endswith("accessible-description")
                    and e[2] is not None]
        # The title goes on changing, but is not sent to screen readers: they
        # would speak each change of their active window's title.
        main_frame = wait_for("the main window as a frame with the status line as title",
                              lambda: find(app, lambda o: is_a(o, "frame")
                                           and " Triangle is " in (o.name or "")))
        check("the main window is a frame titled with the status line", main_frame is not None)
        check("no status line was sent as text", not status_lines() and not [
            e for e in text_events("object:property-change:accessible-name")
            if " Triangle is " in e[2]])

        # The panel opens on a click on the picture.
        window = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(clock.pid)],
                                capture_output=True, text=True).stdout.split()
        if not window:
            print("FAIL  the main window is not mapped")
            return 1
        subprocess.run(["xdotool", "mousemove", "--window", window[0], "140", "140",
                        "click", "1"], check=False)
        grid = wait_for("the colour grid", lambda: find(
            app, lambda o: is_a(o, "panel") and o.name == "COLOUR"
            and o.getState().contains(pyatspi.STATE_SHOWING)))
        if grid is None:
            return 1
        panel = find(app, named("frame", "TRILUME CONTROL PANEL")) or find(
            app, lambda o: o.name == "TRILUME CONTROL PANEL")
        check("the panel is named 'TRILUME CONTROL PANEL'", panel is not None)
        for role, name in (("check box", "TRACE ON"), ("check box", "SHOW HANDS"),
                           ("scroll bar", "NUMBER OF TRACES"),
                           ("scroll bar", "ALTERNATIVE COLORS"),
                           ("combo box", "MOVEMENT"),
                           ("push button", "FREE The Triangle"), ("push button", "CLEAR")):
            control = find(app, named(role, name))
            check(f"{role} '{name}' is there", control is not None)
            if control is not None:
                states = control.getState()
                check(f"'{name}' is focusable and showing",
                      states.contains(pyatspi.STATE_FOCUSABLE)
                      and states.contains(pyatspi.STATE_SHOWING))
        movement = find(app, named("combo box", "MOVEMENT"))
        if movement is not None:
            roles = sorted(child.getRoleName() for child in movement)
            check(f"MOVEMENT holds its list and its text field ({roles})",
                  len(roles) == 2 and "text" in roles)
        trace_on = find(app, named("check box", "TRACE ON"))
        check("TRACE ON is checked at start",
              trace_on is not None and trace_on.getState().contains(pyatspi.STATE_CHECKED))

        cells = [grid.getChildAtIndex(i) for i in range(grid.childCount)]
        check("the grid has 16 cells", len(cells) == 16)
        check("the foreground cell is 'green, foreground'",
              len(cells) == 16 and cells[2].name == "green, foreground")

        # A real left click on teal picks it as the foreground: the screen
        # reader must be told the cell's new name as text.
        teal = cells[6]
        box = teal.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        subprocess.run(["xdotool", "mousemove", str(box.x + box.width // 2),
                        str(box.y + box.height // 2), "click", "1"], check=False)
        picked = wait_for("the teal cell's new name as text", lambda: text_events(
            "object:property-change:accessible-name", text="teal, foreground"))
        check("a grid pick sends 'teal, foreground' as text", bool(picked))
        check("teal is now selected", teal.getState().contains(pyatspi.STATE_SELECTED))

        # The cells can be picked without the grid's keys.
        actions = None
        try:
            actions = teal.queryAction()
        except NotImplementedError:
            pass
        names = [actions.getName(i) for i in range(actions.nActions)] if actions else []
        check("a cell offers Foreground and Background actions",
              "Foreground" in names and "Background" in names)
        if "Background" in names:
            actions.doAction(names.index("Background"))
            check("the Background action picks the cell", bool(wait_for(
                "the background pick", lambda: text_events(
                    "object:property-change:accessible-name",
                    text="teal, foreground and background"))))

        # FREE The Triangle: the new label must reach the screen reader as text.
        free = find(app, named("push button", "FREE The Triangle"))
        if free is not None:
            action = free.queryAction()
            press = [action.getName(i) for i in range(action.nActions)].index("Press")
            action.doAction(press)
            landed = wait_for("the button's new label as text", lambda: text_events(
                "object:property-change:accessible-name", text="LAND The Triangle"))
            check("FREE sends 'LAND The Triangle' as text", bool(landed))
            # The text goes around Qt's bridge: it must name the button itself
            # (the bridge's object path), or no screen reader relates it to
            # what has the focus.
            check("'LAND The Triangle' comes from the push button",
                  bool(landed) and all(is_a(e[1], "push button") for e in landed))
            check("the button is now named 'LAND The Triangle'",
                  free.name == "LAND The Triangle")
    finally:
        clock.terminate()
        clock.wait(timeout=10)

    return finish()


if __name__ == "__main__":
    sys.exit(main())
