#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite with CTest, offscreen; then
# builds the suite again with AddressSanitizer and UndefinedBehaviorSanitizer in build-asan/ (or
# $TARVENKO_ASAN_BUILD_DIR) and runs it once more. TARVENKO_SANITIZE=0 skips the second run.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
export QT_QPA_PLATFORM=offscreen
export QTWEBENGINE_DISABLE_SANDBOX=1
export QT_LOGGING_RULES="qt.webenginecontext.info=false"
ctest --test-dir "${TARVENKO_BUILD_DIR:-$root/build}" --output-on-failure -j "$(nproc)"

if [ "${TARVENKO_SANITIZE:-1}" != "0" ]; then
    # The sanitizers' own settings come with each test (cmake/Sanitizers.cmake). Benchmarks are
    # not built: the tests do not need them.
    asan="${TARVENKO_ASAN_BUILD_DIR:-$root/build-asan}"
    cmake -S "$root" -B "$asan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVENKO_SANITIZE=ON \
        -DTARVENKO_BUILD_BENCH=OFF >/dev/null
    cmake --build "$asan" -j "$(nproc)"
    ctest --test-dir "$asan" --output-on-failure -j "$(nproc)"
fi
