#!/usr/bin/env bash
# Installs, once, the Debian packages that building, testing and running Knobwerk need.
# Safe to run again: packages already present are not touched.
set -euo pipefail

packages=(
    cmake make g++ pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-liberation2
    xvfb xauth
)
# Screenshots of the real window also need a screen grabber and window lister.
[ "${1:-}" = "--screenshot" ] && packages+=(imagemagick x11-utils)

"$(dirname "$0")/ensure-packages.sh" "${packages[@]}"
