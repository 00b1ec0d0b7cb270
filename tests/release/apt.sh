#!/usr/bin/env bash
# Tazzle through apt, as a Debian user gets it: in a clean Debian 12 and a clean Debian 13, the
# README's commands add the repository of release/site/ (published with tools/publish.sh, served
# by nginx over TLS as the makers' site, its host name resolved to 127.0.0.1, with an authority
# made for this run) and install it, while the next release goes live in the middle of their
# apt-get update; tazzle-archive-keyring owns the key file. The makers' key is rotated with no
# step of the user's: the next release, signed by the old key and a new one, upgrades Tazzle and
# the keyring; a re-release of it signed by the new key alone (its keyring package's version
# raised) upgrades with no warning and leaves the new key alone. apt removes Tazzle. Then apt
# refuses a repository signed by another key, an unsigned one and a package whose bytes changed
# after signing; and a system that skipped the release signed by both keys is refused the
# re-release, and nothing installed changes.
# Usage: tests/release/apt.sh <the next release's checkout>   (after both releases were made,
# this one signed with TAZZLE_GPG_KEY, the next one also with a new key, both in GNUPGHOME; as
# root)
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
source "$(dirname "$0")/../../tools/lib.sh"
here=$(cd "$(dirname "$0")" && pwd)
next=$(realpath "${1:?usage: $0 NEXT-CHECKOUT}")
cd "$here/../.."
[ -n "${TAZZLE_GPG_KEY:-}" ] && [ -s release/tazzle-archive-keyring.pgp ] &&
    [ -s "$next/release/tazzle-archive-keyring.pgp" ] ||
    fail "no signed release/ (TAZZLE_GPG_KEY=... tools/build.sh release), here and in $next"
tools/install-missing.sh nginx-light libnginx-mod-http-brotli-static mmdebstrap openssl curl \
    gnupg gpgv python3
need nginx mmdebstrap openssl curl unshare gpg gpgv python3
source tests/site/served.sh
mirror=$(tools/debian-mirror.sh)
packages=(bookworm="$next/build-package/bookworm" trixie="$next/build-package/trixie")

echo "# the sites apt meets: the release, the next one, and three it must refuse"
current=$(realpath release/site)
newer=$next/release/site
# The next release's packages signed by a key that is not the makers'.
export GNUPGHOME_MAKERS=$GNUPGHOME
GNUPGHOME=$work/otherkey
mkdir -m 700 "$GNUPGHOME"
gpg --batch --passphrase '' --quick-gen-key "Not the makers <other@tazzle.example>" ed25519 sign \
    1d 2>/dev/null
TAZZLE_GPG_KEY=other@tazzle.example TAZZLE_PACKAGE_CHECKS=no tools/debian/repository.sh \
    "$work/site-otherkey" "$TAZZLE_DEFAULT_WEBSITE_URL" "${packages[@]}" >/dev/null
cp "$newer/tazzle-archive-keyring.pgp" "$work/site-otherkey/"
gpgconf --kill all
GNUPGHOME=$GNUPGHOME_MAKERS
TAZZLE_GPG_KEY='' tools/debian/repository.sh "$work/site-unsigned" "$TAZZLE_DEFAULT_WEBSITE_URL" \
    "${packages[@]}" >/dev/null
[ ! -e "$work/site-unsigned/apt/dists/bookworm/InRelease" ] || fail "an unsigned repository signed"
# The next release's packages re-released under the new key alone, as the makers end a rotation.
keysOf() { python3 tools/sitetree.py keys "$1"; }
newKey=$(comm -13 <(keysOf release/tazzle-archive-keyring.pgp) \
    <(keysOf "$next/release/tazzle-archive-keyring.pgp"))
[ "$(wc -w <<<"$newKey")" = 1 ] || fail "the next release is not signed by one key more than this"
eval "$(cmake -P "$next/cmake/release.cmake")"
rotated=${TAZZLE_VERSION%.*}.$((${TAZZLE_VERSION##*.} + 1))
eval "$(cmake -P cmake/release.cmake)"
TAZZLE_GPG_KEY=$newKey TAZZLE_KEYRING_VERSION=$rotated TAZZLE_PACKAGE_CHECKS=no \
    SOURCE_DATE_EPOCH=$(date +%s) tools/debian/repository.sh "$work/site-newkey" \
    "$TAZZLE_DEFAULT_WEBSITE_URL" "${packages[@]}" >/dev/null
ln -s "$current" "$work/site-current"
keyring=usr/share/keyrings/tazzle-archive-keyring.pgp
# The next release's packages, one byte of each changed after the repository was signed.
mkdir "$work/site-tampered"
cp -a "$newer/apt" "$newer/tazzle-archive-keyring.pgp" "$work/site-tampered/"
for deb in "$work"/site-tampered/apt/pool/main/t/tazzle/tazzle_*.deb; do
    size=$(stat -c %s "$deb")
    printf '\x55' | dd of="$deb" bs=1 seek=$((size / 2)) conv=notrunc status=none
done

echo "# served as $host over TLS, by an authority made for this run, through the test's proxy"
www=$work/www
webroot=$www/tazzle
serveSite "$webroot" 8443
startProxy
# A release goes live as a maker publishes it; a site apt must refuse is put in place as it is.
publish() { tools/publish.sh "$@" | sed 's/^/    /'; }
gpg --export --export-options export-minimal "$TAZZLE_GPG_KEY" >"$work/makers.pgp"
serve() { rm -rf "$www" && mkdir "$www" && ln -s "$work/site-$1" "$webroot"; }

# The user's commands: the first block of the README's Install section.
awk '/^## Install/ {s = 1} s && /^```sh/ {b = 1; next} b && /^```/ {exit} b' README.md \
    >"$work/install.sh"
grep -q "apt-get install tazzle" "$work/install.sh" || fail "no install commands in the README"

# A clean system of a release, made once; each run starts from it afresh.
cleanSystem() { # codename
    local base=$cache/user-$1
    local options=(--variant=minbase --include=ca-certificates,curl,sudo)
    local recipe="mmdebstrap ${options[*]} $1 $mirror"
    if [ "$(cat "$base.recipe" 2>/dev/null)" != "$recipe" ]; then
        mkdir -p "$(dirname "$base")"
        mmdebstrap "${options[@]}" "$1" "$base.new.tar" "$mirror" </dev/null >"$work/base.log" 2>&1 ||
            fail "no clean $1: $(tail -n 20 "$work/base.log")"
        mv "$base.new.tar" "$base.tar"
        echo "$recipe" >"$base.recipe"
    fi
    rm -rf --one-file-system "$work/root"
    mkdir "$work/root"
    tar -xf "$base.tar" -C "$work/root"
    cp /etc/resolv.conf "$work/root/etc/resolv.conf"
    echo "127.0.0.1 $host" >>"$work/root/etc/hosts"
    # The authority of this run is trusted there, as a real site's is; apt answers yes itself.
    cp "$work/ca.pem" "$work/root/usr/local/share/ca-certificates/tazzle-test.crt"
    echo 'APT::Get::Assume-Yes "true";' >"$work/root/etc/apt/apt.conf.d/90tazzle-test"
    cp "$work/install.sh" "$work/root/root/install.sh"
    user update-ca-certificates >/dev/null 2>&1
    user apt-get update -qq
}
# Runs a command in the clean system as its root user would; its mounts and processes go when it
# ends.
user() {
    unshare --mount --pid --fork --kill-child --propagation private -- bash -c '
        mount -t proc proc "$0/proc" && mount --rbind /dev "$0/dev" &&
        exec chroot "$0" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 \
            PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@"
    ' "$work/root" "$@" </dev/null
}
# Runs what a user types and shows what they would watch for; fails when it does.
session() { # title command...
    echo "\$ $1"
    shift
    user "$@" >"$work/session.log" 2>&1 || fail "$(tail -n 30 "$work/session.log")"
    grep -E "^\+ |^(Get:[0-9]+ https|Unpacking tazzle|Setting up tazzle|Removing tazzle)" \
        "$work/session.log" | sed 's/^/    /' || true
    grep -E "upgraded," "$work/session.log" | sed 's/^/    /' || true
}
candidate() { user apt-cache policy tazzle | awk '$1 == "Candidate:" {c = $2} END {print c ? c : "(none)"}'; }
installed() { user dpkg-query -W -f '${db:Status-Status} ${Version}' tazzle 2>/dev/null || true; }
# Runs an apt command that must fail with the given words.
refuses() { # what pattern command...
    local what=$1 pattern=$2
    shift 2
    if user "$@" >"$work/apt.log" 2>&1; then fail "apt took $what: $(cat "$work/apt.log")"; fi
    grep -E "$pattern" "$work/apt.log" | sed 's/^/    /' | head -n 4
    grep -qE "$pattern" "$work/apt.log" ||
        fail "apt refused $what, but not as expected: $(cat "$work/apt.log")"
}

for pair in bookworm:12 trixie:13; do
    codename=${pair%%:*} number=${pair##*:}
    release=$(basename "$(echo release/debian-"$number"/tazzle_*_amd64.deb)" | cut -d_ -f2)
    update=$(basename "$(echo "$next"/release/debian-"$number"/tazzle_*_amd64.deb)" | cut -d_ -f2)
    echo "# Debian $number ($codename): $release, then $update"
    rm -rf "$www" && mkdir "$www"
    publish --trust "$work/makers.pgp" "$current" "$webroot"
    cleanSystem "$codename"
    # The next release goes live once apt has this one's InRelease and before it asks for more:
    # apt gets the indices that InRelease names by their hash, and what they name from the pool.
    : >"$work/nginx/access.log"
    printf '%s\t%s\n' "/dists/$codename/InRelease\$" "$PWD/tools/publish.sh $newer $webroot" \
        >"$work/control/arm"
    session "the README's commands, $update going live in their apt-get update" \
        bash -euxo pipefail /root/install.sh
    [ "$(head -n1 "$work/control/ran" 2>/dev/null)" = 0 ] ||
        fail "the next release did not go live mid-way: $(cat "$work"/control/ran "$work"/proxy.log)"
    sed -n '2,$s/^/    /p' "$work/control/ran"
    rm "$work/control/ran"
    ! grep -E "^(W|E|Err):" "$work/session.log" || fail "apt-get update warned or failed"
    awk '$7 ~ /^\/apt\// {print "    " $9, $7}' "$work/nginx/access.log"
    grep -qE '"GET /apt/dists/[^ ]*/by-hash/SHA512/[0-9a-f]+ HTTP/[0-9.]+" 200 ' \
        "$work/nginx/access.log" || fail "apt did not get the indices by their hash"
    [ "$(installed)" = "installed $release" ] || fail "after the README's commands: $(installed)"
    user test -x /usr/games/tazzle || fail "no /usr/games/tazzle"
    owner=$(user dpkg -S "/$keyring") || true
    echo "    $owner"
    [ "$owner" = "tazzle-archive-keyring: /$keyring" ] || fail "no package owns /$keyring"
    session "apt-get update && apt-get upgrade, to the release signed by both keys" \
        bash -c 'apt-get update && apt-get upgrade'
    [ "$(installed)" = "installed $update" ] || fail "after the upgrade: $(installed)"
    cmp -s "$work/root/$keyring" "$newer/tazzle-archive-keyring.pgp" ||
        fail "the upgrade did not bring the new key"
    serve newkey
    session "apt-get update && apt-get upgrade, to the re-release signed by the new key alone" \
        bash -c 'apt-get update && apt-get upgrade'
    ! grep -E "^(W|E|Err):" "$work/session.log" || fail "apt warned or failed in the rotation"
    [ "$(keysOf "$work/root/$keyring")" = "$newKey" ] || fail "the keyring is not the new key alone"
    echo "    the keyring now holds the new key alone, tazzle-archive-keyring $rotated"
    session "apt-get remove tazzle" apt-get remove tazzle
    [ "$(installed | cut -d' ' -f1)" != installed ] || fail "still installed after removal"

    # Refused, a repository met before keeps its last good index (apt only warns); one met for
    # the first time is an error, and apt has no Tazzle to offer.
    # Each site is met afresh: apt would otherwise resume a half-fetched file of the last one,
    # whose time stamp may be the same second's.
    forget() { user sh -c 'rm -f /var/lib/apt/lists/*tazzle* /var/lib/apt/lists/partial/*tazzle*'; }
    echo "# apt refuses"
    serve otherkey
    forget
    refuses "a repository signed by another key" "NO_PUBKEY|Missing key|not signed" apt-get update
    [ "$(candidate)" = "(none)" ] || fail "apt offers $(candidate) from a foreign key's repository"
    serve unsigned
    forget
    refuses "an unsigned repository" "is not signed" apt-get update
    [ "$(candidate)" = "(none)" ] || fail "apt offers $(candidate) from an unsigned repository"
    serve tampered
    forget
    user bash -c 'apt-get update -qq && apt-get clean'
    refuses "a package changed after signing" "[Hh]ash [Ss]um mismatch|Hashes of expected file" \
        apt-get install tazzle
    [ "$(installed | cut -d' ' -f1)" != installed ] || fail "a changed package was installed"

    echo "# a system that skipped the release signed by both keys"
    serve current
    cleanSystem "$codename"
    user bash -eu /root/install.sh >"$work/session.log" 2>&1 ||
        fail "$(tail -n 30 "$work/session.log")"
    user dpkg-query -W >"$work/before.txt"
    serve newkey
    # The repository was good before: apt warns, and keeps its last good index.
    user apt-get update >"$work/apt.log" 2>&1 || true
    grep -E "^(W|E|Err):.*(NO_PUBKEY|Missing key|not signed)" "$work/apt.log" | sed 's/^/    /' |
        head -n 2
    grep -qE "NO_PUBKEY|Missing key|not signed" "$work/apt.log" ||
        fail "apt took a repository signed by a key it was never given: $(cat "$work/apt.log")"
    session "apt-get upgrade" apt-get upgrade
    user dpkg-query -W | cmp -s - "$work/before.txt" ||
        fail "a refused repository changed the system"
    echo "    nothing installed changed"
done
dpkg --compare-versions "$(basename "$(echo release/debian-12/tazzle_*_amd64.deb)" | cut -d_ -f2)" \
    lt "$(basename "$(echo release/debian-13/tazzle_*_amd64.deb)" | cut -d_ -f2)" ||
    fail "a system upgraded from Debian 12 to 13 would keep Debian 12's build"
echo PASS
