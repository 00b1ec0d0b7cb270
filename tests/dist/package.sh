#!/usr/bin/env bash
# The Debian package as built: its dependencies name Qt and the font, it holds the install tree
# and nothing outside /usr, apt resolves it on a system that has nothing installed yet, and
# piuparts installs, removes and purges it in a clean system of this release.
# Usage: package.sh tazzle_VERSION_ARCH.deb
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
deb=$(realpath "$1")
need lintian dpkg-deb apt-get objdump
. /etc/os-release

echo "# control fields and contents"
field() { dpkg-deb -f "$deb" "$1"; }
depends() { tr ',|' '\n\n' <<<"$(field Depends)" | awk '{print $1}' | grep -qx "$1"; }
# Each library the program links, by the package that holds it on this system (their names
# change between releases, libqt6core6 becoming libqt6core6t64), and the font it draws with.
dpkg -x "$deb" "$work/root"
desktop=$(echo "$work"/root/usr/share/applications/*.desktop)
appId=$(basename "$desktop" .desktop)
for library in $(objdump -p "$work/root/usr/games/tazzle" | awk '$1 == "NEEDED" {print $2}'); do
    holder=$(dpkg -S "*/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/$library" 2>/dev/null |
        head -n1 | cut -d: -f1) || true
    [ -n "$holder" ] || fail "no installed package holds $library"
    depends "$holder" || fail "Depends lacks $holder, which holds $library"
done
depends fonts-liberation2 || fail "Depends lacks fonts-liberation2"
[ "$(field Recommends)" = "qt6-wayland, xdg-utils" ] || fail "Recommends: $(field Recommends)"
[ "$(field Section)" = games ] || fail "Section: $(field Section)"
dpkg-deb -c "$deb" | awk '{print $6}' | tee "$work/contents" | sed 's/^/  /'
for path in usr/games/tazzle "usr/share/applications/$appId.desktop" \
    "usr/share/metainfo/$appId.metainfo.xml" "usr/share/icons/hicolor/16x16/apps/$appId.png" \
    "usr/share/icons/hicolor/scalable/apps/$appId.svg" usr/share/man/man6/tazzle.6.gz \
    usr/share/doc/tazzle/copyright usr/share/doc/tazzle/changelog.Debian.gz; do
    grep -qx "./$path" "$work/contents" || fail "$path is not in the package"
done
! grep -v -e "^./usr/" -e "^./$" "$work/contents" || fail "files outside /usr"
! grep -q "usr/share/doc/tazzle/LICENSE" "$work/contents" || fail "a second licence file"

echo "# apt resolves it from nothing installed"
: >"$work/status"
apt-get install --simulate -o Dir::State::status="$work/status" "$deb" >"$work/apt.log" 2>&1 ||
    fail "apt cannot resolve it: $(tail -n 20 "$work/apt.log")"
for package in tazzle libqt6widgets6 libqt6svg6 fonts-liberation2; do
    grep -q "^Inst $package " "$work/apt.log" || fail "apt would not install $package"
done

echo "# piuparts: it installs, removes and purges cleanly on a clean $VERSION_CODENAME"
[ "$(id -u)" = 0 ] || fail "piuparts needs root"
need piuparts mmdebstrap unshare
mirror=$("$(dirname "$0")/../../tools/debian-mirror.sh")
# A bare system of this release to start from, made once.
source "$(dirname "$0")/../../tools/lib.sh"
base=$cache/piuparts-$VERSION_CODENAME.tar.gz
# With no descriptors but the standard three: mmdebstrap hands apt the next free one for a
# hook that dash runs, and dash cannot name one above 9.
makeBase() (
    for fd in /proc/$BASHPID/fd/*; do
        fd=${fd##*/}
        if [ "$fd" -gt 2 ]; then eval "exec $fd>&-"; fi
    done
    exec mmdebstrap --variant=minbase "$VERSION_CODENAME" "$base.new.tar.gz" "$mirror" \
        </dev/null >"$work/base.log" 2>&1
)
if [ ! -s "$base" ]; then
    mkdir -p "$(dirname "$base")"
    makeBase || fail "no base system: $(tail -n 25 "$work/base.log")"
    mv "$base.new.tar.gz" "$base"
fi
# Its mounts go with it, also when it is interrupted.
unshare --mount --propagation private piuparts --tmpdir "$work" -d "$VERSION_CODENAME" \
    --mirror "$mirror main" -b "$base" "$deb" >"$work/piuparts.log" 2>&1 ||
    fail "piuparts: $(grep -E " (FAIL|ERROR):" "$work/piuparts.log" | tail -n 20)"
grep "PASS:" "$work/piuparts.log" | tail -n1
echo PASS
