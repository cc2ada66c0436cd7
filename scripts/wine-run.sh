#!/usr/bin/env bash
# Runs one Windows program under the private Wine prefix and returns its exit code.
# WINEPREFIX must be set (the Windows build sets it for its tests).
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
haulbox_ensure_display
haulbox_ensure_wine
# Wine starts helper processes (its desktop, its services) on demand from a
# program, and one that inherits the program's output would keep it open for
# as long as it lives: a test runner reading that output would wait past its
# time-out. So the output goes through a file, shown when the program ends.
output=$(mktemp)
trap 'rm -f "$output"' EXIT
status=0
"$HAULBOX_WINE" "$@" >"$output" 2>&1 </dev/null || status=$?
cat "$output"
exit "$status"
