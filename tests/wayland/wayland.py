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

tazzle, work = sys.argv[1:3]
APP_ID = "example.tazzle.Tazzle"
TITLE = "Tazzle - Random dare generator"
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
    data = subprocess.run(["grim", "-t", "ppm", "-g", f"{left},{top} 533x299", "-"],
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
    check(size() == (533, 299), f"size {size()}")

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
        return (left, top) == inside() and bright(screenshot(left, top)(174, 56))
    check(eventually(placed, 10), "the logo is not shown")
    at = lambda x, y: (left + x, top + y)  # noqa: E731
    shot = lambda: screenshot(left, top)  # noqa: E731

    print("# what it shows")
    shown = shot()
    check(dark(shown(5, 5)), "the ground is not black")
    check(bright(shown(266, 210)), "no outline of the picture")
    for x in (120, 200, 279):
        check(shown(x, 288) == (212, 208, 200), f"no underline at {x}, 288: {shown(x, 288)}")
    check(dark(shown(290, 288)), "the underline runs past 279")

    print("# the pointer arriving is a movement where it arrives")
    pointer = VirtualPointer(glob.glob(f"{os.environ['XDG_RUNTIME_DIR']}/wayland-*[0-9]")[0],
                             *OUTPUT)
    outside = (10, 10)
    highlight = lambda: bright(shot()(260, 222))  # noqa: E731
    # Each visit lands on a new spot: Qt (6.4 and 6.8) drops a move to the last place it saw the
    # pointer, even when the pointer has left the window and come back in between.
    steps = [
        ("from outside onto the picture", at(266, 230), True),
        ("onto bare window", at(5, 5), False),
        ("onto the picture", at(268, 231), True),
        ("out of the window", outside, True),
        ("from outside onto bare window", at(6, 6), False),
        ("onto the picture again", at(270, 232), True),
        ("out of the window again", (11, 11), True),
        ("from outside onto the logo", at(273, 54), True),
        ("out, then onto the link", (12, 12), True),
        ("onto the link", at(30, 280), True),
    ]
    for what, point, expected in steps:
        pointer.move_to(*point)
        check(eventually(lambda: highlight() == expected, 3),
              f"{what}: the highlight is {'not ' if expected else ''}gone")

    print("# a click on the picture shows a dare")
    def dare():
        image = shot()
        return [image(x, y) for x in range(16, 521, 3) for y in range(120, 201, 3)]
    before = dare()
    pointer.move_to(*at(264, 229))
    pointer.click()
    check(eventually(lambda: dare() != before),
          "no dare after the click")

    print("# it keeps its size when the compositor offers another")
    sway(f"[app_id={APP_ID}] resize set 800 600")
    time.sleep(0.5)
    check(size() == (533, 299), f"resized to {size()}")

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
