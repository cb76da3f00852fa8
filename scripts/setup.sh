#!/usr/bin/env bash
# Installs, with apt-get, whatever Velsor needs to build and test that this
# machine lacks, plus any packages named as arguments (scripts/bench.sh names
# its peers that way). Runs as root, or through sudo for another user.
set -euo pipefail

# libqt6svg6 draws the SVG images; fonts-liberation2 stands in for Arial, the window's font, at the same metrics.
packages=(g++ cmake make libgtest-dev libgmock-dev libbenchmark-dev qt6-base-dev libqt6svg6 libgl-dev fonts-liberation2 "$@")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
