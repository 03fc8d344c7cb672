#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite with CTest, offscreen.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
export QT_QPA_PLATFORM=offscreen
export QTWEBENGINE_DISABLE_SANDBOX=1
export QT_LOGGING_RULES="qt.webenginecontext.info=false"
ctest --test-dir "${TARVENKO_BUILD_DIR:-$root/build}" --output-on-failure -j "$(nproc)"
