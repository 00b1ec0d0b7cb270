#!/usr/bin/env bash
# Runs a Node script that drives WebKitGTK's MiniBrowser, on an X display and a session bus of
# its own, with WebKitWebDriver's address as the script's last argument. The caller ends them all
# as one process group.
#   tests/web/webkit.sh <script.mjs> [argument...]
#   tests/web/webkit.sh --path      prints where MiniBrowser is
set -e
if [ "$1" = --path ]; then
    echo "/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/webkit2gtk-4.1/MiniBrowser"
    exit
fi
display=:$((100 + RANDOM % 800))
Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp 2>/dev/null &
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
port=$((40000 + RANDOM % 20000))
exec dbus-run-session -- bash -c 'WebKitWebDriver --port="$0" >/dev/null 2>&1 &
    sleep 1; exec node "$@" "http://127.0.0.1:$0"' "$port" "$@"
