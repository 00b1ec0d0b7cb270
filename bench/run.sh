#!/usr/bin/env bash
# Installs what is missing, builds Tazzle and the reference program (Release), and prints
# what they cost side by side. Takes about two minutes. Usage: bench/run.sh [runs, default 11]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-11}

tools/install-missing.sh cmake g++ make qt6-base-dev qt6-svg-dev qt6-qpa-plugins libgl-dev \
    fonts-liberation2 xvfb valgrind binutils python3 dbus

build=build-bench
cmake -S . -B $build -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DTAZZLE_BUILD_BENCH=ON >/dev/null
cmake --build $build --parallel "$(nproc)" >/dev/null

work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"

face=$(QT_QPA_PLATFORM=offscreen $build/bench/resolvedface 2>/dev/null)
echo "Measuring start-up ($runs runs each, then callgrind) ..." >&2
# Both on a session bus of their own, as on a desktop: without one, Tazzle uses none while the
# reference would have libdbus start one.
dbus-run-session -- /usr/bin/python3 bench/startup.py "$runs" $build/tazzle \
    $build/bench/reference "$face" >"$work/startup.json" 2>"$work/startup.err" ||
    { cat "$work/startup.err" >&2; exit 1; }
echo "Measuring in-process costs ..." >&2
QT_QPA_PLATFORM=offscreen $build/bench/bench_tazzle -median 5 -o "$work/bench.xml,xml" >/dev/null 2>&1
strip -o "$work/tazzle" $build/tazzle
strip -o "$work/reference" $build/bench/reference

/usr/bin/python3 bench/report.py "$work/startup.json" "$work/bench.xml" \
    "$(stat -c %s "$work/tazzle")" "$(stat -c %s "$work/reference")" "$face"
