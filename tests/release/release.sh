#!/usr/bin/env bash
# A release as a maker makes it and a user checks it: signed with a key and a certificate made
# for this run, verified with gpg, sha256sum and osslsigncode (the installers, and Tazzle.exe and
# the uninstaller inside each), after a key that has expired was refused before anything was
# built; its source package built as distributors build it (downstream.sh); the next release of
# this tree made with all its checks, signed by that key and a new one, each of which verifies
# each of its signatures (the first step of a key's rotation), and its programs time-stamped by
# an authority made for this run (tsa.py), so that they verify after the certificate has
# expired, where the first release's do not; their apt repository
# used as Debian users use it (apt.sh); the site served over HTTPS and visited in three browsers
# (tests/site/site.sh); the next release published over it with clients in flight (publish.sh);
# then the release built again in another folder, at another time, to the same bytes
# (tools/reproducible.sh).
# Usage: tests/release/release.sh   (from the checkout)
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
tools/install-missing.sh gnupg openssl osslsigncode p7zip-full git dpkg-dev
need gpg openssl osslsigncode 7z sha256sum git dpkg-parsechangelog

echo "# a maker's key and certificate, for this run only"
export GNUPGHOME=$work/gnupg
mkdir -m 700 "$GNUPGHOME"
trap 'gpgconf --kill all 2>/dev/null || true; cleanup' EXIT
gpg --batch --passphrase '' --quick-gen-key "Tazzle release test <release@tazzle.example>" \
    ed25519 sign 1d 2>/dev/null
openssl req -x509 -newkey rsa:3072 -sha256 -days 2 -nodes -subj "/CN=Tazzle release test" \
    -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/cert.p12" \
    -passout pass:made-for-this-run
export TAZZLE_GPG_KEY=release@tazzle.example TAZZLE_WINDOWS_CERT=$work/cert.p12
export TAZZLE_WINDOWS_CERT_PASSWORD=made-for-this-run

echo "# a key that has expired is refused before anything is built"
gpg --batch --passphrase '' --faked-system-time 20250101T000000 \
    --quick-gen-key "Tazzle expired <expired@tazzle.example>" ed25519 sign 1d 2>/dev/null
if TAZZLE_GPG_KEY="$TAZZLE_GPG_KEY expired@tazzle.example" ./tools/build.sh release \
    >"$work/expired.txt" 2>&1; then fail "a release was made with an expired key"; fi
cat "$work/expired.txt"
[ "$(wc -l <"$work/expired.txt")" = 1 ] && grep -q "expired@tazzle.example has expired" \
    "$work/expired.txt" && [ ! -e release.new ] || fail "the expired key was not refused first"

./tools/build.sh release

echo "# as a user verifies it"
(cd release && gpg --verify SHA256SUMS.asc SHA256SUMS && sha256sum --check --strict SHA256SUMS) ||
    fail "the checksums or their signature do not hold"
# The Windows programs of a release: each installer, and Tazzle.exe and Uninstall.exe in it.
programs() { # release
    local installer
    for installer in "$1"/*-setup.exe; do
        rm -rf "$work/unpacked" && 7z x -o"$work/unpacked" "$installer" >/dev/null
        echo "$installer"
        for program in Tazzle.exe Uninstall.exe; do
            [ -f "$work/unpacked/$program" ] || fail "no $program in $installer"
            mkdir -p "$work/programs/$(basename "$installer")"
            mv "$work/unpacked/$program" "$work/programs/$(basename "$installer")/"
            echo "$work/programs/$(basename "$installer")/$program"
        done
    done
}
for program in $(programs release); do
    osslsigncode verify -CAfile "$work/cert.pem" -in "$program" >"$work/verify.txt" 2>&1 ||
        fail "$program: $(cat "$work/verify.txt")"
    grep -E "^(Signer's certificate|Message digest algorithm|Signature verification)" \
        "$work/verify.txt" | sed "s|^|${program#"$work/programs/"}: |" | sort -u
done
for deb in release/debian-*/*.deb; do
    dpkg-deb --info "$deb" >/dev/null || fail "$deb is not a package"
done

echo "# the source package, as distributors build it"
orig=$(cd build-package && echo tazzle_*.orig.tar.xz)
TAZZLE_BRING_IN=build-package/$orig tools/release-chroot.sh bookworm tests/release/downstream.sh

echo "# an authority that time-stamps, for this run only"
tsa=$work/tsa
mkdir "$tsa"
openssl req -x509 -newkey rsa:3072 -sha256 -days 10950 -nodes -subj "/CN=Tazzle test time root" \
    -keyout "$tsa/root-key.pem" -out "$tsa/root.pem" 2>/dev/null
openssl req -newkey rsa:3072 -nodes -subj "/CN=Tazzle test time-stamping" \
    -keyout "$tsa/key.pem" -out "$tsa/request.pem" 2>/dev/null
openssl x509 -req -in "$tsa/request.pem" -CA "$tsa/root.pem" -CAkey "$tsa/root-key.pem" \
    -days 7300 -sha256 -out "$tsa/cert.pem" -extfile <(printf '%s\n' \
    'extendedKeyUsage = critical, timeStamping' 'basicConstraints = CA:FALSE') 2>/dev/null
echo 01 >"$tsa/serial"
cat >"$tsa/tsa.cnf" <<CONFIG
[tsa]
default_tsa = authority
[authority]
serial = $tsa/serial
signer_cert = $tsa/cert.pem
certs = $tsa/root.pem
signer_key = $tsa/key.pem
signer_digest = sha256
default_policy = 1.3.6.1.4.1.32473.1
digests = sha256, sha384, sha512
ess_cert_id_alg = sha256
CONFIG
/usr/bin/python3 tests/release/tsa.py "$tsa/tsa.cnf" "$tsa/port" &
pids+=($!)
eventually test -s "$tsa/port" || fail "the time-stamping authority did not start"

echo "# the next release of this tree, made as a maker makes it: its version and changelog entry,"
echo "# signed by this release's key and a new one, and time-stamped"
gpg --batch --passphrase '' --quick-gen-key "Tazzle release test, new key <new@tazzle.example>" \
    ed25519 sign 1d 2>/dev/null
eval "$(cmake -P cmake/release.cmake)"
next=${TAZZLE_VERSION%.*}.$((${TAZZLE_VERSION##*.} + 1))
git clone -q . "$work/next"
(
    cd "$work/next"
    sed -i "s/^set(TAZZLE_VERSION [0-9.]*)/set(TAZZLE_VERSION $next)/" cmake/release.cmake
    { printf 'tazzle (%s-1) unstable; urgency=medium\n\n  * The next release.\n\n' "$next"
      printf ' -- %s  %s\n\n' "$(dpkg-parsechangelog -S Maintainer)" "$(LC_ALL=C date -R -u)"
      cat debian/changelog; } >debian/changelog.new
    mv debian/changelog.new debian/changelog
    git -c user.name=test -c user.email=test@tazzle.example commit -qam "Version $next"
    unset SOURCE_DATE_EPOCH
    # The same code under a new version: its packages' own checks ran on this release; lintian
    # looks at what the version changes (changelog, names, metadata).
    TAZZLE_GPG_KEY="$TAZZLE_GPG_KEY new@tazzle.example" TAZZLE_PACKAGE_CHECKS=lintian \
        TAZZLE_WINDOWS_TIMESTAMP_URL=http://127.0.0.1:$(cat "$tsa/port") ./tools/build.sh release
) >"$work/next.log" 2>&1 || fail "the next release did not build: $(tail -n 40 "$work/next.log")"
grep "^# lintian" "$work/next.log"
[ "$(grep -c "^# lintian" "$work/next.log")" = 3 ] || fail "the next release was made unchecked"
grep "^release: warning" "$work/next.log" || fail "no warning of keys that expire within a day"
# Each key alone verifies each of the next release's signatures.
for key in "$TAZZLE_GPG_KEY" new@tazzle.example; do
    gpg --export "$key" >"$work/one.pgp"
    (cd "$work/next/release" && for signed in SHA256SUMS.asc apt/dists/*/InRelease \
        apt/dists/*/Release.gpg site/manifest.txt; do
        data=()
        case $signed in
        *.asc) data=(SHA256SUMS) ;;
        *.gpg) data=("$(dirname "$signed")/Release") ;;
        esac
        # gpgv fails for the signatures by the other key; its status names the good one.
        status=$(gpgv --status-fd 1 --keyring "$work/one.pgp" "$signed" "${data[@]}" \
            2>/dev/null || true)
        grep -q "GOODSIG" <<<"$status" || fail "$signed is not signed by $key"
    done)
done
echo "each of the next release's signatures verifies with each of its two keys alone"
# A day after the certificate has expired, the time-stamped programs still verify; the first
# release's, signed without a time stamp, no longer do.
expired=$(($(date -d "$(openssl x509 -noout -enddate -in "$work/cert.pem" | cut -d= -f2)" +%s) + 86400))
for program in $(programs "$work/next/release"); do
    osslsigncode verify -CAfile "$work/cert.pem" -TSA-CAfile "$tsa/root.pem" -in "$program" \
        >"$work/verify.txt" 2>&1 || fail "$program: $(cat "$work/verify.txt")"
    grep -q "^Timestamp Server Signature verification: ok" "$work/verify.txt" ||
        fail "$program carries no time stamp"
    grep -E "^(Timestamp Server Signature verification|\s+Timestamp time)" "$work/verify.txt" |
        sed "s|^\s*|${program#"$work/"}: |"
    osslsigncode verify -CAfile "$work/cert.pem" -TSA-CAfile "$tsa/root.pem" -time "$expired" \
        -in "$program" >"$work/verify.txt" 2>&1 ||
        fail "$program does not verify once the certificate has expired: $(cat "$work/verify.txt")"
done
echo "each of the next release's programs verifies on $(date -u -d "@$expired" +%F), after the certificate expired"
for program in $(programs release); do
    ! osslsigncode verify -CAfile "$work/cert.pem" -time "$expired" -in "$program" >/dev/null 2>&1 ||
        fail "$program, signed without a time stamp, verifies after the certificate expired"
done
# The game's page names its version: its program is another file in each release.
program() { (cd "$1/release/site/play" && ls tazzle-*.js); }
[ "$(program .)" != "$(program "$work/next")" ] ||
    fail "the next release's game has the same program as this one's"

echo "# the apt repository, as Debian users use it"
tests/release/apt.sh "$work/next"

echo "# the makers' site, served as it will be"
tests/site/site.sh

echo "# publishing the next release, with clients in flight"
tests/release/publish.sh "$work/next/release"

echo "# built again, elsewhere and later, to the same bytes"
tools/reproducible.sh
echo PASS
