#!/usr/bin/env bash
# Runs every test of both builds in one ctest run, then ends the test Wine
# session (wineserver and the private Xvfb).
set -uo pipefail
build=${1:-build}
cat >"$build/CTestTestfile.cmake" <<CTEST
# Both builds' tests in one run.
subdirs("native" "$(cat "$build/windows-tests")")
CTEST
ctest --test-dir "$build" -j "${CTEST_JOBS:-2}" --output-on-failure --timeout 600
status=$?
"$(dirname "$0")/stop-wine.sh" "$build"
exit $status
