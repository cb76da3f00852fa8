#!/usr/bin/env bash
# Sets up what is missing, builds, and runs the whole test suite twice:
# in the optimised build and under AddressSanitizer + UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
jobs=$(nproc)
for preset in default sanitize; do
  echo "== ${preset} build =="
  cmake --preset "$preset"
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done
