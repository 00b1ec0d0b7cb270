#!/usr/bin/env bash
# Puts a release's site (release/site/) live at WEBROOT, the folder that the web server's root
# names, so that no one in flight is hurt: a visitor whose page came before the switch, a game
# whose service worker is caching, apt with lists from before it or in the middle of an update.
#   tools/publish.sh [--rollback] [--unsigned] SITE WEBROOT
# WEBROOT becomes a link to a folder per publish in WEBROOT.releases/, switched with one rename:
# a reader meets the old release or the new one, never a mix. Each folder holds its release's
# site and, from the release it replaced, what that one's clients may still ask for: the files
# named after their content (the game's program and font), the apt pool and the indices by hash.
# Every release's downloads (download/<version>/) stay for good; anything else only an older
# release named goes. Publishing the live release again changes nothing; an older one is refused
# unless --rollback; an unsigned one unless --unsigned. A plain folder at WEBROOT (a copy made by
# hand) is kept as WEBROOT.releases/0000-<its version>, never deleted: remove it when no longer
# needed.
set -euo pipefail
usage() { echo "usage: $0 [--rollback] [--unsigned] SITE WEBROOT" >&2; exit 2; }
die() { echo "publish: $*; nothing changed" >&2; exit 1; }
trap 'echo "publish: \"$BASH_COMMAND\" failed; nothing changed" >&2' ERR
rollback=no unsigned=no
while [ $# -gt 0 ]; do
    case $1 in
    --rollback) rollback=yes ;;
    --unsigned) unsigned=yes ;;
    -*) usage ;;
    *) break ;;
    esac
    shift
done
[ $# = 2 ] || usage
started=$(date +%s%N)

# What is given must be a whole release's site.
[ -d "$1" ] || die "$1 is not a folder"
site=$(cd "$1" && pwd -P)
for file in index.html play/index.html play/sw.js; do
    [ -f "$site/$file" ] || die "$1 is not a release's site: it has no $file"
done
shopt -s nullglob
folders=("$site"/download/*/)
suites=("$site"/apt/dists/*/Release)
shopt -u nullglob
[ ${#folders[@]} = 1 ] || die "$1 is not a release's site: not one folder in download/"
version=$(basename "${folders[0]}")
[[ $version =~ ^[0-9][0-9A-Za-z.+~]*$ ]] || die "$1 is of no version: download/$version/"
[ ${#suites[@]} -gt 0 ] || die "$1 is not a release's site: it has no apt repository"
[ -f "$site/download/$version/SHA256SUMS" ] || die "$1 has no download/$version/SHA256SUMS"
(cd "$site/download/$version" && sha256sum --check --strict --quiet --ignore-missing SHA256SUMS \
    >/dev/null 2>&1) ||
    die "the files of $1/download/$version/ do not match their checksums"
if [ $unsigned = no ]; then
    keyring=$site/tazzle-archive-keyring.pgp
    notSigned() { die "$version is not signed (no $1); --unsigned publishes it so"; }
    [ -s "$keyring" ] || notSigned tazzle-archive-keyring.pgp
    home=$(mktemp -d)
    trap 'rm -rf "$home"' EXIT
    for suite in "${suites[@]}"; do
        inrelease=$(dirname "$suite")/InRelease
        [ -f "$inrelease" ] || notSigned "${inrelease#"$site"/}"
        gpgv --homedir "$home" --keyring "$keyring" "$inrelease" >/dev/null 2>&1 ||
            die "${inrelease#"$site"/} is not signed by the key beside it"
    done
    gpgv --homedir "$home" --keyring "$keyring" "$site/download/$version/SHA256SUMS.asc" \
        "$site/download/$version/SHA256SUMS" >/dev/null 2>&1 ||
        die "download/$version/SHA256SUMS is not signed by the key beside it"
fi

# What is live now.
webroot=${2%/}
[ -n "$webroot" ] || usage
parent=$(dirname "$webroot")
name=$(basename "$webroot")
[ -d "$parent" ] || die "$parent is not a folder"
releases=$parent/$name.releases
# One publish at a time, without writing anything to say so.
exec 9<"$parent"
flock -n 9 || die "another publish of $parent is running"
previous='' live='' migrating=no
if [ -L "$webroot" ]; then
    target=$(readlink "$webroot")
    [[ $target == "$name.releases/"* ]] && [ -d "$releases/${target#*/}" ] ||
        die "$webroot links to $target, which this tool did not publish"
    previous=$releases/${target#*/}
    live=${target#*/}
    live=${live#*-}
elif [ -d "$webroot" ]; then
    # A copy made by hand: of the version whose files it offers, where it tells.
    migrating=yes previous=$webroot
    shopt -s nullglob
    found=("$webroot"/download/*/SHA256SUMS "$webroot"/download/tazzle-web-*.tar.gz)
    shopt -u nullglob
    if [ ${#found[@]} = 1 ]; then
        live=$(basename "$(dirname "${found[0]}")")
        [ "$live" != download ] || live=$(basename "${found[0]}" .tar.gz | sed 's/^tazzle-web-//')
    fi
elif [ -e "$webroot" ]; then
    die "$webroot is neither a folder nor a link"
fi

# The files of the given site, with their hashes: what this publish puts live.
own=$(cd "$site" && find . -type f -printf '%P\0' | LC_ALL=C sort -z | xargs -0 sha256sum)
if [ -n "$live" ] && [ $migrating = no ] && [ "$version" = "$live" ]; then
    [ "$own" = "$(cat "$previous.files" 2>/dev/null)" ] ||
        die "$version is live already, built otherwise: publish it under a version of its own"
    echo "publish: $version is live at $webroot already; nothing to do"
    exit 0
fi
if [ -n "$live" ] && [ "$version" != "$live" ] &&
    [ "$(printf '%s\n%s\n' "$version" "$live" | sort -V | head -n1)" = "$version" ] &&
    [ $rollback = no ]; then
    die "$version is older than the live $live; --rollback publishes it"
fi

# The new release's folder, made beside the live one.
mkdir -p "$releases"
last=$(find "$releases" -mindepth 1 -maxdepth 1 -type d -name '[0-9][0-9][0-9][0-9]-*' \
    -printf '%f\n' | sort | tail -n1)
next=$(printf '%04d-%s' $((${last:+10#${last%%-*}} + 1)) "$version")
partial=$releases/.$next.partial
undo() {
    rm -rf "$partial" "$partial.kept" "${releases:?}/$next" "$releases/$next.files" "$webroot.next"
    rmdir "$releases" 2>/dev/null || true
}
trap 'undo; rm -rf "${home:-}"' EXIT
cp -a "$site/." "$partial/"

# From the release replaced: what its clients may still ask for, and every release's downloads.
if [ -n "$previous" ]; then
    if [ -f "$previous.files" ]; then
        sed 's/^[0-9a-f]*  //' "$previous.files"
    else
        (cd "$previous" && find . -type f -printf '%P\n')
    fi | { grep -E '(^|/)[^/]+-[0-9a-f]{16}\.(js|wasm|woff2)(\.br|\.gz)?$|^apt/pool/|/by-hash/' ||
        true; } >"$partial.kept"
    [ ! -d "$previous/download" ] ||
        (cd "$previous" && find download -type f ! -path download/index.html) >>"$partial.kept"
    carried=0
    while IFS= read -r path; do
        [ ! -e "$partial/$path" ] || continue
        mkdir -p "$(dirname "$partial/$path")"
        ln "$previous/$path" "$partial/$path" 2>/dev/null ||
            cp -a "$previous/$path" "$partial/$path"
        carried=$((carried + 1))
    done <"$partial.kept"
    rm -f "$partial.kept"
fi

# /download/: the live release first, then the others, newest first.
{
    printf '<!doctype html>\n<html lang="en">\n<head>\n<meta charset="utf-8">\n'
    printf '<meta name="viewport" content="width=device-width, initial-scale=1">\n'
    printf '<title>Downloads</title>\n</head>\n<body>\n<h1>Downloads</h1>\n<ul>\n'
    printf '<li><a href="%s/">%s</a>, the latest</li>\n' "$version" "$version"
    (cd "$partial/download" && find . -mindepth 1 -maxdepth 1 -type d -printf '%P\n') |
        { grep -vxF "$version" || true; } | sort -rV |
        while IFS= read -r other; do
            printf '<li><a href="%s/">%s</a></li>\n' "$other" "$other"
        done
    (cd "$partial/download" && find . -mindepth 1 -maxdepth 1 -type f ! -name index.html \
        -printf '%P\n') | LC_ALL=C sort |
        while IFS= read -r file; do printf '<li><a href="%s">%s</a></li>\n' "$file" "$file"; done
    printf '</ul>\n</body>\n</html>\n'
} >"$partial/download/index.html"

printf '%s\n' "$own" >"$releases/$next.files"
mv -T "$partial" "$releases/$next"

# The switch: one rename of a link. A plain folder is swapped for the link in one step too.
ln -sfn "$name.releases/$next" "$webroot.next"
if [ $migrating = yes ]; then
    python3 - "$webroot.next" "$webroot" <<'SWAP' || exit 1
import ctypes, os, sys
libc = ctypes.CDLL(None, use_errno=True)
RENAME_EXCHANGE = 2
if libc.renameat2(-100, os.fsencode(sys.argv[1]), -100, os.fsencode(sys.argv[2]),
                  RENAME_EXCHANGE) != 0:
    sys.exit(f"publish: cannot swap {sys.argv[2]} for a link in one step: "
             f"{os.strerror(ctypes.get_errno())}; nothing changed")
SWAP
    # Live now: from here on, nothing is undone, and the folder made by hand is never removed.
    trap - EXIT
    previous=$releases/0000-${live:-earlier}
    mv -T "$webroot.next" "$previous" ||
        { echo "publish: $version is live; the folder that was at $webroot is $webroot.next" >&2
          exit 1; }
    echo "publish: the folder that was at $webroot is kept as $previous"
else
    mv -T "$webroot.next" "$webroot"
fi
trap - EXIT
rm -rf "${home:-}"

# Kept: the live release, the one before it (for a rollback), and a folder made by hand.
for folder in "$releases"/*; do
    case $folder in
    "$releases/$next" | "$releases/$next.files" | "${previous:-}" | "${previous:-}.files") ;;
    "$releases"/0000-*) ;;
    *) rm -rf "$folder" ;;
    esac
done
rm -rf "$releases"/.*.partial
echo "publish: $version is live at $webroot${live:+ (was $live)}; ${carried:-0} files kept from" \
    "before, in $((($(date +%s%N) - started) / 1000000)) ms"
