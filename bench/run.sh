#!/usr/bin/env bash
# Builds and runs the benchmarks: the popup's build time, type to find's
# keystroke and the project file's load and save natively and under Wine,
# and TRV.EXE's start in popup mode (to its exit), in configuration mode (to
# its window on screen) and in popup mode to its menu on screen, against
# minimal programs under the same Wine, the menu editor on a large menu, the
# start page's animation and the project check of a large project; the
# configuration window's start and the animation also against the build
# before the icons.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export TARVO_BUILD=${TARVO_BUILD:-$root/build}
"$root/scripts/build.sh" native -- bench_popup_build bench_search bench_project_file bench_project_check
"$root/scripts/build.sh" win -- bench_popup_build bench_search bench_project_file bench_project_check bench_startup bench_config_startup bench_popup_show bench_popup_icons bench_menu_editor bench_animation
# The build just before the icons came (a885d2c), to set the configuration
# window's start and the start page's animation against: that commit's
# sources in a worktree of the build folder, built by its own scripts. Its
# animation is timed by this benchmark's source, so that both are timed alike.
before=$TARVO_BUILD/before-icons
git -C "$root" worktree prune
[ -e "$before/src/.git" ] || git -C "$root" worktree add --detach "$before/src" a885d2c >/dev/null
ln -sfn "$root/third_party" "$before/src/third_party"
cp "$root/bench/AnimationBench.cpp" "$before/src/bench/AnimationBench.cpp"
TARVO_BUILD=$before "$before/src/scripts/build.sh" win -- TRV bench_animation
echo "native:"
"$TARVO_BUILD/native/bench_popup_build"
"$TARVO_BUILD/native/bench_search"
"$TARVO_BUILD/native/bench_project_file"
"$TARVO_BUILD/native/bench_project_check"
source "$root/scripts/wine-env.sh"
trap wine_stop EXIT
wine_start
echo "Wine:"
wine "$TARVO_BUILD/win/bench_popup_build.exe"
wine "$TARVO_BUILD/win/bench_search.exe"
wine "$TARVO_BUILD/win/bench_project_file.exe"
wine "$TARVO_BUILD/win/bench_project_check.exe"
wine "$TARVO_BUILD/win/bench_startup.exe"
wine "$TARVO_BUILD/win/bench_config_startup.exe" 15 "$(winepath -w "$before/win/TRV.EXE")"
wine "$TARVO_BUILD/win/bench_popup_show.exe"
wine "$TARVO_BUILD/win/bench_popup_icons.exe"
wine "$TARVO_BUILD/win/bench_menu_editor.exe"
for turn in 1 2 3; do
  echo "the start page's animation, this build:"
  wine "$TARVO_BUILD/win/bench_animation.exe"
  echo "the start page's animation, the build before the icons (a885d2c):"
  wine "$before/win/bench_animation.exe"
done
