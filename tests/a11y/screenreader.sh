#!/usr/bin/env bash
# The program as a screen reader meets it, over the AT-SPI bus under a real X server; then
# what Orca says of it. Usage: screenreader.sh path/to/tazzle configured-url qt-version
set -euo pipefail
here=$(dirname "$0")
source "$here/../lib.sh"
need Xvfb xdotool dbus-run-session /usr/libexec/at-spi-bus-launcher orca
/usr/bin/python3 -c "import pyatspi" 2>/dev/null || need python3-pyatspi

startX 800x600x24
mkdir "$work/home"
recordingOpener "$work/bin" "$work/opened"

# Each part has its own session bus, which starts the accessibility bus when asked.
session() { HOME=$work/home dbus-run-session -- /usr/bin/python3 "$@" 2>"$work/stderr"; }
session "$here/screenreader.py" "$1" "$2" "$work/bin:/usr/bin:/bin" "$work/opened" "$3" ||
    fail "$(cat "$work/stderr")"
session "$here/orca.py" "$1" "$work/orca.log" "$3" || fail "$(cat "$work/stderr")"
