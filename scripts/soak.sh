#!/usr/bin/env bash
# Soak test: the real window, offscreen, polls the simulator on the RealTimeData page for MINUTES
# (default 30) while one of the simulator's faults is armed every few seconds: bad CRC, wrong
# address, split replies, line noise, a long delay, silence for a while (now and then long enough
# for the link to be lost). The harness (build/bin/climate-soak) prints the resident memory and
# the counts every minute. Fails on a crash, on memory growth beyond 2 MB after the first five
# minutes, on a wrong value shown, or when the link is not alive again within 10 s after the
# faults stop. Long-running: not part of CI. Works in a temporary folder (the test log goes there).
set -euo pipefail
minutes=${1:-30}
cd "$(dirname "$0")/.."
root=$PWD

scripts/deps.sh
[ -f build/build.ninja ] || scripts/build.sh
cmake --build build --target climate-soak climate-sim >/dev/null

work=$(mktemp -d /tmp/climate-soak.XXXXXX)
sim_pid=""
harness_pid=""
cleanup() {
    [ -n "$harness_pid" ] && kill "$harness_pid" 2>/dev/null || true
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# The simulator reads its commands from a named pipe that this script keeps open.
mkfifo "$work/sim.in"
build/bin/climate-sim --link "$work/link" <"$work/sim.in" >"$work/sim.out" 2>&1 &
sim_pid=$!
exec 3>"$work/sim.in"
for _ in $(seq 100); do
    grep -q '^ready' "$work/sim.out" && break
    sleep 0.1
done
grep -q '^ready' "$work/sim.out" || { echo "the simulator did not start:"; cat "$work/sim.out"; exit 1; }
send() { echo "$*" >&3; }

fan1=1500
send "set ir 0 $fan1"
(cd "$work" && QT_QPA_PLATFORM=offscreen exec "$root/build/bin/climate-soak" --link "$work/link" \
    --stop-file "$work/faults-stopped" --fan1 "$fan1") &
harness_pid=$!

# Weighted: the long silence (the link is lost after about 30 s without a reply) comes seldom.
faults=(badcrc "badcrc count=4" wrongaddress "wrongaddress count=4" "split 1 5" "split 3 40 count=4"
        "noise 200" "noise 2000" delay silent badcrc "split 2 10" "noise 50" longsilence)
declare -A armed=()
end=$((SECONDS + minutes * 60))
while ((SECONDS < end)) && kill -0 "$harness_pid" 2>/dev/null; do
    fault=${faults[RANDOM % ${#faults[@]}]}
    armed[$fault]=$((${armed[$fault]:-0} + 1))
    case $fault in
    delay) send "delay 1500"; sleep 6; send "delay 0" ;;
    silent) send "silent on"; sleep $((3 + RANDOM % 6)); send "silent off" ;;
    longsilence) send "silent on"; sleep 40; send "silent off" ;;
    *) send "$fault" ;;
    esac
    sleep $((2 + RANDOM % 4))
done

send clear
send "set ir 0 $((fan1 + 1))"
send stats
sleep 0.5
touch "$work/faults-stopped"
status=0
wait "$harness_pid" || status=$?
harness_pid=""
echo "faults armed:"
for fault in "${!armed[@]}"; do echo "  ${armed[$fault]} x $fault"; done
echo "simulator: $(grep '^ok .*requests=' "$work/sim.out" | tail -1)"
if ((status > 128)); then
    echo "FAIL: the harness crashed (signal $((status - 128)))"
elif ((status != 0)); then
    echo "FAIL: status $status"
else
    echo "soak passed"
fi
exit "$status"
