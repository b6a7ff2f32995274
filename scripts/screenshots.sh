#!/usr/bin/env bash
# Makes the README's pictures from the running window: the walkthrough drives it against the
# simulator on a private X server (real windows, real fonts) and leaves each page as it shows
# live values, with the Bus Monitor beside them, in docs/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh >/dev/null
mkdir -p docs
CLIMATE_DOCS_SHOTS="$PWD/docs" tests/support/run_on_xvfb.sh build/bin/walkthrough_e2e_test \
    --gtest_filter=Walkthrough.APersonsPathThroughEveryPage >/dev/null
ls docs/*.png
