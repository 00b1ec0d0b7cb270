#!/usr/bin/env bash
# Builds Tazzle's Debian source and binary packages with dpkg-buildpackage on the release this
# runs on, then checks them as Debian does: lintian (pedantic, with its informational tags),
# the package's own checks and piuparts (tests/dist/package.sh), and autopkgtest. The files
# land in build-package/<release>/. Run in a clean chroot of the release by
# tools/build.sh package. With --no-checks, only builds.
set -euo pipefail
cd "$(dirname "$0")/../.."
[ "$(id -u)" = 0 ] || { echo "$0 runs as root, in a chroot of its own" >&2; exit 2; }
. /etc/os-release
out=build-package/$VERSION_CODENAME

tools/install-missing.sh dpkg-dev debhelper lintian autopkgtest piuparts mmdebstrap \
    binutils xvfb xauth xdotool x11-utils imagemagick
apt-get build-dep -y --no-install-recommends ./ >/dev/null

# Built in a fixed place, so that nothing of where the checkout was reaches the packages.
version=$(dpkg-parsechangelog -S Version)
tree=/usr/src/tazzle-$version
rm -rf /usr/src/tazzle*
mkdir -p "$tree"
tar --exclude='./build*' --exclude=./release -cf - . | tar -xf - -C "$tree"
# Every file as old as the release, however old the checkout's copy is: dpkg keeps a file's own
# time where it is older than SOURCE_DATE_EPOCH.
epoch=${SOURCE_DATE_EPOCH:-$(dpkg-parsechangelog -S Timestamp)}
find "$tree" -exec touch --no-dereference --date="@$epoch" {} +
(cd "$tree" && dpkg-buildpackage --build=full --no-sign)
rm -rf "$out"
mkdir -p "$out"
mv /usr/src/tazzle_* /usr/src/tazzle-dbgsym_* "$out/"
ls -l "$out"
[ "${1:-}" != --no-checks ] || exit 0

echo "# lintian $(dpkg-query -W -f '${Version}' lintian), pedantic, with information"
lintian --pedantic --info "$out"/*.changes 2>&1 | tee "$out/lintian.txt"
# Every tag is fixed, or overridden with its reason.
! grep -E '^[EWIPX]: ' "$out/lintian.txt" || { echo "FAIL: lintian tags left" >&2; exit 1; }

bash tests/dist/package.sh "$out"/tazzle_"${version}"_*.deb

echo "# autopkgtest"
autopkgtest "$out"/tazzle_"${version}"_*.deb "$tree" -- null 2>&1 | tee "$out/autopkgtest.txt"
# The chroot stays as clean as it was made.
apt-get purge -y tazzle >/dev/null
apt-get autoremove -y --purge >/dev/null
