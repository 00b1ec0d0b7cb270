#!/usr/bin/env bash
# Tazzle native on Wayland, under a headless sway compositor with nothing else on it.
# Usage: wayland.sh path/to/tazzle
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../lib.sh"
need sway swaymsg grim setpriv
[ -n "$(find /usr/lib -path '*qt6/plugins/platforms/libqwayland-generic.so' -print -quit)" ] ||
    need qt6-wayland
tazzle=$(realpath "$1")

# sway refuses to run as root: as root, run it and its clients as nobody.
mkdir -m 700 "$work/runtime"
mkdir "$work/home" "$work/out"
printf 'output HEADLESS-1 resolution 1024x768 position 0 0\n' >"$work/sway.conf"
as=()
if [ "$(id -u)" = 0 ]; then
    chown nobody:nogroup "$work/runtime" "$work/home" "$work/out"
    chmod 755 "$work"
    as=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
session=(env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime")

"${as[@]}" "${session[@]}" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 \
    WLR_RENDERER=pixman sway -c "$work/sway.conf" >"$work/sway.log" 2>&1 &
pids+=($!)
up() { compgen -G "$work/runtime/wayland-*[0-9]" && compgen -G "$work/runtime/sway-ipc.*"; } >/dev/null
eventually up || fail "sway did not start: $(tail -n 5 "$work/sway.log")"
socket=$(basename "$(echo "$work"/runtime/wayland-*[0-9])")

"${as[@]}" "${session[@]}" WAYLAND_DISPLAY="$socket" SWAYSOCK="$(echo "$work"/runtime/sway-ipc.*)" \
    PYTHONPATH="$here" /usr/bin/python3 "$here/wayland.py" "$tazzle" "$work/out" ||
    fail "$(cat "$work/out/tazzle.err" 2>/dev/null)"
