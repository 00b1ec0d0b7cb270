#!/usr/bin/env bash
# Installs what is missing (Debian 12 or 13), builds, then runs Tazzle or every test.
#   tools/build.sh run    build and start Tazzle
#   tools/build.sh test   build and run every test, also under AddressSanitizer and UBSan
#   tools/build.sh package [release...]   build and check the Debian packages, each in a clean
#                          chroot of its release (default: Debian 12 and 13), into build-package/
#   tools/build.sh windows   build Tazzle for Windows and its installer into build-windows/
#   tools/build.sh windows-test   the same, then install and play it under Wine
#   tools/build.sh web      build Tazzle as a web page into build-web/
#   tools/build.sh web-test   the same, then play it in Chromium, Firefox and WebKit
#   tools/build.sh release   all of these for this commit, with checksums, into release/
set -euo pipefail
cd "$(dirname "$0")/.."

mode=${1:-}
case $mode in
run | test) ;;
package) exec tools/debian/build.sh "${@:2}" ;;
release) exec tools/release.sh ;;
windows | windows-test) exec tools/windows/build.sh "$mode" ;;
web | web-test) exec tools/web/build.sh "$mode" ;;
*) echo "usage: $0 run|test|package|windows|windows-test|web|web-test|release" >&2; exit 2 ;;
esac

packages=(cmake g++ make qt6-base-dev qt6-svg-dev qt6-qpa-plugins qt6-wayland libgl-dev
    fonts-liberation2)
if [ "$mode" = test ]; then
    packages+=(xvfb xauth openbox xdotool wmctrl x11-utils imagemagick python3 libxfixes3
        desktop-file-utils appstream man-db dpkg-dev binutils-mingw-w64-x86-64
        gcc-mingw-w64-x86-64 python3-pefile dbus at-spi2-core python3-pyatspi orca sway grim
        dbus-x11)
fi
tools/install-missing.sh "${packages[@]}"

jobs=$(nproc)
build() { # build-dir cmake-options...
    cmake -S . -B "$1" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${@:2}"
    cmake --build "$1" --parallel "$jobs"
}

if [ "$mode" = run ]; then
    build build -DBUILD_TESTING=OFF
    if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]; then
        echo "Tazzle is built, but there is no display here to show it on."
        echo "To try it without one: xvfb-run -a $0 run   (apt-get install xvfb)"
        exit 1
    fi
    exec build/tazzle
fi

# The sanitized run first, so that the summary of the plain run ends the output.
build build-sanitize -DTAZZLE_SANITIZE=ON -DBUILD_TESTING=ON
# LeakSanitizer too; the end-to-end runs that close the window the usual way run here as well.
# Full stacks, so that each suppression can name the Qt function that owns its leak.
export ASAN_OPTIONS=detect_leaks=1:fast_unwind_on_malloc=0
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:fast_unwind_on_malloc=0
export UBSAN_OPTIONS=print_stacktrace=1
ctest --test-dir build-sanitize --output-on-failure --no-tests=error --label-exclude system
ctest --test-dir build-sanitize --output-on-failure --no-tests=error --label-regex sanitized
unset ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS
build build -DBUILD_TESTING=ON
ctest --test-dir build --output-on-failure --no-tests=error
