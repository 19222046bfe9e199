#!/usr/bin/env bash
# Installs what the build needs (Debian 12) and builds the plug-ins, the
# renderer, the tests and the benchmark into ./build.
# Sourced by demo.sh and test.sh; can also be run on its own.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${ZP_BUILD_DIR:-$ROOT/build}"
JOBS="${ZP_JOBS:-$(nproc)}"

PACKAGES=(
    build-essential cmake pkg-config
    juce-modules-source
    libasound2-dev libfreetype-dev libfontconfig1-dev libx11-dev libxcomposite-dev
    libxcursor-dev libxext-dev libxinerama-dev libxrandr-dev libxrender-dev
    libgtest-dev libbenchmark-dev
    lv2-dev sordi lilv-utils
    clang libclang-rt-14-dev
)

# The tests also run the plug-ins in a real host (Ardour on a JACK dummy
# server) and the standalone application in a virtual display.
TEST_PACKAGES=(ardour jackd2 xvfb xauth)
[ "${ZP_WITH_TEST_HOSTS:-0}" = 1 ] && PACKAGES+=("${TEST_PACKAGES[@]}")

install_packages()
{
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "== installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build_project()
{
    echo "== configuring $BUILD"
    cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release > "$BUILD.configure.log" 2>&1 \
        || { cat "$BUILD.configure.log"; return 1; }
    echo "== building (this takes a few minutes the first time)"
    cmake --build "$BUILD" -j "$JOBS" > "$BUILD.build.log" 2>&1 \
        || { grep -E "error|Error" "$BUILD.build.log" | tail -40; return 1; }
}

install_packages
build_project
