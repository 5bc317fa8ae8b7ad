#!/usr/bin/env bash
# Configures and builds Tarvo: "native" (Linux, the portable core and its
# tests), "win" (MinGW i686: TRV.EXE and the Windows tests) and/or "fuzz"
# (clang with libFuzzer and sanitizers: the project file fuzzer).
# Usage: build.sh [native] [win] [-- make targets]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TARVO_BUILD:-$root/build}
kinds=()
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
    --) shift; targets=("$@"); break ;;
    *) kinds+=("$1"); shift ;;
  esac
done
[ ${#kinds[@]} -gt 0 ] || kinds=(native win fuzz)
jobs=$(nproc 2>/dev/null || echo 2)
for kind in "${kinds[@]}"; do
  args=()
  case "$kind" in
    win) args=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake") ;;
    fuzz) args=(-DTARVO_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++) ;;
  esac
  # Always configured: a folder's new Sources.cmake must be picked up.
  cmake -S "$root" -B "$build/$kind" -G "Unix Makefiles" "${args[@]}" >/dev/null
  cmake --build "$build/$kind" -j "$jobs" ${targets[@]:+--target "${targets[@]}"} -- --no-print-directory
done
