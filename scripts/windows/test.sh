#!/usr/bin/env bash
# Runs the Windows build's tests under Wine through CTest: every test program of build-windows/
# (built first when it is not there), inside a private X server and Wine prefix. The end-to-end
# tests, the workbook comparison and the readers (xlrd) use programs of the Linux build, which
# is built here as far as they need. Arguments go to ctest (e.g. -R e2e).
set -euo pipefail
cd "$(dirname "$0")/../.."
scripts/windows/deps.sh
source scripts/windows/env.sh
windows_unpack_sdk

# The Linux simulator and test-log sample that the Windows tests run on the host.
if [ ! -x build/bin/climate-sim ] || [ ! -x build/bin/test-log-sample ]; then
    source scripts/ccache-launcher.sh
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCLIMATE_WERROR=ON \
        "${launcher[@]}" >/dev/null
    cmake --build build --parallel "${CLIMATE_JOBS:-2}" --target climate-sim test-log-sample
fi
if [ ! -f "$windows_build/build.ninja" ]; then
    scripts/windows/build.sh
fi

source scripts/windows/wine-session.sh
# The host service runs the Linux programs the tests ask for (tests/support/host_service.py).
service_folder=$(mktemp -d)
/usr/bin/python3 tests/support/host_service.py "$service_folder/port" &
service=$!
stop() {
    kill "$service" 2>/dev/null || true
    wait "$service" 2>/dev/null || true
    rm -rf "$service_folder"
    windows_session_end
}
trap stop EXIT
for _ in $(seq 100); do
    [ -s "$service_folder/port" ] && break
    sleep 0.1
done
export CLIMATE_HOST_SERVICE="127.0.0.1:$(cat "$service_folder/port")"
windows_session_start
# Two at a time: most of the time goes to Wine starting each program.
ctest --test-dir "$windows_build" --output-on-failure --timeout 300 \
    --parallel "${CLIMATE_JOBS:-2}" "$@"
