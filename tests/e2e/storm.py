"""Thousands of seeded random real pointer and key events on Tazzle under a real X server:
moves, clicks, double clicks, drags from one control to another, right clicks, keys, moves
beyond the window's edges. At checkpoints: the program is alive, the label reads the prompt or
a dare, the highlight is shown exactly when the rules say, every click on the link asked the
desktop once, and memory has not grown by more than 1 MB since the first thousand events.
Run on its own X server and session bus. Usage: storm.py tazzle PATH opened-file seed events"""
import os
import random
import subprocess
import sys
import time

import pyatspi

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "a11y"))
import a11ybus  # noqa: E402  (which puts tests/ on the path)
from a11ybus import showing, wait_for  # noqa: E402
from checks import check, verdict  # noqa: E402
from expectedwindow import DARES, PROMPT, SIZE, TITLE, rect  # noqa: E402

tazzle, path, opened_file, seed, events = sys.argv[1:6]
events = int(events)
ORIGIN = (100, 100)  # where the window is put on the screen

# The controls where they take the pointer, top of the stack first; the underline takes no
# input, so it is the link's. The link's box runs 14 px below the window.
CONTROLS = [
    ("picture", rect("imgGetDare")),
    ("link", rect("lblMore")),
    ("logo", rect("imgLogo")),
    ("dare", rect("lblDare")),
]
WIDTH, HEIGHT = SIZE


def control_at(x, y):
    for name, (left, top, width, height) in CONTROLS:
        if left <= x < left + width and top <= y < top + height:
            return name if y < HEIGHT or name == "link" else None
    return "bare" if 0 <= x < WIDTH and 0 <= y < HEIGHT else None


def inside(x, y, control):
    left, top, width, height = dict(CONTROLS)[control]
    return left <= x < left + width and top <= y < top + height




def xdotool(*arguments):
    subprocess.run(["xdotool", *map(str, arguments)], check=True)


def opened():
    if not os.path.exists(opened_file):
        return 0
    with open(opened_file) as f:
        return len(f.read().splitlines())


def resident_kb(pid):
    with open(f"/proc/{pid}/status") as f:
        return int(next(line for line in f if line.startswith("VmRSS:")).split()[1])


a11ybus.enable()
with a11ybus.running([tazzle], dict(os.environ, PATH=path)) as (program, frame):
    label = next(c for c in frame if c.getRole() == pyatspi.ROLE_LABEL)
    highlighted_picture = [c for c in frame if c.getRole() == pyatspi.ROLE_PUSH_BUTTON][1]
    window = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name",
                             f"^{TITLE}$"],
                            capture_output=True, text=True, timeout=20).stdout.split()[0]
    xdotool("windowmove", "--sync", window, *ORIGIN)
    dares = set()

    # The model: the highlight (None while a drag leaves it open) and the link's requests.
    highlighted, requests = False, 0

    def move(x, y):
        global highlighted
        xdotool("mousemove", ORIGIN[0] + x, ORIGIN[1] + y)
        region = control_at(x, y)
        if region == "bare":
            highlighted = False
        elif region == "picture":
            highlighted = True

    def click_effect(control, times):
        global highlighted, requests
        if control in ("logo", "dare"):
            highlighted = False
        elif control == "link":
            requests += times

    def random_point(beyond=False):
        if beyond:
            return random.randint(-60, WIDTH + 67), random.randint(-60, HEIGHT + 61)
        return random.randint(0, WIDTH - 1), random.randint(0, HEIGHT - 1)

    def checkpoint(done):
        # A plain move first, so that the rules alone say what the highlight is (after a drag,
        # one onto bare window or the picture).
        point = random_point()
        while highlighted is None and control_at(*point) not in ("bare", "picture"):
            point = random_point()
        move(*point)
        check(program.poll() is None, f"after {done} events: the program ended")
        check(wait_for(lambda: showing(highlighted_picture) == highlighted, 3),
              f"after {done} events: the highlight should be {'on' if highlighted else 'off'}")
        check(wait_for(lambda: opened() == requests, 3),
              f"after {done} events: {opened()} requests for {requests} clicks on the link")
        text = label.name
        check(text in DARES or (text == PROMPT and not dares),
              f"after {done} events: the label reads {text!r}")
        if text in DARES:
            dares.add(text)

    random.seed(int(seed))
    first_thousand = None
    for done in range(1, events + 1):
        kind = random.choices(["move", "click", "double", "drag", "right", "key", "beyond"],
                              [40, 20, 6, 10, 6, 6, 12])[0]
        if kind in ("move", "beyond"):
            move(*random_point(kind == "beyond"))
        elif kind in ("click", "double", "right"):
            x, y = random_point()
            move(x, y)
            if kind == "right":
                xdotool("click", 3)
            else:
                times = 2 if kind == "double" else 1
                xdotool("click", "--repeat", times, "--delay", 40, 1)
                click_effect(control_at(x, y), times)
        elif kind == "drag":
            start, end = random_point(), random_point(random.random() < 0.3)
            move(*start)
            xdotool("mousedown", 1)
            xdotool("mousemove", ORIGIN[0] + end[0], ORIGIN[1] + end[1])
            xdotool("mouseup", 1)
            pressed = control_at(*start)
            # Released on the control it was pressed on: a click after all.
            if pressed != "bare" and inside(*end, pressed):
                click_effect(pressed, 1)
            highlighted = None
        else:
            xdotool("key", random.choice(["Return", "space", "Escape", "Tab", "a", "KP_Enter"]))
        if done % 250 == 0 or done == events:
            checkpoint(done)
            if first_thousand is None and done >= min(1000, events // 2):
                first_thousand = resident_kb(program.pid)
    grown = resident_kb(program.pid) - first_thousand
    print(f"{events} events; {requests} requests; {len(dares)} dares seen; resident memory "
          f"grew by {grown} kB after the first thousand", flush=True)
    check(grown <= 1024, f"resident memory grew by {grown} kB")

verdict()
