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

startX 1024x768x24
openbox >/dev/null 2>&1 &
pids+=($!)
eventually wmctrl -m >/dev/null 2>&1 || fail "openbox did not start"

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
    pids+=("$pid")
    wid=$(timeout 20 xdotool search --sync --onlyvisible --name "^$title\$" |
        head -n1) || fail "no window appeared"
    local scale=${QT_SCALE_FACTOR:-1}
    local logo=($point_logo)
    eventually bright $((logo[0] * scale)) $((logo[1] * scale)) || fail "the logo was not drawn"
}
shot() { import -window "$wid" "$work/$1.png"; }
# the dare label's box cut out of a screenshot
dareBox() {
    local r=($rect_lblDare)
    convert "$work/$1.png" -crop "${r[2]}x${r[3]}+${r[0]}+${r[1]}" +repage "$work/$1-dare.png"
}
same() { [ "$(compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1)" = 0 ]; }
# Checks of the window as it is now, to be polled with eventually.
pixel() { shot now && convert "$work/now.png" -colorspace Gray -format "%[fx:int(255*p{$1,$2})]" info:; }
bright() { [ "$(pixel "$1" "$2")" -gt 200 ]; }
dark() { [ "$(pixel "$1" "$2")" -lt 30 ]; }
looksLike() { shot now && same now "$1"; }
dareDiffersFrom() { shot now && dareBox now && ! same now-dare "$1-dare"; }
linkPointer() { [ "$(python3 "$here/cursor.py")" = "32x32+12+1" ]; }
arrow() { ! linkPointer; }
at() { xdotool mousemove --window "$wid" "$1" "$2"; }
clickAt() { at "$1" "$2"; xdotool click 1; }
close() {
    wmctrl -i -c "$wid"
    eventually bash -c "! kill -0 $pid 2>/dev/null" || fail "closing did not end the program"
    wait "$pid" && status=0 || status=$?
    [ "$status" = 0 ] || fail "exit status $status after closing"
    [ -z "$(find "$work/home" -mindepth 1)" ] || fail "files written: $(find "$work/home")"
}
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
