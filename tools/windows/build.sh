#!/usr/bin/env bash
# Cross-builds Tazzle for 64-bit Windows and its installer into build-windows/; with
# windows-test, then installs and plays it under Wine (tests/windows/wine.sh).
#   tools/windows/build.sh windows|windows-test     (tools/build.sh windows|windows-test)
# The shipped Qt is 6.8 LTS, built from Debian 13's source with Debian 13's tools: elsewhere
# this runs itself in a Debian 13 chroot and brings build-windows/ back.
set -euo pipefail
cd "$(dirname "$0")/../.."
mode=${1:?usage: $0 windows|windows-test}

. /etc/os-release
if [ "$VERSION_CODENAME" != trixie ]; then
    TAZZLE_BRING_BACK=build-windows exec tools/release-chroot.sh trixie \
        ./tools/build.sh "$mode"
fi

packages=(cmake ninja-build g++ qt6-base-dev qt6-svg-dev nsis g++-mingw-w64-x86-64-posix
    osslsigncode)
if [ "$mode" = windows-test ]; then
    packages+=(wine wine64 xvfb xauth openbox xdotool wmctrl x11-utils imagemagick
        tesseract-ocr python3-pefile fonts-liberation2 binutils)
fi
tools/install-missing.sh "${packages[@]}"
source tools/lib.sh
qt=$(tools/windows/qt.sh)

out=build-windows
# The pictures are drawn by the build machine's own rasterize tool.
buildHostRasterize $out/host
# Cross-builds the tree at source into build and packs its installer there.
crossBuild() { # source build cmake-options...
    cmake -S "$1" -B "$2" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAZZLE_BUILD_TESTS=OFF \
        -DCMAKE_TOOLCHAIN_FILE="$PWD/tools/windows/mingw.cmake" -DCMAKE_PREFIX_PATH="$qt" \
        -DQT_HOST_PATH=/usr \
        -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/"$(dpkg-architecture -qDEB_HOST_MULTIARCH)"/cmake \
        -DTAZZLE_RASTERIZE="$rasterize" "${@:3}"
    cmake --build "$2"
    (cd "$2" && cpack -G NSIS)
}
rm -f $out/*.exe
crossBuild . $out/tazzle -DTAZZLE_BUILD_BENCH=$([ "$mode" = windows-test ] && echo ON || echo OFF)
mv $out/tazzle/*-setup.exe $out/
[ -z "${TAZZLE_WINDOWS_CERT:-}" ] || tools/windows/sign.sh $out/*-setup.exe
ls -l $out/*-setup.exe

if [ "$mode" = windows-test ]; then
    # An earlier version to upgrade from: this tree as version 0.9, with one file more.
    earlier=$out/earlier
    rm -rf "$earlier"
    mkdir -p "$earlier/source"
    tar --exclude=./build --exclude='./build-*' --exclude=./release -cf - . |
        tar -xf - -C "$earlier/source"
    sed -i 's/^set(TAZZLE_VERSION [0-9.]*)/set(TAZZLE_VERSION 0.9.0)/' \
        "$earlier/source/cmake/release.cmake"
    echo 'install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION . RENAME stale.txt)' \
        >>"$earlier/source/dist/windows.cmake"
    crossBuild "$earlier/source" "$earlier/build" >/dev/null
    eval "$(cmake -P cmake/release.cmake)"
    tests/windows/wine.sh "$out" "$(echo "$earlier"/build/*-setup.exe)" "$TAZZLE_DEFAULT_WEBSITE_URL"
fi
