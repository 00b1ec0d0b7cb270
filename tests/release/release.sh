#!/usr/bin/env bash
# A release as a maker makes it and a user checks it: signed with a key and a certificate made
# for this run, verified with gpg, sha256sum and osslsigncode (the installer, and Tazzle.exe and
# its uninstaller inside it); its source package built as distributors build it
# (downstream.sh); its apt repository used as Debian users use it (apt.sh); its site served over
# HTTPS and visited in three browsers (tests/site/site.sh); then built again in
# another folder, at another time, to the same bytes (tools/reproducible.sh).
# Usage: tests/release/release.sh   (from the checkout)
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
tools/install-missing.sh gnupg openssl osslsigncode p7zip-full
need gpg openssl osslsigncode 7z sha256sum

echo "# a maker's key and certificate, for this run only"
export GNUPGHOME=$work/gnupg
mkdir -m 700 "$GNUPGHOME"
gpg --batch --passphrase '' --quick-gen-key "Tazzle release test <release@tazzle.example>" \
    ed25519 sign 1d 2>/dev/null
openssl req -x509 -newkey rsa:3072 -sha256 -days 2 -nodes -subj "/CN=Tazzle release test" \
    -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/cert.p12" \
    -passout pass:made-for-this-run
export TAZZLE_GPG_KEY=release@tazzle.example TAZZLE_WINDOWS_CERT=$work/cert.p12
export TAZZLE_WINDOWS_CERT_PASSWORD=made-for-this-run

./tools/build.sh release

echo "# as a user verifies it"
(cd release && gpg --verify SHA256SUMS.asc SHA256SUMS && sha256sum --check --strict SHA256SUMS) ||
    fail "the checksums or their signature do not hold"
installer=$(echo release/*-setup.exe)
7z x -o"$work/installer" "$installer" >/dev/null
for program in "$installer" "$work/installer/Tazzle.exe" "$work/installer/Uninstall.exe"; do
    [ -f "$program" ] || fail "no $(basename "$program") in the installer"
    osslsigncode verify -CAfile "$work/cert.pem" -in "$program" >"$work/verify.txt" 2>&1 ||
        fail "$(basename "$program"): $(cat "$work/verify.txt")"
    grep -E "^(Signer's certificate|Message digest algorithm|Signature verification)" \
        "$work/verify.txt" | sed "s|^|$(basename "$program"): |" | sort -u
done
for deb in release/debian-*/*.deb; do
    dpkg-deb --info "$deb" >/dev/null || fail "$deb is not a package"
done

echo "# the source package, as distributors build it"
orig=$(cd build-package && echo tazzle_*.orig.tar.xz)
TAZZLE_BRING_IN=build-package/$orig tools/release-chroot.sh bookworm tests/release/downstream.sh

echo "# the apt repository, as Debian users use it"
tests/release/apt.sh

echo "# the makers' site, served as it will be"
tests/site/site.sh

echo "# built again, elsewhere and later, to the same bytes"
tools/reproducible.sh
echo PASS
