#!/usr/bin/env bash
# The resource script, compiled and linked into a bare Windows program file, reads back with
# the version block and icon the program file must carry.
# Usage: windowsresources.sh tazzle.rc Tazzle.ico
set -euo pipefail
here=$(dirname "$0")
source "$here/../lib.sh"
need x86_64-w64-mingw32-windres x86_64-w64-mingw32-ld
/usr/bin/python3 -c "import pefile" 2>/dev/null || need python3-pefile

x86_64-w64-mingw32-windres -O coff -i "$1" -o "$work/resources.o" || fail "windres rejected $1"
x86_64-w64-mingw32-ld --subsystem windows -e 0 -o "$work/Tazzle.exe" "$work/resources.o" ||
    fail "the resources do not link"
/usr/bin/python3 "$here/windowsresources.py" "$work/Tazzle.exe" "$2"
