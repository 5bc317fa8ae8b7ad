#!/usr/bin/env bash
# Builds TRV.EXE and starts it under Wine. Without an argument it opens the
# configuration window; with a project file (a Linux or Windows path) it shows
# that project's menu. Uses $DISPLAY when set, else a private Xvfb display.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export TARVO_BUILD=${TARVO_BUILD:-$root/build}

"$root/scripts/setup.sh"
"$root/scripts/build.sh" win -- TRV

source "$root/scripts/wine-env.sh"
trap wine_stop EXIT
wine_start shared

args=()
for a in "$@"; do
  if [ -e "$a" ]; then args+=("$(winepath -w "$(realpath "$a")" 2>/dev/null)"); else args+=("$a"); fi
done
set +e
wine "$TARVO_BUILD/win/TRV.EXE" "${args[@]}"
status=$?
echo "TRV.EXE ended with exit code $status"
exit $status
