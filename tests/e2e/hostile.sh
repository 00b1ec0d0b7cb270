#!/usr/bin/env bash
# Tazzle where the desktop is missing pieces or goes away: each case ends clearly, with no
# core dump, and the program writes nothing. Usage: hostile.sh path/to/tazzle
set -euo pipefail
here=$(dirname "$0")
source "$here/../lib.sh"
expectedWindow
need Xvfb openbox xdotool wmctrl convert import dbus-launch dbus-send setpriv
tazzle=$(realpath "$1")
source "$here/../desktop.sh"
startDesktop 800x600x24

# An unwritable HOME means nothing to root: as root, Tazzle runs as nobody.
chmod 755 "$work"
as=()
[ "$(id -u)" = 0 ] && as=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
mkdir "$work/home" "$work/bin" "$work/fonts"
[ "$(id -u)" = 0 ] && chown nobody:nogroup "$work/home"
printf '#!/bin/sh\nexit 1\n' >"$work/bin/xdg-open"
chmod 755 "$work/bin/xdg-open"

# start [VAR=value ...]: Tazzle as a bare X session would start it: no session bus, no
# XDG_RUNTIME_DIR, an opener that fails. Sets pid and wid.
start() {
    "${as[@]}" env -i PATH="$work/bin:/usr/bin:/bin" HOME="$work/home" DISPLAY="$DISPLAY" \
        ${ASAN_OPTIONS:+ASAN_OPTIONS="$ASAN_OPTIONS"} ${LSAN_OPTIONS:+LSAN_OPTIONS="$LSAN_OPTIONS"} \
        "$@" "$tazzle" 2>>"$work/stderr" &
    pid=$!
    awaitWindow --pid "$pid"
}
dareShown() { ! textIn $box_dareFirstLine || [ "$(convert "$work/now.png" \
    -crop "$(crop $box_dareFirstLine)" +repage -format %# info:)" != "$promptShot" ]; }

echo "# HOME unwritable, no XDG_RUNTIME_DIR, no session bus though dbus-launch is installed"
chmod 555 "$work/home"
start
textIn $box_dareFirstLine || fail "no prompt"
promptShot=$(convert "$work/now.png" -crop "$(crop $box_dareFirstLine)" +repage -format %# info:)
clickAt $point_picture
eventually dareShown || fail "no dare"
clickAt $point_linkText # the opener fails; nothing to show for it
sleep 0.3
kill -0 "$pid" || fail "a failing opener ended the program"
closeWindow
nothingWritten "$work/home"
chmod 755 "$work/home"

echo "# with a writable HOME, still no session bus started and nothing written"
start
closeWindow
nothingWritten "$work/home"
! pgrep -u "$(stat -c %U "$work/home")" -f "dbus-(launch|daemon)" >/dev/null ||
    fail "a session bus was left behind: $(pgrep -a -u "$(stat -c %U "$work/home")" dbus)"

echo "# a bus that an earlier dbus-launch left for this display is used"
# A display's bus is found through the machine id: a system without one (a bare container)
# cannot have such a bus, and its dbus-launch refuses to make one.
machineId=$(cat /etc/machine-id 2>/dev/null || cat /var/lib/dbus/machine-id 2>/dev/null || true)
if [ -z "$machineId" ]; then
    echo "# (no machine id on this system: no bus can be left for a display, nothing to use)"
else
    eval "$("${as[@]}" env -i PATH=/usr/bin:/bin HOME="$work/home" DISPLAY="$DISPLAY" \
        dbus-launch --sh-syntax --autolaunch="$machineId")"
    [ -n "${DBUS_SESSION_BUS_PID:-}" ] || fail "dbus-launch started no bus"
    pids+=("$DBUS_SESSION_BUS_PID")
    start
    bus() {
        "${as[@]}" env -i dbus-send --bus="$DBUS_SESSION_BUS_ADDRESS" --print-reply \
            --dest=org.freedesktop.DBus / "org.freedesktop.DBus.$1" "${@:2}" 2>/dev/null
    }
    connected() {
        local name
        for name in $(bus ListNames | grep -o '":[0-9.]*"' | tr -d '"'); do
            bus GetConnectionUnixProcessID "string:$name" | grep -qw "uint32 $pid" && return 0
        done
        return 1
    }
    eventually connected || fail "Tazzle is not on the session bus"
    closeWindow
    kill "$DBUS_SESSION_BUS_PID"
    rm -rf "${work:?}/home/.dbus"
fi

echo "# no face with Arial's widths: every text still shows"
# DejaVu alone, with the system's usual rules: Arial then means DejaVu Sans, which is wider.
printf '<?xml version="1.0"?>\n<fontconfig><dir>/usr/share/fonts/truetype/dejavu</dir>%s%s</fontconfig>\n' \
    '<include ignore_missing="yes">/etc/fonts/conf.d</include>' \
    "<cachedir>$work/fonts</cachedir>" >"$work/fonts.conf"
chmod 777 "$work/fonts"
start FONTCONFIG_FILE="$work/fonts.conf"
textIn $box_dareFirstLine || fail "no prompt"
textIn $box_linkText || fail "no link text"
# The wider face wraps the link's text: the host name goes to a second line, which the window's
# bottom edge cuts through.
textIn $box_linkHost || textIn $box_linkHostWrapped || fail "no host name"
closeWindow

echo "# the X server going away ends the program at once, with a non-zero status"
start
kill "${pids[0]}"
for _ in $(seq 20); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
! kill -0 "$pid" 2>/dev/null || fail "still running 2 s after the X server died"
wait "$pid" && status=0 || status=$?
[ "$status" != 0 ] && [ "$status" -lt 128 ] || fail "exit status $status"
echo PASS
