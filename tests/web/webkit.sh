#!/usr/bin/env bash
# Runs a Node script that drives WebKitGTK's MiniBrowser, on an X display and a session bus of
# its own, with WebKitWebDriver's address as the script's last argument, once it answers. The
# caller ends them all as one process group.
#   tests/web/webkit.sh <script.mjs> [argument...]
#   tests/web/webkit.sh --path      prints where MiniBrowser is
set -euo pipefail
if [ "$1" = --path ]; then
    echo "/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/webkit2gtk-4.1/MiniBrowser"
    exit
fi
source "$(dirname "$0")/../lib.sh"
need Xvfb dbus-run-session WebKitWebDriver node curl
startX 1600x1000x24
port=$(freePort)
dbus-run-session -- bash -c 'WebKitWebDriver --port="$0" >/dev/null 2>&1 &
    for _ in $(seq 100); do
        curl -fso /dev/null "http://127.0.0.1:$0/status" && exec node "$@" "http://127.0.0.1:$0"
        sleep 0.1
    done
    echo "WebKitWebDriver did not answer on port $0" >&2
    exit 1' "$port" "$@"
