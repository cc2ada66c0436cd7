#!/usr/bin/env bash
# The demo, the whole chain as a member meets it: the reference service on
# loopback serves a few files (one large enough to watch) and, on its web
# host, the installer Quorvanes.exe. The transfer programs are not installed
# and the web control is only registered. A page's script (JScript under
# Wine's cscript) calls CtlDOWNLOADnow with the programs' version: the control
# finds the downloader missing, fetches the installer from the web host, runs
# it, starts the installed downloader and hands it the job; the window shows
# the files arriving, and every downloaded file is checked against its source.
# Then the other direction: a few local files are registered with the service
# as an upload job (as a page does after OpenFolderSelectBox), the page calls
# CtlUPLOADnow, the control starts the uploader and hands it the job's list
# code, and every file the service received is checked against its source.
#
# The window shows on your DISPLAY when there is one, otherwise on a private
# Xvfb; screenshots land in <build>/screenshots/.
#
# The test of the whole chain runs this script with a prefix, a work folder and
# a screenshot folder of its own (HAULBOX_DEMO_PREFIX, HAULBOX_DEMO_DIR,
# HAULBOX_DEMO_SCREENSHOTS) and small files (HAULBOX_DEMO_SMALL=1).
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
abs_build=$(cd "$build" && pwd)
tests_dir=$(cat "$abs_build/windows-tests")
bin="$abs_build/$tests_dir/bin"
demo=${HAULBOX_DEMO_DIR:-"$abs_build/demo"}
shots=${HAULBOX_DEMO_SCREENSHOTS:-"$abs_build/screenshots"}
address=127.0.0.1          # the test build's TRANSFER_SERVER_HOST
member=demo

if [[ "$tests_dir" == windows64 ]]; then
  export HAULBOX_WINE_ARCH=win64 WINEPREFIX=${HAULBOX_DEMO_PREFIX:-"$abs_build/wineprefix64"}
else
  export HAULBOX_WINE_ARCH=win32 WINEPREFIX=${HAULBOX_DEMO_PREFIX:-"$abs_build/wineprefix"}
fi
# The two large files, in MiB: large enough to watch the windows at work.
if [[ -n "${HAULBOX_DEMO_SMALL:-}" ]]; then
  movie_mib=6 backup_mib=4
else
  movie_mib=96 backup_mib=48
fi
[[ -n "${DISPLAY:-}" ]] && export HAULBOX_KEEP_DISPLAY=1
source "$root/scripts/wine-env.sh"
haulbox_ensure_display
haulbox_ensure_wine

say() { printf 'demo: %s\n' "$*"; }

make_sample_files() {
  rm -rf "$demo"
  mkdir -p "$demo/files/docs" "$demo/files/사진" "$demo/web/app" "$demo/downloads" "$shots"
  mkdir -p "$demo/upload/문서"
  printf '안녕하세요. Haulbox demo file.\n' | iconv -f UTF-8 -t CP949 >"$demo/files/hello.txt"
  head -c 3000000 /dev/urandom >"$demo/files/docs/report.pdf"
  head -c 700000 /dev/urandom >"$demo/files/사진/여행.jpg"
  head -c $((movie_mib * 1024 * 1024)) /dev/urandom >"$demo/files/movie.mp4"
  printf '업로드 데모 메모.\n' | iconv -f UTF-8 -t CP949 >"$demo/upload/memo.txt"
  head -c 1500000 /dev/urandom >"$demo/upload/문서/계약서.pdf"
  head -c $((backup_mib * 1024 * 1024)) /dev/urandom >"$demo/upload/backup.zip"
  cp -r "$root/tools/refservice/sample/web/." "$demo/web/"
  cp "$bin/Quorvanes.exe" "$demo/web/app/Quorvanes.exe"
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

end_program() { "$HAULBOX_WINE" taskkill /im "$1" /f >/dev/null 2>&1 || true; }

finish() {
  end_program Haulbox_DOWN.exe
  end_program Haulbox_UPLOAD.exe
  [[ -n "${service_pid:-}" ]] && kill "$service_pid" 2>/dev/null || true
}
trap finish EXIT

# The uploads: the local source files (relative to $demo), in the job's order;
# the largest last, so the window shows the others complete while it goes.
upload_sources() { printf '%s\n' upload/memo.txt upload/문서/계약서.pdf upload/backup.zip; }

write_upload_settings() {
  local key='HKCU\Software\Quorvanes\Velmintor\Config' value
  for value in User_Config=1 UP_Autostart=1 UP_Tray=0 UP_Program_end=0 UP_System_end=0; do
    "$HAULBOX_WINE" reg add "$key" /v "${value%=*}" /t REG_DWORD /d "${value#*=}" /f >/dev/null 2>&1
  done
}

# Registers the upload job with the service's web host: a selection list
# "path|size?" per file (UTF-8); prints the list code.
register_upload_job() {
  local source list=""
  while read -r source; do
    list+="$(windows_path "$demo/$source")|$(stat -c %s "$demo/$source")?"
  done < <(upload_sources)
  curl -sf --max-time 10 -H 'Content-Type: text/plain; charset=utf-8' --data-binary "$list" \
    "http://$address:8080/refservice/upload-jobs?code=$1"
}

# Where the service keeps a received file: <upload dir>/<key>/<name>.
stored_upload() {
  local stored
  for stored in "$demo"/uploads/*/"$(basename "$1")"; do [[ -f "$stored" ]] && printf '%s' "$stored"; done
  return 0
}

# Bytes the service holds of every upload so far.
uploaded_bytes() {
  local total=0 size
  for size in $(find "$demo/uploads" -type f -printf '%s\n' 2>/dev/null); do total=$((total + size)); done
  echo "$total"
}

# Every file held whole and its completion notice logged.
all_uploaded() {
  local source stored
  while read -r source; do
    stored=$(stored_upload "$source")
    [[ -n "$stored" && $(stat -c %s "$stored") == $(stat -c %s "$demo/$source") ]] || return 1
    # (no grep -q: under pipefail the first grep could die of a closed pipe)
    grep -F '"event":"upload_complete"' "$demo/refservice.jsonl" | grep -F "\"stored\":\"$stored\"" >/dev/null ||
      return 1
  done < <(upload_sources)
}

verify_uploads() {
  local source stored failures=0
  while read -r source; do
    stored=$(stored_upload "$source")
    if [[ -n "$stored" ]] && cmp -s "$stored" "$demo/$source"; then
      say "verified  upload ${source#upload/} ($(stat -c %s "$demo/$source") bytes)"
    else
      say "DIFFERENT upload ${source#upload/}"; failures=$((failures + 1))
    fi
  done < <(upload_sources)
  return $failures
}

# The programs' version, as the pages require it ("1.0.0.8").
program_version() {
  grep -m1 -E '^ *FILEVERSION' "$root/resources/shared/Version.rci" | grep -oE '[0-9]+,[0-9]+,[0-9]+,[0-9]+' | tr , .
}

# A clean start: no programs installed (an earlier demo's are uninstalled),
# the web control registered as the browser's installation leaves it.
prepare_control() {
  local installed="$WINEPREFIX/drive_c/Program Files/Quorvanes"
  if [[ -f "$installed/uninstall.exe" ]]; then
    "$HAULBOX_WINE" 'C:\Program Files\Quorvanes\uninstall.exe' /S '_?=C:\Program Files\Quorvanes' >/dev/null 2>&1 || true
  fi
  rm -rf "$installed"
  "$HAULBOX_WINE" regsvr32 /s "$(windows_path "$bin/Quorvane_Active.dll")" >/dev/null 2>&1
}

# The page's script: TransferPage.js <method> <code> <member> <password> <version>.
page() {
  "$HAULBOX_WINE" cscript //nologo "$(windows_path "$root/tests/windows/webcontrol/TransferPage.js")" "$@" \
    >"$demo/page.out" 2>&1
}

# Screenshots while the page's call runs: the update dialog as it asks the
# web host for the installer, the installer at work, the launcher while the
# program starts.
watch_call() {
  local page_pid=$1 update_shot=0 installer_shot=0 launcher_shot=0 requests
  while kill -0 "$page_pid" 2>/dev/null; do
    requests=$(grep -F '"path":"/app/Quorvanes.exe"' "$demo/refservice.jsonl" 2>/dev/null | grep -c '"method":"GET"' || true)
    if (( !update_shot && requests >= 1 )); then
      sleep 0.3; screenshot demo-update; update_shot=1
    fi
    if (( !installer_shot && requests >= 2 )); then
      sleep 1; screenshot demo-installer; installer_shot=1
    fi
    if (( installer_shot && !launcher_shot )) && grep -F '"event":"login"' "$demo/refservice.jsonl" >/dev/null 2>&1; then
      screenshot demo-launcher; launcher_shot=1
    fi
    sleep 0.1
  done
}

make_sample_files
start_service
write_settings
prepare_control
version=$(program_version)
say "reference service on $address, web host on $address:8080; no program installed"
say "the page calls CtlDOWNLOADnow (version $version): install, start, hand-off"
page CtlDOWNLOADnow "D1?D2?D3?D4?" "$member" 1 "$version" &
launcher_pid=$!
watch_call "$launcher_pid"
if ! grep -qx "CtlDOWNLOADnow=1" <(tr -d '\r' <"$demo/page.out"); then
  say "the page's call failed:"; cat "$demo/page.out"; exit 1
fi
say "installed from the web host; the downloader has the job"

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
end_program Haulbox_DOWN.exe

list_code=L1
if [[ $(register_upload_job "$list_code") != "$list_code" ]]; then
  say "the reference service did not take the upload job"; exit 1
fi
write_upload_settings
say "upload job $list_code registered; the page calls CtlUPLOADnow"
page CtlUPLOADnow "$list_code" "$member" 1 "$version" &
launcher_pid=$!

shot_taken=0 launcher_status="" deadline=$((SECONDS + 300))
held=0 last_progress=$SECONDS
while (( SECONDS < deadline )); do
  if all_uploaded; then break; fi
  now_held=$(uploaded_bytes)
  if (( now_held != held )); then held=$now_held last_progress=$SECONDS; fi
  if (( SECONDS - last_progress > 60 )); then say "no upload progress for 60 s"; break; fi
  if [[ -z "$launcher_status" ]] && ! kill -0 "$launcher_pid" 2>/dev/null; then
    launcher_status=0; wait "$launcher_pid" || launcher_status=$?
    if [[ "$launcher_status" != 0 ]] || ! grep -qx "CtlUPLOADnow=1" <(tr -d '\r' <"$demo/page.out"); then
      say "the page's call failed:"; cat "$demo/page.out"; break
    fi
  fi
  stored=$(stored_upload upload/backup.zip)
  size=$(stat -c %s "$stored" 2>/dev/null || echo 0)
  if (( !shot_taken && size > 12 * 1024 * 1024 )); then screenshot demo-uploading; shot_taken=1; fi
  sleep 0.2
done
sleep 2
screenshot demo-upload-complete
[[ -n "$launcher_status" ]] || wait "$launcher_pid" 2>/dev/null || true
if ! all_uploaded; then say "not every upload arrived"; verify_uploads || true; exit 1; fi
verify_uploads
say "every upload matches its source"
