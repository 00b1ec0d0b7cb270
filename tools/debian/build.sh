#!/usr/bin/env bash
# Builds and checks the Debian packages in a clean chroot of each release, made and kept by
# tools/release-chroot.sh (tools/debian/package.sh does the work there), into
# build-package/<release>/, from the upstream tarball that git makes of the commit.
#   tools/debian/build.sh [bookworm|trixie...]     (tools/build.sh package; default: both)
set -euo pipefail
cd "$(dirname "$0")/../.."
releases=("$@")
[ ${#releases[@]} -gt 0 ] || releases=(bookworm trixie)
tools/install-missing.sh cmake git xz-utils
# Every date in the packages is the commit's (without git, dpkg takes the changelog's).
if [ -z "${SOURCE_DATE_EPOCH:-}" ] && git rev-parse --git-dir >/dev/null 2>&1; then
    SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
    export SOURCE_DATE_EPOCH
fi

# The upstream tarball: the commit less its packaging, the same bytes wherever it is made. Changes
# not yet committed go in too (as a commit of their own that git keeps nowhere), to be tried.
eval "$(cmake -P cmake/release.cmake)"
version=$TAZZLE_VERSION
orig=build-package/tazzle_$version.orig.tar.xz
commit=$(git stash create)
mkdir -p build-package
git archive --format=tar --prefix="tazzle-$version/" "${commit:-HEAD}" -- . ':(exclude)debian' |
    xz -9 --threads=1 >"$orig.new"
mv "$orig.new" "$orig"

# TAZZLE_PACKAGE_CHECKS=no builds without checking (a second build, to compare bytes); =lintian
# checks with lintian alone (a build whose binaries are checked already, in a new version).
checks=()
case ${TAZZLE_PACKAGE_CHECKS:-yes} in
no) checks=(--no-checks) ;;
lintian) checks=(--lintian-only) ;;
esac
for release in "${releases[@]}"; do
    TAZZLE_BRING_IN=$orig TAZZLE_BRING_BACK=build-package/$release \
        tools/release-chroot.sh "$release" tools/debian/package.sh "${checks[@]}"
done
