#!/usr/bin/env bash
# Tazzle for Windows as a Windows user meets it, under Wine in a fresh prefix, installed as winget
# drives it, with the switches and codes of the release's manifests, in each scope: a silent
# install that shows no window and leaves the entry the manifest declares where it declares it,
# a silent upgrade to the next version (one entry, the newer version, no stale file), what it
# leaves (files, the Start-menu shortcut), the program file's identity, playing at 100 % and
# 150 % with the real pointer, installing and uninstalling while Tazzle runs (the declared code,
# nothing changed) but not while another program shows its title, and the entry's quiet
# uninstall that leaves nothing. For the user: nothing outside the profile and HKCU, and no
# administrator asked for. For the machine: no folder outside Program Files, and nothing run
# from an earlier install that was moved out of it. Then the start-up cost beside a bare Qt
# window.
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
need wine wineserver Xvfb openbox xdotool wmctrl xwininfo xprop import convert compare tesseract \
    x86_64-w64-mingw32-gcc
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

manifest() { /usr/bin/python3 "$here/manifests.py" "$@"; }
# The installer of a scope that a release's manifest names.
installerOf() { # folder scope
    local file
    file=$1/$(basename "$(manifest get "$1/winget" InstallerUrl "$2")")
    [ -f "$file" ] || fail "no $file, which the manifest names"
    echo "$file"
}
installer=$(installerOf "$out" machine)
nextInstaller=$(installerOf "$next" machine)
userInstaller=$(installerOf "$out" user)
nextUserInstaller=$(installerOf "$next" user)
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
# A path with %VARIABLES%, as Wine has it.
unixPath() { realpath -m "$(winepath -u "$(wine cmd /c echo "$1" 2>/dev/null | tr -d '\r')")"; }
# Where the manifest says each scope installs.
location() { # scope
    unixPath "$(manifest get "$out/winget" InstallationMetadata "$1" | /usr/bin/python3 -c \
        'import json, sys; print(json.load(sys.stdin)["DefaultInstallLocation"])')"
}
programs="$WINEPREFIX/drive_c/Program Files"
folder=$(location machine)
userFolder=$(location user)
[ "$(dirname "$folder")" -ef "$programs" ] || fail "the machine scope installs in $folder"
case $userFolder in "$WINEPREFIX/drive_c/users/"*) ;; *) fail "the user scope installs in $userFolder" ;; esac
uninstallKey='Software\Microsoft\Windows\CurrentVersion\Uninstall'
product=$(manifest get "$out/winget" ProductCode)
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
userMenu="$(unixPath '%APPDATA%')/Microsoft/Windows/Start Menu/Programs"
kib() { du -sk --apparent-size "$1" | cut -f1; }

# How many Apps & features entries of a scope name Tazzle, and the entry there is.
root() { [ "${1:-machine}" = user ] && echo HKCU || echo HKLM; }
entries() { # [scope]
    wine reg query "$(root "${1:-}")\\$uninstallKey" /s 2>/dev/null |
        tr -d '\r' | grep -c "^    DisplayName    REG_SZ    Tazzle$" || true
}
entry() { wine reg query "$(root "${1:-}")\\$uninstallKey\\$product" 2>/dev/null | tr -d '\r'; }
value() { entry "$1" | sed -n "s/^    $2    REG_SZ    //p"; } # scope name
# Runs an installer as winget does, with its manifest's silent switch, and prints its exit status;
# fails if a window showed meanwhile (the window manager's list of windows changed). Wine waits
# for the installer, not for the wineserver, which a running Tazzle keeps.
exitStatus() { wine "$@" >/dev/null 2>&1 && echo 0 || echo $?; }
# The same for a command line run from a batch file: NSIS takes _?= and /D= with spaces only
# unquoted, and Wine quotes each argument that has one.
batchStatus() { # command-line
    printf '%s\r\nexit /b %%errorlevel%%\r\n' "$1" >"$WINEPREFIX/drive_c/run.bat"
    exitStatus cmd /c 'C:\run.bat'
}
silentSwitch() { # winget-folder scope
    manifest get "$1" InstallerSwitches "$2" |
        /usr/bin/python3 -c 'import json, sys; print(json.load(sys.stdin)["Silent"])'
}
# Prints a run's status, and fails unless it is the one the manifest declares for a response.
refused() { # status response what-ran
    echo "$3: exit status $1"
    [ "$1" = "$(manifest code "$next/winget" "$2")" ] || fail "$3 was not refused as $2"
}
silently() { # winget-folder installer [scope [more switches]]
    xprop -root -spy _NET_CLIENT_LIST >"$work/windows" 2>&1 &
    local spy=$! status
    sleep 0.5
    status=$(exitStatus "$2" "$(silentSwitch "$1" "${3:-machine}")" "${@:4}")
    sleep 0.5
    kill "$spy" && wait "$spy" 2>/dev/null || true
    [ "$(sort -u "$work/windows" | wc -l)" -le 1 ] ||
        fail "$(basename "$2") showed a window: $(cat "$work/windows")"
    echo "$status"
}

# The version a manifest declares the installer's entry to show.
declared() {
    manifest get "$1" AppsAndFeaturesEntries machine |
        /usr/bin/python3 -c 'import json, sys; print(json.load(sys.stdin)[0]["DisplayVersion"])'
}
# Installs silently as winget does: status 0, and the entry its manifest declares, in its scope.
installs() { # winget-folder installer [scope]
    local status
    status=$(silently "$1" "$2" "${3:-machine}")
    echo "$(basename "$2"): exit status $status"
    [ "$status" = 0 ] || fail "$(basename "$2") did not install"
    entry "${3:-}"
    entry "${3:-}" | manifest entry "$1" "${3:-machine}" ||
        fail "after $(basename "$2") the entry is not its manifest's"
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
# The entry's values and the Start-menu shortcut, for the install in a folder.
installedIn() { # scope folder start-menu
    local at
    at=$(winepath -w "$2")
    for value in "DisplayIcon|$at\\Tazzle.exe" "InstallLocation|$at" \
        "UninstallString|\"$at\\Uninstall.exe\"" "QuietUninstallString|\"$at\\Uninstall.exe\" /S"; do
        grep -qxF "    ${value%%|*}    REG_SZ    ${value#*|}" <<<"$(entry "$1")" ||
            fail "the Apps & features entry lacks ${value%%|*} ${value#*|}: $(entry "$1")"
    done
    { strings -e l "$3/Tazzle.lnk"; strings "$3/Tazzle.lnk"; } 2>/dev/null |
        grep -qiF "$at\\Tazzle.exe" || fail "no Start-menu shortcut in $3 starts $at\\Tazzle.exe"
}
installedIn machine "$folder" "$menu"
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
refused "$(silently "$next/winget" "$nextInstaller")" packageInUse \
    "$(basename "$nextInstaller") while Tazzle runs"
# In place (_?=), so that the status is the uninstaller's own, not that of its copy's launch.
refused "$(batchStatus '"C:\Program Files\Tazzle\Uninstall.exe" /S _?=C:\Program Files\Tazzle')" \
    packageInUse "Uninstall.exe while Tazzle runs"
refused "$(silently "$next/winget" "$nextUserInstaller" user)" packageInUse \
    "$(basename "$nextUserInstaller") while Tazzle runs"
[ ! -e "$userFolder" ] && [ "$(entries user)" = 0 ] || fail "the user's installer went ahead"
[ "$(state)" = "$before" ] || fail "refusing changed the install: $(diff <(echo "$before") <(state))"
kill -0 "$pid" || fail "Tazzle did not survive the refusals"
closeWindow
# Programs the test makes: a window with Tazzle's title that is not Tazzle, and an uninstaller
# that a standard user put in place of Tazzle's, which leaves a mark when it runs.
cat >"$work/standin.c" <<'SOURCE'
#include <windows.h>
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR line, int show)
{
#ifdef MARK
    CloseHandle(CreateFileA(MARK, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
    return 0;
#else
    MSG message;
    CreateWindowA("STATIC", TITLE, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 320, 200, NULL, NULL,
                  instance, NULL);
    while (GetMessageA(&message, NULL, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
#endif
}
SOURCE
x86_64-w64-mingw32-gcc -mwindows -o "$work/impostor.exe" -DTITLE="\"$title\"" "$work/standin.c"
x86_64-w64-mingw32-gcc -mwindows -o "$work/marker.exe" -DMARK='"C:\\mark.txt"' "$work/standin.c"
(cd "$work" && exec wine impostor.exe >>"$work/stderr" 2>&1) &
pids+=($!)
for _ in $(seq 75); do
    xdotool search --onlyvisible --name "^$title\$" >/dev/null 2>&1 && break
    sleep 0.2
done
xdotool search --onlyvisible --name "^$title\$" >/dev/null || fail "the impostor showed no window"
[ "$(silently "$next/winget" "$nextInstaller")" = 0 ] && [ "$(entries)" = 1 ] &&
    [ "$(state)" = "$before" ] ||
    fail "with another program of Tazzle's title, installing again did not leave the same install"
echo "$(basename "$nextInstaller") beside another window titled $title: installed"
kill "${pids[-1]}"

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

# Uninstalls silently, as the entry's QuietUninstallString says: nothing left of the scope's
# install, its shortcut or its keys.
uninstalls() { # scope folder start-menu
    local quiet publisher key
    quiet=$(value "$1" QuietUninstallString)
    publisher=$(value "$1" Publisher)
    [ -n "$quiet" ] || fail "the entry has no QuietUninstallString"
    # The uninstaller copies itself away and returns at once; its copy does the work.
    echo "$quiet: exit status $(batchStatus "$quiet")"
    wineserver -w
    eventually test ! -e "$2" || fail "left in $2: $(find "$2")"
    [ ! -e "$3/Tazzle.lnk" ] && [ ! -e "$3/Tazzle" ] || fail "the Start-menu entry is still there"
    for key in "$uninstallKey\\$product" 'Software\Tazzle' "Software\\$publisher\\Tazzle"; do
        ! wine reg query "$(root "$1")\\$key" >/dev/null 2>&1 ||
            fail "a registry key is left: $(root "$1")\\$key"
    done
}

echo "# for the user alone: $version, then $nextVersion over it, and nothing for the machine"
# The whole machine's part that programs install into: Program Files, the Start menu of all
# users and HKLM\Software (the rest of HKLM is Wine's own devices).
machine() {
    wineserver -w
    (cd "$programs" && find . -printf '%P %s\n' && cd "$menu" && find . -printf '%P\n') | sort
    awk '/^\[/ { keep = /^\[Software\\\\/; sub(/\] [0-9]+$/, "]") } keep && !/^#time=/' \
        "$WINEPREFIX/system.reg"
}
before=$(machine)
/usr/bin/python3 - "$userInstaller" "$installer" <<'PYTHON' || fail "the installers ask for the wrong rights"
# What each installer asks Windows for, in its embedded manifest.
import re, sys
import pefile
for path, wanted in zip(sys.argv[1:], ("asInvoker", "requireAdministrator")):
    pe = pefile.PE(path)
    manifests = [entry for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries if kind.id == 24
                 for name in kind.directory.entries for entry in name.directory.entries]
    text = b"".join(pe.get_data(entry.data.struct.OffsetToData, entry.data.struct.Size)
                    for entry in manifests).decode()
    levels = re.findall(r'requestedExecutionLevel level="(\w+)"', text)
    print(f"{path.rsplit('/', 1)[-1]}: requestedExecutionLevel {levels}")
    if levels != [wanted]:
        sys.exit(f"{path} asks for {levels}, not {wanted}")
PYTHON
installs "$out/winget" "$userInstaller" user
[ -f "$userFolder/LICENSE.txt" ] || fail "$version left no LICENSE.txt in $userFolder"
installs "$next/winget" "$nextUserInstaller" user
[ "$(entries user)" = 1 ] || fail "after the upgrade: $(entries user) entries for the user"
[ ! -e "$userFolder/LICENSE.txt" ] && [ -f "$userFolder/LICENCE.txt" ] ||
    fail "the user's upgrade left $version's LICENSE.txt, or not $nextVersion's LICENCE.txt"
installedIn user "$userFolder" "$userMenu"
[ "$(machine)" = "$before" ] ||
    fail "the user's install changed the machine: $(diff <(echo "$before") <(machine))"
uninstalls user "$userFolder" "$userMenu"
[ "$(machine)" = "$before" ] || fail "the user's uninstall changed the machine"

echo "# for the machine, only in Program Files"
for elsewhere in 'C:\Games\Tazzle' 'C:\Program Files\..\Games\Tazzle'; do
    refused "$(batchStatus "\"$(winepath -w "$nextInstaller")\" $(silentSwitch "$next/winget" \
        machine) /D=$elsewhere")" invalidParameter "$(basename "$nextInstaller") /D=$elsewhere"
    [ ! -e "$WINEPREFIX/drive_c/Games" ] && [ "$(machine)" = "$before" ] ||
        fail "refusing /D=$elsewhere changed the machine"
done

echo "# an earlier install that was moved out of Program Files runs nothing"
installs "$out/winget" "$installer"
moved="$WINEPREFIX/drive_c/Games/Tazzle"
mkdir -p "$(dirname "$moved")" && mv "$folder" "$moved"
cp "$work/marker.exe" "$moved/Uninstall.exe"
machineKey="HKLM\\Software\\$(value machine Publisher)\\Tazzle"
wine reg add "$machineKey" /ve /d 'C:\Games\Tazzle' /f >/dev/null 2>&1
wine reg add "HKLM\\$uninstallKey\\$product" /v UninstallString /d '"C:\Games\Tazzle\Uninstall.exe"' \
    /f >/dev/null 2>&1
earlier=$(machine)
refused "$(silently "$next/winget" "$nextInstaller")" custom \
    "$(basename "$nextInstaller") over $version in C:\\Games\\Tazzle"
[ ! -e "$WINEPREFIX/drive_c/mark.txt" ] || fail "the upgrade ran the earlier install's Uninstall.exe"
[ "$(machine)" = "$earlier" ] || fail "the refused upgrade changed the machine"
# What the README says to do: remove that folder, then install again.
rm -rf "$moved"
installs "$next/winget" "$nextInstaller"
[ "$(entries)" = 1 ] && [ ! -e "$WINEPREFIX/drive_c/mark.txt" ] ||
    fail "installing after the moved folder was removed left $(entries) entries, or a mark"
installedIn machine "$folder" "$menu"

echo "# uninstalling for the machine"
uninstalls machine "$folder" "$menu"
wineserver -w
echo PASS
