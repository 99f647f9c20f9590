#!/usr/bin/env bash
# Installs what is missing, builds Plotvane and starts it on a bundled example.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$top/scripts/deps.sh"
plotvane_install_deps
plotvane_build "$top/build"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "Plotvane is built ($top/build/src/app/plotvane), but there is no display to open its" >&2
    echo "window on (DISPLAY and WAYLAND_DISPLAY are unset). Run it from a desktop session," >&2
    echo "or under a virtual one: xvfb-run $top/build/src/app/plotvane" >&2
    exit 1
fi
# Without arguments the bundled example opens.
if [ "$#" -eq 0 ]; then
    set -- "$top/examples/damped-oscillation.pvn"
fi
exec "$top/build/src/app/plotvane" "$@"
