#!/usr/bin/env bash
# Installs what is missing, builds Plotvane with its tests and runs every test.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$top/scripts/deps.sh"
plotvane_install_deps
plotvane_build "$top/build"
cd "$top/build"
ctest --output-on-failure -j "$(nproc)" "$@"
