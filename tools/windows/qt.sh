#!/usr/bin/env bash
# Builds Qt for 64-bit Windows from this Debian release's own Qt source, cross-compiled with
# mingw-w64 against the system's Qt as host tools, and prints the install prefix. The build is
# kept under the cache and made again only when the Qt version, configure line, toolchain or
# compiler change. Debian's source builds as it is: no patches.
#   tools/windows/qt.sh            (used by tools/build.sh windows)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../lib.sh"

"$here/../install-missing.sh" qt6-base-dev qt6-base-dev-tools g++-mingw-w64-x86-64-posix \
    cmake ninja-build ccache dpkg-dev xz-utils >&2
version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
upstream=${version%%+*}

# Only what Tazzle uses: Core, Gui, Widgets and the windows platform, no styles or image
# plugins, none of the dialogs, widgets and document formats it never shows (the installed
# program must stay under 20 MB). Qt's own copies of the libraries that Windows does not have;
# no FreeType, as Windows draws text with DirectWrite. No tablet events: Debian
# removes Wacom's wintab header from the source (its licence forbids changes), and a pen then
# works as a mouse, which is all a click needs. No Direct2D 1.1: that only adds the direct2d
# platform plugin, which Tazzle does not ship (Direct2D itself stays on, or the DirectWrite
# font database does not build).
configure=(-release -optimize-size -shared -unity-build -nomake examples -nomake tests -no-opengl
    -no-dbus -no-icu -qt-zlib -qt-libpng -qt-harfbuzz -qt-pcre -no-freetype -no-libjpeg -no-gif
    -no-ico -no-feature-network -no-feature-sql -no-feature-xml -no-feature-testlib
    -no-feature-concurrent -no-feature-printsupport -no-feature-vulkan -no-feature-direct2d1_1
    -no-feature-tabletevent -no-feature-imageformatplugin -no-feature-style-windows11
    -no-feature-style-windowsvista -no-feature-style-fusion
    -no-feature-process -no-feature-sharedmemory -no-feature-systemsemaphore
    -no-feature-textodfwriter -no-feature-textmarkdownreader -no-feature-textmarkdownwriter
    -no-feature-movie -no-feature-pdf -no-feature-sessionmanager -no-feature-systemtrayicon
    -no-feature-filedialog -no-feature-colordialog -no-feature-fontdialog -no-feature-wizard
    -no-feature-mdiarea -no-feature-calendarwidget -no-feature-datetimeedit -no-feature-dockwidget
    -no-feature-toolbox -no-feature-undoview -no-feature-undogroup -no-feature-undostack
    -no-feature-columnview -no-feature-dial -no-feature-lcdnumber -no-feature-splashscreen
    -no-feature-textbrowser -no-feature-syntaxhighlighter
    -xplatform win32-g++ -qt-host-path /usr)
toolchain=$here/mingw.cmake
key=$( { echo "$version"; echo "${configure[*]}"; cat "$toolchain";
    dpkg-query -W -f='${Version}' g++-mingw-w64-x86-64-posix; } | sha256sum | cut -c1-16)
prefix=$cache/qt-windows-$upstream-$key
if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

work=$cache/qt-windows-build
rm -rf "$work" "$prefix"
mkdir -p "$work"
echo "# building Qt $upstream for Windows into $prefix (about 15 minutes on 2 cores)" >&2
"$here/../qt-source.sh" "$version" "$work" >&2

mkdir "$work/build"
export CCACHE_DIR=$cache/ccache
(cd "$work/build" && "$work/src/configure" -prefix "$prefix" "${configure[@]}" -- \
    -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/"$(dpkg-architecture -qDEB_HOST_MULTIARCH)"/cmake \
    -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >&2)
cmake --build "$work/build" --parallel "$(nproc)" >&2
cmake --install "$work/build" >&2
# What ships beside the Qt libraries must come with their licences.
cp -r "$work/src/LICENSES" "$prefix/LICENSES"
touch "$prefix/.complete"
rm -rf "$work"
# Builds for other keys are of no more use.
find "$cache" -maxdepth 1 -name 'qt-windows-*-*' ! -path "$prefix" -exec rm -rf {} +
echo "$prefix"
