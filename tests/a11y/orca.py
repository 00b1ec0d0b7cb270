"""A running Orca speaks each new dare once, the user staying where they are: as a notification
before Qt 6.8, as Qt's own announcement from 6.8 on. Usage: orca.py tazzle debug-log qt-version"""
import os
import re
import signal
import subprocess
import sys

import pyatspi

import a11ybus
from a11ybus import application, press, pump, wait_for

tazzle, log, qt_version = sys.argv[1:4]
qt_announces = tuple(int(n) for n in qt_version.split(".")[:2]) >= (6, 8)

a11ybus.enable(screen_reader=True)
# Orca writes its log in blocks: it is whole only once Orca has stopped.
orca = subprocess.Popen(["orca", "--replace", "--debug-file", log],
                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
try:
    if not wait_for(lambda: application("orca") is not None, 30):
        sys.exit("FAIL: Orca did not start")
    with a11ybus.running([tazzle], os.environ) as (program, frame):
        label = next(c for c in frame if c.getRole() == pyatspi.ROLE_LABEL)
        button = next(c for c in frame if c.getRole() == pyatspi.ROLE_PUSH_BUTTON)
        dares = []
        for _ in range(3):
            before = label.name
            press(button)
            # The same dare may come twice; then only the time tells it has been drawn.
            wait_for(lambda: label.name != before, 2)
            dares.append(label.name)
            pump(1.5)
finally:
    orca.send_signal(signal.SIGTERM)
    orca.wait(20)

with open(log, errors="replace") as f:
    spoken = re.findall(r"SPEECH OUTPUT: '(.*)' ?\{", f.read())
print("Orca said:", *spoken, sep="\n  ")
# Everything said of a dare, in order: each once, and nothing else of it.
of_dares = [s for s in spoken if any(dare in s for dare in dares)]
expected = [dare if qt_announces else f"notification {dare}." for dare in dares]
if of_dares != expected:
    sys.exit(f"FAIL: expected {expected}")
print("PASS")
