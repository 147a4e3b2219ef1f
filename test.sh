#!/usr/bin/env bash
# Set-up, build, and every test: all of CTest on a virtual display, then the tests that need
# no display once more in a build with the address and undefined-behaviour sanitizers.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh test

generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
jobs=$(nproc)

cmake -S . -B build "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON >/dev/null
cmake --build build -j "$jobs"

export KVN_NO_DIALOGS=1 SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1
status=0
xvfb-run -a -s "-screen 0 1024x600x24" \
  ctest --test-dir build --output-on-failure -j "$jobs" || status=$?

# The sanitizer build compiles only what it runs: the runtime and the tests labelled unit.
cmake -S . -B build-asan "${generator[@]}" -DCMAKE_BUILD_TYPE=Debug -DKVN_SANITIZE=ON \
  -DKVN_UNIT_TESTS_ONLY=ON >/dev/null
cmake --build build-asan -j "$jobs"
ctest --test-dir build-asan -L unit --output-on-failure -j "$jobs" || status=$?

exit "$status"
