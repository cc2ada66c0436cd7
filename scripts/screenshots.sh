#!/usr/bin/env bash
# Photographs the programs' windows under the test build's Wine and private
# Xvfb: each window is opened with sample data for a few seconds, the screen
# is captured and trimmed to the windows. PNGs go to <build>/screenshots/.
#   scripts/screenshots.sh <build>
# To add a window, add one line to SHOTS:
#   "<png name>|<program in the build's bin folder>|<arguments>"
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
abs_build=$(cd "$build" && pwd)
tests_build=$(cat "$abs_build/windows-tests")   # windows or windows64
bin="$abs_build/$tests_build/bin"
out="$abs_build/screenshots"
seconds=${SHOT_SECONDS:-6}    # how long each window stays open
settle=${SHOT_SETTLE:-3}      # when the picture is taken

SHOTS=(
  "settings_downloader|HaulboxGallery_DOWN.exe|settings $seconds"
  "settings_uploader|HaulboxGallery_UP.exe|settings $seconds"
  "overwrite_prompt|HaulboxGallery_DOWN.exe|overwrite $seconds"
  "widgets_downloader|HaulboxGallery_DOWN.exe|widgets $seconds"
  "widgets_uploader|HaulboxGallery_UP.exe|widgets $seconds"
)

if [[ "$tests_build" == windows64 ]]; then
  export HAULBOX_WINE_ARCH=win64 WINEPREFIX="$abs_build/wineprefix64"
else
  export HAULBOX_WINE_ARCH=win32 WINEPREFIX="$abs_build/wineprefix"
fi
source "$root/scripts/wine-env.sh"
haulbox_ensure_display
haulbox_ensure_wine
mkdir -p "$out"

status=0
for shot in "${SHOTS[@]}"; do
  IFS='|' read -r name program arguments <<<"$shot"
  if [[ ! -f "$bin/$program" ]]; then
    echo "screenshots: $program not built, $name skipped" >&2
    status=1
    continue
  fi
  # The skinned windows read images/ from the working folder.
  (cd "$bin" && exec "$HAULBOX_WINE" "$bin/$program" $arguments) </dev/null >/dev/null 2>&1 &
  pid=$!
  sleep "$settle"
  import -display "$DISPLAY" -window root "$out/$name.png"
  convert "$out/$name.png" -trim +repage "$out/$name.png"
  # The program closes itself; end it only when it overstays.
  for _ in $(seq 1 $((seconds * 4))); do kill -0 "$pid" 2>/dev/null || break; sleep 0.5; done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  echo "screenshots: $out/$name.png"
done

# The downloader's and the uploader's main windows mid-transfer and at the
# end: the demo takes those (demo-downloading.png, demo-complete.png,
# demo-uploading.png, demo-upload-complete.png) on the same display.
HAULBOX_KEEP_DISPLAY=1 "$root/scripts/demo.sh" "$build" | grep screenshot || status=1
exit $status
