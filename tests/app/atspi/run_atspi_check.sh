#!/usr/bin/env bash
# Reads the tool's window the way a screen reader does: over AT-SPI, on a private X display
# (Xvfb) and a private D-Bus session with its own accessibility bus, all started here and ended
# on exit. Usage: run_atspi_check.sh CLIMATE_TOOL PLAIN_COMBO_WINDOW CLIMATE_SIM CHECK_SCRIPT [PYTHON]
set -euo pipefail

tool=$1 plain=$2 sim=$3 check=$4 python=${5:-/usr/bin/python3}
for program in Xvfb xdotool dbus-launch /usr/libexec/at-spi-bus-launcher dbus-send; do
    command -v "$program" >/dev/null || { echo "FAIL: $program is missing (scripts/deps.sh installs it)"; exit 1; }
done

work=$(mktemp -d)
pids=()
bus_pid=""
cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    [ -n "$bus_pid" ] && kill "$bus_pid" 2>/dev/null || true
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

# Waits up to $1 tenths of a second for the command that follows to succeed.
wait_for() {
    local tenths=$1
    shift
    for ((i = 0; i < tenths; i++)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

export XDG_RUNTIME_DIR=$work/runtime HOME=$work/home
mkdir -m 700 "$XDG_RUNTIME_DIR" "$HOME"
unset DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS

# The X server picks a free display and writes its number to descriptor 3.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
if ! wait_for 100 test -s "$work/display"; then
    echo "FAIL: Xvfb did not start within 10 s"; cat "$work/xvfb.log"; exit 1
fi
display=$(head -n1 "$work/display")
export DISPLAY=:$display
# The server accepts clients once its socket answers.
x_answers() {
    kill -0 "${pids[0]}" && "$python" -c 'import socket, sys
s = socket.socket(socket.AF_UNIX)
s.connect("/tmp/.X11-unix/X" + sys.argv[1])' "$display"
}
if ! wait_for 100 x_answers; then
    echo "FAIL: Xvfb on $DISPLAY does not accept clients"; cat "$work/xvfb.log"; exit 1
fi

eval "$(dbus-launch --sh-syntax)"
bus_pid=$DBUS_SESSION_BUS_PID
/usr/libexec/at-spi-bus-launcher --launch-immediately 2>"$work/atspi.log" &
pids+=($!)
if ! wait_for 100 dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
        org.a11y.Bus.GetAddress; then
    echo "FAIL: the accessibility bus did not come up within 10 s"; cat "$work/atspi.log"; exit 1
fi

export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
cd "$work"
status=0
timeout 240 "$python" "$check" --tool "$tool" --plain "$plain" --sim "$sim" --work "$work" ||
    status=$?
if ((status != 0)) && ! kill -0 "${pids[0]}" 2>/dev/null; then
    echo "Xvfb ended during the check:"; cat "$work/xvfb.log"
fi
exit "$status"
