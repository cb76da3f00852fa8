#!/usr/bin/env bash
# Sets up what is missing, builds Velsor and starts the window.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target velsor
exec build/default/velsor "$@"
