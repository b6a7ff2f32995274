# Sourced by the Windows scripts that run programs under Wine: a private X server (Wine's window
# driver needs a display, and without one a Qt program hangs when it exits), a private Wine prefix
# made once, and the paths where the executables find the Qt and MinGW DLLs.
# Needs env.sh first. windows_session_end stops what it started.
export WINEPREFIX=${CLIMATE_WINEPREFIX:-$windows_build/wine-prefix}
export WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko: nothing here needs them, and asking for them would wait for a click.
export WINEDLLOVERRIDES="mscoree=;mshtml="
export WINEPATH="Z:$windows_qt/bin;Z:/usr/lib/gcc/x86_64-w64-mingw32/12-posix;Z:/usr/x86_64-w64-mingw32/lib"
# Qt finds its plugins beside its own DLLs. Wine hands no QT_ variable to a Windows program, so a
# Windows test chooses its platform plugin on its command line (-platform windows), never through
# QT_QPA_PLATFORM; without one it is offscreen.

windows_xvfb_pid=
windows_session_start() {
    # The X server: once per session, on the first free display of :100 ... :109.
    if [ -z "$windows_xvfb_pid" ] || ! kill -0 "$windows_xvfb_pid" 2>/dev/null; then
        windows_xvfb_pid=
        local n waited
        for n in 100 101 102 103 104 105 106 107 108 109; do
            { [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; } && continue
            Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
            windows_xvfb_pid=$!
            for waited in $(seq 50); do
                [ -e "/tmp/.X11-unix/X$n" ] && break
                sleep 0.1
            done
            if kill -0 "$windows_xvfb_pid" 2>/dev/null; then
                export DISPLAY=":$n"
                break
            fi
            windows_xvfb_pid=
        done
        [ -n "$windows_xvfb_pid" ] || { echo "no free X display in :100-:109" >&2; return 1; }
    fi
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        wineboot --init >/dev/null 2>&1
    fi
    wineserver --wait >/dev/null 2>&1 || true
}

windows_session_end() {
    wineserver --kill >/dev/null 2>&1 || true
    if [ -n "$windows_xvfb_pid" ]; then
        kill "$windows_xvfb_pid" 2>/dev/null || true
        wait "$windows_xvfb_pid" 2>/dev/null || true
        windows_xvfb_pid=
    fi
}
