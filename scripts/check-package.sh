#!/usr/bin/env bash
# Checks a Debian package of the tool: lintian must report no error, the desktop entry and the
# metainfo inside must validate. With --install (as root) it also installs the package with apt,
# runs the programs without a display, removes it again and checks that nothing is left.
# Usage: scripts/check-package.sh [--install] [dist/climate-tool_VERSION_ARCH.deb]
set -euo pipefail
cd "$(dirname "$0")/.."
install=false
if [ "${1:-}" = --install ]; then
    install=true
    shift
fi
deb=${1:-$(ls -t dist/climate-tool_*.deb | head -n 1)}
case $deb in
/*) ;;
*) deb=./$deb ;;
esac
scripts/deps.sh lintian desktop-file-utils appstream

echo "lintian $deb"
lintian --fail-on error --display-level '>=warning' "$deb"

contents=$(mktemp -d /tmp/climate-deb.XXXXXX)
trap 'rm -rf "$contents"' EXIT
dpkg-deb -x "$deb" "$contents"
desktop-file-validate "$contents"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$contents"/usr/share/metainfo/*.metainfo.xml

if $install; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get install -y -q "$deb" >/dev/null
    files=$(dpkg -L climate-tool | while read -r f; do [ -f "$f" ] && echo "$f"; done)
    files+=" /usr/share/doc/climate-tool"
    (
        unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
        climate-tool --version
        climate-tool --help >/dev/null
        climate-sim --version
        climate-cli --version
        climate-cli --help >/dev/null
        test -f /usr/share/man/man1/climate-tool.1.gz
        test -f /usr/share/man/man1/climate-cli.1.gz
        test -f /usr/share/bash-completion/completions/climate-cli
        # The command line needs no Qt Widgets; a missing file is a usage error (status 2).
        if ldd /usr/bin/climate-cli | grep -q libQt6Widgets; then
            echo "climate-cli links Qt Widgets" >&2
            exit 1
        fi
        status=0
        climate-cli verify /nonexistent.json --port /dev/null || status=$?
        test "$status" = 2
    )
    apt-get remove -y -q climate-tool >/dev/null
    left=""
    for f in $files; do
        [ -e "$f" ] && left+=" $f"
    done
    if [ -n "$left" ] || dpkg-query -W -f='${Status}' climate-tool 2>/dev/null | grep -q 'ok installed'; then
        echo "Left behind after removal:$left" >&2
        exit 1
    fi
    echo "Installed, ran and removed cleanly."
fi
