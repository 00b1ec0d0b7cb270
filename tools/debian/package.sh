#!/usr/bin/env bash
# Builds Tazzle's Debian source and binary packages with dpkg-buildpackage on the release this
# runs on, as a distributor does: the upstream tarball (build-package/tazzle_<version>.orig.tar.xz,
# made by tools/debian/build.sh) with this checkout's debian/. The build is this release's own:
# an entry of version ~deb<N>u1 goes above the changelog's, so that a system upgraded to the next
# Debian release moves to that release's build. Then checks them as Debian does: lintian (pedantic, with its
# informational tags), the package's own checks and piuparts (tests/dist/package.sh), and
# autopkgtest. The files land in build-package/<release>/. Run in a clean chroot of the release
# by tools/build.sh package. With --no-checks, only builds (and runs no test at build time); with
# --lintian-only, builds so and checks with lintian alone.
set -euo pipefail
cd "$(dirname "$0")/../.."
[ "$(id -u)" = 0 ] || { echo "$0 runs as root, in a chroot of its own" >&2; exit 2; }
. /etc/os-release
out=build-package/$VERSION_CODENAME
case ${1:-} in
--no-checks) checks=no ;;
--lintian-only) checks=lintian ;;
*) checks=yes ;;
esac

tools/install-missing.sh dpkg-dev debhelper lintian autopkgtest piuparts mmdebstrap \
    binutils xvfb xauth xdotool x11-utils imagemagick
apt-get build-dep -y --no-install-recommends ./ >/dev/null

upstream=$(dpkg-parsechangelog -S Version | sed -e 's/^[0-9]*://' -e 's/-[^-]*$//')
orig=build-package/tazzle_$upstream.orig.tar.xz
[ -f "$orig" ] || { echo "no upstream tarball $orig (tools/debian/build.sh makes it)" >&2; exit 1; }
version=$(dpkg-parsechangelog -S Version)~deb${VERSION_ID}u1

# Built in a fixed place, so that nothing of where the checkout was reaches the packages.
tree=/usr/src/tazzle-$upstream
rm -rf /usr/src/tazzle*
mkdir -p "$tree"
cp "$orig" /usr/src/
tar -xf "$orig" -C "$tree" --strip-components=1
cp -a debian "$tree/debian"
# This release's build gets an entry of its own above the release's, as Debian's backports do,
# dated when the release is made (the commit) and after the release's own entry.
released=$(dpkg-parsechangelog -S Timestamp)
epoch=${SOURCE_DATE_EPOCH:-$((released + 1))}
[ "$epoch" -gt "$released" ] || epoch=$((released + 1))
{
    printf 'tazzle (%s) %s; urgency=medium\n\n' "$version" "$VERSION_CODENAME"
    printf '  * Built for Debian %s (%s).\n\n' "$VERSION_ID" "$VERSION_CODENAME"
    printf ' -- %s  %s\n\n' "$(dpkg-parsechangelog -S Maintainer)" \
        "$(LC_ALL=C date -u -R -d "@$epoch")"
    cat debian/changelog
} >"$tree/debian/changelog"
# Every file as old as the release, however old the checkout's copy is: dpkg keeps a file's own
# time where it is older than SOURCE_DATE_EPOCH.
find "$tree" -exec touch --no-dereference --date="@$epoch" {} +
options=
[ $checks = yes ] || options=nocheck
(cd "$tree" &&
    DEB_BUILD_OPTIONS=$options dpkg-buildpackage --build=full --no-sign --jobs-try=auto) 2>&1 |
    tee /usr/src/build.log
rm -rf "$out"
mkdir -p "$out"
mv /usr/src/tazzle_* /usr/src/tazzle-dbgsym_* /usr/src/build.log "$out/"
ls -l "$out"
[ $checks != no ] || exit 0

if [ $checks = yes ]; then
    echo "# the tests at build time"
    grep -E "^[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+" "$out/build.log" ||
        { echo "FAIL: the package build ran no test" >&2; exit 1; }
fi

echo "# lintian $(dpkg-query -W -f '${Version}' lintian), pedantic, with information"
lintian --pedantic --info "$out"/*.changes 2>&1 | tee "$out/lintian.txt"
# Every tag is fixed, or overridden with its reason.
! grep -E '^[EWIPX]: ' "$out/lintian.txt" || { echo "FAIL: lintian tags left" >&2; exit 1; }
[ $checks = yes ] || exit 0

bash tests/dist/package.sh "$out"/tazzle_"${version}"_*.deb

echo "# autopkgtest"
autopkgtest "$out"/tazzle_"${version}"_*.deb "$tree" -- null 2>&1 | tee "$out/autopkgtest.txt"
# The chroot stays as clean as it was made.
apt-get purge -y tazzle >/dev/null
apt-get autoremove -y --purge >/dev/null
