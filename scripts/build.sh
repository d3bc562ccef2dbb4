#!/usr/bin/env bash
# Configures and builds the project into ./build (or $QX_BUILD_DIR).
#   scripts/build.sh              everything: programs, tools, tests and benchmarks
#   scripts/build.sh TARGET...    only the named targets (and what they need)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QX_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE:-RelWithDebInfo} >/dev/null
if [ $# -gt 0 ]; then
  cmake --build "$build" --parallel "$(nproc)" --target "$@"
else
  cmake --build "$build" --parallel "$(nproc)"
fi
