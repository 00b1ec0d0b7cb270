#!/usr/bin/env bash
# Plays the web site as visitors would, served by nginx with the configuration shipped in
# dist/web/: in Chromium and Firefox ESR (puppeteer-core) and in WebKitGTK (WebKitWebDriver),
# then measures it on a throttled phone and with Lighthouse (bench/web.mjs). The browsers are
# Debian's; puppeteer-core, Lighthouse and axe-core come from the npm registry, and nothing
# downloads a browser.
#   tests/web/run.sh <site> <website address> <second build's site> <its website address>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../lib.sh"
site=$(realpath "$1")
website=$2
second=$(realpath "$3")
second_website=$4
minibrowser=$("$here/webkit.sh" --path)
need node npm chromium firefox-esr WebKitWebDriver "$minibrowser" nginx Xvfb dbus-run-session \
    convert curl

modules=$("$here/modules.sh")
export TAZZLE_NODE_MODULES=$modules

chmod 755 "$work" # nginx's workers read the site through it
failed=$site/../build-web-failure
rm -rf "$failed"
. "$here/nginx.sh"
finish() {
    status=$?
    nginx_stop
    if [ "$status" != 0 ]; then
        cp -r "$work" "$failed"
        echo "screenshots and logs kept in $(realpath "$failed")" >&2
    fi
    cleanup
}
trap finish EXIT
trap 'exit 130' INT TERM

ln -s "$site" "$work/live"
nginx_start "$work/live" "$work" "$(freePort)"
# Each engine's Node, browser, Xvfb and bus are one process group: none outlives its run.
for engine in chromium firefox; do
    binary=$(command -v "$engine" || command -v "$engine-esr")
    inGroup node "$here/browsers.mjs" "$engine" "$binary" "$work" "$nginx_url" "$website" \
        "$work/live" "$site" "$second" "$second_website"
done
# WebKit on a display and a session bus of its own.
inGroup "$here/webkit.sh" "$here/webkit.mjs" "$minibrowser" "$work" "$nginx_url" "$website" \
    2>"$work/webkit.log"
inGroup node "$here/../../bench/web.mjs" "$site" "$nginx_url" "$(command -v chromium)"
