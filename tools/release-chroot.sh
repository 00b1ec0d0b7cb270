#!/usr/bin/env bash
# Runs a command in a clean chroot of a Debian release, on a copy of this checkout's
# files at /tazzle. The chroot is made from Debian's archive with mmdebstrap and kept between
# runs (packages installed there stay; the checkout and its builds do not). Everything runs in
# private mount and PID namespaces, so nothing stays mounted or running after the command,
# whether it passes, fails or is interrupted.
#   tools/release-chroot.sh other|bookworm|trixie [command...]   (default: ./tools/build.sh test)
# With TAZZLE_BRING_IN=path, that file or folder of the checkout goes into the copy too, even
# where git ignores it; with TAZZLE_BRING_BACK=dir, what the command made in that folder of the
# copy replaces this checkout's folder when it succeeds.
set -euo pipefail
cd "$(dirname "$0")/.."
passed=CI,TAZZLE_CACHE,TAZZLE_BRING_IN,TAZZLE_BRING_BACK,SOURCE_DATE_EPOCH,TAZZLE_WINDOWS_CERT
passed+=,TAZZLE_WINDOWS_CERT_PASSWORD,TAZZLE_WINDOWS_TIMESTAMP_URL
[ "$(id -u)" = 0 ] || exec sudo --preserve-env=$passed "$0" "$@"

release=${1:?usage: $0 other|bookworm|trixie [command...]}
shift
command=("$@")
[ ${#command[@]} -gt 0 ] || command=(./tools/build.sh test)
. /etc/os-release
if [ "$release" = other ]; then
    case $VERSION_CODENAME in
    bookworm) release=trixie ;;
    trixie) release=bookworm ;;
    *) echo "no other supported release known for $VERSION_CODENAME" >&2; exit 2 ;;
    esac
fi

tools/install-missing.sh mmdebstrap
mirror=$(tools/debian-mirror.sh)
source tools/lib.sh
root=$cache/$release
# What the chroot was made with: a different recipe makes a new one.
options=(--variant=apt --include=git,sudo,ca-certificates)
recipe="mmdebstrap ${options[*]} $release $mirror"
mkdir -p "$cache"
exec 9>"$cache/$release.lock"
flock 9

if [ "$(cat "$root.recipe" 2>/dev/null)" != "$recipe" ]; then
    echo "# making a $release chroot in $root"
    rm -rf "$root" "$root.new" "$root.recipe"
    mmdebstrap "${options[@]}" "$release" "$root.new" "$mirror"
    mv "$root.new" "$root"
    echo "$recipe" >"$root.recipe"
fi
# An installed system has a machine id; D-Bus and the desktop rely on it.
[ -s "$root/etc/machine-id" ] || tr -d - </proc/sys/kernel/random/uuid >"$root/etc/machine-id"

echo "# copying the checkout into the $release chroot"
rm -rf "$root/tazzle"
mkdir "$root/tazzle"
git ls-files -z --cached --others --exclude-standard |
    tar --null -T - --ignore-failed-read -cf - 2>/dev/null | tar -xf - -C "$root/tazzle"
if [ -n "${TAZZLE_BRING_IN:-}" ]; then
    mkdir -p "$root/tazzle/$(dirname "$TAZZLE_BRING_IN")"
    cp -a "./$TAZZLE_BRING_IN" "$root/tazzle/$TAZZLE_BRING_IN"
fi

# The maker's Windows signing certificate and its password, as files for the command's time
# only (a password on a command line is there for anyone to read).
secrets=$root/root/.tazzle-signing
rm -rf "$secrets"
trap 'rm -rf "$secrets"' EXIT
if [ -n "${TAZZLE_WINDOWS_CERT:-}" ]; then
    install -d -m 700 "$secrets"
    install -m 600 "$TAZZLE_WINDOWS_CERT" "$secrets/cert.p12"
    (umask 077 && printf '%s' "${TAZZLE_WINDOWS_CERT_PASSWORD:-}" >"$secrets/password")
fi

echo "# running ${command[*]} on $release"
# The lock's descriptor stays out: mmdebstrap's hooks run in dash, which cannot name one above 9.
# unshare's child is the namespace's first process: when it ends, the kernel ends every process
# in the chroot and drops every mount made here. It ends when unshare does, and unshare (which
# shrugs off SIGTERM) is killed when this script ends, however that comes about.
setpriv --pdeathsig KILL unshare --mount --pid --fork --kill-child --propagation private -- \
    bash -euo pipefail -c '
root=$1; shift
# Its own mount point, as a root file system is (unshare and mmdebstrap inside rely on it).
mount --bind "$root" "$root"
mount -t proc proc "$root/proc"
mount --rbind /sys "$root/sys"
mount --rbind /dev "$root/dev"
mount -t tmpfs -o mode=1777 tmpfs "$root/tmp"
mount --bind /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null ||
    { cp /etc/resolv.conf "$root/etc/resolv.conf"; }
# What this machine trusts for TLS (a proxy of its own, say), for Node in the chroot (npm).
hostca=
if cp /etc/ssl/certs/ca-certificates.crt "$root/tmp/host-certificates.crt" 2>/dev/null; then
    hostca=/tmp/host-certificates.crt
fi
exec chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin ${CI:+CI=$CI} \
    ${SOURCE_DATE_EPOCH:+SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH} \
    ${TAZZLE_WINDOWS_CERT:+TAZZLE_WINDOWS_CERT=/root/.tazzle-signing/cert.p12} \
    ${TAZZLE_WINDOWS_CERT:+TAZZLE_WINDOWS_CERT_PASSWORD_FILE=/root/.tazzle-signing/password} \
    ${TAZZLE_WINDOWS_TIMESTAMP_URL:+TAZZLE_WINDOWS_TIMESTAMP_URL=$TAZZLE_WINDOWS_TIMESTAMP_URL} \
    ${hostca:+NODE_EXTRA_CA_CERTS=$hostca} \
    bash -c "cd /tazzle && exec \"\$@\"" tazzle "$@"
' release-chroot "$root" "${command[@]}" 9>&-

if [ -n "${TAZZLE_BRING_BACK:-}" ]; then
    rm -rf "./$TAZZLE_BRING_BACK"
    mkdir -p "$(dirname "./$TAZZLE_BRING_BACK")"
    cp -a "$root/tazzle/$TAZZLE_BRING_BACK" "./$TAZZLE_BRING_BACK"
fi
