#!/usr/bin/env bash
# The idle window's memory against the smallest Qt Widgets window on the same display: starts
# climate-tool and bench/memory's minimal_window in turn on a private X server, waits until each
# window is shown and the process has settled, and prints the resident set (and its anonymous
# part, from /proc/PID/smaps_rollup) of each, with their ratio. Each side runs ROUNDS times and the
# median is kept.
#
#   bench/memory.sh [BUILD_DIR] [ROUNDS]
#
# BUILD_DIR defaults to build, ROUNDS to 3. Both programs run with the same environment: the
# default language, a fresh home, Qt's xcb platform on a 1280 × 1024 screen.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
rounds=${2:-3}
python=${CLIMATE_PYTHON:-/usr/bin/python3}

for program in Xvfb xdotool; do
    command -v "$program" >/dev/null || { echo "$program is missing (scripts/deps.sh)"; exit 1; }
done
cmake --build "$build" --target climate-tool minimal_window >/dev/null

work=$(mktemp -d)
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for ((i = 0; i < 100; i++)); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=:$(head -n1 "$work/display")
unset WAYLAND_DISPLAY QT_QPA_PLATFORMTHEME QT_SCALE_FACTOR QT_FONT_DPI
export QT_QPA_PLATFORM=xcb LANG=C.UTF-8 LANGUAGE= LC_ALL=
export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$HOME" "$work/cwd"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# Prints "RSS_KB ANONYMOUS_KB" of PID once its memory and CPU time have stood still for two
# seconds (at most 30 s).
settled_figures() {
    "$python" - "$1" <<'EOF'
import sys, time

pid = sys.argv[1]

def figures():
    fields = {}
    with open(f"/proc/{pid}/smaps_rollup") as rollup:
        for line in rollup:
            parts = line.split()
            if len(parts) >= 2 and parts[0].endswith(":") and parts[1].isdigit():
                fields[parts[0][:-1]] = int(parts[1])
    with open(f"/proc/{pid}/stat") as stat:
        ticks = sum(int(v) for v in stat.read().rsplit(")", 1)[1].split()[11:13])
    return fields["Rss"], fields["Anonymous"], ticks

history = []
deadline = time.monotonic() + 30
while time.monotonic() < deadline:
    history.append(figures())
    last = history[-5:]
    if len(last) == 5 and len({(r, a) for r, a, _ in last}) == 1 and last[-1][2] - last[0][2] <= 2:
        break
    time.sleep(0.5)
rss, anonymous, _ = history[-1]
print(rss, anonymous)
EOF
}

# Runs "$@" until its window is shown and it has settled; appends its figures to $work/$name.
measure() {
    local name=$1
    shift
    (cd "$work/cwd" && exec "$@") >"$work/$name.log" 2>&1 &
    local pid=$!
    pids+=("$pid")
    if ! timeout 20 xdotool search --sync --onlyvisible --pid "$pid" >/dev/null 2>&1; then
        echo "$name showed no window within 20 s"; cat "$work/$name.log"; exit 1
    fi
    settled_figures "$pid" >>"$work/$name"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
}

for ((round = 0; round < rounds; round++)); do
    measure tool "$build/bin/climate-tool"
    measure minimal "$build/bin/minimal_window"
done

"$python" - "$work/tool" "$work/minimal" <<'EOF'
import statistics, sys

def median_figures(path):
    rows = [tuple(map(int, line.split())) for line in open(path) if line.strip()]
    return statistics.median(r for r, _ in rows), statistics.median(a for _, a in rows)

tool_rss, tool_anon = median_figures(sys.argv[1])
min_rss, min_anon = median_figures(sys.argv[2])
mib = lambda kb: kb / 1024
print(f"{'':16}{'RSS (MiB)':>12}{'anonymous (MiB)':>18}")
print(f"{'climate-tool':16}{mib(tool_rss):12.1f}{mib(tool_anon):18.1f}")
print(f"{'minimal window':16}{mib(min_rss):12.1f}{mib(min_anon):18.1f}")
print(f"{'ratio':16}{tool_rss / min_rss:12.2f}{tool_anon / min_anon:18.2f}")
EOF
