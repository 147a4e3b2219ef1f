#!/usr/bin/env bash
# Builds and runs every benchmark and prints its figures (timings, never pass/fail).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
cmake -S . -B build "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKVN_BUILD_BENCHMARKS=ON \
  >/dev/null
cmake --build build -j "$(nproc)" >/dev/null

export KVN_NO_DIALOGS=1 SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1
on_display() {
  if [ -n "${DISPLAY:-}" ]; then "$@"; else xvfb-run -a -s "-screen 0 1024x600x24" "$@"; fi
}

echo "== frame_pacing"
on_display build/bench/bench_frame_pacing 2>/dev/null

echo "== sprites"
on_display build/bench/bench_sprites 2>/dev/null

echo "== collision"
on_display build/bench/bench_collision 2>/dev/null

echo "== value"
build/bench/bench_value

echo "== pathfinding"
build/bench/bench_pathfinding

echo "== archive"
build/bench/bench_archive

echo "== mixer"
build/bench/bench_mixer

echo "== images"
on_display build/bench/bench_images 2>/dev/null

echo "== input"
on_display build/bench/bench_input 2>/dev/null

echo "== game"
# Once next to the media archive, once next to the loose files, each in a program directory
# of its own (the game finds its pictures in the program's directory).
bench_dir=$(mktemp -d)
trap 'rm -rf "$bench_dir"' EXIT
mkdir -p "$bench_dir/archive" "$bench_dir/loose"
cp build/bench/bench_game build/vd.gfx "$bench_dir/archive/"
cp build/bench/bench_game build/assets/* "$bench_dir/loose/"
on_display "$bench_dir/archive/bench_game" 2>/dev/null
on_display "$bench_dir/loose/bench_game" 2>/dev/null

echo "== scaling"
# One virtual display of each size: the game's 1024 x 600 picture unscaled, and scaled to
# 1920 x 1080 and 2560 x 1440.
mkdir -p "$bench_dir/scaling"
cp build/bench/bench_scaling build/vd.gfx "$bench_dir/scaling/"
for size in 1024x600 1920x1080 2560x1440; do
  echo "-- display $size"
  xvfb-run -a -s "-screen 0 ${size}x24" "$bench_dir/scaling/bench_scaling" 2>/dev/null
done

echo "== replay"
mkdir -p "$bench_dir/replay"
cp build/bench/bench_replay build/vd.gfx "$bench_dir/replay/"
TMPDIR=$bench_dir/replay/ on_display "$bench_dir/replay/bench_replay" 2>/dev/null

echo "== save"
on_display build/bench/bench_save 2>/dev/null

echo "== media"
on_display build/bench/bench_media 2>/dev/null
