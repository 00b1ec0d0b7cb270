#!/usr/bin/env bash
# Builds Tazzle for the web into build-web/, a folder that any web server can serve as it is;
# with web-test, then plays the page in Chromium (tests/web/run.sh).
#   tools/web/build.sh web|web-test     (tools/build.sh web|web-test)
# Qt and Emscripten are Debian 13's: elsewhere this runs itself in a Debian 13 chroot and
# brings build-web/ back.
set -euo pipefail
cd "$(dirname "$0")/../.."
mode=${1:?usage: $0 web|web-test}

. /etc/os-release
if [ "$VERSION_CODENAME" != trixie ]; then
    TAZZLE_BRING_BACK=build-web exec tools/release-chroot.sh trixie ./tools/build.sh "$mode"
fi

packages=(cmake ninja-build g++ qt6-base-dev qt6-svg-dev emscripten fonts-liberation2 brotli
    gzip ccache)
if [ "$mode" = web-test ]; then
    packages+=(chromium nodejs npm tesseract-ocr imagemagick python3 fonts-dejavu-core)
fi
tools/install-missing.sh "${packages[@]}"
qt=$(tools/web/qt.sh)
. tools/web/env.sh

trees=build-web-trees
# ccache keeps the compiles of earlier runs: each run starts from a fresh copy of the sources.
export CCACHE_DIR=${TAZZLE_CACHE:-/var/cache/tazzle}/ccache
# The pictures are drawn by the build machine's own rasterize tool.
cmake -S . -B $trees/host -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAZZLE_BUILD_TESTS=OFF \
    -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >/dev/null
cmake --build $trees/host --target rasterize
"$qt/bin/qt-cmake" -S . -B $trees/web -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DTAZZLE_BUILD_TESTS=OFF -DQT_HOST_PATH=/usr -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/"$(dpkg-architecture -qDEB_HOST_MULTIARCH)"/cmake \
    -DTAZZLE_RASTERIZE="$PWD/$trees/host/tools/rasterize/rasterize" \
    -DTAZZLE_BUILD_BENCH=$([ "$mode" = web-test ] && echo ON || echo OFF)
cmake --build $trees/web
rm -rf build-web $trees/bench-page
# Compressing takes the longest: the bare window's page alongside.
cmake --install $trees/web --prefix "$PWD/build-web" &
page=$!
if [ "$mode" = web-test ]; then
    cmake --install $trees/web --component bench --prefix "$PWD/$trees/bench-page" >/dev/null
fi
wait $page
ls -l build-web

if [ "$mode" = web-test ]; then
    website=$(sed -n 's/^TAZZLE_WEBSITE_URL:STRING=//p' $trees/web/CMakeCache.txt)
    tests/web/run.sh build-web $trees/bench-page "$website"
fi
