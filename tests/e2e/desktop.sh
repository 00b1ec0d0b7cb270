#!/usr/bin/env bash
# The real program under a real X server and window manager, driven with the real pointer:
# the window as the desktop sees it, the highlight, dares, the link through a stand-in
# xdg-open, and closing. Usage: desktop.sh path/to/tazzle configured-url
set -euo pipefail

tazzle=$1
url=$2
here=$(dirname "$0")
source "$here/../lib.sh"
expectedWindow
need Xvfb openbox xdotool wmctrl xprop xwininfo import convert compare python3
source "$here/../desktop.sh"
startDesktop 1024x768x24

# Stand-in openers: one that records its arguments, one that never returns.
mkdir "$work/hanging" "$work/home"
recordingOpener "$work/recording" "$work/opened"
# (It lets go of the test's output, which would otherwise be held open until it ends.)
printf '#!/bin/sh\necho $$ > %s/hanging.pid\nexec sleep 600 </dev/null >/dev/null 2>&1\n' "$work" \
    > "$work/hanging/xdg-open"
chmod +x "$work/hanging/xdg-open"

# start PATH-dir [arguments]: runs tazzle and waits for its window; sets pid and wid.
start() {
    env -u BROWSER -u XDG_CONFIG_HOME -u XDG_CACHE_HOME -u XDG_DATA_HOME HOME="$work/home" \
        PATH="$1" "$tazzle" "${@:2}" 2>>"$work/stderr" &
    pid=$!
    scale=$((${QT_SCALE_FACTOR:-1} * 100))
    awaitWindow --name "^$title\$"
}
# the dare label's box cut out of a screenshot
dareBox() { convert "$work/$1.png" -crop "$(crop $rect_lblDare)" +repage "$work/$1-dare.png"; }
same() { [ "$(compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1)" = 0 ]; }
# Checks of the window as it is now, to be polled with eventually.
looksLike() { shot now && same now "$1"; }
dareDiffersFrom() { shot now && dareBox now && ! same now-dare "$1-dare"; }
linkPointer() { [ "$(python3 "$here/cursor.py")" = "32x32+12+1" ]; }
arrow() { ! linkPointer; }
close() { closeWindow && nothingWritten "$work/home"; }
opened() { [ -f "$work/opened" ] && [ "$(wc -l < "$work/opened")" = "$1" ]; }

echo "# the window, started with arguments that Qt would otherwise honour"
start "$work/recording:/usr/bin:/bin" -reverse --foo -style fusion
read -r shownWidth shownHeight < <(xwininfo -id "$wid" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w, h}')
[ "$shownWidth x $shownHeight" = "$width x $height" ] || fail "window is $shownWidth x $shownHeight"
hints=$(xprop -id "$wid" WM_NORMAL_HINTS)
grep -q "minimum size: $width by $height" <<<"$hints" &&
    grep -q "maximum size: $width by $height" <<<"$hints" ||
    fail "window can be resized: $hints"
xprop -id "$wid" _NET_WM_ICON | grep -q "16 x 16" || fail "no 16 x 16 icon"
shot withArguments

echo "# the highlight follows the pointer"
at $point_picture
eventually bright $point_pictureInside || fail "no highlight over the picture"
at $point_abovePicture
eventually dark $point_pictureInside || fail "highlight stayed over bare window"

echo "# the link pointer over the link, its underline and the box below it; not elsewhere"
for spot in "$point_linkText" "$point_underline" "$point_belowLinkText"; do
    at $spot
    eventually linkPointer || fail "no link pointer at $spot"
done
at $point_bare
eventually arrow || fail "link pointer over bare window"

echo "# a click on the picture shows a dare and keeps the highlight"
dareBox withArguments
for i in 1 2 3; do
    clickAt $point_picture
    eventually dareDiffersFrom withArguments || fail "click $i showed no dare"
    bright $point_pictureInside || fail "click $i changed the highlight"
done

echo "# every click on the link asks the desktop once, for the configured address"
clickAt $point_linkText
eventually opened 1 || fail "no request after one click"
clickAt $point_underline
clickAt $point_belowLinkText
eventually opened 3 || fail "$(wc -l < "$work/opened") requests after three clicks"
[ "$(sort -u "$work/opened")" = "$url" ] || fail "opened $(sort -u "$work/opened")"
ps -o stat= --ppid "$pid" | grep -q Z && fail "a zombie child is left"
close

echo "# without arguments the window looks the same"
start "$work/recording:/usr/bin:/bin"
eventually looksLike withArguments || fail "arguments changed the window"
close

echo "# at scale 2 the window is twice as large in device pixels"
QT_SCALE_FACTOR=2 start "$work/recording:/usr/bin:/bin"
xwininfo -id "$wid" | grep -q "Width: $((width * 2))" &&
    xwininfo -id "$wid" | grep -q "Height: $((height * 2))" ||
    fail "at scale 2: $(xwininfo -id "$wid" | grep -E 'Width|Height' | tr -s ' \n' ' ')"
close

echo "# an opener that hangs does not block the window"
start "$work/hanging:/usr/bin:/bin"
clickAt $point_linkText
clickAt $point_picture
eventually dareDiffersFrom withArguments || fail "the window froze behind the opener"
close

echo "# with no opener at all the program goes on"
start "/nonexistent"
clickAt $point_linkText
sleep 0.5
kill -0 "$pid" || fail "the program died"
clickAt $point_picture
eventually dareDiffersFrom withArguments || fail "no dare after the failed link"
close

echo "PASS"
