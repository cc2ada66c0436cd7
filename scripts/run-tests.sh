#!/usr/bin/env bash
# Runs every test of the native build and of the Windows build whose tests can
# run on this host (named in <build>/windows-tests) in one ctest run, ends the
# test Wine session (wineserver and the private Xvfb), then says which Windows
# build's tests ran.
set -uo pipefail
build=${1:-build}
windows_tests=$(cat "$build/windows-tests")
cat >"$build/CTestTestfile.cmake" <<CTEST
# Both builds' tests in one run.
subdirs("native" "$windows_tests")
CTEST
# One test program at a time by default: under Wine a test program that had
# passed every case was seen, in parallel runs only, not to be taken as ended
# until its time-out.
ctest --test-dir "$build" -j "${CTEST_JOBS:-1}" --output-on-failure --timeout 600
status=$?
"$(dirname "$0")/stop-wine.sh" "$build"
if [[ "$windows_tests" == windows64 ]]; then
  echo "Windows tests ran from $build/windows64 (x86_64 under wine64); the i686 tests were built, not run: this kernel cannot run 32-bit code"
else
  echo "Windows tests ran from $build/windows (i686 under 32-bit Wine)"
fi
exit $status
