#!/usr/bin/env bash
# The demo: the reference service on loopback serves a few files (one large
# enough to watch), the launcher stand-in starts the downloader under Wine and
# hands it the job, the window shows the files arriving, and the demo ends by
# checking every downloaded file against its source.
#
# The window shows on your DISPLAY when there is one, otherwise on a private
# Xvfb; screenshots land in <build>/screenshots/.
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
abs_build=$(cd "$build" && pwd)
tests_dir=$(cat "$abs_build/windows-tests")
bin="$abs_build/$tests_dir/bin"
demo="$abs_build/demo"
shots="$abs_build/screenshots"
address=127.0.0.1          # the test build's TRANSFER_SERVER_HOST
member=demo

if [[ "$tests_dir" == windows64 ]]; then
  export HAULBOX_WINE_ARCH=win64 WINEPREFIX="$abs_build/wineprefix64"
else
  export HAULBOX_WINE_ARCH=win32 WINEPREFIX="$abs_build/wineprefix"
fi
[[ -n "${DISPLAY:-}" ]] && export HAULBOX_KEEP_DISPLAY=1
source "$root/scripts/wine-env.sh"
haulbox_ensure_display
haulbox_ensure_wine

say() { printf 'demo: %s\n' "$*"; }

make_sample_files() {
  rm -rf "$demo"
  mkdir -p "$demo/files/docs" "$demo/files/사진" "$demo/web/app" "$demo/downloads" "$shots"
  printf '안녕하세요. Haulbox demo file.\n' | iconv -f UTF-8 -t CP949 >"$demo/files/hello.txt"
  head -c 3000000 /dev/urandom >"$demo/files/docs/report.pdf"
  head -c 700000 /dev/urandom >"$demo/files/사진/여행.jpg"
  head -c $((96 * 1024 * 1024)) /dev/urandom >"$demo/files/movie.mp4"
  cp -r "$root/tools/refservice/sample/web/." "$demo/web/"
  cat >"$demo/refservice.json" <<JSON
{
  "members": [ { "id": "$member", "megabytes": 4096, "plan": "스페셜정액제", "expiry": 2099123123 } ],
  "files": [
    { "code": "D1", "name": "hello.txt", "path": "files/hello.txt", "key": "K1" },
    { "code": "D2", "name": "report.pdf", "path": "files/docs/report.pdf", "key": "K2", "subfolder": "docs\\\\" },
    { "code": "D3", "name": "여행.jpg", "path": "files/사진/여행.jpg", "key": "K3", "subfolder": "사진\\\\" },
    { "code": "D4", "name": "movie.mp4", "path": "files/movie.mp4", "key": "K4" }
  ]
}
JSON
}

start_service() {
  "$abs_build/native/bin/refservice" --address "$address" --root "$demo" \
    --config "$demo/refservice.json" --log "$demo/refservice.jsonl" \
    --ready-file "$demo/ready" >/dev/null &
  service_pid=$!
  for _ in $(seq 100); do [[ -e "$demo/ready" ]] && return; sleep 0.1; done
  say "the reference service did not start (is 127.0.0.1:7510 taken?)"; exit 1
}

windows_path() { printf 'Z:%s' "${1//\//\\}"; }

write_settings() {
  local key='HKCU\Software\Quorvanes\Velmintor\Config'
  local folder; folder=$(windows_path "$demo/downloads")
  "$HAULBOX_WINE" reg add "$key" /v User_Config /t REG_DWORD /d 1 /f >/dev/null 2>&1
  "$HAULBOX_WINE" reg add "$key" /v Default_folder /t REG_SZ /d "$folder" /f >/dev/null 2>&1
  "$HAULBOX_WINE" reg add "$key" /v Default_folder_use /t REG_DWORD /d 1 /f >/dev/null 2>&1
  "$HAULBOX_WINE" reg add "$key" /v DOWN_Autostart /t REG_DWORD /d 1 /f >/dev/null 2>&1
  "$HAULBOX_WINE" reg add "$key" /v DOWN_File_over /t REG_DWORD /d 1 /f >/dev/null 2>&1
  "$HAULBOX_WINE" reg add "$key" /v DOWN_Program_end /t REG_DWORD /d 0 /f >/dev/null 2>&1
  "$HAULBOX_WINE" reg add "$key" /v DOWN_System_end /t REG_DWORD /d 0 /f >/dev/null 2>&1
  "$HAULBOX_WINE" reg add "$key" /v DOWN_List_del /t REG_DWORD /d 0 /f >/dev/null 2>&1
}

expected_files() {
  printf '%s\n' "hello.txt:files/hello.txt" "docs/report.pdf:files/docs/report.pdf" \
    "사진/여행.jpg:files/사진/여행.jpg" "movie.mp4:files/movie.mp4"
}

all_arrived() {
  local pair got want
  while IFS=: read -r got want; do
    [[ -f "$demo/downloads/$got" ]] || return 1
    [[ $(stat -c %s "$demo/downloads/$got") == $(stat -c %s "$demo/$want") ]] || return 1
  done < <(expected_files)
}

verify_files() {
  local got want failures=0
  while IFS=: read -r got want; do
    if cmp -s "$demo/downloads/$got" "$demo/$want"; then
      say "verified  $got ($(stat -c %s "$demo/$want") bytes)"
    else
      say "DIFFERENT $got"; failures=$((failures + 1))
    fi
  done < <(expected_files)
  return $failures
}

screenshot() { import -window root "$shots/$1.png" 2>/dev/null && say "screenshot $shots/$1.png"; }

finish() {
  "$HAULBOX_WINE" taskkill /im Haulbox_DOWN.exe /f >/dev/null 2>&1 || true
  [[ -n "${service_pid:-}" ]] && kill "$service_pid" 2>/dev/null || true
}
trap finish EXIT

make_sample_files
start_service
write_settings
say "reference service on $address; starting the launcher stand-in and the downloader"
"$HAULBOX_WINE" "$bin/launcher_standin.exe" --program "$(windows_path "$bin/Haulbox_DOWN.exe")" \
  "D1?D2?D3?D4?" "$member" 1 &
launcher_pid=$!

shot_taken=0
for _ in $(seq 1200); do                 # at most 10 minutes
  if all_arrived; then break; fi
  size=$(stat -c %s "$demo/downloads/movie.mp4" 2>/dev/null || echo 0)
  if (( !shot_taken && size > 20 * 1024 * 1024 )); then screenshot demo-downloading; shot_taken=1; fi
  sleep 0.5
done
sleep 2
screenshot demo-complete
wait "$launcher_pid" 2>/dev/null || true
if ! all_arrived; then say "not every file arrived"; verify_files || true; exit 1; fi
verify_files
say "every file matches its source"
