#!/usr/bin/env bash
# Writes a site's manifest.txt: its version, then every other file of the site with its SHA-256,
# as sha256sum lists them; clear-signed with each key TAZZLE_GPG_KEY names (separated by spaces),
# when it names any. tools/publish.sh puts no file live that it does not list.
#   tools/web/seal.sh <site folder> <version>     (tools/web/site.sh, after the site's files)
set -euo pipefail
[ $# = 2 ] && [ -d "$1" ] || { echo "usage: $0 <site folder> <version>" >&2; exit 2; }
site=$1 version=$2
manifest=$site/manifest.txt
rm -f "$manifest"
list=$(mktemp)
trap 'rm -f "$list"' EXIT
{
    echo "Version: $version"
    (cd "$site" && find . -type f -printf '%P\0' | LC_ALL=C sort -z | xargs -0 sha256sum)
} >"$list"
keys=()
for key in ${TAZZLE_GPG_KEY:-}; do keys+=(--local-user "$key"); done
if [ ${#keys[@]} -gt 0 ]; then
    gpg --batch --yes "${keys[@]}" --digest-algo SHA512 --clearsign --output "$manifest" "$list"
else
    cat "$list" >"$manifest"
fi
