#!/usr/bin/env bash
# Unpacks this Debian release's own source of qt6-base (the given version) into <folder>/src,
# fetched through an apt configuration of its own: the system's apt sources stay as they are.
#   tools/qt-source.sh <version> <folder>     (used by tools/windows/qt.sh)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
version=${1:?usage: $0 version folder}
work=$(realpath "${2:?usage: $0 version folder}")
. /etc/os-release
mirror=$("$here/debian-mirror.sh")
apt=$work/apt
mkdir -p "$apt/lists/partial"
echo "deb-src $mirror $VERSION_CODENAME main" >"$apt/sources.list"
aptopts=(-o "Dir::Etc::SourceList=$apt/sources.list" -o Dir::Etc::SourceParts=-
    -o "Dir::State::Lists=$apt/lists")
apt-get "${aptopts[@]}" update
cd "$work"
apt-get "${aptopts[@]}" source --download-only "qt6-base=$version"
dpkg-source --no-check -x qt6-base_*.dsc src
