#!/usr/bin/env bash
# Runs one Windows program under the private Wine prefix and returns its exit code.
# WINEPREFIX must be set (the Windows build sets it for its tests).
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
haulbox_ensure_display
haulbox_ensure_wine
# Wine starts its desktop process (explorer.exe /desktop) on demand, from the
# first program that opens a window, and that process keeps the program's
# output open for as long as it lives: a test runner reading that output would
# wait for it past its time-out. So the output goes through a file, shown
# when the program ends.
output=$(mktemp)
trap 'rm -f "$output"' EXIT
status=0
"$HAULBOX_WINE" "$@" >"$output" 2>&1 </dev/null || status=$?
cat "$output"
exit "$status"
