#!/usr/bin/env bash
# The makers' site as the world meets it: release/site/ served by nginx with the configuration
# shipped in dist/web/, as it is but for what a deployer sets, on this machine's ports 443 and 80
# under the site's own host name, its certificate from an authority made for this run.
# - Every address on the site's host that the program, the packages, the metadata, the manual,
#   the README, the installer or the site's own pages name answers 200 with its type.
# - Plain HTTP redirects to HTTPS, at the site's own name; TLS 1.2 and 1.3 only, HTTP/2 and HSTS.
# - Chromium, Firefox and WebKit, each trusting that authority, show the home page and follow
#   its links, play the game offline after one visit, and open the home page from the game's
#   link (site.mjs); Lighthouse and the bytes of the home page (bench/web.mjs).
# - A deployer's nginx, on a clean Debian 12 and 13, accepts the file (deploy.sh).
# Usage: tests/site/site.sh    (after tools/build.sh release; as root)
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
here=$(cd "$(dirname "$0")" && pwd)
cd "$here/../.."
[ -f release/site/index.html ] || fail "no release/site/ (tools/build.sh release)"
tools/install-missing.sh nginx-light libnginx-mod-http-brotli-static openssl curl p7zip-full \
    libnss3-tools chromium firefox-esr webkit2gtk-driver xvfb xauth dbus dbus-x11 x11-utils \
    imagemagick python3-jsonschema python3-yaml
need nginx openssl curl 7z certutil unshare chromium firefox-esr WebKitWebDriver Xvfb
source tests/site/served.sh
site=$(realpath release/site)
serveSite "$site" 443

echo "# TLS, as a client meets it"
tls() { # openssl s_client options...
    openssl s_client -connect 127.0.0.1:443 -servername "$host" -CAfile "$work/ca.pem" "$@" \
        </dev/null 2>&1 | grep -aE "^(New,|ALPN protocol|Server Temp Key|Verify return code)"
}
tls -alpn h2,http/1.1 | tee "$work/tls.txt"
grep -q "^Verify return code: 0 (ok)" "$work/tls.txt" &&
    grep -q "^ALPN protocol: h2" "$work/tls.txt" ||
    fail "TLS does not verify or offers no HTTP/2"
tls -tls1_2 | grep "^New, TLSv1.2" || fail "no TLS 1.2"
for protocol in tls1 tls1_1; do
    ! openssl s_client -connect 127.0.0.1:443 -servername "$host" -"$protocol" \
        -cipher 'DEFAULT@SECLEVEL=0' </dev/null >/dev/null 2>&1 || fail "the site speaks $protocol"
done
echo "$protocol and older refused"
fetch --head "$url/" | tr -d '\r' | tee "$work/headers.txt"
for header in "HTTP/2 200" "strict-transport-security: max-age=63072000" \
    "content-security-policy: default-src 'none'" "x-content-type-options: nosniff" \
    "referrer-policy: no-referrer"; do
    grep -qi "^$header" "$work/headers.txt" || fail "no \"$header\" from $url/"
done
# To the site's own name, whatever name the client sent.
redirect=$(fetch --head --output /dev/null --write-out '%{http_code} %{redirect_url}' \
    --header "Host: elsewhere.example" "http://$host/play/?from=plain")
echo "http://$host/play/?from=plain, as elsewhere.example: $redirect"
[ "$redirect" = "301 $url/play/?from=plain" ] || fail "plain HTTP does not redirect to $url"

echo "# every address on $host that the release names"
mkdir "$work/unpacked"
for deb in release/debian-*/*.deb; do
    dpkg-deb -R "$deb" "$work/unpacked/$(basename "$deb" .deb)"
done
for installer in release/*-setup.exe; do
    7z x -o"$work/unpacked/$(basename "$installer" .exe)" "$installer" >/dev/null
done
codenames=$(cd release && ls tazzle-*.sources | sed 's/^tazzle-//; s/\.sources$//' | paste -sd,)
python3 "$here/addresses.py" "$url" "$site" "$codenames" README.md "$work/unpacked" \
    release/tazzle-*.sources release/debian-*/*.dsc release/winget >"$work/addresses.txt"
# The type each kind of file must come with.
expected() {
    case ${1%%\?*} in
    */ | "$url" | *.html) echo text/html ;;
    *.png) echo image/png ;;
    *.svg) echo image/svg+xml ;;
    *.js) echo application/javascript ;;
    *.wasm) echo application/wasm ;;
    *.woff2) echo font/woff2 ;;
    *.json) echo application/json ;;
    *.pgp) echo application/pgp-keys ;;
    *.asc | *.gpg) echo application/pgp-signature ;;
    *.deb) echo application/vnd.debian.binary-package ;;
    *.dsc) echo text/prs.lines.tag ;;
    *.exe) echo application/vnd.microsoft.portable-executable ;;
    *.tar.gz) echo application/gzip ;;
    *.tar.xz) echo application/x-xz ;;
    *.txt | *.sources | */InRelease | */SHA256SUMS) echo text/plain ;;
    *) echo "(unknown)" ;;
    esac
}
while IFS=$'\t' read -r address where; do
    answer=$(fetch --location --output /dev/null \
        --write-out '%{http_code} %{content_type} HTTP/%{http_version} %{url_effective}' \
        "$address")
    [ "${address#"$url"}" = "$address" ] && fail "$address is not on $url"
    read -r status type _ <<<"${answer//;/ }"
    effective=${answer##* }
    [ "$effective" = "$address" ] && effective= || effective=" -> $effective"
    echo "${answer% *}  $address$effective  ($where)" | sed "s|$work/unpacked/||g"
    [ "$status" = 200 ] && [ "$type" = "$(expected "${answer##* }")" ] ||
        fail "$address answers $answer, not 200 $(expected "${answer##* }")"
done <"$work/addresses.txt"
echo "$(wc -l <"$work/addresses.txt") addresses"

echo "# the winget manifests, as winget's community repository and then winget take them"
schemas=../shared/winget
[ -d "$schemas" ] || fail "no winget schemas in $schemas"
/usr/bin/python3 tests/windows/manifests.py check "$schemas" release/winget
while read -r address sha; do
    fetch --fail --output "$work/served.exe" "$address"
    [ "$(sha256sum <"$work/served.exe" | cut -d' ' -f1)" = "$sha" ] ||
        fail "$address is not the installer whose hash the manifest gives"
    echo "$address: SHA-256 $sha, as the manifest says"
done < <(/usr/bin/python3 tests/windows/manifests.py get release/winget Installers |
    /usr/bin/python3 -c 'import json, sys
for installer in json.load(sys.stdin):
    print(installer["InstallerUrl"], installer["InstallerSha256"].lower())')

echo "# the home page's way to verify a download, on the installer fetched from the site"
mkdir "$work/verify"
downloads=$TAZZLE_DOWNLOADS
for file in $downloads/SHA256SUMS $downloads/SHA256SUMS.asc tazzle-archive-keyring.pgp \
    "$downloads/$(basename release/*-user-setup.exe)"; do
    fetch --fail --output "$work/verify/$(basename "$file")" "$url/$file"
done
python3 -c 'import html, re, sys
page = open(sys.argv[1]).read().split("id=\"verify\"")[1]
print(html.unescape(re.search(r"<pre><code>(.*?)</code></pre>", page, re.S).group(1)))' \
    "$site/index.html" >"$work/verify.sh"
sed 's/^/$ /' "$work/verify.sh"
(cd "$work/verify" && GNUPGHOME=$work/verify bash -euo pipefail "$work/verify.sh" 2>&1) ||
    fail "the home page's commands do not verify the installer"
nginx_stop

echo "# in Chromium, Firefox and WebKit, at $url"
modules=$(tests/web/modules.sh)
export TAZZLE_NODE_MODULES=$modules
title=$(sed -n 's|.*<title>\(.*\)</title>.*|\1|p' "$site/index.html")
# Each browser trusts the authority of this run, and it alone beside the system's.
trustingDatabase "$work/chromium/.pki/nssdb"
trustingDatabase "$work/firefox/profile"
# WebKitGTK has no switch for either: it runs where the host name and the authority are the
# system's own, in a mount namespace of its own that goes with it.
{ cat /etc/hosts; echo "127.0.0.1 $host"; } >"$work/hosts"
cat /etc/ssl/certs/ca-certificates.crt "$work/ca.pem" >"$work/authorities.pem"
minibrowser=$("$here/../web/webkit.sh" --path)
for engine in chromium firefox webkit; do
    serveSite "$site" 443
    status=0
    if [ "$engine" = webkit ]; then
        inGroup unshare --mount --propagation private -- bash -c '
            mount --bind "$0/hosts" /etc/hosts &&
            mount --bind "$0/authorities.pem" /etc/ssl/certs/ca-certificates.crt &&
            exec "$@"' "$work" "$here/../web/webkit.sh" "$here/site.mjs" webkit "$minibrowser" \
            "$work" "$url" "$title" 2>"$work/webkit.log" || status=$?
    else
        binary=$(command -v "$engine" || command -v "$engine-esr")
        inGroup node "$here/site.mjs" "$engine" "$binary" "$work" "$url" "$title" \
            "$work/$engine" || status=$?
    fi
    nginx_stop
    [ "$status" = 0 ] ||
        fail "$engine: the site does not hold $(tail -n 20 "$work/webkit.log" 2>/dev/null)"
done
# The pictures of the site, for a person to look at.
rm -rf build-site-test
mkdir build-site-test
cp "$work"/*home*.png build-site-test/

echo "# a deployer's nginx takes the file as it is"
for release in bookworm trixie; do
    tools/release-chroot.sh "$release" tests/site/deploy.sh
done
echo PASS
