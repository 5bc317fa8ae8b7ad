#!/usr/bin/env bash
# Configures and builds Tarvo: "native" (Linux, the portable core and its
# tests) and/or "win" (MinGW i686: TRV.EXE and the Windows tests).
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
[ ${#kinds[@]} -gt 0 ] || kinds=(native win)
jobs=$(nproc 2>/dev/null || echo 2)
for kind in "${kinds[@]}"; do
  args=()
  [ "$kind" = win ] && args=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake")
  if [ ! -f "$build/$kind/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build/$kind" -G "Unix Makefiles" "${args[@]}" >/dev/null
  fi
  cmake --build "$build/$kind" -j "$jobs" ${targets[@]:+--target "${targets[@]}"} -- --no-print-directory
done
