#!/usr/bin/env bash
# Runs one Windows program under the private Wine prefix and returns its exit code.
# WINEPREFIX must be set (the Windows build sets it for its tests).
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
haulbox_ensure_display
haulbox_ensure_wine
exec "$HAULBOX_WINE" "$@"
