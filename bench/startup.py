"""Start-up of Tazzle beside the reference program, under the X server DISPLAY names (one
with nothing else on it). Prints JSON: for each program the wall-clock time from exec to the
first painted frame (median of alternating runs after a warm-up), resident memory once shown,
CPU ticks and voluntary context switches over 5 s left alone, instructions under callgrind
from exec until 2 s after the first frame, and those instructions by library.
Usage: startup.py runs tazzle reference face"""
import ctypes
import json
import os
import re
import signal
import statistics
import subprocess
import sys
import tempfile
import time

runs, tazzle, reference, face = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]
PROGRAMS = {"tazzle": [tazzle], "reference": [reference, face]}
# A row through the prompt, which both programs draw at the same place: the middle half of the
# dare label, through its first line.
sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests"))
from expectedwindow import rect  # noqa: E402

_left, _top, _width, _ = rect("lblDare")
PROMPT_ROW = (_left + _width // 4, _top + 10, _width // 2)

x11 = ctypes.CDLL("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
x11.XPending.argtypes = [ctypes.c_void_p]
x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
x11.XConnectionNumber.argtypes = [ctypes.c_void_p]
x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]


class XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.POINTER(ctypes.c_uint8)),
                ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
                ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int),
                ("bits_per_pixel", ctypes.c_int)]


x11.XGetImage.restype = ctypes.POINTER(XImage)
x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                          ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
x11.XFree.argtypes = [ctypes.c_void_p]
# A window that goes away while it is read must not end this script.
ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda d, e: 0)
x11.XSetErrorHandler(ERROR_HANDLER)

display = x11.XOpenDisplay(None)
if not display:
    sys.exit("cannot open the display")
root = x11.XDefaultRootWindow(display)
SUBSTRUCTURE_NOTIFY, MAP_NOTIFY, Z_PIXMAP = 1 << 19, 19, 2
x11.XSelectInput(display, root, SUBSTRUCTURE_NOTIFY)
event = (ctypes.c_long * 24)()


def drain():
    while x11.XPending(display):
        x11.XNextEvent(display, event)


def mapped_window(deadline):
    """The next top-level window mapped, or None at the deadline."""
    while time.monotonic() < deadline:
        while x11.XPending(display):
            x11.XNextEvent(display, event)
            if event[0] & 0xffffffff == MAP_NOTIFY:
                return event[5]  # XMapEvent.window
        time.sleep(0.0002)
    return None


def painted(window):
    x, y, width = PROMPT_ROW
    image = x11.XGetImage(display, window, x, y, width, 1, 0xffffffff, Z_PIXMAP)
    if not image:
        return False
    data = image.contents.data
    # 32 bits a pixel, blue, green, red: any bright pixel is prompt text.
    bright = any(data[4 * i + 2] > 200 for i in range(width))
    x11.XFree(data)
    x11.XFree(image)
    return bright


def start(command, environment):
    drain()
    began = time.monotonic()
    process = subprocess.Popen(command, env=environment, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    deadline = began + 120
    window = mapped_window(deadline)
    if window is None:
        process.kill()
        sys.exit(f"{command[0]}: no window")
    while not painted(window):
        if time.monotonic() > deadline or process.poll() is not None:
            process.kill()
            sys.exit(f"{command[0]}: nothing painted")
        time.sleep(0.0002)
    return process, time.monotonic() - began


def stop(process):
    process.send_signal(signal.SIGTERM)
    process.wait(60)


def threads(pid, read):
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            total += read(f"/proc/{pid}/task/{task}")
        except (FileNotFoundError, ProcessLookupError):
            pass
    return total


def ticks(task):
    with open(f"{task}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])  # utime, stime


def switches(task):
    with open(f"{task}/status") as f:
        return int(re.search(r"^voluntary_ctxt_switches:\s+(\d+)", f.read(), re.M).group(1))


def resident_kb(pid):
    with open(f"/proc/{pid}/status") as f:
        return int(re.search(r"^VmRSS:\s+(\d+)", f.read(), re.M).group(1))


def by_library(profile):
    annotated = subprocess.run(["callgrind_annotate", "--inclusive=no", "--threshold=100",
                                profile], capture_output=True, text=True).stdout
    libraries = {}
    for line in annotated.splitlines():
        match = re.match(r"\s*([\d,]+)\s.*\[(.+)\]\s*$", line)
        if match:
            library = os.path.basename(match.group(2))
            libraries[library] = libraries.get(library, 0) + int(match.group(1).replace(",", ""))
    return libraries


with tempfile.TemporaryDirectory() as scratch:
    os.makedirs(f"{scratch}/runtime", mode=0o700)
    environment = dict(os.environ, HOME=scratch, XDG_RUNTIME_DIR=f"{scratch}/runtime")
    result = {name: {} for name in PROGRAMS}

    # Wall clock: a warm-up each, then alternating runs.
    times = {name: [] for name in PROGRAMS}
    for run in range(runs + 1):
        for name, command in PROGRAMS.items():
            process, seconds = start(command, environment)
            if run > 0:
                times[name].append(seconds)
            if run == runs:
                time.sleep(1)
                result[name]["resident_kb"] = resident_kb(process.pid)
                before = (threads(process.pid, ticks), threads(process.pid, switches))
                time.sleep(5)
                after = (threads(process.pid, ticks), threads(process.pid, switches))
                result[name]["idle_ticks"] = after[0] - before[0]
                result[name]["idle_switches"] = after[1] - before[1]
            stop(process)
    for name in PROGRAMS:
        result[name]["startup_ms"] = 1000 * statistics.median(times[name])

    # Instructions until 2 s after the first frame.
    for name, command in PROGRAMS.items():
        profile = f"{scratch}/{name}.callgrind"
        process, _ = start(["valgrind", "--tool=callgrind", f"--callgrind-out-file={profile}",
                            *command], environment)
        time.sleep(2)
        stop(process)
        with open(profile) as f:
            result[name]["instructions"] = int(re.search(r"^totals:\s+(\d+)", f.read(), re.M).group(1))
        result[name]["by_library"] = by_library(profile)

print(json.dumps(result))
