#!/usr/bin/env bash
# Builds and runs the benchmarks: the popup's build time and the project
# file's load and save natively and under Wine, and TRV.EXE's start in popup
# mode (to its exit), in configuration mode (to its window on screen) and in
# popup mode to its menu on screen, against minimal programs under the same
# Wine, the menu editor on a large menu, the start page's animation and the
# project check of a large project.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export TARVO_BUILD=${TARVO_BUILD:-$root/build}
"$root/scripts/build.sh" native -- bench_popup_build bench_project_file bench_project_check
"$root/scripts/build.sh" win -- bench_popup_build bench_project_file bench_project_check bench_startup bench_config_startup bench_popup_show bench_popup_icons bench_menu_editor bench_animation
echo "native:"
"$TARVO_BUILD/native/bench_popup_build"
"$TARVO_BUILD/native/bench_project_file"
"$TARVO_BUILD/native/bench_project_check"
source "$root/scripts/wine-env.sh"
trap wine_stop EXIT
wine_start
echo "Wine:"
wine "$TARVO_BUILD/win/bench_popup_build.exe"
wine "$TARVO_BUILD/win/bench_project_file.exe"
wine "$TARVO_BUILD/win/bench_project_check.exe"
wine "$TARVO_BUILD/win/bench_startup.exe"
wine "$TARVO_BUILD/win/bench_config_startup.exe"
wine "$TARVO_BUILD/win/bench_popup_show.exe"
wine "$TARVO_BUILD/win/bench_popup_icons.exe"
wine "$TARVO_BUILD/win/bench_menu_editor.exe"
wine "$TARVO_BUILD/win/bench_animation.exe"
