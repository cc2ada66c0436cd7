#!/usr/bin/env bash
# Runs every libFuzzer target of <fuzz build>/bin for <seconds> each, one after
# another. Each grows its corpus in <fuzz build>/corpus/<target> (starting from
# the checked-in seeds in tests/fuzz/corpus/<target>) and writes what it finds
# to <fuzz build>/findings/<target>/. Prints per target how long it ran, how
# many inputs it executed, the corpus size and the findings; exits non-zero
# when any target found something.
set -uo pipefail
fuzz_build=$1
seconds=${2:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
fuzz_build=$(cd "$fuzz_build" && pwd)

shopt -s nullglob
targets=("$fuzz_build"/bin/fuzz_*)
if ((${#targets[@]} == 0)); then
  echo "fuzz: no targets in $fuzz_build/bin" >&2
  exit 1
fi

summary=()
failed=0
for binary in "${targets[@]}"; do
  target=$(basename "$binary")
  name=${target#fuzz_}
  seeds="$root/tests/fuzz/corpus/$name"
  corpus="$fuzz_build/corpus/$name"
  findings="$fuzz_build/findings/$name"
  log="$fuzz_build/logs/$name.log"
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  echo "fuzz: $target for ${seconds} s (log $log)"
  start=$(date +%s)
  # -max_len: room for request texts past the 2048-byte block.
  "$binary" -max_total_time="$seconds" -max_len=4096 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$findings/" "$corpus" "$seeds" >"$log" 2>&1
  status=$?
  ran=$(($(date +%s) - start))
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  [[ -n "$executions" ]] || executions=$(sed -n 's/^Done \([0-9]*\) runs.*/\1/p' "$log" | tail -1)
  [[ -n "$executions" ]] || executions="?"
  corpus_size=$(find "$corpus" -type f | wc -l)
  found=("$findings"/*)
  if ((${#found[@]})); then
    what="${#found[@]} finding(s): ${found[*]}"
    failed=1
  elif ((status != 0)); then
    what="libFuzzer ended with status $status, see $log"
    failed=1
  else
    what="nothing found"
  fi
  line="$target: ran ${ran} s, ${executions} executions, corpus ${corpus_size} inputs, $what"
  echo "$line"
  summary+=("$line")
done

echo
echo "fuzz summary (${seconds} s per target):"
printf '  %s\n' "${summary[@]}"
exit $failed
