#!/usr/bin/env bash
# Sets up what is missing, builds, and runs the whole test suite three times:
# in the optimised build, under AddressSanitizer + UndefinedBehaviorSanitizer,
# and built with Clang; then checks the installed tree and the Debian package.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
jobs=$(nproc)
for preset in default sanitize clang; do
  echo "== ${preset} build =="
  cmake --preset "$preset"
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done
echo "== install and package =="
scripts/check-install.sh
