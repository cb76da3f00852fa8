#!/usr/bin/env bash
# Installs, with apt-get, whatever Velsor needs to build and test that this
# machine lacks, plus any packages named as arguments (scripts/bench.sh names
# its peers that way). Runs as root, or through sudo for another user.
set -euo pipefail
source "$(dirname "$0")/common.sh"

# libqt6svg6 draws the SVG images; fonts-liberation2 stands in for Arial, the window's font, at the same metrics.
packages=(g++ cmake make libgtest-dev libgmock-dev libbenchmark-dev qt6-base-dev libqt6svg6 libgl-dev fonts-liberation2)
# clang builds the clang preset.
packages+=(clang)
packages+=("$@")

velsor_install_packages "${packages[@]}"
