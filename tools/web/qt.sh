#!/usr/bin/env bash
# Builds Qt for WebAssembly from this Debian release's own Qt source with its own Emscripten,
# against the system's Qt as host tools, and prints the install prefix. The build is kept under
# the cache and made again only when the Qt version, the Emscripten version or the configure
# line change. Debian's source builds as it is: no patches.
#   tools/web/qt.sh       (used by tools/build.sh web; tools/web/env.sh sets up Emscripten)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cache=${TAZZLE_CACHE:-/var/cache/tazzle}

"$here/../install-missing.sh" qt6-base-dev qt6-base-dev-tools emscripten cmake ninja-build \
    dpkg-dev xz-utils >&2
. "$here/env.sh"
version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
upstream=${version%%+*}

# Static, as WebAssembly has no shared libraries; single-threaded, so that a plain web server
# can serve the page (threads need cross-origin isolation headers). Only Core, Gui and Widgets:
# no network, databases, XML, test library, threads pool or printing. OpenGL stays: the Widgets
# backing store needs it, though widgets paint into a 2D canvas.
configure=(-release -static -unity-build -nomake examples -nomake tests -no-dbus -no-icu
    -no-feature-network -no-feature-sql -no-feature-xml -no-feature-testlib
    -no-feature-concurrent -no-feature-printsupport
    -xplatform wasm-emscripten -qt-host-path /usr)
key=$( { echo "$version"; echo "$TAZZLE_EMSCRIPTEN_VERSION"; echo "${configure[*]}"; } |
    sha256sum | cut -c1-16)
prefix=$cache/qt-web-$upstream-$key
if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

work=$cache/qt-web-build
rm -rf "$work" "$prefix"
mkdir -p "$work"
echo "# building Qt $upstream for WebAssembly into $prefix (about 15 minutes on 2 cores)" >&2
"$here/../qt-source.sh" "$version" "$work" >&2

mkdir "$work/build"
(cd "$work/build" && "$work/src/configure" -prefix "$prefix" "${configure[@]}" -- -G Ninja \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/"$(dpkg-architecture -qDEB_HOST_MULTIARCH)"/cmake >&2)
cmake --build "$work/build" --parallel "$(nproc)" >&2
cmake --install "$work/build" >&2
# What is compiled into the page must come with its licences.
cp -r "$work/src/LICENSES" "$prefix/LICENSES"
touch "$prefix/.complete"
rm -rf "$work"
# Builds for other keys are of no more use.
find "$cache" -maxdepth 1 -name 'qt-web-*-*' ! -path "$prefix" -exec rm -rf {} +
echo "$prefix"
