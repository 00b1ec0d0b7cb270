#!/usr/bin/env bash
# Builds the release of this commit a second time, in a fresh clone in another folder and at
# another time (signed as release/ was, from the same environment), and compares it with
# release/ file by file; all but the signatures (of the checksums and of the apt repository's
# Release files), which are made at signing time, and the site's manifest, which signs them.
# Where two files differ, diffoscope shows where, and this fails.
#   tools/reproducible.sh      (after tools/build.sh release)
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f release/SHA256SUMS ] || { echo "no release/ to compare with: tools/build.sh release" >&2; exit 1; }
tools/install-missing.sh diffoscope-minimal
[ -z "$(git status --porcelain --untracked-files=no)" ] ||
    { echo "the checkout has changes that a clone would not: commit them first" >&2; exit 1; }
work=$(mktemp -d /var/tmp/tazzle-again.XXXXXX)
trap 'rm -rf "$work"' EXIT
git clone -q . "$work/elsewhere"
# The packages' checks and their tests at build time ran on the first build.
(cd "$work/elsewhere" && TAZZLE_PACKAGE_CHECKS=no ./tools/build.sh release)
signatures=(-x SHA256SUMS.asc -x InRelease -x Release.gpg -x manifest.txt)
if diff -r "${signatures[@]}" release "$work/elsewhere/release" >"$work/diff.txt"; then
    echo "# reproducible: every file of release/ built again to the same bytes"
    (cd release && find . -type f | LC_ALL=C sort | wc -l) | sed 's/^/files: /'
    exit 0
fi
cat "$work/diff.txt"
(cd release && find . -type f ! -name SHA256SUMS.asc ! -name InRelease ! -name Release.gpg \
    ! -name manifest.txt -printf '%P\n' | LC_ALL=C sort) |
while read -r file; do
    cmp -s "release/$file" "$work/elsewhere/release/$file" && continue
    echo "# $file differs"
    diffoscope --no-progress --text - "release/$file" "$work/elsewhere/release/$file" | head -n 150 || true
done
exit 1
