# Shared by the shell tests: sourced, not run.

fail() { echo "FAIL: $*" >&2; exit 1; }

# A missing tool skips the test on a developer's machine; under CI it is a failure.
need() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null && continue
        [ "${CI:-}" = true ] && fail "$tool is not installed"
        echo "SKIP: $tool is not installed"
        exit 77
    done
}

# The window as it must be (window.json), as shell variables: title, prompt, width, height,
# point_<place>="x y" and rect_<control>="left top width height".
expectedWindow() {
    local facts
    facts=$(python3 "$(dirname "${BASH_SOURCE[0]}")/expectedwindow.py" shell) ||
        fail "cannot read the window's record"
    eval "$facts"
}

# Polls a command for up to 5 seconds.
eventually() {
    for _ in $(seq 50); do "$@" && return 0; sleep 0.1; done
    return 1
}

# A scratch folder, the processes started in the background (pids) and the process group that
# inGroup runs, gone at the end.
work=$(mktemp -d)
pids=()
group=
cleanup() {
    local p
    [ -z "$group" ] || kill -KILL -- "-$group" 2>/dev/null || true
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    # Gone before the next test starts its own: a dying X server still holds its display.
    for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
    # Processes that recorded their own id, such as stand-in openers.
    for p in "$work"/*.pid; do [ -f "$p" ] && kill "$(cat "$p")" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT

# Runs a command as a process group of its own, ended when the command is: what it started in the
# background (Xvfb, a browser's helpers, a bus) goes with it. Its status is the command's.
inGroup() {
    setsid "$@" &
    group=$!
    local status=0
    wait "$group" || status=$?
    kill -KILL -- "-$group" 2>/dev/null || true
    group=
    return "$status"
}

# A private X server of the given screen size, DISPLAY pointing at it. It must not reset when
# its last client leaves: a program starting just then would find no display.
startX() {
    Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
    pids+=($!)
    eventually test -s "$work/display" || fail "Xvfb did not start"
    export DISPLAY=":$(head -n1 "$work/display")"
}

# A TCP port that nothing listens on now.
freePort() {
    python3 -c 'import socket; s = socket.socket(); s.bind(("", 0)); print(s.getsockname()[1])'
}

# Writes dir/xdg-open, a stand-in opener that adds its arguments as a line to file.
recordingOpener() {
    mkdir -p "$1"
    printf '#!/bin/sh\nprintf "%%s\\n" "$*" >> %s\n' "$2" >"$1/xdg-open"
    chmod +x "$1/xdg-open"
}
