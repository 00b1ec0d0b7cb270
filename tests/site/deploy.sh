#!/usr/bin/env bash
# What a deployer does on a Debian system: installs nginx, puts the site's configuration in
# sites-enabled as it is and a certificate at the paths it names; nginx must take it. The
# configuration and the certificate go again at the end.
#   tools/release-chroot.sh bookworm|trixie tests/site/deploy.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
tools/install-missing.sh nginx-light libnginx-mod-http-brotli-static openssl >/dev/null
conf=/etc/nginx/sites-enabled/tazzle
trap 'rm -rf "$conf" /etc/ssl/tazzle' EXIT
mkdir -p /etc/ssl/tazzle
openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=www.tazzle.example \
    -keyout /etc/ssl/tazzle/privkey.pem -out /etc/ssl/tazzle/fullchain.pem 2>/dev/null
cp dist/web/nginx.conf "$conf"
. /etc/os-release
echo "Debian $VERSION_ID, $(nginx -v 2>&1):"
nginx -t
