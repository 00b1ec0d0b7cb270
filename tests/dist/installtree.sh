#!/usr/bin/env bash
# The tree that `cmake --install` makes is one the desktop accepts: a valid desktop entry and
# AppStream metadata, every hicolor icon the size its folder names (the smallest opaque), the
# manual and the licence; the only site it names is the configured one.
# Usage: installtree.sh build-dir app-id program-version website-url
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
build=$1 appId=$2 version=$3 site=${4%/}
need desktop-file-validate appstreamcli identify convert man

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
share=$prefix/share

echo "# desktop entry and metadata"
desktop-file-validate "$share/applications/$appId.desktop" || fail "desktop entry rejected"
metainfo=$share/metainfo/$appId.metainfo.xml
appstreamcli validate --no-net "$metainfo" || fail "metadata rejected"
grep -q "<launchable type=\"desktop-id\">$appId.desktop</launchable>" "$metainfo" &&
    grep -q "<release version=\"$version\" date=" "$metainfo" &&
    grep -q 'content_rating type="oars-1.1"' "$metainfo" || fail "metadata incomplete"

echo "# icons"
for size in 16 22 24 32 48 64 128 256; do
    png=$share/icons/hicolor/${size}x$size/apps/$appId.png
    [ "$(identify -format '%m %wx%h' "$png")" = "PNG ${size}x$size" ] || fail "$png is wrong"
done
# Opaque: no pixel's alpha below full, read from the pixels (ImageMagick 6 and 7 differ on
# what %[opaque] answers).
[ "$(convert "$share/icons/hicolor/16x16/apps/$appId.png" -alpha set -alpha extract \
    -format '%[fx:minima]' info:)" = 1 ] || fail "the 16×16 icon is not opaque"
[ -s "$share/icons/hicolor/scalable/apps/$appId.svg" ] || fail "no scalable icon"

echo "# program, manual, licence"
program=$(find "$prefix" -type f -perm -u+x -name tazzle)
[ -n "$program" ] || fail "no program installed"
manual=$(MANWIDTH=80 man --warnings -l "$share/man/man6/tazzle.6" 2>&1)
grep -q "^OPTIONS" <<<"$manual" && ! grep -q "warning" <<<"$manual" ||
    fail "the manual does not render cleanly: $manual"
grep -q "MIT License" "$share/doc/tazzle/LICENSE" || fail "no licence"

echo "# the site"
others=$(grep -rhoaE 'https?://[A-Za-z0-9.-]+' "$prefix" | sort -u |
    grep -vxF -e "$site" -e http://www.w3.org) || true
[ -z "$others" ] || fail "the tree names sites beside $site: $others"
echo PASS
