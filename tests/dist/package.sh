#!/usr/bin/env bash
# The Debian package: lintian finds nothing to warn of, its dependencies name Qt and the font,
# apt resolves it on a system that has nothing installed yet, and the program unpacked from it
# shows its window under a real X server. Usage: package.sh build-dir app-id
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
build=$1 appId=$2
need cpack lintian dpkg-deb dpkg-shlibdeps apt-get Xvfb xdotool xwininfo

echo "# build"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" ||
    fail "cpack: $(cat "$work/cpack.log")"
deb=$(echo "$work"/tazzle_*.deb)
[ -f "$deb" ] || fail "no package in $work"

echo "# lintian"
lintian --info "$deb" 2>&1 | tee "$work/lintian.log" | grep -v "running with root" || true
! grep -E "^(E|W): " "$work/lintian.log" || fail "lintian has errors or warnings"

echo "# control fields and contents"
field() { dpkg-deb -f "$deb" "$1"; }
for dependency in libqt6widgets6 libqt6gui6 libqt6svg6 libqt6core6 fonts-liberation2; do
    grep -qw "$dependency" <<<"$(field Depends)" || fail "Depends lacks $dependency"
done
[ "$(field Recommends)" = "xdg-utils, qt6-wayland" ] || fail "Recommends: $(field Recommends)"
[ "$(field Section)" = games ] || fail "Section: $(field Section)"
dpkg-deb -c "$deb" | awk '{print $6}' | tee "$work/contents" | sed 's/^/  /'
for path in usr/games/tazzle "usr/share/applications/$appId.desktop" \
    "usr/share/metainfo/$appId.metainfo.xml" "usr/share/icons/hicolor/16x16/apps/$appId.png" \
    "usr/share/icons/hicolor/scalable/apps/$appId.svg" usr/share/man/man6/tazzle.6.gz \
    usr/share/doc/tazzle/copyright usr/share/doc/tazzle/changelog.gz; do
    grep -qx "./$path" "$work/contents" || fail "$path is not in the package"
done
! grep -v "^./usr/" "$work/contents" || fail "files outside /usr"

echo "# apt resolves it from nothing installed"
: >"$work/status"
apt-get install --simulate -o Dir::State::status="$work/status" "$deb" >"$work/apt.log" 2>&1 ||
    fail "apt cannot resolve it: $(tail -n 20 "$work/apt.log")"
for package in tazzle libqt6widgets6 libqt6svg6 fonts-liberation2; do
    grep -q "^Inst $package " "$work/apt.log" || fail "apt would not install $package"
done

echo "# the unpacked program shows its window"
dpkg -x "$deb" "$work/root"
startX 800x600x24
mkdir -m 700 "$work/runtime"
HOME=$work XDG_RUNTIME_DIR=$work/runtime "$work/root/usr/games/tazzle" &
pids+=($!)
wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Tazzle - Random dare generator$' |
    head -n1) || fail "no window appeared"
xwininfo -id "$wid" | grep -q "Width: 533" || fail "the window is not 533 wide"
echo PASS
