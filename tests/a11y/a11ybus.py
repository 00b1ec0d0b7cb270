"""What the tests that talk to the AT-SPI bus share."""
import contextlib
import os
import subprocess
import sys
import time

import gi
gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib  # noqa: E402
import pyatspi  # noqa: E402

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
from checks import eventually  # noqa: E402


def enable(screen_reader=False):
    """Switches accessibility on, as a desktop does when an assistive technology starts."""
    properties = ["IsEnabled"] + (["ScreenReaderEnabled"] if screen_reader else [])
    bus = Gio.bus_get_sync(Gio.BusType.SESSION)
    for name in properties:
        bus.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "Set",
                      GLib.Variant("(ssv)", ("org.a11y.Status", name, GLib.Variant("b", True))),
                      None, Gio.DBusCallFlags.NONE, -1, None)


def application(name):
    """The running application of that name, or None."""
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == name:
            return app
    return None


def pump(seconds=0.0):
    end = time.monotonic() + seconds
    context = GLib.MainContext.default()
    while True:
        while context.iteration(False):
            pass
        if time.monotonic() >= end:
            return
        time.sleep(0.01)


def wait_for(predicate, seconds=5.0):
    """checks.eventually, with the bus's events handled before each try."""
    return eventually(lambda: pump() or predicate(), seconds)


def showing(accessible):
    return accessible.getState().contains(pyatspi.STATE_SHOWING)


def actions(accessible):
    try:
        action = accessible.queryAction()
    except NotImplementedError:
        return []
    return [action.getName(i) for i in range(action.nActions)]


def press(accessible):
    action = accessible.queryAction()
    action.doAction(actions(accessible).index("Press"))




@contextlib.contextmanager
def running(command, environment):
    """Tazzle started with that environment, once it is on the bus: its process and its window's
    frame. It is ended on leaving."""
    program = subprocess.Popen(command, env=environment)
    try:
        if not wait_for(lambda: application("Tazzle") and application("Tazzle").childCount, 20):
            sys.exit("FAIL: Tazzle is not on the bus")
        yield program, application("Tazzle")[0]
    finally:
        program.terminate()
        program.wait(10)
