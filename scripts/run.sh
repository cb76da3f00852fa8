#!/usr/bin/env bash
# Sets up what is missing, builds Velsor (the window and velsor-cli) and
# starts the window.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target velsor velsor-cli
exec build/default/velsor "$@"
