#!/usr/bin/env bash
# Checks the Windows packages under Wine as a user's machine would use them, with nothing on the
# DLL search path but the package itself:
#   check-package.sh INSTALLER ZIP VERSION
# The installer installs silently (/S) into Program Files, with a Start-menu entry and an
# Apps & features entry carrying the version and publisher; the installed climate-tool.exe
# answers --version, and its window comes up with Qt's windows platform plugin (a screenshot
# lands in dist/); the uninstaller removes every file it installed and its entries. The zip's
# executable runs from wherever it is unpacked and holds the same files.
set -euo pipefail
cd "$(dirname "$0")/../.."
installer=$(realpath "$1")
zip=$(realpath "$2")
version=$3
source scripts/windows/env.sh
source scripts/windows/wine-session.sh
# Only what the packages carry.
unset WINEPATH
work_cli=$(mktemp)
trap 'windows_session_end; rm -f "$work_cli"' EXIT
windows_session_start

fail() {
    echo "check-package: $*" >&2
    exit 1
}
program_files=$WINEPREFIX/drive_c/Program\ Files
folder="$program_files/Climate Unit Service Tool"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Climate Unit Service Tool"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\climate-tool'

# A leftover of an earlier run would hide what this one installs.
if [ -e "$folder/Uninstall.exe" ]; then
    wine "$folder/Uninstall.exe" /S
    wineserver --wait
fi
rm -rf "$folder"

wine "$installer" /S
wineserver --wait
[ -f "$folder/climate-tool.exe" ] || fail "nothing installed in $folder"
for file in Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll Qt6Network.dll Qt6SerialPort.dll \
    libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll \
    platforms/qwindows.dll styles/qwindowsvistastyle.dll imageformats/qjpeg.dll climate-cli.exe \
    Uninstall.exe; do
    [ -f "$folder/$file" ] || fail "the installation lacks $file"
done
# The window draws no SVG: its icon is PNG.
for file in Qt6Svg.dll imageformats/qsvg.dll iconengines/qsvgicon.dll; do
    [ ! -e "$folder/$file" ] || fail "the installation still ships $file"
done
[ -f "$menu/Climate Unit Service Tool.lnk" ] || fail "no Start-menu entry in $menu"
entry=$(wine reg query "$key" 2>/dev/null | tr -d '\r')
grep -q "DisplayVersion.*$version" <<<"$entry" || fail "Apps & features entry without version: $entry"
grep -q "Publisher.*Climate unit service tool developers" <<<"$entry" ||
    fail "Apps & features entry without publisher: $entry"
grep -q "DisplayIcon.*climate-tool.exe" <<<"$entry" || fail "Apps & features entry without icon"

answer=$(wine "$folder/climate-tool.exe" --version | tr -d '\r')
[ "$answer" = "climate-tool $version" ] || fail "installed --version said: $answer"
answer=$(wine "$folder/climate-cli.exe" --version | tr -d '\r')
[ "$answer" = "climate-cli $version" ] || fail "installed climate-cli --version said: $answer"
# Usage errors are decided before any port is opened: status 2, one line on the console.
status=0
wine "$folder/climate-cli.exe" verify 2>"$work_cli" >/dev/null || status=$?
[ "$status" = 2 ] || fail "climate-cli verify with no file ended with $status, not 2"

# The window, with the plugins of the installation only.
mkdir -p dist
work=$(mktemp -d)
(cd "$work" && exec wine "$folder/climate-tool.exe") >"$work/window.log" 2>&1 &
window=$!
shown=
for _ in $(seq 60); do
    if xdotool search --name "GUI For DC" >/dev/null 2>&1; then
        shown=yes
        break
    fi
    sleep 1
done
[ -n "$shown" ] || fail "the installed tool showed no window: $(cat "$work/window.log")"
sleep 3
import -window root dist/windows-window.png
# RealTimeData, whose picture of the unit needs the JPEG plugin: a picture to look at.
xdotool search --name "GUI For DC" | head -1 | xargs -I{} xdotool mousemove --window {} 150 14 click 1
sleep 2
import -window root dist/windows-realtime.png
kill "$window" 2>/dev/null || true
wineserver --kill
wait "$window" 2>/dev/null || true
windows_session_start

installed=$(cd "$folder" && find . -type f ! -name Uninstall.exe | sort)
wine "$folder/Uninstall.exe" /S
wineserver --wait
# The uninstaller runs a copy of itself from the temporary folder; give it time to finish.
for _ in $(seq 30); do
    [ -e "$folder" ] || break
    sleep 1
done
if [ -e "$folder" ]; then
    fail "the uninstaller left: $(cd "$folder" && find . | sort | tr '\n' ' ')"
fi
[ ! -e "$menu" ] || fail "the uninstaller left the Start-menu entry"
if wine reg query "$key" >/dev/null 2>&1; then
    fail "the uninstaller left the Apps & features entry"
fi

# The portable zip: the same files, and it runs where it is unpacked.
/usr/bin/python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' \
    "$zip" "$work/zip"
top=$(find "$work/zip" -name climate-tool.exe -printf '%h\n')
[ -n "$top" ] || fail "no climate-tool.exe in the zip"
unpacked=$(cd "$top" && find . -type f | sort)
[ "$unpacked" = "$installed" ] || fail "the zip and the installer differ: $(diff <(echo "$installed") <(echo "$unpacked"))"
answer=$(wine "$top/climate-tool.exe" --version | tr -d '\r')
[ "$answer" = "climate-tool $version" ] || fail "the zip's --version said: $answer"
rm -rf "$work"
echo "check-package: installer and zip fine ($(echo "$installed" | wc -l) files)"
