#!/usr/bin/env bash
# Publishing a release breaks no one in flight, and puts live nothing its makers did not sign.
# release/ (N) and the next release of this tree (N+1) are published with tools/publish.sh at a
# web root that the shipped nginx configuration serves over HTTPS, behind the test's own proxy,
# which can hold the clients at a chosen moment (inflight.py):
# - a copy of N made by hand (the deploy of old) is taken over and kept as the release before,
#   by a first publish that names the makers' key, kept as the one trusted;
# - a reader fetching the pages, InRelease and what each names while N+1 goes live meets no
#   404 and no file other than what names it; N's pages and what they name still answer after;
# - publishing N+1 again changes nothing; N again is a rollback, and needs --rollback;
# - in Chromium, the game's worker installs while N+1 goes live: its cache holds one release,
#   and the game plays from it offline;
# - the makers' key is rotated: N+1, signed by N's key and a new one, moves the trust to both;
#   a third release (N+1 under the next version), signed by the new key alone and handed over
#   with a foreign owner, open modes and a file changed while it is checked, goes live as
#   signed, owned by the publisher with fixed modes, and leaves the new key trusted alone; it
#   drops what only N had, but N's downloads: the installers that N's and N+1's winget
#   manifests name answer with the bytes they name;
# - a link placed by hand in the live tree is not served;
# - bad input and tampered copies of N and N+1 are refused with one line, and the tree around
#   the web root stays as it was, byte for byte.
# Usage: tests/release/publish.sh <the next release's folder>   (after release.sh made both,
#        with its GNUPGHOME and TAZZLE_GPG_KEY; as root)
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
here=$(cd "$(dirname "$0")" && pwd)
cd "$here/../.."
[ -f "${1:-}/site/index.html" ] && [ -f release/site/index.html ] ||
    fail "usage: $0 <the next release's folder>, after tools/build.sh release"
tools/install-missing.sh nginx-light libnginx-mod-http-brotli-static openssl curl python3 \
    python3-yaml gnupg gpgv chromium libnss3-tools
need nginx openssl curl python3 gpg gpgv chromium certutil
gpg --list-secret-keys "${TAZZLE_GPG_KEY:-}" >/dev/null 2>&1 ||
    fail "no secret key TAZZLE_GPG_KEY (${TAZZLE_GPG_KEY:-}): run from release.sh"
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

# The keys a site is signed with, in place, as the release signs: each of them signs every
# suite's InRelease and Release.gpg, SHA256SUMS and the manifest, and the keyring holds them all.
resign() { # site version key...
    local site=$1 version=$2 sums
    shift 2
    local signers=() key suite
    for key; do signers+=(--local-user "$key"); done
    sums=$site/download/$version/SHA256SUMS
    rm -f "$site/tazzle-archive-keyring.pgp" "$sums.asc" "$site"/apt/dists/*/InRelease \
        "$site"/apt/dists/*/Release.gpg
    gpg --export --export-options export-minimal "$@" >"$site/tazzle-archive-keyring.pgp"
    for suite in "$site"/apt/dists/*/; do
        gpg --batch "${signers[@]}" --clearsign --output "$suite/InRelease" "$suite/Release"
        gpg --batch "${signers[@]}" --armor --detach-sign --output "$suite/Release.gpg" \
            "$suite/Release"
    done
    gpg --batch "${signers[@]}" --armor --detach-sign --output "$sums.asc" "$sums"
    TAZZLE_GPG_KEY="$*" tools/web/seal.sh "$site" "$version"
}
# A copy of a site to tamper with, its files hard links: each change replaces a file whole.
tampered() { # site
    rm -rf "$work/tampered"
    cp -al "$1" "$work/tampered"
}
changeByte() { # file
    cp "$1" "$1.changed"
    printf '\x7f' | dd of="$1.changed" bs=1 seek=64 conv=notrunc status=none
    mv "$1.changed" "$1"
}
kept=$www/tazzle.releases/trusted.pgp
keysOf() { python3 tools/sitetree.py keys "$1" | tr '\n' ' '; }
gpg --export --export-options export-minimal "$TAZZLE_GPG_KEY" >"$work/makers.pgp"
# The key that N+1 is signed with besides N's.
newKey=$(comm -13 <(keysOf "$old/tazzle-archive-keyring.pgp" | tr ' ' '\n') \
    <(keysOf "$new/tazzle-archive-keyring.pgp" | tr ' ' '\n'))
[ "$(wc -w <<<"$newKey")" = 1 ] || fail "N+1 is not signed by one key more than N"
gpg --batch --passphrase '' --quick-gen-key "Another key <another@tazzle.example>" ed25519 sign \
    1d 2>/dev/null
gpg --export --export-options export-minimal another@tazzle.example >"$work/another.pgp"

echo "# the deploy of old: a copy of N made by hand, then bad input"
cp -a "$old" "$webroot"
serves "$oldVersion" || fail "the copy of N is not served"
refused "a first publish that trusts no key" "trusts no key yet" "$new" "$webroot"
refused "a folder that is not a release's site" "no manifest.txt" --trust "$work/makers.pgp" \
    docs "$webroot"
tampered "$new"
rm "$work"/tampered/apt/dists/*/InRelease "$work"/tampered/apt/dists/*/Release.gpg \
    "$work/tampered/tazzle-archive-keyring.pgp" "$work/tampered/download/$newVersion/SHA256SUMS.asc"
TAZZLE_GPG_KEY='' tools/web/seal.sh "$work/tampered" "$newVersion"
mv "$work/tampered" "$work/unsigned"
refused "an unsigned release" "not signed" --trust "$work/makers.pgp" "$work/unsigned" "$webroot"
cp -al "$new" "$work/another"
resign "$work/another" "$newVersion" another@tazzle.example
refused "a tree signed by another key, with its keyring" "not signed by a trusted key" \
    --trust "$work/makers.pgp" "$work/another" "$webroot"
cp -al "$new" "$work/newonly"
resign "$work/newonly" "$newVersion" "$newKey"
refused "a tree signed by the new key alone, before one signed by both" \
    "not signed by a trusted key" --trust "$work/makers.pgp" "$work/newonly" "$webroot"
rm -rf "$work/newonly"

echo "# N+1 goes live while a reader fetches the pages, InRelease and what each names"
python3 "$here/inflight.py" reader 8443 "$work/stop" >"$work/reader.log" 2>&1 &
reader=$!
pids+=("$reader")
sleep 2
publish --trust "$work/makers.pgp" "$new" "$webroot"
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

[ "$(keysOf "$kept")" = "$(keysOf "$new/tazzle-archive-keyring.pgp")" ] &&
    [ "$(keysOf "$kept" | wc -w)" = 2 ] || fail "$kept is not the two keys N+1 is signed with"
echo "trusted: $kept, N+1's keys $(keysOf "$kept")"

echo "# tampered copies of N and N+1, and what only a trusted key may ask"
refused "--unsigned where a key is trusted" "takes no unsigned" --unsigned "$work/unsigned" \
    "$webroot"
refused "--trust naming another key" "trusts other keys" --trust "$work/another.pgp" "$new" \
    "$webroot"
refused "a tree signed by another key alone" "not signed by a trusted key" "$work/another" \
    "$webroot"
tampered "$new"
echo 'document.title = "tampered";' >"$work/tampered/play/extra.js"
refused "an added file" "play/extra.js is not in its signed manifest" "$work/tampered" "$webroot"
for file in "$(cd "$new" && echo play/tazzle-*.wasm)" index.html; do
    tampered "$new"
    changeByte "$work/tampered/$file"
    refused "a byte changed in $file" "$file is not the file its signed manifest lists" \
        "$work/tampered" "$webroot"
done
tampered "$new"
ln -s /etc/shadow "$work/tampered/play/leak.txt"
refused "a link to a system file" "play/leak.txt is a symbolic link" "$work/tampered" "$webroot"
tampered "$new"
echo "not to be overwritten" >"$work/victim"
rm -f "$work/tampered/download/index.html"
ln -s "$work/victim" "$work/tampered/download/index.html"
refused "a link where publish writes" "download/index.html is a symbolic link" \
    "$work/tampered" "$webroot"
[ "$(cat "$work/victim")" = "not to be overwritten" ] || fail "publish wrote through a link"
tampered "$new"
mkfifo "$work/tampered/play/pipe"
refused "a FIFO" "play/pipe is a FIFO" "$work/tampered" "$webroot"
tampered "$new"
touch "$work/tampered/play/two"$'\n'"lines.js"
refused "a name with a newline" "a name no publish takes" "$work/tampered" "$webroot"
tampered "$new"
mkdir "$work/tampered/apt/dists/sid"
cp "$new/apt/dists/bookworm/Release" "$work/tampered/apt/dists/sid/InRelease"
TAZZLE_GPG_KEY="$TAZZLE_GPG_KEY $newKey" tools/web/seal.sh "$work/tampered" "$newVersion"
refused "a suite of an unsigned InRelease alone" "sid/InRelease is not signed by a trusted key" \
    "$work/tampered" "$webroot"
tampered "$old"
mv "$work/tampered/download/$oldVersion" "$work/tampered/download/9.9.9"
refused "an older release under a newer folder name" "signed for $oldVersion" \
    "$work/tampered" "$webroot"
rm -rf "$work/tampered"

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

echo "# a third release: by the new key alone, owned by another, open to all, changed while checked"
third=${newVersion%.*}.$((${newVersion##*.} + 1))
cp -a "$new" "$work/third"
mv "$work/third/download/$newVersion" "$work/third/download/$third"
resign "$work/third" "$third" "$newKey"
chown -R nobody:nogroup "$work/third"
find "$work/third" -type d -exec chmod 0777 {} + -o -type f -exec chmod 0666 {} +
# The site changes once its copy is being checked: what goes live is what was signed.
mkdir "$work/stub"
printf '#!/bin/sh
[ -e %s ] || { echo changed >>%s; touch %s; }
exec %s "$@"
' \
    "$work/changed" "$work/third/index.html" "$work/changed" "$(command -v gpgv)" \
    >"$work/stub/gpgv"
chmod +x "$work/stub/gpgv"
PATH=$work/stub:$PATH publish "$work/third" "$webroot"
[ -e "$work/changed" ] && [ "$(tail -n1 "$work/third/index.html")" = changed ] ||
    fail "the site was not changed while it was checked"
fetch "$url/" | cmp -s - "$new/index.html" || fail "a file changed after its check went live"
foreign=$(find "$webroot/" ! -user "$(id -un)" -o -type f ! -perm 0644 -o -type d ! -perm 0755 |
    head -n 3)
[ -z "$foreign" ] || fail "live with another owner or mode: $foreign"
echo "live as signed, every file the publisher's own, 0644, in folders 0755"
[ "$(keysOf "$kept")" = "$newKey " ] || fail "the trust did not move to the new key alone"
echo "trusted now: the new key alone, $(keysOf "$kept")"
# nginx follows no link below the web root, even one placed there by hand.
ln -s /etc/passwd "$webroot/play/leak.txt"
[ "$(status play/leak.txt)" != 200 ] || fail "nginx serves a link placed in the live tree"
echo "a link placed by hand in the live tree: $(status play/leak.txt)"
rm "$webroot/play/leak.txt"
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
    while read -r address sha; do
        [ "$(fetch "$address" | sha256sum | cut -d' ' -f1)" = "$sha" ] ||
            fail "$address does not answer with the installer its manifest names"
        echo "$address: the installer its winget manifest names"
    done < <(/usr/bin/python3 tests/windows/manifests.py get "$manifests" Installers |
        /usr/bin/python3 -c 'import json, sys
for installer in json.load(sys.stdin):
    print(installer["InstallerUrl"], installer["InstallerSha256"].lower())')
done

echo "# the web root after these publishes"
ls -l "$www" | sed -n 's/.* \(tazzle -> .*\)/\1/p'
(cd "$www/tazzle.releases" && find . -mindepth 1 -maxdepth 1 -printf '%f\n' | LC_ALL=C sort)
(cd "$webroot/" && find . -type f -printf '%10s  %P\n' | LC_ALL=C sort -k2)
echo PASS
