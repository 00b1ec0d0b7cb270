#!/usr/bin/env bash
# Installs those of the given Debian packages that are not installed yet, with sudo unless root.
# Usage: tools/install-missing.sh package...
set -euo pipefail
missing=()
for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" ||
        missing+=("$package")
done
[ ${#missing[@]} -gt 0 ] || exit 0
echo "Installing ${missing[*]}"
sudo=""
[ "$(id -u)" = 0 ] || sudo=sudo
$sudo apt-get update
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
