#!/usr/bin/env bash
# Builds Tazzle's web site into build-web/, a folder that any static web server can serve as it
# is; with web-test, then plays it in Chromium, Firefox and WebKit, served by nginx
# (tests/web/run.sh).
#   tools/web/build.sh web|web-test     (tools/build.sh web|web-test)
# Emscripten is Debian's, of the release this runs on.
set -euo pipefail
cd "$(dirname "$0")/../.."
mode=${1:?usage: $0 web|web-test}

packages=(cmake ninja-build g++ qt6-base-dev qt6-svg-dev emscripten nodejs python3
    python3-fonttools python3-brotli python3-yaml fonts-liberation2 brotli gzip)
if [ "$mode" = web-test ]; then
    packages+=(chromium firefox-esr webkit2gtk-driver xvfb xauth dbus dbus-x11 nginx-light
        libnginx-mod-http-brotli-static imagemagick x11-utils curl)
    # A machine whose Node came from elsewhere has its npm already, and Debian's would conflict.
    command -v npm >/dev/null || packages+=(npm)
fi
tools/install-missing.sh "${packages[@]}"
source tools/lib.sh

# Emscripten builds missing system libraries into its cache, which Debian ships read-only: a
# writable copy of it is kept under the cache. Node sees Debian's own modules (Emscripten's
# acorn) only when told where they are.
version=$(tr -d '"' </usr/share/emscripten/emscripten-version.txt)
export EM_CACHE=$cache/emscripten-$version EM_FROZEN_CACHE=0
if [ ! -d "$EM_CACHE" ]; then
    rm -rf "$EM_CACHE.new"
    mkdir -p "$cache"
    cp -a /usr/share/emscripten/cache "$EM_CACHE.new"
    mv "$EM_CACHE.new" "$EM_CACHE"
fi
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

trees=build-web-trees
# The icons are drawn by the build machine's own rasterize tool.
buildHostRasterize $trees/host
webBuild() { # build cmake-options...
    emcmake cmake -S . -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
        -DPython3_EXECUTABLE=/usr/bin/python3 \
        -DTAZZLE_RASTERIZE="$rasterize" "${@:2}"
    cmake --build "$1"
}
webBuild $trees/web
rm -rf build-web
cmake --install $trees/web --prefix "$PWD/build-web" >/dev/null
ls -l build-web

if [ "$mode" = web-test ]; then
    ctest --test-dir $trees/web --output-on-failure --no-tests=error
    # A second build that differs, for the update a returning visitor meets.
    second=https://second.tazzle.example
    webBuild $trees/second -DTAZZLE_WEBSITE_URL=$second >/dev/null
    eval "$(cmake -P cmake/release.cmake)"
    tests/web/run.sh build-web "$TAZZLE_DEFAULT_WEBSITE_URL" $trees/second/web/site $second
fi
