#!/usr/bin/env bash
# Cross-builds Tazzle for 64-bit Windows and its installer into build-windows/, with the
# release's winget manifests (build-windows/winget/); with windows-test, then installs and plays
# it under Wine (tests/windows/wine.sh) and checks the manifests against winget's schemas.
#   tools/windows/build.sh windows|windows-test     (tools/build.sh windows|windows-test)
# TAZZLE_WINDOWS_CMAKE_OPTIONS: more options for the build's cmake, split at spaces.
# The shipped Qt is 6.8 LTS, built from Debian 13's source with Debian 13's tools: elsewhere
# this runs itself in a Debian 13 chroot and brings build-windows/ back.
set -euo pipefail
cd "$(dirname "$0")/../.."
mode=${1:?usage: $0 windows|windows-test}

# winget's own schemas, beside the checkout: what its community repository checks manifests by.
checkManifests() {
    tools/install-missing.sh python3-jsonschema python3-yaml
    local schemas=../shared/winget
    if [ ! -d "$schemas" ]; then
        [ "${CI:-}" = true ] && { echo "FAIL: no winget schemas in $schemas" >&2; exit 1; }
        echo "# skipped: no winget schemas in $schemas to check the manifests by"
        return
    fi
    /usr/bin/python3 tests/windows/manifests.py check "$schemas" build-windows/winget \
        build-windows/next/winget
}

. /etc/os-release
if [ "$VERSION_CODENAME" != trixie ]; then
    TAZZLE_BRING_BACK=build-windows tools/release-chroot.sh trixie ./tools/build.sh "$mode"
    [ "$mode" != windows-test ] || checkManifests
    exit
fi

packages=(cmake ninja-build g++ qt6-base-dev qt6-svg-dev nsis g++-mingw-w64-x86-64-posix
    osslsigncode python3-yaml)
if [ "$mode" = windows-test ]; then
    packages+=(wine wine64 xvfb xauth openbox xdotool wmctrl x11-utils imagemagick
        tesseract-ocr python3-pefile fonts-liberation2 binutils)
fi
tools/install-missing.sh "${packages[@]}"
source tools/lib.sh
qt=$(tools/windows/qt.sh)

out=build-windows
eval "$(cmake -P cmake/release.cmake)"
# The pictures are drawn by the build machine's own rasterize tool.
buildHostRasterize $out/host
# Cross-builds this tree into build and packs its installer there.
crossBuild() { # build cmake-options...
    cmake -S . -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
        -DCMAKE_TOOLCHAIN_FILE="$PWD/tools/windows/mingw.cmake" -DCMAKE_PREFIX_PATH="$qt" \
        -DQT_HOST_PATH=/usr \
        -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/"$(dpkg-architecture -qDEB_HOST_MULTIARCH)"/cmake \
        -DTAZZLE_RASTERIZE="$rasterize" ${TAZZLE_WINDOWS_CMAKE_OPTIONS:-} "${@:2}"
    cmake --build "$1"
    for scope in user machine; do
        (cd "$1" && TAZZLE_WINDOWS_SCOPE=$scope cpack -G NSIS)
    done
}
# The installers of the tree built in build, signed, and their manifests, into folder.
pack() { # build folder
    rm -rf "$2/winget" "$2"/*-setup.exe
    mv "$1"/*-setup.exe "$2/"
    [ -z "${TAZZLE_WINDOWS_CERT:-}" ] || tools/windows/sign.sh "$2"/*-setup.exe
    /usr/bin/python3 tools/windows/winget.py "$1/dist" "$2" \
        "${TAZZLE_DEFAULT_WEBSITE_URL%/}/$TAZZLE_DOWNLOADS" "$2/winget"
}
crossBuild $out/tazzle -DTAZZLE_BUILD_BENCH=$([ "$mode" = windows-test ] && echo ON || echo OFF)
pack $out/tazzle $out
ls -l $out/*-setup.exe

[ "$mode" != windows-test ] || tests/windows/wine.sh "$out" "$TAZZLE_DEFAULT_WEBSITE_URL"
