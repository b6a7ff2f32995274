#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tool and the test suite need. Idempotent: packages
# already present are not fetched again, and apt's lists are refreshed only when something is missing.
# With --tool it installs only what building and showing the tool and the simulator need (./run).
# With package names as arguments it installs those instead (the packaging scripts' own tools).
set -euo pipefail

tool_packages=(
  # qt6-base-dev brings Qt Core, Gui, Widgets and Network (the network ports).
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-serialport-dev qt6-l10n-tools
  libmodbus-dev libgsf-1-dev fonts-noto-cjk
)
packages=(
  "${tool_packages[@]}"
  libgtest-dev libgmock-dev libbenchmark-dev
  mbpoll python3-xlrd locales
  libqt6svg6 # the window icon's test draws the SVG as Qt's icon engine does
  xvfb xauth imagemagick xdotool
  at-spi2-core dbus-daemon dbus-bin dbus-x11 python3-pyatspi
  help2man desktop-file-utils appstream bash-completion
)
if [ "${1:-}" = --tool ]; then
  packages=("${tool_packages[@]}")
elif (($#)); then
  packages=("$@")
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q
  $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
