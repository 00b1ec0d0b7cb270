#!/usr/bin/env bash
# Builds tazzle-archive-keyring_<version>_all.deb into out-dir: the keys that TAZZLE_GPG_KEY
# names (separated by spaces) as /usr/share/keyrings/tazzle-archive-keyring.pgp, the file that
# the repository's sources files name, with dpkg-buildpackage from dist/keyring/ and checked
# with lintian (unless TAZZLE_PACKAGE_CHECKS=no). Its changelog entry names the keys and is
# dated SOURCE_DATE_EPOCH, so the same keys and version give the same bytes.
#   tools/debian/keyring.sh out-dir version    (tools/debian/repository.sh)
set -euo pipefail
[ $# = 2 ] && [ -n "${TAZZLE_GPG_KEY:-}" ] ||
    { echo "usage: TAZZLE_GPG_KEY=... $0 out-dir version" >&2; exit 2; }
out=$1 version=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
"$root/tools/install-missing.sh" dpkg-dev debhelper gnupg
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tree=$work/tazzle-archive-keyring-$version
cp -r "$root/dist/keyring" "$tree"
# shellcheck disable=SC2086 # one word per key
gpg --export --export-options export-minimal $TAZZLE_GPG_KEY >"$tree/tazzle-archive-keyring.pgp"
keys=$(python3 "$root/tools/sitetree.py" keys "$tree/tazzle-archive-keyring.pgp")
[ "$(wc -w <<<"$keys")" = "$(wc -w <<<"$TAZZLE_GPG_KEY")" ] ||
    { echo "not one public key for each of $TAZZLE_GPG_KEY" >&2; exit 1; }
epoch=${SOURCE_DATE_EPOCH:-$(date +%s)}
{
    printf 'tazzle-archive-keyring (%s) unstable; urgency=medium\n\n' "$version"
    printf '  * The keys that sign the repository of Tazzle %s:\n' "$version"
    printf '    %s\n' $keys
    printf '\n -- %s  %s\n' "$(cd "$tree" && dpkg-parsechangelog -l "$root/debian/changelog" \
        -S Maintainer)" "$(LC_ALL=C date -u -R -d "@$epoch")"
} >"$tree/debian/changelog"
find "$tree" -exec touch -h -d "@$epoch" {} +
(cd "$tree" && SOURCE_DATE_EPOCH=$epoch dpkg-buildpackage -b -uc -us --no-check-builddeps \
    >"$work/build.log" 2>&1) || { cat "$work/build.log" >&2; exit 1; }
mkdir -p "$out"
deb=tazzle-archive-keyring_${version}_all.deb
cp "$work/$deb" "$out/"
if [ "${TAZZLE_PACKAGE_CHECKS:-yes}" != no ]; then
    "$root/tools/install-missing.sh" lintian
    # No tag at all, as for Tazzle's own packages.
    tags=$(lintian --pedantic --info --fail-on none "$work"/*.changes 2>&1 |
        grep -v '^running with root privileges' || true)
    [ -z "$tags" ] || { echo "lintian on $deb: $tags" >&2; exit 1; }
    echo "# lintian $(dpkg-query -W -f '${Version}' lintian), pedantic, with information: $deb"
fi
