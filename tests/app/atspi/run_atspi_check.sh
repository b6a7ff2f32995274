#!/usr/bin/env bash
# Reads the tool's window the way a screen reader does: over AT-SPI, on a private X display
# (Xvfb) and a private D-Bus session with its own accessibility bus (run_on_xvfb.sh --atspi).
# Usage: run_atspi_check.sh CLIMATE_TOOL PLAIN_COMBO_WINDOW CLIMATE_SIM CHECK_SCRIPT [PYTHON]
set -euo pipefail

tool=$1 plain=$2 sim=$3 check=$4 python=${5:-/usr/bin/python3}
command -v xdotool >/dev/null || { echo "FAIL: xdotool is missing (scripts/deps.sh installs it)"; exit 1; }
on_xvfb=$(cd "$(dirname "$0")/../../support" && pwd)/run_on_xvfb.sh

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
"$on_xvfb" --atspi timeout 240 "$python" "$check" --tool "$tool" --plain "$plain" --sim "$sim" \
    --work "$work"
