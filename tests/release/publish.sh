#!/usr/bin/env bash
# Publishing a release breaks no one in flight. release/ (N) and the next release of this tree
# (N+1) are published with tools/publish.sh at a web root that the shipped nginx configuration
# serves over HTTPS, behind the test's own proxy, which can hold the clients at a chosen moment
# (inflight.py):
# - a copy of N made by hand (the deploy of old) is taken over and kept as the release before;
# - a reader fetching the pages, InRelease and what each names while N+1 goes live meets no
#   404 and no file other than what names it; N's pages and what they name still answer after;
# - publishing N+1 again changes nothing; N again is a rollback, and needs --rollback;
# - in Chromium, the game's worker installs while N+1 goes live: its cache holds one release,
#   and the game plays from it offline;
# - a third release (N+1 under the next version) drops what only N had, but N's downloads: the
#   installers that N's and N+1's winget manifests name answer with the bytes they name;
# - bad input is refused with its error, and the tree stays as it was, byte for byte.
# Usage: tests/release/publish.sh <the next release's folder>   (after release.sh made both;
#        as root)
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
here=$(cd "$(dirname "$0")" && pwd)
cd "$here/../.."
[ -f "${1:-}/site/index.html" ] && [ -f release/site/index.html ] ||
    fail "usage: $0 <the next release's folder>, after tools/build.sh release"
tools/install-missing.sh nginx-light libnginx-mod-http-brotli-static openssl curl python3 \
    python3-yaml gpgv chromium libnss3-tools
need nginx openssl curl python3 gpgv chromium certutil
source tests/site/served.sh
old=$(realpath release/site) new=$(realpath "$1/site")
versionOf() { basename "$(echo "$1"/download/*/)"; }
oldVersion=$(versionOf "$old") newVersion=$(versionOf "$new")
echo "# N is $oldVersion, N+1 is $newVersion"
[ "$oldVersion" = "$TAZZLE_VERSION" ] && [ "$newVersion" != "$oldVersion" ] ||
    fail "not two releases of this tree: $oldVersion and $newVersion"

www=$work/www
webroot=$www/tazzle
mkdir -p "$www"
serveSite "$webroot" 8443
startProxy
status() { fetch --output /dev/null --write-out '%{http_code}' "$url/$1"; }
publish() { tools/publish.sh "$@" 2>&1 | sed 's/^/    /'; }
# The web root and everything beside it, names, links and bytes.
tree() {
    (cd "$www" && find . -printf '%p %y %l %s\n' | LC_ALL=C sort &&
        find . -type f -print0 | LC_ALL=C sort -z | xargs -0 sha256sum) | sha256sum
}
refused() { # what words site... (publish's own options among them)
    local what=$1 words=$2 before
    shift 2
    before=$(tree)
    if tools/publish.sh "$@" >"$work/refused.txt" 2>&1; then fail "published $what"; fi
    grep -q "$words" "$work/refused.txt" ||
        fail "$what: not refused as expected: $(cat "$work/refused.txt")"
    [ "$(tree)" = "$before" ] || fail "refusing $what changed the web root"
    echo "refused $what, the tree unchanged: $(cat "$work/refused.txt")"
}
serves() { # version: the pages and InRelease of that release are what is served
    local site=$old
    [ "$1" = "$oldVersion" ] || site=$new
    fetch "$url/" | cmp -s - "$site/index.html" &&
        fetch "$url/apt/dists/bookworm/InRelease" | cmp -s - "$site/apt/dists/bookworm/InRelease"
}

echo "# the deploy of old: a copy of N made by hand, then bad input"
cp -a "$old" "$webroot"
serves "$oldVersion" || fail "the copy of N is not served"
refused "a folder that is not a release's site" "not a release's site" release "$webroot"
cp -al "$new" "$work/unsigned"
rm "$work"/unsigned/apt/dists/*/InRelease "$work"/unsigned/apt/dists/*/Release.gpg \
    "$work/unsigned/tazzle-archive-keyring.pgp" "$work/unsigned/download/$newVersion/SHA256SUMS.asc"
refused "an unsigned release" "not signed" "$work/unsigned" "$webroot"

echo "# N+1 goes live while a reader fetches the pages, InRelease and what each names"
python3 "$here/inflight.py" reader 8443 "$work/stop" >"$work/reader.log" 2>&1 &
reader=$!
pids+=("$reader")
sleep 2
publish "$new" "$webroot"
sleep 2
touch "$work/stop"
wait "$reader" || fail "$(cat "$work/reader.log")"
cat "$work/reader.log"
[ "$(grep -o "InRelease [0-9a-f]*" "$work/reader.log" | wc -l)" = 4 ] ||
    fail "the reader did not meet both releases"
serves "$newVersion" || fail "N+1 is not what is served"
python3 "$here/inflight.py" oldpage 8443 "$old"
latest=$(fetch "$url/download/" | grep -m1 -o '<li><a href="[^"]*">')
echo "/download/ first offers: $latest"
[ "$latest" = "<li><a href=\"$newVersion/\">" ] ||
    fail "/download/ does not offer $newVersion first"

echo "# publishing the live release again, an older one, and a rollback"
before=$(tree)
publish "$new" "$webroot"
[ "$(tree)" = "$before" ] || fail "publishing the live release again changed the web root"
refused "an older release without --rollback" "older than the live" "$old" "$webroot"
publish --rollback "$old" "$webroot"
serves "$oldVersion" || fail "the rollback does not serve N"
[ "$(status "play/$(cd "$new/play" && ls tazzle-*.js | head -n1)")" = 200 ] ||
    fail "after the rollback, N+1's program is gone"

echo "# in Chromium, N's worker installs while N+1 goes live"
modules=$(tests/web/modules.sh)
trustingDatabase "$work/chromium/.pki/nssdb"
printf '%s\t%s\n' '/play/sw\.js$' "$PWD/tools/publish.sh $new $webroot" >"$work/control/arm"
TAZZLE_NODE_MODULES=$modules node "$here/inflight.mjs" "$(command -v chromium)" \
    "$work/chromium" "$url" "$work/control" "$oldVersion=$old" "$newVersion=$new" ||
    fail "the worker does not hold one release: $(tail -n 20 "$work/proxy.log")"
sed -n '2,$s/^/    /p' "$work/control/ran"
startProxy

echo "# a third release drops what only N had, but N's downloads"
third=${newVersion%.*}.$((${newVersion##*.} + 1))
cp -al "$new" "$work/third"
mv "$work/third/download/$newVersion" "$work/third/download/$third"
publish "$work/third" "$webroot"
gone=0 kept=0
while read -r file; do
    case $file in
    download/*)
        fetch "$url/$file" | cmp -s - "$old/$file" || fail "N's download $file is gone"
        kept=$((kept + 1)) ;;
    *)
        [ "$(status "$file")" = 404 ] || fail "$file, which only N had, is still served"
        gone=$((gone + 1)) ;;
    esac
done < <(comm -23 <(cd "$old" && find . -type f -printf '%P\n' | LC_ALL=C sort) \
    <(cd "$new" && find . -type f -printf '%P\n' | LC_ALL=C sort) |
    grep -E -- '-[0-9a-f]{16}\.(js|wasm|woff2)$|^apt/pool/|/by-hash/|^download/')
echo "$gone files that only N had are gone; its $kept downloads answer with their bytes"
[ "$gone" -gt 0 ] && [ "$kept" -gt 0 ] || fail "nothing of N's to check"
# What winget users are told to fetch stays, with the bytes its manifest names.
for manifests in release/winget "$1/winget"; do
    read -r address sha < <(/usr/bin/python3 tests/windows/manifests.py get "$manifests" \
        Installers | /usr/bin/python3 -c 'import json, sys
installer, = json.load(sys.stdin)
print(installer["InstallerUrl"], installer["InstallerSha256"].lower())')
    [ "$(fetch "$address" | sha256sum | cut -d' ' -f1)" = "$sha" ] ||
        fail "$address does not answer with the installer its manifest names"
    echo "$address: the installer its winget manifest names"
done

echo "# the web root after these publishes"
ls -l "$www" | sed -n 's/.* \(tazzle -> .*\)/\1/p'
(cd "$www/tazzle.releases" && find . -mindepth 1 -maxdepth 1 -printf '%f\n' | LC_ALL=C sort)
(cd "$webroot/" && find . -type f -printf '%10s  %P\n' | LC_ALL=C sort -k2)
echo PASS
