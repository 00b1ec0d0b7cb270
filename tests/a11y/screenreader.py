"""Tazzle over the AT-SPI bus, as a screen reader meets it: the tree, the Press actions, and
one announcement per dare that carries its text (Qt's own announcement from Qt 6.8 on, a
notification coming into view before it). Keys are not tried here: the offscreen tests show
that none gets a dare. Usage: screenreader.py tazzle url PATH opened-file qt-version"""
import os
import subprocess
import sys
from urllib.parse import urlparse

import pyatspi

import a11ybus
from a11ybus import actions, press, pump, showing, wait_for

from checks import check, verdict  # noqa: E402  (a11ybus puts tests/ on the path)
from expectedwindow import LINK_PREFIX, PROMPT, TITLE  # noqa: E402

tazzle, url, path, opened_file, qt_version = sys.argv[1:6]
qt_announces = tuple(int(n) for n in qt_version.split(".")[:2]) >= (6, 8)


def opened():
    if not os.path.exists(opened_file):
        return []
    with open(opened_file) as f:
        return f.read().splitlines()


a11ybus.enable()

announcements, label_renames = [], []


def on_event(event):
    role = event.source.getRole()
    if event.type.startswith("object:announcement"):
        announcements.append(event.any_data)
    elif event.type.startswith("object:state-changed:showing") and role == pyatspi.ROLE_NOTIFICATION:
        if event.detail1:
            announcements.append(event.source.name)
    elif event.type.startswith("object:property-change:accessible-name") and role == pyatspi.ROLE_LABEL:
        label_renames.append(event.source.name)


pyatspi.Registry.registerEventListener(
    on_event, "object:state-changed:showing", "object:property-change:accessible-name",
    "object:announcement")

environment = dict(os.environ, PATH=path)
environment.pop("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", None)
with a11ybus.running([tazzle], environment) as (program, frame):

    print("# the tree")
    check(frame.getRole() == pyatspi.ROLE_FRAME and frame.name == TITLE,
          f"window is {frame.getRoleName()} {frame.name!r}")
    host = urlparse(url).hostname
    # Roles by their value: their names differ between releases of the bus.
    tree = [(c.getRole(), c.name, showing(c), actions(c)) for c in frame]
    expected = [
        (pyatspi.ROLE_IMAGE, "Tazzle", True, []),
        (pyatspi.ROLE_LABEL, PROMPT, True, []),
        (pyatspi.ROLE_PUSH_BUTTON, "Get Dare", True, ["Press"]),
        (pyatspi.ROLE_PUSH_BUTTON, "Get Dare", False, ["Press"]),
        (pyatspi.ROLE_LINK, LINK_PREFIX + host, True, ["Press"]),
    ] + ([] if qt_announces else [(pyatspi.ROLE_NOTIFICATION, "", False, [])])
    check(tree == expected, f"tree is {[(c.getRoleName(),) + t[1:] for c, t in zip(frame, tree)]}")
    check(not any(c.getState().contains(pyatspi.STATE_FOCUSABLE) for c in frame),
          "a control can take the keyboard focus")
    label = next(c for c in frame if c.getRole() == pyatspi.ROLE_LABEL)
    plain, highlighted = [c for c in frame if c.getRole() == pyatspi.ROLE_PUSH_BUTTON]
    link = next(c for c in frame if c.getRole() == pyatspi.ROLE_LINK)

    print("# Press on Get Dare shows a dare and announces it once")
    for i in range(1, 4):
        press(plain)
        check(wait_for(lambda: len(announcements) >= i), f"press {i}: no announcement")
        pump(0.3)
        check(len(announcements) == i, f"press {i}: {len(announcements)} announcements in all")
        check(label.name not in ("", PROMPT), f"press {i}: the label reads {label.name!r}")
        check(announcements[-1:] == [label.name],
              f"press {i}: announced {announcements[-1:]}, the label reads {label.name!r}")
    check(len(label_renames) <= 3, f"{len(label_renames)} name changes for 3 dares")

    print("# the pointer over the picture: only the highlighted picture is showing")
    x, y, width, height = plain.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(["xdotool", "mousemove", str(x + width // 2), str(y + height // 2)], check=True)
    check(wait_for(lambda: showing(highlighted) and not showing(plain)),
          "the highlighted picture is not the one showing")
    subprocess.run(["xdotool", "click", "1"], check=True)
    check(wait_for(lambda: len(announcements) == 4), "a click announced nothing")
    press(highlighted)
    check(wait_for(lambda: len(announcements) == 5), "Press on the highlighted picture announced nothing")
    check(announcements[-1] == label.name, "the last announcement is not the dare shown")

    print("# Press on the link asks the desktop once, and changes nothing")
    dare = label.name
    press(link)
    check(wait_for(lambda: len(opened()) >= 1), "the link opened nothing")
    pump(0.5)
    check(opened() == [url], f"requests: {opened()}")
    check(label.name == dare and showing(highlighted), "the link changed the window")
    check(len(announcements) == 5, "the link announced something")
    check(program.poll() is None, "the program ended")

verdict()
