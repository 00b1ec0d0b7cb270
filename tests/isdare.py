"""Whether text read off the screen is one of the dares, allowing for a few misread letters.
Usage: isdare.py dares.txt text"""
import difflib
import re
import sys


def words(text):
    return " ".join(re.findall(r"[a-z0-9]+", text.lower()))


with open(sys.argv[1], encoding="utf-8") as f:
    dares = [line.strip() for line in f if line.strip()]
read = words(sys.argv[2])
best = max(dares, key=lambda dare: difflib.SequenceMatcher(None, words(dare), read).ratio())
score = difflib.SequenceMatcher(None, words(best), read).ratio()
print(f"closest dare ({score:.2f}): {best}")
sys.exit(0 if score >= 0.85 else 1)
