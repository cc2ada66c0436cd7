#!/usr/bin/env bash
# Runs a Windows test program beside reference services of its own:
#   with-refservice.sh <refservice> <workdir> <address>[:<webport>]=<datadir>... -- <command...>
# Each service serves a fresh copy of its data folder (plus the files listed
# in its generate.txt, "<path> <bytes>" of random data) on its own address and
# logs to <workdir>/<address>.jsonl. The program learns the folder from
# HAULBOX_TEST_WORKDIR. A service given a web port also serves <datadir>/web
# over HTTP. Every wait is bounded; the services are always stopped.
set -uo pipefail
refservice=$1 workdir=$2; shift 2
services=()
while [[ $# -gt 0 && $1 != "--" ]]; do services+=("$1"); shift; done
shift
rm -rf "$workdir" && mkdir -p "$workdir"
pids=()
stop_services() {
  for pid in "${pids[@]}"; do kill -TERM "$pid" 2>/dev/null; done
  for pid in "${pids[@]}"; do
    for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$pid" 2>/dev/null
  done
}
trap stop_services EXIT
for service in "${services[@]}"; do
  address=${service%%=*} data=${service#*=} webport=0
  if [[ $address == *:* ]]; then webport=${address#*:} address=${address%%:*}; fi
  root="$workdir/$address"
  mkdir -p "$root" && cp -r "$data"/. "$root"/
  if [[ -f "$root/generate.txt" ]]; then
    while read -r path bytes; do
      [[ -n "$path" ]] && head -c "$bytes" /dev/urandom >"$root/$path"
    done <"$root/generate.txt"
  fi
  "$refservice" --address "$address" --root "$root" --config "$root/refservice.json" \
    --log "$workdir/$address.jsonl" --web-port "$webport" --ready-file "$workdir/$address.ready" \
    >"$workdir/$address.out" 2>&1 &
  pids+=($!)
done
for service in "${services[@]}"; do
  address=${service%%=*} address=${address%%:*}
  for _ in $(seq 1 150); do [[ -f "$workdir/$address.ready" ]] && break; sleep 0.1; done
  if [[ ! -f "$workdir/$address.ready" ]]; then
    echo "with-refservice: $address did not become ready:" >&2; cat "$workdir/$address.out" >&2; exit 1
  fi
done
export HAULBOX_TEST_WORKDIR="$workdir"
"$@"
