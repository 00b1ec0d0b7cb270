#!/usr/bin/env bash
# Makes the makers' whole site, ready to copy to a web root, in <release>/site/: the home page,
# the game (play/, from build-web/), the downloads (download/<version>/: the release's files,
# their checksums and the licence), the apt repository (apt/, the keyring and the sources files)
# and the screenshot the metadata names, and manifest.txt, the signed list of them all
# (seal.sh). The same release gives the same bytes.
#   tools/web/site.sh <release folder>     (tools/release.sh, after the release's files)
# The installers' signer comes from TAZZLE_WINDOWS_CERT, as the release signs with it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
release=$1
site=$release/site
cd "$here/../.."
[ -f build-web/index.html ] || { echo "no build-web/: tools/build.sh web" >&2; exit 1; }

eval "$(cmake -P cmake/release.cmake)"
# Each release's files at an address of their own, which stays when the next one is published.
downloads=$TAZZLE_DOWNLOADS
rm -rf "$site"
mkdir -p "$site/$downloads"
cp -r build-web "$site/play"
cp -r "$release"/apt "$release"/tazzle-*.sources "$site/"
[ ! -f "$release/tazzle-archive-keyring.pgp" ] || cp "$release/tazzle-archive-keyring.pgp" "$site/"
cp -r "$release"/debian-* "$release"/*-setup.exe "$release"/*.tar.gz "$release"/SHA256SUMS* \
    "$site/$downloads/"
cp LICENSE "$site/$downloads/LICENSE.txt" # the manifests name it
cp docs/screenshot.png "$site/screenshot.png"

# What the package says Tazzle is, and where its site is.
metainfo=$(mktemp)
trap 'rm -f "$metainfo"' EXIT
dpkg-deb --fsys-tarfile "$(echo "$release"/debian-12/tazzle_*_amd64.deb)" |
    tar -xO --wildcards './usr/share/metainfo/*.metainfo.xml' >"$metainfo"
font=$(fc-match -f '%{file}' 'Liberation Sans:bold')
[ "$(basename "$font")" = LiberationSans-Bold.ttf ] ||
    { echo "Liberation Sans Bold is not installed (fonts-liberation2)" >&2; exit 1; }
signed=()
if [ -s "$release/SHA256SUMS.asc" ]; then
    for key in $(python3 tools/sitetree.py keys "$release/tazzle-archive-keyring.pgp"); do
        signed+=(--key-fingerprint "$key")
    done
fi
if [ -n "${TAZZLE_WINDOWS_CERT:-}" ]; then
    certificate=$(openssl pkcs12 -in "$TAZZLE_WINDOWS_CERT" -nokeys -clcerts \
        -passin env:TAZZLE_WINDOWS_CERT_PASSWORD | openssl x509)
    signed+=(--publisher "$(openssl x509 -noout -subject -nameopt RFC2253 <<<"$certificate" |
        sed -n 's/^subject=.*CN=\([^,]*\).*/\1/p')")
    signed+=(--certificate-fingerprint "$(openssl x509 -noout -fingerprint -sha256 \
        <<<"$certificate" | cut -d= -f2)")
fi
/usr/bin/python3 "$here/home.py" --site "$site" --templates dist/web --assets assets \
    --metainfo "$metainfo" --readme README.md --font "$font" --downloads "$downloads" \
    --installers "$release" --winget "$release/winget" --default-url "$TAZZLE_DEFAULT_WEBSITE_URL" "${signed[@]}"
"$here/seal.sh" "$site" "$TAZZLE_VERSION"
