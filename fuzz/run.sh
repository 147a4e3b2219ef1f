#!/usr/bin/env bash
# Fuzzes one target with libFuzzer (clang, address and undefined-behaviour sanitizers).
#   fuzz/run.sh NAME [SECONDS]    e.g. fuzz/run.sh archive 600
# New interesting inputs go to fuzz/corpus/NAME; crashers are written there too (crash-*),
# so the normal test run replays them from then on.
set -euo pipefail
cd "$(dirname "$0")/.."
name=${1:?usage: fuzz/run.sh NAME [SECONDS]}
seconds=${2:-600}
scripts/install-deps.sh fuzz
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
CC=clang CXX=clang++ cmake -S . -B build-fuzz "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKVN_FUZZ=ON -DKVN_SANITIZE=ON \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link" -DCMAKE_C_FLAGS="-fsanitize=fuzzer-no-link" >/dev/null
cmake --build build-fuzz --target "${name}_fuzz"
mkdir -p "fuzz/corpus/$name"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Fresh inputs are gathered apart and merged in minimised, so the corpus stays small.
build-fuzz/fuzz/"${name}_fuzz" -max_total_time="$seconds" -artifact_prefix="fuzz/corpus/$name/" \
  -print_final_stats=1 "$work" "fuzz/corpus/$name"
build-fuzz/fuzz/"${name}_fuzz" -merge=1 "fuzz/corpus/$name" "$work"
