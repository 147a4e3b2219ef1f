#!/usr/bin/env bash
# Installs the Debian packages a task needs, only those that are missing.
#   scripts/install-deps.sh [run|test|fuzz]
# run:  building the runtime, the tools and the game, and the game's demo on a virtual display
# test: run, and what the tests, benchmarks and the reference use (GoogleTest, ffmpeg, gdb,
#       python3, doxygen)
# fuzz: run, GoogleTest, and clang with the sanitizer runtime of the same clang version
set -euo pipefail

task=${1:-run}
run_packages=(
  build-essential cmake ninja-build pkg-config
  libsdl2-dev libx11-dev libgl-dev libpng-dev zlib1g-dev libjpeg62-turbo-dev liblzo2-dev
  libmpv-dev libcairo2-dev
  xvfb xauth xdotool imagemagick
)
case "$task" in
  run) packages=("${run_packages[@]}") ;;
  test) packages=("${run_packages[@]}" libgtest-dev ffmpeg gdb python3 x11-xkb-utils doxygen) ;;
  fuzz) packages=("${run_packages[@]}" libgtest-dev clang) ;;
  *)
    echo "usage: $0 [run|test|fuzz]" >&2
    exit 2
    ;;
esac

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
updated=

install_missing() {
  local package missing=()
  for package in "$@"; do
    if ! dpkg -s "$package" 2>/dev/null | grep -q '^Status: install ok installed'; then
      missing+=("$package")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "install-deps: installing ${missing[*]}"
  if [ -z "$updated" ]; then
    "${as_root[@]}" apt-get update -qq
    updated=1
  fi
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
}

install_missing "${packages[@]}"

if [ "$task" = fuzz ]; then
  # libFuzzer and the sanitizer runtimes come with the clang of the same major version.
  clang_major=$(clang --version | sed -n 's/.*clang version \([0-9][0-9]*\)\..*/\1/p' | head -n1)
  [ -n "$clang_major" ] || { echo "install-deps: cannot tell the clang version" >&2; exit 1; }
  install_missing "libclang-rt-$clang_major-dev"
fi
