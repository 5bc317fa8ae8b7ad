#!/usr/bin/env bash
# Runs a Windows program under the project's Wine environment (used by CTest as
# the emulator for cross-compiled tests).
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
exec wine "$@"
