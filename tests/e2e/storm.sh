#!/usr/bin/env bash
# A storm of real pointer and key input on Tazzle under a real X server.
# Usage: storm.sh path/to/tazzle [seed] [events]
set -euo pipefail
here=$(dirname "$0")
source "$here/../lib.sh"
need Xvfb xdotool dbus-run-session
/usr/bin/python3 -c "import pyatspi" 2>/dev/null || need python3-pyatspi

startX 800x600x24
mkdir "$work/home"
mkdir -m 700 "$work/runtime"
recordingOpener "$work/bin" "$work/opened"
HOME=$work/home XDG_RUNTIME_DIR=$work/runtime dbus-run-session -- /usr/bin/python3 "$here/storm.py" "$1" \
    "$work/bin:/usr/bin:/bin" "$work/opened" "${2:-20261208}" "${3:-3000}" 2>"$work/stderr" ||
    fail "$(grep -v "fd limit\|activat" "$work/stderr" | tail -n 20)"
