#!/usr/bin/env bash
# debian/ as distributors take it: the upstream tarball with this checkout's debian/, the
# changelog's latest entry given each of Debian's and Ubuntu's usual revisions, builds with
# dpkg-buildpackage, and lintian (pedantic, with its informational tags) finds nothing. Built with
# DEB_BUILD_OPTIONS=nocheck, which must skip the tests the package runs at build time.
# Usage: tests/release/downstream.sh   (as root in a chroot of the release: tools/release-chroot.sh,
# with build-package/tazzle_<version>.orig.tar.xz brought in)
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
cd "$(dirname "$0")/../.."
[ "$(id -u)" = 0 ] || fail "$0 runs as root, in a chroot of its own"
tools/install-missing.sh dpkg-dev debhelper lintian
apt-get build-dep -y --no-install-recommends ./ >/dev/null
need dpkg-buildpackage lintian
upstream=$(dpkg-parsechangelog -S Version | sed -e 's/^[0-9]*://' -e 's/-[^-]*$//')
orig=$(realpath "build-package/tazzle_$upstream.orig.tar.xz")

for revision in 1 0ubuntu1 1~deb12u1; do
    version=$upstream-$revision
    echo "# $version"
    rm -rf "$work/build"
    mkdir -p "$work/build/tazzle-$upstream"
    cp "$orig" "$work/build/"
    tar -xf "$orig" -C "$work/build/tazzle-$upstream" --strip-components=1
    cp -a debian "$work/build/tazzle-$upstream/"
    sed -i "1s/([^)]*)/($version)/" "$work/build/tazzle-$upstream/debian/changelog"
    (cd "$work/build/tazzle-$upstream" &&
        DEB_BUILD_OPTIONS=nocheck dpkg-buildpackage --no-sign --jobs-try=auto) \
        >"$work/build.log" 2>&1 || fail "$version does not build: $(tail -n 30 "$work/build.log")"
    ls "$work/build" | grep -E "^tazzle.*$version" | sed 's/^/  /'
    ! grep -E "tests passed|Test project" "$work/build.log" || fail "nocheck ran the tests"
    lintian --pedantic --info "$work/build"/*.changes >"$work/lintian.txt" 2>&1 || true
    sed 's/^/  lintian: /' "$work/lintian.txt"
    ! grep -qE '^[EWIPX]: ' "$work/lintian.txt" || fail "lintian finds fault with $version"
done
echo PASS
