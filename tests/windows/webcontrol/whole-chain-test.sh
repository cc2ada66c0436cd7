#!/usr/bin/env bash
# The whole chain of `make demo` as a test, on a Wine prefix of its own that
# starts empty: the page's script installs the programs from the reference web
# host through the web control, downloads and uploads a few small files, and
# every file is checked against its source.
# Usage: whole-chain-test.sh <build folder of both builds> <work folder>
set -uo pipefail
build=$1 work=$2
root=$(cd "$(dirname "$0")/../../.." && pwd)
if [[ ! -f "$build/windows-tests" ]]; then
  echo "whole-chain-test: $build/windows-tests is missing; build with \`make build\` first" >&2
  exit 1
fi
prefix_name=wineprefix
[[ $(cat "$build/windows-tests") == windows64 ]] && prefix_name=wineprefix64
prefix="$work/$prefix_name"

# Ends this prefix's wineserver and Xvfb, also when the test is cut short.
end_session() {
  if [[ -d "$prefix" ]]; then
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    WINEPREFIX="$prefix" timeout 30 wineserver -w 2>/dev/null || true
  fi
  if [[ -f "$prefix.xvfb.pid" ]]; then
    kill "$(cat "$prefix.xvfb.pid")" 2>/dev/null || true
  fi
  rm -f "$prefix.xvfb.pid" "$prefix.display"
}
trap end_session EXIT
trap 'exit 1' INT TERM

end_session
rm -rf "$work"
mkdir -p "$work"
unset DISPLAY HAULBOX_KEEP_DISPLAY   # a private Xvfb, never the desktop

HAULBOX_DEMO_PREFIX="$prefix" HAULBOX_DEMO_DIR="$work/demo" HAULBOX_DEMO_SCREENSHOTS="$work/screenshots" \
  HAULBOX_DEMO_SMALL=1 timeout 450 "$root/scripts/demo.sh" "$build"
status=$?
end_session
# Both installed programs asked the web host for their banner page.
for page in /app/download.html /app/upload.html; do
  if ! grep -F "\"path\":\"$page\"" "$work/demo/refservice.jsonl" >/dev/null 2>&1; then
    echo "whole-chain-test: no banner request for $page" >&2
    status=1
  fi
done
# The prefix is kept for a look when the chain failed.
(( status == 0 )) && rm -rf "$prefix"
exit $status
