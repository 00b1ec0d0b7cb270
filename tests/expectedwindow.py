"""The window as it must be, read from window.json: the record every test driver checks the
program against. Imported by the Python drivers; for the shell drivers, a command:
    expectedwindow.py shell        prints the facts as shell assignments, for eval
    expectedwindow.py isdare TEXT  whether text read off the screen is one of the dares, allowing
                                   for a few misread letters"""
import difflib
import json
import pathlib
import re
import shlex
import sys

_WINDOW = json.loads(pathlib.Path(__file__).with_name("window.json").read_text(encoding="utf-8"))
TITLE = _WINDOW["title"]
PROMPT = _WINDOW["prompt"]
LINK_PREFIX = _WINDOW["linkPrefix"]
DARES = _WINDOW["dares"]
SIZE = tuple(_WINDOW["size"])


def rect(control):
    """(left, top, width, height) of the control."""
    return tuple(_WINDOW["controls"][control]["rect"])


def point(place):
    """(x, y) of a named place, where a driver puts the pointer."""
    return tuple(_WINDOW["points"][place])


def _words(text):
    return " ".join(re.findall(r"[a-z0-9]+", text.lower()))


def closest_dare(text):
    """The dare nearest to text, and how near (1 is the same words)."""
    read = _words(text)
    score = lambda dare: difflib.SequenceMatcher(None, _words(dare), read).ratio()  # noqa: E731
    best = max(DARES, key=score)
    return best, score(best)


def _shell():
    """title, prompt, width, height, point_<place>="x y", rect_<control>="l t w h",
    box_<place>="l t w h"."""
    facts = {"title": TITLE, "prompt": PROMPT, "width": SIZE[0], "height": SIZE[1]}
    facts.update({f"point_{name}": " ".join(map(str, xy)) for name, xy in _WINDOW["points"].items()})
    facts.update({f"rect_{name}": " ".join(map(str, c["rect"]))
                  for name, c in _WINDOW["controls"].items()})
    facts.update({f"box_{name}": " ".join(map(str, box))
                  for name, box in _WINDOW["boxes"].items() if name != "about"})
    return "".join(f"{key}={shlex.quote(str(value))}\n" for key, value in facts.items())


if __name__ == "__main__":
    if sys.argv[1:] == ["shell"]:
        print(_shell(), end="")
    elif len(sys.argv) == 3 and sys.argv[1] == "isdare":
        dare, score = closest_dare(sys.argv[2])
        print(f"closest dare ({score:.2f}): {dare}")
        sys.exit(0 if score >= 0.85 else 1)
    else:
        sys.exit(__doc__)
