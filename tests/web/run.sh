#!/usr/bin/env bash
# Plays the web page in Debian's Chromium (browser.mjs), then times its first frame beside a
# bare Qt window's page (bench/webstartup.mjs). puppeteer-core comes from the npm registry and
# drives the system's Chromium: nothing downloads a browser.
#   tests/web/run.sh <site folder> <bare window's site folder> <website address>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
site=$(realpath "$1")
bench=$(realpath "$2")
website=$3
cache=${TAZZLE_CACHE:-/var/cache/tazzle}

for tool in node npm chromium tesseract convert python3; do
    command -v "$tool" >/dev/null || { echo "the web test needs $tool" >&2; exit 1; }
done

# Kept under the cache, made again when package.json changes.
modules=$cache/web-test-$(sha256sum "$here/package.json" | cut -c1-16)
if [ ! -d "$modules/node_modules/puppeteer-core" ]; then
    rm -rf "$modules" "$modules.new"
    mkdir -p "$modules.new"
    cp "$here/package.json" "$modules.new/"
    (cd "$modules.new" && PUPPETEER_SKIP_DOWNLOAD=1 npm install --no-audit --no-fund \
        --no-package-lock --ignore-scripts --loglevel=error)
    mv "$modules.new" "$modules"
    find "$cache" -maxdepth 1 -name 'web-test-*' ! -path "$modules" -exec rm -rf {} +
fi
export TAZZLE_NODE_MODULES=$modules

work=$(mktemp -d)
failed=$site/../build-web-failure
rm -rf "$failed"
group=
cleanup() {
    status=$?
    # Node, its servers and Chromium are one process group: none of them outlives the test.
    [ -z "$group" ] || kill -KILL -- "-$group" 2>/dev/null || true
    if [ "$status" != 0 ]; then
        cp -r "$work" "$failed"
        echo "screenshots and the accessibility tree kept in $(realpath "$failed")" >&2
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

run() {
    setsid node "$@" &
    group=$!
    wait "$group"
}
run "$here/browser.mjs" "$site" "$website" "$(command -v chromium)" "$work"
run "$here/../../bench/webstartup.mjs" "$site" "$bench" "$(command -v chromium)"
