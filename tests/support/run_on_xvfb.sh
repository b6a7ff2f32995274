#!/usr/bin/env bash
# Runs a command on a private X server (Xvfb) with Qt's xcb platform, so the windows it opens are
# real X windows that take input as a person's would. With --atspi first, a private D-Bus session
# with its own accessibility bus runs too and Qt publishes its widgets there, as it does under a
# screen reader. Everything started here ends with the command.
# Usage: run_on_xvfb.sh [--atspi] COMMAND [ARGUMENT]...
set -euo pipefail

with_atspi=false
if [ "${1:-}" = "--atspi" ]; then
    with_atspi=true
    shift
fi

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

command -v Xvfb >/dev/null || { echo "FAIL: Xvfb is missing (scripts/deps.sh installs it)"; exit 1; }
# The X server picks a free display and writes its number to descriptor 3.
Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
if ! wait_for 100 test -s "$work/display"; then
    echo "FAIL: Xvfb did not start within 10 s"; cat "$work/xvfb.log"; exit 1
fi
export DISPLAY=:$(head -n1 "$work/display")
unset WAYLAND_DISPLAY QT_QPA_PLATFORMTHEME
export QT_QPA_PLATFORM=xcb
# A home and runtime folder of the run's own: nothing remembered from or left for another run.
export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"

if $with_atspi; then
    for program in dbus-launch dbus-send /usr/libexec/at-spi-bus-launcher; do
        command -v "$program" >/dev/null ||
            { echo "FAIL: $program is missing (scripts/deps.sh installs it)"; exit 1; }
    done
    unset DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS
    eval "$(dbus-launch --sh-syntax)"
    bus_pid=$DBUS_SESSION_BUS_PID
    /usr/libexec/at-spi-bus-launcher --launch-immediately 2>"$work/atspi.log" &
    pids+=($!)
    if ! wait_for 100 dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
            org.a11y.Bus.GetAddress; then
        echo "FAIL: the accessibility bus did not come up within 10 s"; cat "$work/atspi.log"; exit 1
    fi
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
fi

status=0
"$@" || status=$?
exit "$status"
