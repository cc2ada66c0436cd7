#!/usr/bin/env bash
# Speed benchmarks, one function per benchmark. Called by `make bench` as
# scripts/bench.sh <BUILD>. Each section prints its own result lines.
set -euo pipefail
build=${1:-build}
bin="$build/native/bin"
scratch=$(mktemp -d /tmp/haulbox-bench-XXXXXX)
cleanup() { rm -rf "$scratch"; }
trap cleanup EXIT

# Reference service: a 1 GiB file streamed over loopback from the download
# data server to a plain native reader. Goal: 500 MB/s or more.
bench_refservice_download() {
  local address=127.0.9.1 root="$scratch/refservice"
  mkdir -p "$root"
  head -c 1073741824 /dev/urandom >"$root/big.bin"
  cat >"$root/config.json" <<JSON
{ "files": [ { "code": "BIG", "name": "big.bin", "path": "big.bin", "key": "BIGKEY" } ] }
JSON
  "$bin/refservice" --address $address --root "$root" --config "$root/config.json" \
    --web-port 0 --ready-file "$root/ready" >/dev/null &
  local pid=$!
  for _ in $(seq 100); do [[ -e "$root/ready" ]] && break; sleep 0.1; done
  if [[ ! -e "$root/ready" ]]; then
    echo "refservice: did not become ready" >&2
    kill "$pid" 2>/dev/null || true
    return 1
  fi
  echo "== refservice: 1 GiB download over loopback (goal >= 500 MB/s)"
  local run
  for run in 1 2 3; do
    echo -n "run $run: "
    "$bin/refservice_reader" --address $address --key BIGKEY --size 1073741824
  done
  echo -n "2048-byte receives: "
  "$bin/refservice_reader" --address $address --key BIGKEY --size 1073741824 --chunk 2048
  kill -TERM "$pid"
  wait "$pid" || true
}

# Wine environment of the build whose Windows programs run here.
use_wine_build() {
  local abs_build; abs_build=$(cd "$build" && pwd)
  wine_build="$abs_build/$(cat "$abs_build/windows-tests")"
  if [[ "$wine_build" == */windows64 ]]; then
    export HAULBOX_WINE_ARCH=win64 WINEPREFIX="$abs_build/wineprefix64"
  else
    export HAULBOX_WINE_ARCH=win32 WINEPREFIX="$abs_build/wineprefix"
  fi
  source "$(dirname "$0")/wine-env.sh"
  haulbox_ensure_display
  haulbox_ensure_wine
}

windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# Starts a reference service on $1 serving folder $2 (files in $2, web in $2/web).
start_refservice() {
  local address=$1 root=$2
  "$bin/refservice" --address "$address" --root "$root" --config "$root/config.json" \
    --web-root "$root/web" --web-port 8089 --ready-file "$root/ready" >/dev/null &
  refservice_pid=$!
  for _ in $(seq 100); do [[ -e "$root/ready" ]] && return 0; sleep 0.1; done
  echo "refservice: did not become ready" >&2
  return 1
}

# Megabytes per second from a result line "<name>: <n> MB/s, ...".
rate_of() { sed -n 's/.*: \([0-9.]*\) MB\/s.*/\1/p' <<<"$1"; }

# The download worker under Wine against the same loop in a minimal program
# (the limit under Wine) and curl natively, on a 256 MiB file. Goal: the
# worker at 0.95 of the limit or better, memory flat.
bench_download_worker() {
  use_wine_build
  local address=127.0.9.2 root="$scratch/worker" size=$((256 * 1024 * 1024))
  mkdir -p "$root/web/app" "$root/out"
  head -c $size /dev/urandom >"$root/big.bin"
  ln "$root/big.bin" "$root/web/app/big.bin"
  cat >"$root/config.json" <<JSON
{ "files": [ { "code": "BIG", "name": "big.bin", "path": "big.bin", "key": "BIGKEY" } ] }
JSON
  start_refservice $address "$root"
  echo "== download worker: 256 MiB from the reference service on loopback"
  local limit worker
  limit=$("$HAULBOX_WINE" "$wine_build/bin/bench/bench_minimal_loop.exe" $address BIGKEY $size \
            "$(windows_path "$root/out/minimal.bin")" | tr -d '\r')
  echo "$limit"
  worker=$("$HAULBOX_WINE" "$wine_build/bin/bench/bench_worker.exe" $address BIGKEY $size \
            "$(windows_path "$root/out")" | tr -d '\r')
  echo "$worker"
  cmp -s "$root/big.bin" "$root/out/bench.bin" || echo "download worker: the file differs from its source!"
  local curl_line
  curl_line=$( { /usr/bin/time -f '%U %S %M' curl -s -o /dev/null -w '%{speed_download}\n' \
                 "http://$address:8089/app/big.bin"; } 2>&1 | tr '\n' ' ')
  awk '{ printf "curl natively: %.1f MB/s, %.2f s CPU, %.1f MB peak\n", $1 / 1e6, $2 + $3, $4 / 1024 }' <<<"$curl_line"
  awk -v w="$(rate_of "$worker")" -v l="$(rate_of "$limit")" \
    'BEGIN { if (l > 0) printf "worker / limit: %.2f (goal 0.95 or better)\n", w / l }'
  kill -TERM "$refservice_pid"; wait "$refservice_pid" || true
  rm -f "$root/big.bin" "$root/web/app/big.bin" "$root/out/"*
}

# The whole window on one 256 MiB file (hand-off to completion) beside the
# lone worker in the same run. Goal: 0.95 of the lone worker or better; the
# window thread well under a millisecond of CPU per progress tick.
bench_download_window() {
  use_wine_build
  local address=127.0.9.3 root="$scratch/window" size=$((256 * 1024 * 1024))
  mkdir -p "$root/web" "$root/out"
  head -c $size /dev/urandom >"$root/big.bin"
  cat >"$root/config.json" <<JSON
{ "members": [ { "id": "bench", "megabytes": 4096, "plan": "스페셜정액제", "expiry": 2099123123 } ],
  "files": [ { "code": "BIG", "name": "big.bin", "path": "big.bin", "key": "BIGKEY" } ] }
JSON
  start_refservice $address "$root"
  echo "== downloader window: 256 MiB from hand-off to completion"
  local worker window
  worker=$("$HAULBOX_WINE" "$wine_build/bin/bench/bench_worker.exe" $address BIGKEY $size \
            "$(windows_path "$root/out")" | tr -d '\r')
  echo "$worker"
  rm -f "$root/out/"*
  window=$(cd "$wine_build/bin" && "$HAULBOX_WINE" bench/bench_window.exe $address BIG $size \
            "$(windows_path "$root/out")" | tr -d '\r')
  echo "$window"
  cmp -s "$root/big.bin" "$root/out/big.bin" || echo "downloader window: the file differs from its source!"
  awk -v w="$(rate_of "$(head -n1 <<<"$window")")" -v l="$(rate_of "$worker")" \
    'BEGIN { if (l > 0) printf "window / lone worker: %.2f (goal 0.95 or better)\n", w / l }'
  kill -TERM "$refservice_pid"; wait "$refservice_pid" || true
  rm -f "$root/big.bin" "$root/out/"*
}

# Waits (bounded) until the service holds all $2 bytes of $1: it may still be
# writing what the client sent before it closed.
wait_stored() {
  local file=$1 size=$2
  for _ in $(seq 100); do
    [[ -f "$file" && $(stat -c %s "$file") -ge $size ]] && return 0
    sleep 0.1
  done
}

# Compares the file the service stored ($1) with its source ($2); $3 names the run.
check_stored() {
  wait_stored "$1" "$(stat -c %s "$2")"
  cmp -s "$1" "$2" || echo "$3: the stored file differs from its source!"
  rm -f "$1"
}

# A Windows path as a JSON string's contents.
json_windows_path() { local path; path=$(windows_path "$1"); printf '%s' "${path//\\/\\\\}"; }

# Peak megabytes from a result line "<name>: ..., <n> MB peak ...".
peak_of() { sed -n 's/.*, \([0-9.]*\) MB peak.*/\1/p' <<<"$1"; }

# The upload worker under Wine against the same loop in a minimal program
# (the limit under Wine), on a 256 MiB file. Each run sends under a key of
# its own, so neither resumes. Goal: the worker at 0.95 of the limit or better.
bench_upload_worker() {
  use_wine_build
  local address=127.0.9.4 root="$scratch/upworker" size=$((256 * 1024 * 1024))
  mkdir -p "$root/web" "$root/local"
  head -c $size /dev/urandom >"$root/local/big.bin"
  echo '{}' >"$root/config.json"
  start_refservice $address "$root"
  echo "== upload worker: 256 MiB to the reference service on loopback"
  local file limit worker
  file=$(windows_path "$root/local/big.bin")
  limit=$("$HAULBOX_WINE" "$wine_build/bin/bench/bench_minimal_upload_loop.exe" $address LIMITKEY big.bin $size \
            "$file" | tr -d '\r' || true)
  echo "$limit"
  check_stored "$root/uploads/LIMITKEY/big.bin" "$root/local/big.bin" "minimal upload loop"
  worker=$("$HAULBOX_WINE" "$wine_build/bin/bench/bench_upload_worker.exe" $address WORKERKEY big.bin $size \
            "$file" | tr -d '\r' || true)
  echo "$worker"
  check_stored "$root/uploads/WORKERKEY/big.bin" "$root/local/big.bin" "upload worker"
  awk -v w="$(rate_of "$worker")" -v l="$(rate_of "$limit")" \
    'BEGIN { if (l > 0) printf "worker / limit: %.2f (goal 0.95 or better)\n", w / l }'
  kill -TERM "$refservice_pid"; wait "$refservice_pid" || true
  rm -rf "$root/local" "$root/uploads"
}

# The whole uploader window on one 256 MiB file (hand-off to completion)
# beside the lone worker in the same run, and the window once more on a
# 64 MiB file to show that its peak memory does not grow with the file.
# Goal: 0.95 of the lone worker or better; the window thread well under a
# millisecond of CPU per progress tick.
bench_upload_window() {
  use_wine_build
  local address=127.0.9.5 root="$scratch/upwindow" size=$((256 * 1024 * 1024)) small=$((64 * 1024 * 1024))
  mkdir -p "$root/web" "$root/local"
  head -c $size /dev/urandom >"$root/local/big.bin"
  head -c $small /dev/urandom >"$root/local/small.bin"
  cat >"$root/config.json" <<JSON
{ "members": [ { "id": "bench", "megabytes": 4096, "plan": "스페셜정액제", "expiry": 2099123123 } ],
  "upload_jobs": [
    { "list_code": "UPSMALL", "files": [ { "path": "$(json_windows_path "$root/local/small.bin")",
                                          "size": $small, "key": "WINDOWSMALL", "name": "small.bin" } ] },
    { "list_code": "UPBIG", "files": [ { "path": "$(json_windows_path "$root/local/big.bin")",
                                        "size": $size, "key": "WINDOWBIG", "name": "big.bin" } ] } ] }
JSON
  start_refservice $address "$root"
  echo "== uploader window: 256 MiB from hand-off to completion"
  local worker window window_small
  window_small=$(cd "$wine_build/bin" && "$HAULBOX_WINE" bench/bench_upload_window.exe $address UPSMALL $small \
                   | tr -d '\r' || true)
  sed 's/^/64 MiB file: /' <<<"$window_small"
  check_stored "$root/uploads/WINDOWSMALL/small.bin" "$root/local/small.bin" "uploader window (64 MiB)"
  worker=$("$HAULBOX_WINE" "$wine_build/bin/bench/bench_upload_worker.exe" $address WORKERKEY big.bin $size \
            "$(windows_path "$root/local/big.bin")" | tr -d '\r' || true)
  echo "$worker"
  check_stored "$root/uploads/WORKERKEY/big.bin" "$root/local/big.bin" "upload worker"
  window=$(cd "$wine_build/bin" && "$HAULBOX_WINE" bench/bench_upload_window.exe $address UPBIG $size \
             | tr -d '\r' || true)
  echo "$window"
  check_stored "$root/uploads/WINDOWBIG/big.bin" "$root/local/big.bin" "uploader window"
  awk -v w="$(rate_of "$(head -n1 <<<"$window")")" -v l="$(rate_of "$worker")" \
    'BEGIN { if (l > 0) printf "window / lone worker: %.2f (goal 0.95 or better)\n", w / l }'
  echo "window peak memory: $(peak_of "$(head -n1 <<<"$window_small")") MB with 64 MiB," \
       "$(peak_of "$(head -n1 <<<"$window")") MB with 256 MiB (goal: flat)"
  kill -TERM "$refservice_pid"; wait "$refservice_pid" || true
  rm -rf "$root/local" "$root/uploads"
}

# Waits (bounded) while anything listens on the transfer ports of $1: other
# runs use 127.0.0.1 too, and share this Wine session's windows.
wait_transfer_address_free() {
  local address=$1 waited
  for waited in $(seq 0 10 900); do
    ss -ltn | grep -Eq " ${address//./\\.}:(7510|7301|7310) " || return 0
    ((waited % 60 == 0)) && echo "waiting: a service already listens on $address" >&2
    sleep 10
  done
  echo "$address stayed busy for 15 minutes" >&2
  return 1
}

# The web control's CtlDOWNLOADnow as a page's script calls it (by name,
# through IDispatch, on the control created by its ProgID) until the
# downloader has handled the hand-off: with the downloader running and with
# a cold start, beside a bare WM_COPYDATA and a bare process start to the
# ready message, in one run. The installed programs carry the transfer
# server built into them, 127.0.0.1, so the service must listen there.
bench_webcontrol_handoff() {
  use_wine_build
  local address=127.0.0.1 root="$scratch/handoff" running_runs=20 cold_runs=5
  mkdir -p "$root/web" "$root/save"
  head -c 16 /dev/urandom >"$root/tiny.bin"
  local files="" n
  for n in $(seq -f '%03g' 1 200); do
    files+="${files:+,}{ \"code\": \"H$n\", \"name\": \"tiny$n.bin\", \"path\": \"tiny.bin\", \"key\": \"KTINY\" }"
  done
  cat >"$root/config.json" <<JSON
{ "members": [ { "id": "tester", "megabytes": 2048, "plan": "스페셜정액제", "expiry": 2099123123 } ],
  "files": [ $files ] }
JSON
  wait_transfer_address_free $address || return 1
  local waited
  for waited in $(seq 0 10 900); do  # another run's downloader or launcher window is open
    (cd "$wine_build/bin" && timeout 60 "$HAULBOX_WINE" bench/bench_handoff.exe --check) && break
    ((waited % 60 == 0)) && echo "waiting: another run's downloader or launcher window is open" >&2
    sleep 10
  done
  "$bin/refservice" --address $address --root "$root" --config "$root/config.json" --log "$root/log.jsonl" \
    --web-port 0 --ready-file "$root/ready" >/dev/null &
  refservice_pid=$!
  for _ in $(seq 100); do [[ -e "$root/ready" ]] && break; sleep 0.1; done
  if [[ ! -e "$root/ready" ]]; then
    echo "refservice: did not become ready on $address" >&2
    kill "$refservice_pid" 2>/dev/null || true
    return 1
  fi
  echo "== web control hand-off: CtlDOWNLOADnow through IDispatch to the handled hand-off"
  local status=0
  (cd "$wine_build/bin" && timeout 900 "$HAULBOX_WINE" bench/bench_handoff.exe $running_runs $cold_runs H \
     "$(windows_path "$root/save")") | tr -d '\r' || status=$?
  if ((status != 0 && status != 3)); then
    (cd "$wine_build/bin" && timeout 120 "$HAULBOX_WINE" bench/bench_handoff.exe --cleanup) || true
  fi
  echo "logins the service saw: $(grep -c '"event":"login"' "$root/log.jsonl" || true)"
  kill -TERM "$refservice_pid"; wait "$refservice_pid" || true
  rm -rf "$root"
}

# The web control's update dialog in-process fetching a 96 MiB installer
# (a program that does nothing, padded) from the reference web host, beside
# bare WinINet loops in the same program and curl natively on the same host
# in the same run. The dialog's time runs from DoModal to the last piece
# written; the installer's run and the version check are shown apart.
bench_webcontrol_update() {
  use_wine_build
  local address=127.0.9.20 root="$scratch/update" size=$((96 * 1024 * 1024))
  mkdir -p "$root/web/app" "$root/work"
  local installer="$root/web/app/Quorvanes.exe" stub="$wine_build/bin/bench/bench_noop_installer.exe"
  cp "$stub" "$installer"
  head -c $((size - $(stat -c %s "$stub"))) /dev/urandom >>"$installer"
  echo '{}' >"$root/config.json"
  start_refservice $address "$root"
  echo "== web control update: the installer download through the update dialog, 96 MiB"
  local dialog status=0
  dialog=$("$HAULBOX_WINE" "$wine_build/bin/bench/bench_webcontrol_update.exe" $address:8089 $size \
             "$(windows_path "$root/work")" | tr -d '\r') || status=$?
  echo "$dialog"
  ((status == 0)) || echo "update dialog: a run failed (status $status)"
  cmp -s "$installer" "$root/work/Quorvanes/Quorvanes.exe" || echo "update dialog: the installer differs from its source!"
  local curl_line
  curl_line=$( { /usr/bin/time -f '%U %S' curl -s -o "$root/work/curl.bin" -w '%{speed_download}\n' \
                 "http://$address:8089/app/Quorvanes.exe"; } 2>&1 | tr '\n' ' ')
  awk '{ printf "curl natively: %.1f MB/s, %.2f s CPU\n", $1 / 1e6, $2 + $3 }' <<<"$curl_line"
  local curl_rate; curl_rate=$(awk '{ printf "%.1f", $1 / 1e6 }' <<<"$curl_line")
  local line; line=$(grep '^update dialog download:' <<<"$dialog" || true)
  awk -v d="$(rate_of "$line")" -v c="$curl_rate" \
      -v first="$(sed -n 's/.*the first after \([0-9.]*\) s.*/\1/p' <<<"$line")" \
      -v body="$(sed -n 's/.*the body from it in \([0-9.]*\) s.*/\1/p' <<<"$line")" \
      -v b="$(rate_of "$(grep '1023-byte reads:' <<<"$dialog")")" \
      -v p="$(rate_of "$(grep '1023-byte reads and progress' <<<"$dialog")")" \
      -v k="$(rate_of "$(grep '65536-byte reads:' <<<"$dialog")")" -v size=$size \
    'BEGIN { if (c > 0) printf "update dialog / curl: %.3f (bare loops / curl: 1,023-byte %.3f, with progress messages %.3f, 64 KiB %.3f)\n", d / c, b / c, p / c, k / c
             if (b > 0 && k > 0 && body > 0)
               printf "bound: %.1f s before the first piece (the size query: see its bare line), then the body at %.1f MB/s; of that, 1,023-byte reads %.2f of 64 KiB reads, a posted progress message per piece %.2f of the loop without, WinINet under Wine %.2f of curl\n",
                      first, size / 1e6 / body, b / k, p / b, k / c }'
  kill -TERM "$refservice_pid"; wait "$refservice_pid" || true
  rm -rf "$root"
}

# The upload selection's folder walk over 10,000 empty and 150 non-empty
# files in 125 folders three levels deep, beside a bare
# FindFirstFileW/FindNextFileW walk of the same tree in the same program;
# medians of 9 runs.
bench_webcontrol_folder_walk() {
  use_wine_build
  local root="$scratch/walk" a b c n=0
  for a in 1 2 3 4 5; do
    for b in 1 2 3 4 5; do
      for c in 1 2 3 4 5; do
        local leaf="$root/tree/d$a/d$a$b/d$a$b$c"
        mkdir -p "$leaf"
        (cd "$leaf" && touch $(seq -f 'empty%02g.dat' 1 80))
        if ((n < 150)); then printf 'file %d\n' $n >"$leaf/full1.txt"; n=$((n + 1)); fi
        if ((n < 150)); then printf 'file %d\n' $n >"$leaf/full2.txt"; n=$((n + 1)); fi
      done
    done
  done
  echo "== web control folder walk: 10,000 empty and 150 non-empty files, 125 folders"
  local status=0
  "$HAULBOX_WINE" "$wine_build/bin/bench/bench_folder_walk.exe" "$(windows_path "$root/tree")" 9 150 \
    | tr -d '\r' || status=$?
  ((status == 0)) || echo "folder walk: a run failed (status $status)"
  rm -rf "$root"
}

# BENCH="download_worker ..." runs only the named sections.
for section in ${BENCH:-refservice_download download_worker download_window upload_worker upload_window webcontrol_handoff webcontrol_update webcontrol_folder_walk}; do
  "bench_$section"
done
