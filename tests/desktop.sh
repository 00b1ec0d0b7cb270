# The desktop under X, for the tests that drive a real window: sourced after lib.sh and
# expectedWindow, not run. Points are the layout's, at 96 dpi; scale (in percent, 100 unless set)
# is how large the window shows them.
scale=100

# A private X server of the given screen size with openbox managing its windows.
startDesktop() { # WIDTHxHEIGHTxDEPTH
    startX "$1"
    openbox >/dev/null 2>&1 &
    pids+=($!)
    eventually wmctrl -m >/dev/null 2>&1 || fail "openbox did not start"
}

# Once the program just started in the background (pid) shows its window, found with xdotool's
# search words, and has drawn its logo: sets wid. Asked again until it answers: a short-lived
# window can vanish while xdotool looks at it, and it then gives up with an X error.
awaitWindow() { # search words...
    pids+=("$pid")
    wid=
    for _ in $(seq 150); do
        wid=$(xdotool search --onlyvisible "$@" 2>/dev/null | head -n1) || true
        [ -n "$wid" ] && break
        kill -0 "$pid" 2>/dev/null || fail "it ended: $(tail -n 3 "$work/stderr" 2>/dev/null)"
        sleep 0.2
    done
    [ -n "$wid" ] || fail "no window appeared: $(tail -n 3 "$work/stderr" 2>/dev/null)"
    eventually bright $point_logo || fail "the logo was not drawn"
}

shot() { import -window "$wid" "$work/$1.png" 2>/dev/null; }
# The grey level at a point, read off a fresh screenshot.
pixel() {
    shot now && convert "$work/now.png" -colorspace Gray \
        -format "%[fx:int(255*p{$(($1 * scale / 100)),$(($2 * scale / 100))})]" info:
}
bright() { [ "$(pixel "$1" "$2")" -gt 200 ]; }
dark() { [ "$(pixel "$1" "$2")" -lt 30 ]; }
# Geometry of a box "left top width height" at this scale, as ImageMagick crops it.
crop() { # left top width height
    echo "$(($3 * scale / 100))x$(($4 * scale / 100))+$(($1 * scale / 100))+$(($2 * scale / 100))"
}
# Some pixel of the box is bright: text is drawn there.
textIn() { # left top width height
    shot now && [ "$(convert "$work/now.png" -crop "$(crop "$@")" -colorspace Gray \
        -format "%[fx:int(255*maxima)]" info:)" -gt 200 ]
}

# The real pointer, at a point of the layout.
at() { xdotool mousemove --window "$wid" $(($1 * scale / 100)) $(($2 * scale / 100)); }
clickAt() { at "$1" "$2"; sleep 0.2; xdotool click 1; }

# Closes the window as its title bar's button does: the program ends, with status 0.
closeWindow() {
    wmctrl -i -c "$wid"
    eventually bash -c "! kill -0 $pid 2>/dev/null" || fail "closing did not end the program"
    wait "$pid" && status=0 || status=$?
    [ "$status" = 0 ] || fail "exit status $status after closing"
}
nothingWritten() { # folder
    [ -z "$(find "$1" -mindepth 1)" ] || fail "written: $(find "$1" -mindepth 1)"
}
