#!/usr/bin/env bash
# Installs what is missing, builds, and starts Tarvenko on the bundled sample knowledge base.
# Without a display the program runs in a virtual one (Xvfb); arguments go to the program.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
program="${TARVENKO_BUILD_DIR:-$root/build}/shell/tarvenko"

# The embedded browser's sandbox cannot run as root.
if [ "$(id -u)" -eq 0 ]; then
    export QTWEBENGINE_DISABLE_SANDBOX=1
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: running under Xvfb."
    exec xvfb-run -a -s "-screen 0 1280x800x24" "$program" "$@"
fi
exec "$program" "$@"
