"""Tazzle native on Wayland, under a headless sway: the platform, title, app id and fixed
size as the compositor sees them, the pixels it shows, the highlight when the pointer arrives
without moving, a click, and closing. Run as the user that runs sway.
Usage: wayland.py tazzle work-dir"""
import glob
import json
import os
import subprocess
import sys
import time

from virtualpointer import VirtualPointer

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
from checks import check, eventually, verdict  # noqa: E402
from expectedwindow import SIZE, TITLE, point, rect  # noqa: E402

tazzle, work = sys.argv[1:3]
APP_ID = "example.tazzle.Tazzle"
OUTPUT = (1024, 768)


def sway(*command):
    out = subprocess.run(["swaymsg", "-r", *command], capture_output=True, text=True)
    return json.loads(out.stdout) if out.stdout.strip() else None


def view():
    def find(node):
        if node.get("app_id") == APP_ID:
            return node
        for child in node.get("nodes", []) + node.get("floating_nodes", []):
            found = find(child)
            if found:
                return found
        return None
    return find(sway("-t", "get_tree") or {})


def screenshot(left, top):
    """The window's pixels, as (red, green, blue) by window coordinates."""
    data = subprocess.run(["grim", "-t", "ppm", "-g", f"{left},{top} {SIZE[0]}x{SIZE[1]}", "-"],
                          capture_output=True, check=True).stdout
    header = data.split(b"\n", 3)  # P6, width height, 255, pixels
    width = int(header[1].split()[0])
    pixels = header[3]
    return lambda x, y: tuple(pixels[3 * (y * width + x):3 * (y * width + x) + 3])


environment = dict(os.environ)
environment.pop("DISPLAY", None)
environment.pop("QT_QPA_PLATFORM", None)
program = subprocess.Popen([tazzle], env=environment, stdout=subprocess.DEVNULL,
                           stderr=open(f"{work}/tazzle.err", "w"))
try:
    if not check(eventually(lambda: view() is not None, 20), "no window appeared"):
        sys.exit(1)
    window = view()
    print("# the window as the compositor sees it")
    with open(f"/proc/{program.pid}/maps") as f:
        maps = f.read()
    check("libqwayland" in maps and "libqxcb" not in maps, "not the Wayland platform")
    check(window["name"] == TITLE, f"title {window['name']!r}")
    check(window["shell"] == "xdg_shell", f"shell {window['shell']}")
    # What the program itself draws, whatever room the compositor gives it.
    size = lambda: (view()["geometry"]["width"], view()["geometry"]["height"])  # noqa: E731
    check(size() == SIZE, f"size {size()}")

    bright = lambda rgb: min(rgb) > 200  # noqa: E731
    dark = lambda rgb: max(rgb) < 30  # noqa: E731

    # Where the window's inside is on the output, once the compositor has placed and
    # decorated it and the first frame is there.
    def inside():
        node = view()
        return node["rect"]["x"] + node["window_rect"]["x"], node["rect"]["y"] + node["window_rect"]["y"]

    def placed():
        global left, top
        left, top = inside()
        time.sleep(0.3)  # the decoration may still move it
        return (left, top) == inside() and bright(screenshot(left, top)(*point("logo")))
    check(eventually(placed, 10), "the logo is not shown")

    def at(place, dx=0, dy=0):
        """A named place in the window, nudged by (dx, dy), on the screen."""
        x, y = point(place)
        return left + x + dx, top + y + dy
    shot = lambda: screenshot(left, top)  # noqa: E731

    print("# what it shows")
    shown = shot()
    check(dark(shown(*point("bare"))), "the ground is not black")
    check(bright(shown(*point("pictureOutline"))), "no outline of the picture")
    line_left, line_y, line_width, _ = rect("Line1")
    line_right = line_left + line_width - 1
    for x in (line_left, point("underline")[0], line_right):
        check(shown(x, line_y) == (212, 208, 200),
              f"no underline at {x}, {line_y}: {shown(x, line_y)}")
    check(dark(shown(line_right + 11, line_y)), f"the underline runs past {line_right}")

    print("# the pointer arriving is a movement where it arrives")
    pointer = VirtualPointer(glob.glob(f"{os.environ['XDG_RUNTIME_DIR']}/wayland-*[0-9]")[0],
                             *OUTPUT)
    outside = (10, 10)
    highlight = lambda: bright(shot()(*point("pictureInside")))  # noqa: E731
    # Each visit lands on a new spot: Qt (6.4 and 6.8) drops a move to the last place it saw the
    # pointer, even when the pointer has left the window and come back in between.
    steps = [
        ("from outside onto the picture", at("picture"), True),
        ("onto bare window", at("bare"), False),
        ("onto the picture", at("picture", 2, 1), True),
        ("out of the window", outside, True),
        ("from outside onto bare window", at("bare", 1, 1), False),
        ("onto the picture again", at("picture", 4, 2), True),
        ("out of the window again", (11, 11), True),
        ("from outside onto the logo", at("logoCentre"), True),
        ("out, then onto the link", (12, 12), True),
        ("onto the link", at("linkText"), True),
    ]
    for what, spot, expected in steps:
        pointer.move_to(*spot)
        check(eventually(lambda: highlight() == expected, 3),
              f"{what}: the highlight is {'not ' if expected else ''}gone")

    print("# a click on the picture shows a dare")
    def dare():
        image = shot()
        x0, y0, width, height = rect("lblDare")
        return [image(x, y) for x in range(x0, x0 + width, 3) for y in range(y0, y0 + height, 3)]
    before = dare()
    pointer.move_to(*at("picture", -2, -1))
    pointer.click()
    check(eventually(lambda: dare() != before),
          "no dare after the click")

    print("# it keeps its size when the compositor offers another")
    sway(f"[app_id={APP_ID}] resize set 800 600")
    time.sleep(0.5)
    check(size() == SIZE, f"resized to {size()}")

    print("# closing ends the program")
    sway(f"[app_id={APP_ID}] kill")
    check(eventually(lambda: program.poll() is not None), "closing did not end the program")
    check(program.poll() == 0, f"exit status {program.poll()}")
finally:
    if program.poll() is None:
        program.kill()
        program.wait()

written = [p for p in glob.glob(f"{os.environ['HOME']}/**", recursive=True, include_hidden=True)
           if os.path.isfile(p)]
check(not written, f"files written: {written}")
verdict()
