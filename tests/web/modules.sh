#!/usr/bin/env bash
# Installs the browser tests' own modules (package.json: puppeteer-core, Lighthouse, axe-core)
# from the npm registry, downloading no browser, and prints where they are. They are kept under
# the cache and made again when package.json changes.
#   modules=$(tests/web/modules.sh)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../tools/lib.sh"
modules=$cache/web-test-$(sha256sum "$here/package.json" | cut -c1-16)
if [ ! -d "$modules/node_modules/puppeteer-core" ]; then
    rm -rf "$modules" "$modules.new"
    mkdir -p "$modules.new"
    cp "$here/package.json" "$modules.new/"
    (cd "$modules.new" && PUPPETEER_SKIP_DOWNLOAD=1 npm install --no-audit --no-fund \
        --no-package-lock --ignore-scripts --loglevel=error) >&2
    mv "$modules.new" "$modules"
    find "$cache" -maxdepth 1 -name 'web-test-*' ! -path "$modules" -exec rm -rf {} +
fi
echo "$modules"
