#!/usr/bin/env bash
# Makes release/ from this commit: the Debian packages for Debian 12 and 13 (the binary package,
# its debug symbols, the source package), the Windows installers and their winget manifests
# (winget/, for winget's community repository), the web site as a .tar.gz, and
# SHA256SUMS of them all; the apt repository that serves the Debian packages (apt/, with the
# sources file of each release and the repository's key); and the makers' whole site, all of
# these with its home page (site/, tools/web/site.sh). The same commit gives the same bytes,
# wherever and whenever it is built.
#   tools/release.sh        (tools/build.sh release)
# Signed where the maker gives the means: TAZZLE_GPG_KEY (keys in the user's keyring, separated
# by spaces) signs SHA256SUMS into SHA256SUMS.asc, the apt repository and the site's manifest,
# each with every key; TAZZLE_WINDOWS_CERT (a PKCS#12 file) with TAZZLE_WINDOWS_CERT_PASSWORD
# signs Tazzle.exe, the uninstaller and both installers (Authenticode), with
# TAZZLE_WINDOWS_TIMESTAMP_URL's time stamp when given. Before anything is built, each key must
# be able to sign: one that has expired, is revoked or cannot sign is refused, and one that
# expires within 180 days is named in the summary, with the way to rotate it.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -n "${TAZZLE_WINDOWS_CERT:-}" ]; then
    [ -r "$TAZZLE_WINDOWS_CERT" ] || { echo "cannot read $TAZZLE_WINDOWS_CERT" >&2; exit 1; }
    [ -n "${TAZZLE_WINDOWS_CERT_PASSWORD+set}" ] ||
        { echo "TAZZLE_WINDOWS_CERT needs TAZZLE_WINDOWS_CERT_PASSWORD" >&2; exit 1; }
fi
warnings=() signers=()
for key in ${TAZZLE_GPG_KEY:-}; do
    signers+=(--local-user "$key")
    # The key's own line: its validity (field 2), its expiry (7) and what it can do (12; a
    # capital S: some part of it can sign now).
    primary=$(gpg --batch --with-colons --list-secret-keys "$key" 2>/dev/null | grep -m1 '^sec:') ||
        { echo "release: no secret key $key in the keyring" >&2; exit 1; }
    IFS=: read -r _ validity _ _ _ _ expires _ _ _ _ abilities _ <<<"$primary"
    case $validity in
    e) echo "release: the key $key has expired" \
        "($(date -u -d "@$expires" +%F)): extend it, or rotate to a new one (README)" >&2; exit 1 ;;
    r) echo "release: the key $key is revoked: rotate to a new one (README)" >&2; exit 1 ;;
    esac
    [[ $abilities == *S* ]] ||
        { echo "release: the key $key cannot sign (no usable signing key)" >&2; exit 1; }
    if [ -n "$expires" ] && [ "$expires" -lt $(($(date +%s) + 180 * 86400)) ]; then
        warnings+=("the key $key expires on $(date -u -d "@$expires" +%F), within 180 days: \
extend it, or rotate to a new one (README: Releases)")
    fi
done
# Every date in every file is the commit's.
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
export SOURCE_DATE_EPOCH

./tools/build.sh package bookworm trixie
./tools/build.sh windows
./tools/build.sh web

eval "$(cmake -P cmake/release.cmake)"
version=$TAZZLE_VERSION
rm -rf release release.new
mkdir -p release.new/debian-12 release.new/debian-13
for pair in bookworm:debian-12 trixie:debian-13; do
    cp build-package/"${pair%%:*}"/*.{deb,dsc,tar.xz} \
        release.new/"${pair##*:}"/
done
cp -r build-windows/*-setup.exe build-windows/winget release.new/
tools/debian/repository.sh release.new "$TAZZLE_DEFAULT_WEBSITE_URL" \
    bookworm=build-package/bookworm trixie=build-package/trixie
# The site as one archive: names sorted, owners and times fixed.
tar --sort=name --mtime="@$SOURCE_DATE_EPOCH" --owner=0 --group=0 --numeric-owner \
    --mode=u+rw,go+r,go-w --transform="s|^build-web|tazzle-web-$version|" -cf - build-web |
    gzip -9n >"release.new/tazzle-web-$version.tar.gz"
(cd release.new && find . -path ./apt -prune -o -type f ! -name 'SHA256SUMS*' -printf '%P\n' |
    LC_ALL=C sort |
    xargs sha256sum >SHA256SUMS)
if [ ${#signers[@]} -gt 0 ]; then
    gpg --batch --yes "${signers[@]}" --armor --detach-sign \
        --output release.new/SHA256SUMS.asc release.new/SHA256SUMS
fi
tools/web/site.sh release.new
mv release.new release
ls -lR release
for warning in "${warnings[@]}"; do echo "release: warning: $warning"; done
