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

bench_refservice_download
