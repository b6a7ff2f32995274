#!/usr/bin/env bash
# Compares a benchmark binary of an earlier revision with this tree's: builds both, runs them
# in turn (interleaved, so a change in the machine's load hits both sides alike) and prints the
# median CPU time of each benchmark (wall time for those timed by hand), the change, and how far
# the rounds of each side spread: a change inside the spread is noise.
#
#   bench/compare.sh REVISION [TARGET] [FILTER] [ROUNDS]
#
# TARGET defaults to link_bench, FILTER to every benchmark, ROUNDS to 7. Run it on a quiet
# machine: the engine's ticks take nanoseconds, and a busy core moves them by more than 5 %.
set -euo pipefail
cd "$(dirname "$0")/.."
revision=${1:?usage: bench/compare.sh REVISION [TARGET] [FILTER] [ROUNDS]}
target=${2:-link_bench}
filter=${3:-.}
rounds=${4:-7}
python=${CLIMATE_PYTHON:-/usr/bin/python3}

work=$(mktemp -d)
cleanup() {
    git worktree remove --force "$work/before" >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

git worktree add --detach "$work/before" "$revision" >/dev/null 2>&1
source scripts/ccache-launcher.sh
for side in before after; do
    source_dir=$([[ $side == before ]] && echo "$work/before" || pwd)
    cmake -S "$source_dir" -B "$work/build-$side" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        "${launcher[@]}" >/dev/null
    cmake --build "$work/build-$side" --target "$target" --parallel "$(nproc)" >/dev/null
done

# One core for both sides, when the machine lets us pin.
pin=()
if command -v taskset >/dev/null && (($(nproc) > 1)); then
    pin=(taskset -c 1)
fi
for round in $(seq 1 "$rounds"); do
    for side in before after; do
        QT_QPA_PLATFORM=offscreen "${pin[@]}" "$work/build-$side/bin/$target" \
            --benchmark_filter="$filter" --benchmark_format=json \
            >"$work/$side.$round.json" 2>/dev/null
    done
done

"$python" - "$work" "$rounds" "$revision" <<'PY'
import json, statistics, sys

work, rounds, revision = sys.argv[1], int(sys.argv[2]), sys.argv[3]
times = {}
for side in ("before", "after"):
    for round_ in range(1, rounds + 1):
        with open(f"{work}/{side}.{round_}.json") as report:
            for bench in json.load(report)["benchmarks"]:
                if bench.get("run_type", "iteration") != "iteration":
                    continue
                key = "real_time" if bench["name"].endswith("manual_time") else "cpu_time"
                unit = bench.get("time_unit", "ns")
                times.setdefault((bench["name"], unit), {}).setdefault(side, []).append(bench[key])

print(f"median of {rounds} rounds: {revision} -> working tree (min ... max of each side)")
for (name, unit), sides in times.items():
    if "before" not in sides or "after" not in sides:
        continue
    before = statistics.median(sides["before"])
    after = statistics.median(sides["after"])
    change = 100 * (after - before) / before
    spread = (f"{min(sides['before']):.2f} ... {max(sides['before']):.2f} | "
              f"{min(sides['after']):.2f} ... {max(sides['after']):.2f}")
    print(f"{name:52s} {before:10.2f} {after:10.2f} {unit:3s} {change:+7.1f} %   {spread}")
PY
