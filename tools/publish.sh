#!/usr/bin/env bash
# Puts a release's site (release/site/) live at WEBROOT, the folder that the web server's root
# names, so that no one in flight is hurt: a visitor whose page came before the switch, a game
# whose service worker is caching, apt with lists from before it or in the middle of an update.
#   tools/publish.sh [--trust KEYRING] [--rollback] [--unsigned] SITE WEBROOT
# Trusts nothing the site says of itself. The first publish at WEBROOT names the keyring it
# trusts (the makers' public key, exported from their own keyring); it is kept as
# WEBROOT.releases/trusted.pgp, outside what is served. The site is copied first, as plain
# folders and files of the publishing user (0755, 0644), and the copy is checked: every file
# listed with its hash in manifest.txt, which a trusted key signs, as it does InRelease of every
# apt suite and download/<version>/SHA256SUMS; the version the manifest signs the name of the one
# folder in download/. A release signed by a trusted key and a new one moves the trust to the
# keys it signs with (a key rotation); anything else that would move it is refused. To trust
# anew after losing the key, remove the kept trust by hand, then publish with --trust.
# WEBROOT becomes a link to a folder per publish in WEBROOT.releases/, switched with one rename:
# a reader meets the old release or the new one, never a mix. Each folder holds its release's
# site and, from the release it replaced, what that one's clients may still ask for: the files
# named after their content (the game's program and font), the apt pool and the indices by hash.
# Every release's downloads (download/<version>/) stay for good; anything else only an older
# release named goes. Publishing the live release again changes nothing; an older one is refused
# unless --rollback; an unsigned one unless --unsigned, which no WEBROOT that trusts a key takes.
# A plain folder at WEBROOT (a copy made by hand) is kept as WEBROOT.releases/0000-<its
# version>, never deleted: remove it when no longer needed.
set -euo pipefail
usage() { echo "usage: $0 [--trust KEYRING] [--rollback] [--unsigned] SITE WEBROOT" >&2; exit 2; }
die() { echo "publish: $*; nothing changed" >&2; exit 1; }
trap 'echo "publish: \"$BASH_COMMAND\" failed; nothing changed" >&2' ERR
tree=$(dirname "$0")/sitetree.py
rollback=no unsigned=no trust=''
while [ $# -gt 0 ]; do
    case $1 in
    --trust) [ $# -gt 1 ] || usage; trust=$2; shift ;;
    --rollback) rollback=yes ;;
    --unsigned) unsigned=yes ;;
    -*) usage ;;
    *) break ;;
    esac
    shift
done
[ $# = 2 ] && { [ -z "$trust" ] || [ $unsigned = no ]; } || usage
started=$(date +%s%N)
umask 022
[ -d "$1" ] || die "$1 is not a folder"
site=$(cd "$1" && pwd -P)

# What is live now.
webroot=${2%/}
[ -n "$webroot" ] || usage
parent=$(dirname "$webroot")
name=$(basename "$webroot")
[ -d "$parent" ] || die "$parent is not a folder"
releases=$parent/$name.releases
[ ! -e "$releases" ] || [ -d "$releases" ] && [ ! -L "$releases" ] ||
    die "$releases is not a folder of this tool's"
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

# The keys trusted here: kept from before, or given now for the first time.
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
kept=$releases/trusted.pgp
trusted=$kept
if [ -n "$trust" ]; then
    gpg --homedir "$home" --batch --quiet --import "$trust" 2>/dev/null &&
        gpg --homedir "$home" --batch --export --export-options export-minimal >"$home/given.pgp" &&
        [ -s "$home/given.pgp" ] || die "$trust is not a keyring"
    if [ -e "$kept" ]; then
        [ "$(python3 "$tree" keys "$home/given.pgp")" = "$(python3 "$tree" keys "$kept")" ] ||
            die "$webroot trusts other keys ($kept): a release signed by a trusted key and" \
                "the new one moves the trust"
    else
        trusted=$home/given.pgp
    fi
elif [ $unsigned = yes ]; then
    [ ! -e "$kept" ] || die "$webroot trusts a key ($kept), so it takes no unsigned release"
    trusted=--unsigned
elif [ ! -e "$kept" ]; then
    die "$webroot trusts no key yet: publish its first release with --trust KEYRING"
fi

# The new release's folder, made beside the live one: the site copied into it, then checked.
[ -d "$releases" ] || made=$releases
mkdir -p "$releases"
last=$(find "$releases" -mindepth 1 -maxdepth 1 -type d -name '[0-9][0-9][0-9][0-9]-*' \
    -printf '%f\n' | sort | tail -n1)
number=$(printf '%04d' $((${last:+10#${last%%-*}} + 1)))
partial=$releases/.$number.partial
undo() {
    rm -rf "$partial" "$partial.files" "${releases:?}/$number-"* "$webroot.next" "$kept.new" \
        "$home"
    [ -z "${made:-}" ] || rmdir "$made" 2>/dev/null || true
}
trap undo EXIT
rm -rf "$partial"
python3 "$tree" copy "$site" "$partial" 2>"$home/refusal" || die "$1: $(cat "$home/refusal")"
read -r version _ < <(python3 "$tree" verify "$partial" "$trusted" "$partial.files" \
    2>"$home/refusal") || die "$1: $(cat "$home/refusal")"
next=$number-$version

if [ -n "$live" ] && [ $migrating = no ] && [ "$version" = "$live" ]; then
    cmp -s "$partial.files" "$previous.files" ||
        die "$version is live already, built otherwise: publish it under a version of its own"
    [ -e "$kept" ] || [ $unsigned = yes ] || cp "$trusted" "$kept"
    echo "publish: $version is live at $webroot already; nothing to do"
    undo
    trap - EXIT
    exit 0
fi
if [ -n "$live" ] && [ "$version" != "$live" ] &&
    [ "$(printf '%s\n%s\n' "$version" "$live" | sort -V | head -n1)" = "$version" ] &&
    [ $rollback = no ]; then
    die "$version is older than the live $live; --rollback publishes it"
fi

# From the release replaced: what its clients may still ask for, and every release's downloads.
if [ -n "$previous" ]; then
    if [ -f "$previous.files" ]; then
        sed 's/^[0-9a-f]*  //' "$previous.files"
    else
        (cd "$previous" && find . -type f -printf '%P\n')
    fi | { grep -E '(^|/)[^/]+-[0-9a-f]{16}\.(js|wasm|woff2)(\.br|\.gz)?$|^apt/pool/|/by-hash/' ||
        true; } >"$home/carried"
    [ ! -d "$previous/download" ] ||
        (cd "$previous" && find download -type f ! -path download/index.html) >>"$home/carried"
    carried=$(python3 "$tree" carry "$previous" "$partial" <"$home/carried" 2>"$home/refusal") ||
        die "cannot keep what $previous had: $(cat "$home/refusal")"
fi

# /download/: the live release first, then the others, newest first.
escape() { sed -e 's/&/\&amp;/g' -e 's/</\&lt;/g' -e 's/>/\&gt;/g' -e 's/"/\&quot;/g'; }
item() { # name, what the address adds to it, what the line adds to it
    local html
    html=$(printf '%s' "$1" | escape)
    printf '<li><a href="%s%s">%s</a>%s</li>\n' "$html" "$2" "$html" "$3"
}
{
    printf '<!doctype html>\n<html lang="en">\n<head>\n<meta charset="utf-8">\n'
    printf '<meta name="viewport" content="width=device-width, initial-scale=1">\n'
    printf '<title>Downloads</title>\n</head>\n<body>\n<h1>Downloads</h1>\n<ul>\n'
    item "$version" / ", the latest"
    (cd "$partial/download" && find . -mindepth 1 -maxdepth 1 -type d -printf '%P\n') |
        { grep -vxF "$version" || true; } | sort -rV |
        while IFS= read -r other; do item "$other" / ""; done
    (cd "$partial/download" && find . -mindepth 1 -maxdepth 1 -type f ! -name index.html \
        -printf '%P\n') | LC_ALL=C sort |
        while IFS= read -r file; do item "$file" "" ""; done
    printf '</ul>\n</body>\n</html>\n'
} >"$home/downloads.html"
rm -f "$partial/download/index.html"
cp "$home/downloads.html" "$partial/download/index.html"

mv "$partial.files" "$releases/$next.files"
mv -T "$partial" "$releases/$next"
# The keys this release signs with are trusted from the moment it is live.
[ $unsigned = yes ] || cp "$releases/$next/tazzle-archive-keyring.pgp" "$kept.new"

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
    [ $unsigned = yes ] || mv "$kept.new" "$kept"
    previous=$releases/0000-${live:-earlier}
    mv -T "$webroot.next" "$previous" ||
        { echo "publish: $version is live; the folder that was at $webroot is $webroot.next" >&2
          exit 1; }
    echo "publish: the folder that was at $webroot is kept as $previous"
else
    mv -T "$webroot.next" "$webroot"
fi
trap - EXIT
[ $unsigned = yes ] || [ ! -e "$kept.new" ] || mv "$kept.new" "$kept"
rm -rf "$home"

# Kept: the live release, the one before it (for a rollback), and a folder made by hand.
for folder in "$releases"/*; do
    case $folder in
    "$releases/$next" | "$releases/$next.files" | "${previous:-}" | "${previous:-}.files") ;;
    "$kept") ;;
    "$releases"/0000-*) ;;
    *) rm -rf "$folder" ;;
    esac
done
rm -rf "$releases"/.*.partial
echo "publish: $version is live at $webroot${live:+ (was $live)}; ${carried:-0} files kept from" \
    "before, in $((($(date +%s%N) - started) / 1000000)) ms"
