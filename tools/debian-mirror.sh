#!/usr/bin/env bash
# Prints the Debian mirror this system's own apt sources use for its release's main component,
# so that chroots and package tests fetch from where the system already does.
set -euo pipefail
. /etc/os-release
mirror=$(apt-cache policy | awk -v suite="$VERSION_CODENAME/main" '$3 == suite { print $2; exit }')
if [ -z "$mirror" ]; then
    echo "no apt source for $VERSION_CODENAME main (run apt-get update first)" >&2
    exit 1
fi
echo "$mirror"
