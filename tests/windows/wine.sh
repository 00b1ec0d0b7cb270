#!/usr/bin/env bash
# Tazzle for Windows as a Windows user meets it, under Wine in a fresh prefix, installed as winget
# drives it, with the switches and codes of the release's manifests: a silent install that shows
# no window and leaves the entry the manifest declares, a silent upgrade to the next version
# (one entry, the newer version, no stale file), what it leaves (files, the Start-menu shortcut),
# the program file's identity, playing at 100 % and 150 % with the real pointer, installing and
# uninstalling while Tazzle runs (the declared code, nothing changed), and the entry's quiet
# uninstall that leaves nothing. Then the start-up cost beside a bare Qt window.
# The next version is this tree one patch release on, built here with its licence under another
# name, so that the upgrade has a file of this version to remove.
# Usage: wine.sh build-windows website-url   (build-windows: the installer, its winget/ manifests
#   and the build tree; the next version goes to build-windows/next)
set -euo pipefail
out=$(cd "$1" && pwd)
url=${2:?usage: $0 build-windows website-url}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../lib.sh"
expectedWindow
need wine wineserver Xvfb openbox xdotool wmctrl xwininfo xprop import convert compare tesseract
/usr/bin/python3 -c "import pefile, yaml" 2>/dev/null || need python3-pefile python3-yaml

echo "# the next version, built from a copy of this tree"
next=$out/next
rm -rf "$next" && mkdir -p "$next/source"
(cd "$here/../.." && tar --exclude=./build --exclude='./build-*' --exclude=./release -cf - .) |
    tar -xf - -C "$next/source"
(
    cd "$next/source"
    eval "$(cmake -P cmake/release.cmake)"
    IFS=. read -r major minor patch <<<"$TAZZLE_VERSION"
    sed -i "s/^set(TAZZLE_VERSION [0-9.]*)/set(TAZZLE_VERSION $major.$minor.$((patch + 1)))/" \
        cmake/release.cmake
    TAZZLE_WINDOWS_CMAKE_OPTIONS=-DTAZZLE_WINDOWS_LICENCE_NAME=LICENCE.txt \
        ./tools/windows/build.sh windows
) >"$work/next.log" 2>&1 || fail "the next version did not build: $(tail -n 30 "$work/next.log")"
mv "$next"/source/build-windows/*-setup.exe "$next/source/build-windows/winget" "$next/"
rm -rf "$next/source"

installer=$(echo "$out"/*-setup.exe)
nextInstaller=$(echo "$next"/*-setup.exe)
[ -f "$installer" ] && [ -f "$nextInstaller" ] || fail "no installers in $out and $next"
manifest() { /usr/bin/python3 "$here/manifests.py" "$@"; }
# A prefix of our own, without Mono and Gecko (Debian has neither for Wine). Its wineserver
# goes before the folder does.
export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
# On a failure the last screenshots stay in build-windows/failure for a look.
trap 'status=$?; wineserver -k 2>/dev/null || true
[ $status = 0 ] || { mkdir -p "$out/failure"; cp "$work"/*.png "$out/failure/" 2>/dev/null; }
cleanup' EXIT
source "$here/../desktop.sh"
startDesktop 1280x800x24
recordingOpener "$work/opener" "$work/opened"
export PATH=$work/opener:$PATH

wine wineboot --init >/dev/null 2>&1
wineserver -w
programs="$WINEPREFIX/drive_c/Program Files"
folder="$programs/Tazzle"
regkey="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$(manifest get "$out/winget" ProductCode)"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
kib() { du -sk --apparent-size "$1" | cut -f1; }

# How many Apps & features entries name Tazzle, and the entry there is.
entries() {
    wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null |
        tr -d '\r' | grep -c "^    DisplayName    REG_SZ    Tazzle$" || true
}
entry() { wine reg query "$regkey" 2>/dev/null | tr -d '\r'; }
# Runs an installer as winget does, with its manifest's silent switch, and prints its exit status;
# fails if a window showed meanwhile (the window manager's list of windows changed). Wine waits
# for the installer, not for the wineserver, which a running Tazzle keeps.
exitStatus() { wine "$@" >/dev/null 2>&1 && echo 0 || echo $?; }
silently() { # winget-folder installer
    xprop -root -spy _NET_CLIENT_LIST >"$work/windows" 2>&1 &
    local spy=$! status
    sleep 0.5
    status=$(exitStatus "$2" "$(manifest get "$1" InstallerSwitches | /usr/bin/python3 -c \
        'import json, sys; print(json.load(sys.stdin)["Silent"])')")
    sleep 0.5
    kill "$spy" && wait "$spy" 2>/dev/null || true
    [ "$(sort -u "$work/windows" | wc -l)" -le 1 ] ||
        fail "$(basename "$2") showed a window: $(cat "$work/windows")"
    echo "$status"
}

# The version a manifest declares the installer's entry to show.
declared() {
    manifest get "$1" AppsAndFeaturesEntries |
        /usr/bin/python3 -c 'import json, sys; print(json.load(sys.stdin)[0]["DisplayVersion"])'
}
# Installs silently as winget does: status 0, and the entry its manifest declares.
installs() { # winget-folder installer
    local status
    status=$(silently "$1" "$2")
    echo "$(basename "$2"): exit status $status"
    [ "$status" = 0 ] || fail "$(basename "$2") did not install"
    entry
    entry | manifest entry "$1" || fail "after $(basename "$2") the entry is not its manifest's"
}
version=$(declared "$out/winget")
nextVersion=$(declared "$next/winget")
[ "$(printf '%s\n' "$nextVersion" "$version" | sort -V | tail -n1)" = "$nextVersion" ] &&
    [ "$nextVersion" != "$version" ] || fail "$nextVersion does not sort above $version"
echo "# installing $version silently, then $nextVersion over it, as winget does"
installs "$out/winget" "$installer"
[ -f "$folder/LICENSE.txt" ] || fail "$version left no LICENSE.txt"
/usr/bin/python3 "$here/../dist/windowsresources.py" "$folder/Tazzle.exe" \
    "$out/tazzle/icons/Tazzle.ico" || fail "the installed Tazzle.exe says the wrong things"
installs "$next/winget" "$nextInstaller"
[ -f "$folder/Tazzle.exe" ] || fail "nothing installed in Program Files\\Tazzle"
[ "$(entries)" = 1 ] || fail "after the upgrade: $(entries) entries"
[ ! -e "$folder/LICENSE.txt" ] && [ -f "$folder/LICENCE.txt" ] ||
    fail "the upgrade left $version's LICENSE.txt, or not $nextVersion's LICENCE.txt"
/usr/bin/python3 "$here/installed.py" "$folder" "$WINEPREFIX/drive_c/windows/system32" ||
    fail "the installed folder would not run on Windows as it is"
for value in "DisplayIcon|C:\\Program Files\\Tazzle\\Tazzle.exe" \
    "UninstallString|\"C:\\Program Files\\Tazzle\\Uninstall.exe\"" \
    "QuietUninstallString|\"C:\\Program Files\\Tazzle\\Uninstall.exe\" /S"; do
    grep -qxF "    ${value%%|*}    REG_SZ    ${value#*|}" <<<"$(entry)" ||
        fail "the Apps & features entry lacks ${value%%|*} ${value#*|}: $(entry)"
done
[ -f "$menu/Tazzle/Tazzle.lnk" ] || fail "no Start-menu entry Tazzle"
strings -e l "$menu/Tazzle/Tazzle.lnk" | grep -qi 'Tazzle\\Tazzle.exe' ||
    strings "$menu/Tazzle/Tazzle.lnk" | grep -qi 'Tazzle\\Tazzle.exe' ||
    fail "the Start-menu entry does not start Tazzle.exe"
installerKiB=$(kib "$installer")
installedKiB=$(kib "$folder")
echo "installer $installerKiB KiB, installed $installedKiB KiB"
[ "$installerKiB" -le 8192 ] || fail "the installer is over 8 MB"
[ "$installedKiB" -le 20480 ] || fail "the installed program is over 20 MB"

# What a run may not touch: the user's profile and registry.
profile() {
    wineserver -w
    find "$WINEPREFIX/drive_c/users" -printf '%P %s\n' | sort
    # Without Wine's time stamps.
    grep -v '^#time=' "$WINEPREFIX/user.reg" | sed -E 's/^(\[.*\]) [0-9]+$/\1/'
}

# start: runs the installed Tazzle and waits for its window; sets pid and wid.
start() {
    xdotool mousemove 1279 799 # off where the window will be
    (cd "$work" && exec wine "C:\\Program Files\\Tazzle\\Tazzle.exe" >>"$work/stderr" 2>&1) &
    pid=$!
    awaitWindow --name "^$title\$"
}
# The dare label's text, read off the screen.
dareText() {
    shot text
    convert "$work/text.png" -crop "$(crop $rect_lblDare)" +repage -colorspace Gray \
        -resize $((30000 / scale))% -negate "$work/text-ocr.png"
    tesseract "$work/text-ocr.png" - --psm 6 2>/dev/null | tr '\n' ' ' | sed 's/  */ /g; s/ $//'
}
isDare() { /usr/bin/python3 "$here/../expectedwindow.py" isdare "$1"; }
promptGone() { [ "$(dareText)" != "$prompt" ]; }
clientSize() { xwininfo -id "$wid" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}'; }
# Compares the picture at layout (x, y) with the raster made for this scale.
pictureMatches() {
    local raster=$out/tazzle/rasters/$1@$2x.png x=$(($3 * scale / 100)) y=$(($4 * scale / 100))
    local size
    size=$(identify -format '%wx%h' "$raster")
    shot picture
    convert "$work/picture.png" -crop "$size+$x+$y" +repage "$work/picture-crop.png"
    [ "$(compare -metric AE "$work/picture-crop.png" "$raster" null: 2>&1)" = 0 ]
}

echo "# playing at 100 %"
scale=100
before=$(profile)
start
[ "$(clientSize)" = "${width}x$height" ] || fail "the client area is $(clientSize)"
# The window's icon as Wine hands it to the window manager, from the program's own.
xprop -id "$wid" _NET_WM_ICON | grep -q "16 x 16" || fail "the window has no 16 x 16 icon"
shown=$(dareText)
[ "$shown" = "$prompt" ] || fail "the prompt reads '$shown'"
at $point_picture
eventually bright $point_pictureInside || fail "no highlight over the picture"
at $point_abovePicture
eventually dark $point_pictureInside || fail "the highlight stayed over the bare window"
clickAt $point_picture
eventually promptGone || fail "a click left the prompt"
dare=$(dareText)
isDare "$dare" || fail "after a click the label reads '$dare', not a dare"
echo "dare read: $dare"
clickAt $point_linkHost
eventually test -s "$work/opened" || fail "the link opened nothing"
clickAt $point_linkHost
eventually bash -c "[ \$(wc -l < '$work/opened') = 2 ]" || fail "two clicks opened $(cat "$work/opened")"
sleep 1
[ "$(sort -u "$work/opened")" = "$url" ] || [ "$(sort -u "$work/opened")" = "$url/" ] ||
    fail "the link opened '$(cat "$work/opened")', not $url"
closeWindow
[ "$(profile)" = "$before" ] ||
    fail "running Tazzle changed the profile or registry: $(diff <(echo "$before") <(profile))"

echo "# installing and uninstalling while Tazzle runs: refused, nothing changed"
state() {
    (cd "$folder" && find . -type f -exec sha256sum {} + | sort)
    entry
}
start
before=$(state)
status=$(silently "$next/winget" "$nextInstaller")
echo "$(basename "$nextInstaller") while Tazzle runs: exit status $status"
[ "$status" = "$(manifest code "$next/winget" packageInUse)" ] ||
    fail "the installer went ahead while Tazzle ran, or said so with $status"
# In place (_?=), so that the status is the uninstaller's own, not that of its copy's launch;
# from a batch file, since NSIS takes _?= only unquoted, and Wine quotes what has a space.
printf '"C:\\Program Files\\Tazzle\\Uninstall.exe" /S _?=C:\\Program Files\\Tazzle\r\nexit /b %%errorlevel%%\r\n' \
    >"$WINEPREFIX/drive_c/uninstall-in-place.bat"
status=$(exitStatus cmd /c 'C:\uninstall-in-place.bat')
echo "Uninstall.exe while Tazzle runs: exit status $status"
[ "$status" = "$(manifest code "$next/winget" packageInUse)" ] ||
    fail "the uninstaller went ahead while Tazzle ran, or said so with $status"
[ "$(state)" = "$before" ] || fail "refusing changed the install: $(diff <(echo "$before") <(state))"
kill -0 "$pid" || fail "Tazzle did not survive the refusals"
closeWindow
[ "$(silently "$next/winget" "$nextInstaller")" = 0 ] && [ "$(entries)" = 1 ] &&
    [ "$(state)" = "$before" ] || fail "installing the same version again did not leave the same install"

echo "# playing at 150 %"
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
wine reg add 'HKCC\Software\Fonts' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
wineserver -w
scale=150
start
# (Half pixels round either way.)
case $(clientSize) in
"$(((width * 3 + 1) / 2))x$(((height * 3 + 1) / 2))" | "$(((width * 3 + 1) / 2))x$((height * 3 / 2))") ;;
*) fail "the client area at 150 % is $(clientSize)" ;;
esac
logo=($rect_imgLogo) picture=($rect_imgGetDare)
pictureMatches logo 1.5 "${logo[0]}" "${logo[1]}" || fail "the logo at 150 % is not the 1.5× raster"
pictureMatches getdare 1.5 "${picture[0]}" "${picture[1]}" ||
    fail "Get Dare at 150 % is not the 1.5× raster"
at $point_picture
eventually bright $point_pictureInside || fail "no highlight over the picture at 150 %"
clickAt $point_picture
eventually promptGone || fail "a click at 150 % left the prompt"
isDare "$(dareText)" || fail "at 150 % a click gave '$(dareText)'"
closeWindow

echo "# start-up beside a bare Qt window, from a copy of the installed folder"
cp -r "$folder" "$work/bench"
cp "$out/tazzle/reference.exe" "$out/tazzle/resolvedface.exe" "$work/bench/"
/usr/bin/python3 "$here/../../bench/winestartup.py" 11 "$work/bench" | tee "$out/startup.txt"
echo "installer $installerKiB KiB, installed $installedKiB KiB" >>"$out/startup.txt"

echo "# uninstalling silently, as the entry's QuietUninstallString says"
quiet=$(entry | sed -n 's/^    QuietUninstallString    REG_SZ    //p')
installDirKey="HKLM\\Software\\$(entry | sed -n 's/^    Publisher    REG_SZ    //p')\\Tazzle"
[ -n "$quiet" ] || fail "the entry has no QuietUninstallString"
printf '%s\r\n' "$quiet" >"$WINEPREFIX/drive_c/quiet-uninstall.bat"
# The uninstaller copies itself away and returns at once; its copy does the work.
echo "$quiet: exit status $(exitStatus cmd /c 'C:\quiet-uninstall.bat')"
wineserver -w
eventually test ! -e "$folder" || fail "left in Program Files: $(find "$folder")"
[ ! -e "$menu/Tazzle" ] || fail "the Start-menu entry is still there"
! wine reg query "$regkey" >/dev/null 2>&1 || fail "the Apps & features entry is still there"
for key in 'HKLM\Software\Tazzle' "$installDirKey"; do
    ! wine reg query "$key" >/dev/null 2>&1 || fail "a registry key is left: $key"
done
wineserver -w
echo PASS
