#!/usr/bin/env bash
# Builds the 32-bit Windows programs and their test programs in <build>/windows
# on every host, so that a compile error seen only by the 32-bit compiler
# (a callback without CALLBACK, a pointer kept in a 32-bit type) fails the
# build anywhere. The Windows tests run from that build under 32-bit Wine; on a
# kernel that cannot execute 32-bit code they run from a 64-bit build of the
# same sources (<build>/windows64) under wine64. <build>/windows-tests names
# the build whose tests run.
set -euo pipefail
build=$1; shift
abs_build=$(mkdir -p "$build" && cd "$build" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${JOBS:-$(nproc)}

configure_and_build() { # dir toolchain
  cmake -S "$root" -B "$abs_build/$1" -DCMAKE_BUILD_TYPE=Release ${HAULBOX_ENDPOINTS:-} \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$2" -DHAULBOX_TESTS=ON \
    -DNATIVE_BIN_DIR="$abs_build/native/bin" ${HAULBOX_CMAKE_ARGS:-} >/dev/null
  cmake --build "$abs_build/$1" -j "$jobs"
}

configure_and_build windows toolchain-mingw32.cmake
if "$root/scripts/host-runs-i386.sh"; then
  echo windows >"$abs_build/windows-tests"
else
  configure_and_build windows64 toolchain-mingw64.cmake
  echo windows64 >"$abs_build/windows-tests"
fi
