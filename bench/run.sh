#!/usr/bin/env bash
# Builds and runs the benchmarks: the popup's build time natively and under
# Wine, and TRV.EXE's start-to-exit time in popup mode against a minimal
# program under the same Wine.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export TARVO_BUILD=${TARVO_BUILD:-$root/build}
"$root/scripts/build.sh" native -- bench_popup_build
"$root/scripts/build.sh" win -- bench_popup_build bench_startup
echo "native:"
"$TARVO_BUILD/native/bench_popup_build"
source "$root/scripts/wine-env.sh"
trap wine_stop EXIT
wine_start
echo "Wine:"
wine "$TARVO_BUILD/win/bench_popup_build.exe"
wine "$TARVO_BUILD/win/bench_startup.exe"
