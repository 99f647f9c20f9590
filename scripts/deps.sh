#!/usr/bin/env bash
# Installs the Debian packages Plotvane needs to build, run and test, if any are missing.
# Sourced by run.sh and test.sh; fast when everything is already there.
set -euo pipefail

PLOTVANE_PACKAGES=(
    cmake ninja-build g++ clang pkg-config ccache
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgsf-1-dev
    libgtest-dev libgmock-dev libbenchmark-dev libclang-rt-14-dev
    fonts-liberation2 fonts-dejavu-core clang-format python3-olefile
)

plotvane_install_deps()
{
    local missing=()
    local p
    for p in "${PLOTVANE_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$p")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    echo "Installing missing packages: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get -o DPkg::Lock::Timeout=600 update -qq
    $sudo apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}"
}

# plotvane_build <build-dir> [cmake options...]
plotvane_build()
{
    local dir="$1"
    shift
    local top
    top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
    if [ ! -f "$dir/build.ninja" ]; then
        cmake -S "$top" -B "$dir" -G Ninja "$@"
    fi
    cmake --build "$dir" -j "$(nproc)"
}
