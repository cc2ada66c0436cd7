#!/usr/bin/env bash
# Ends the private Wine session of a build folder: its wineserver and its Xvfb.
build=${1:-build}
[[ -d "$build" ]] || exit 0
for prefix in "$(cd "$build" && pwd)"/wineprefix{,64}; do
  if [[ -d "$prefix" ]]; then
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
  fi
  if [[ -f "$prefix.xvfb.pid" ]]; then
    kill "$(cat "$prefix.xvfb.pid")" 2>/dev/null || true
    rm -f "$prefix.xvfb.pid" "$prefix.display"
  fi
done
exit 0
