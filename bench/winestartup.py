"""Start-up under Wine, on the X server DISPLAY names: wall-clock time from exec to the window
shown, for Tazzle and for the reference program (a bare Qt window with the same text), both run
from the same folder with the same Qt. Alternating runs after one warm-up each; prints the
medians and their ratio. Usage: winestartup.py runs folder"""
import os
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests"))
from expectedwindow import TITLE  # noqa: E402

runs, folder = int(sys.argv[1]), sys.argv[2]


def wine(*arguments, **options):
    return subprocess.Popen(["wine", *arguments], cwd=folder, stdin=subprocess.DEVNULL, **options)


face = wine("resolvedface.exe", stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
face = face.communicate(timeout=60)[0].decode().strip()
PROGRAMS = {
    "tazzle": (["Tazzle.exe"], f"^{TITLE}$"),
    "reference": (["reference.exe", face], "^Reference$"),
}


def shown(title):
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", title],
                           capture_output=True, text=True).stdout.split()
    return found[0] if found else None


def once(name):
    arguments, title = PROGRAMS[name]
    start = time.monotonic()
    process = wine(*arguments, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    window = None
    while window is None and time.monotonic() - start < 30:
        window = shown(title)
    elapsed = time.monotonic() - start
    if window is None:
        process.kill()
        sys.exit(f"{name} showed no window")
    subprocess.run(["wmctrl", "-i", "-c", window], check=True)
    process.wait(timeout=30)
    return elapsed


# One wineserver for all runs, as on a Windows machine that is already up.
subprocess.run(["wineserver", "-w"], check=True)
subprocess.run(["wineserver", "-p"], check=True)
times = {name: [] for name in PROGRAMS}
try:
    for run in range(runs + 1):
        for name in PROGRAMS:
            elapsed = once(name)
            if run:
                times[name].append(elapsed)
finally:
    subprocess.run(["wineserver", "-k"])
medians = {name: statistics.median(values) * 1000 for name, values in times.items()}
print(f"face: {face}")
for name, values in times.items():
    print(f"{name}: median {medians[name]:.0f} ms of {len(values)} "
          f"({', '.join(f'{v * 1000:.0f}' for v in values)})")
print(f"ratio tazzle / reference: {medians['tazzle'] / medians['reference']:.3f}")
