#!/usr/bin/env bash
# Writes Tazzle's apt repository into site/apt/: one suite per Debian release (component main,
# amd64 and source) with a shared pool and by-hash indices, made with apt-ftparchive from the
# packages given; beside it the deb822 sources file of each suite, tazzle-<codename>.sources,
# which a user puts in /etc/apt/sources.list.d/. With TAZZLE_GPG_KEY (keys in the user's
# keyring, separated by spaces) every suite also holds tazzle-archive-keyring (keyring.sh), of
# the release's version or TAZZLE_KEYRING_VERSION; InRelease and Release.gpg are signed with
# each key, and site/tazzle-archive-keyring.pgp holds them all, public: the file the sources
# files name as the keys apt trusts for this repository alone. Without, the repository is
# unsigned and apt refuses it.
#   tools/debian/repository.sh site-dir url codename=package-dir...
# url is the site's address (the repository is at url/apt). Every date is SOURCE_DATE_EPOCH.
# Run again on the same packages with other keys, it re-signs a release (a key's rotation).
set -euo pipefail
[ $# -ge 3 ] || { echo "usage: $0 site-dir url codename=package-dir..." >&2; exit 2; }
site=$1 url=${2%/}
shift 2
tools=$(dirname "$0")/../..
"$tools/tools/install-missing.sh" apt-utils gnupg
keyring=/usr/share/keyrings/tazzle-archive-keyring.pgp

repo=$site/apt
rm -rf "$repo"
pool=pool/main/t/tazzle
mkdir -p "$repo/$pool"
signers=()
if [ -n "${TAZZLE_GPG_KEY:-}" ]; then
    for key in $TAZZLE_GPG_KEY; do signers+=(--local-user "$key"); done
    eval "$(cmake -P "$tools/cmake/release.cmake")"
    "$tools/tools/debian/keyring.sh" "$repo/pool/main/t/tazzle-archive-keyring" \
        "${TAZZLE_KEYRING_VERSION:-$TAZZLE_VERSION}"
fi
codenames=()
for pair in "$@"; do
    codename=${pair%%=*} packages=${pair#*=}
    codenames+=("$codename")
    cp "$packages"/*.deb "$packages"/*.dsc "$packages"/*.tar.* "$repo/$pool/"
    mkdir -p "$repo/dists/$codename/main/binary-amd64" "$repo/dists/$codename/main/source"
    # Each suite lists its own release's build alone; the pool holds them all.
    { (cd "$packages" && ls ./*.deb) | sed "s|^\./|$pool/|"
      (cd "$repo" && find pool/main/t/tazzle-archive-keyring -name '*.deb' 2>/dev/null || true)
    } >"$repo/$codename.debs"
    (cd "$packages" && ls ./*.dsc) | sed "s|^\./|$pool/|" >"$repo/$codename.dscs"
    cat >>"$repo/ftparchive.conf" <<CONF
Tree "dists/$codename" {
    Sections "main";
    Architectures "amd64 source";
    FileList "$codename.debs";
    SourceFileList "$codename.dscs";
};
CONF
done
# apt-ftparchive keeps what it read of each package in a cache, by file name: one for this run
# alone, since every release has packages of the same names.
cache=$(mktemp -d)
trap 'rm -rf "$cache"' EXIT
cat >>"$repo/ftparchive.conf" <<CONF
Dir { ArchiveDir "."; CacheDir "$cache"; };
Default { Packages::Compress ". xz"; Sources::Compress ". xz"; Contents::Compress "xz"; };
CONF
# apt-ftparchive dates Release by the clock unless told otherwise.
released=$(LC_ALL=C date -u -R ${SOURCE_DATE_EPOCH:+-d "@$SOURCE_DATE_EPOCH"})
# Each index also under by-hash/ (Acquire-By-Hash), so that apt, having read one InRelease, gets
# the indices it names even when the next release goes live meanwhile. Release lists the hashes
# that have by-hash copies, and no weaker ones.
hashes=(-o APT::FTPArchive::DoByHash=true -o APT::FTPArchive::MD5=false
    -o APT::FTPArchive::SHA1=false)
(
    cd "$repo"
    apt-ftparchive "${hashes[@]}" -qq generate ftparchive.conf
    rm -f ftparchive.conf ./*.debs ./*.dscs
    for codename in "${codenames[@]}"; do
        apt-ftparchive "${hashes[@]}" -o APT::FTPArchive::Release::Origin=Tazzle \
            -o APT::FTPArchive::Release::Label=Tazzle \
            -o APT::FTPArchive::Release::Suite="$codename" \
            -o APT::FTPArchive::Release::Codename="$codename" \
            -o APT::FTPArchive::Release::Architectures="amd64 source" \
            -o APT::FTPArchive::Release::Components=main \
            -o APT::FTPArchive::Release::Description="Tazzle for Debian $codename" \
            -o APT::FTPArchive::Release::Date="$released" \
            release "dists/$codename" >"dists/$codename/Release.new"
        mv "dists/$codename/Release.new" "dists/$codename/Release"
    done
)

rm -f "$site"/tazzle-*.sources "$site/tazzle-archive-keyring.pgp"
for codename in "${codenames[@]}"; do
    cat >"$site/tazzle-$codename.sources" <<SOURCES
Types: deb
URIs: $url/apt
Suites: $codename
Components: main
Signed-By: $keyring
SOURCES
done

if [ -z "${TAZZLE_GPG_KEY:-}" ]; then
    echo "The apt repository is not signed (no TAZZLE_GPG_KEY): apt refuses it until it is."
    exit 0
fi
dpkg-deb --fsys-tarfile "$(echo "$repo"/pool/main/t/tazzle-archive-keyring/*.deb)" |
    tar -xO ./usr/share/keyrings/tazzle-archive-keyring.pgp >"$site/tazzle-archive-keyring.pgp"
for codename in "${codenames[@]}"; do
    dists=$repo/dists/$codename
    gpg --batch --yes "${signers[@]}" --digest-algo SHA512 --clearsign \
        --output "$dists/InRelease" "$dists/Release"
    gpg --batch --yes "${signers[@]}" --digest-algo SHA512 --armor \
        --detach-sign --output "$dists/Release.gpg" "$dists/Release"
done
