#!/usr/bin/env bash
# Installs every Debian package the build and the tests need. Quick when all is there.
set -euo pipefail

packages=(
  cmake make g++ pkg-config
  g++-mingw-w64-i686 gcc-mingw-w64-i686 g++-mingw-w64-x86-64 gcc-mingw-w64-x86-64 mingw-w64-tools
  wine wine32:i386 wine64 libwine-dev
  xvfb xauth x11-utils imagemagick fonts-nanum fonts-baekmuk
  googletest libgtest-dev libbenchmark-dev
  clang-14 libclang-rt-14-dev
  libcpp-httplib-dev nlohmann-json3-dev
  python3 python3-pefile python3-pil curl time locales
  nsis
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == *"install ok installed"* ]] || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=()
  [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo_cmd[@]}" dpkg --add-architecture i386
  fi
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
fi
# Wine maps Windows file names to Unix ones through the locale's character
# set: without a generated Korean UTF-8 locale, Korean file names come out garbled.
if ! locale -a 2>/dev/null | grep -qix 'ko_KR.utf8'; then
  echo "setup: generating the ko_KR.UTF-8 locale"
  localedef -i ko_KR -c -f UTF-8 ko_KR.UTF-8
fi
echo "setup: all packages present"
