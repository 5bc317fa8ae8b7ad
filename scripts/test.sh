#!/usr/bin/env bash
# Sets up the machine, builds both builds and runs every test: the core's
# tests natively, and the same tests plus the Windows tests under Wine.
# Ends with CTest's summary; exits with CTest's status.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export TARVO_BUILD=${TARVO_BUILD:-$root/build}

"$root/scripts/setup.sh"
"$root/scripts/build.sh" native win fuzz

# One CTest run over all builds, so that there is one summary.
printf 'subdirs("native" "win" "fuzz")\n' > "$TARVO_BUILD/CTestTestfile.cmake"

source "$root/scripts/wine-env.sh"
trap wine_stop EXIT
wine_start

cd "$TARVO_BUILD"
set +e
ctest --output-on-failure --timeout 300 -j "$(nproc 2>/dev/null || echo 2)" "$@"
status=$?
exit $status
