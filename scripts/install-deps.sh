#!/usr/bin/env bash
# Installs the Debian packages the program and its tests need, only those that are missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-webengine-dev qt6-svg-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
    qt6-image-formats-plugins libqt6svg6 libgl-dev
    libsqlite3-dev sqlite3 libicu-dev
    mdbtools-dev mdbtools
    libxml2-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth x11-apps xdotool imagemagick poppler-utils
    desktop-file-utils shared-mime-info libxml2-utils appstream dpkg-dev file
    fonts-dejavu-core
    clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
