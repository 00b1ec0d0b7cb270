"""What the Python tests share: checks that note each failure and go on, polling, the verdict."""
import sys
import time

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what, flush=True)
    return condition


def eventually(predicate, seconds=5.0):
    """Polls predicate until it holds or the time is up; says whether it held."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if predicate():
            return True
        time.sleep(0.05)
    return predicate()


def verdict():
    print("FAIL" if failures else "PASS", flush=True)
    sys.exit(1 if failures else 0)
