#!/usr/bin/env bash
# Set-up, build, and play. Without a display the game replays its demo recording on a virtual
# one (real key presses: Tab, Z, arrows, Escape to end) and saves three screenshots under build/.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh run

generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
# A first build leaves the tests out (they need GoogleTest); an existing build keeps its choice.
testing=()
[ -f build/CMakeCache.txt ] || testing=(-DBUILD_TESTING=OFF)
cmake -S . -B build "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${testing[@]}" >/dev/null
cmake --build build -j "$(nproc)" --target velkadorn

if [ -n "${DISPLAY:-}" ]; then
  exec build/velkadorn
fi

export KVN_NO_DIALOGS=1 SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1
# The start-up log goes to a temporary directory of this run, removed at the end.
demo_tmp=$(mktemp -d)
trap 'rm -rf "$demo_tmp"' EXIT
export TMPDIR=$demo_tmp/
# The demo is the committed recording of real key presses, replayed (game/demo.kvr, made by
# scripts/record-demo.sh): frame 30 before the first key, 450 in the battle, 800 later.
rm -rf "$demo_tmp/shots"
code=0
xvfb-run -a -s "-screen 0 1024x600x24" env -C build KVN_REPLAY="$PWD/game/demo.kvr" \
  KVN_REPLAY_SHOTS="$demo_tmp/shots:30,450,800" ./velkadorn || code=$?
echo "velkadorn exit code: $code"
for shot in start:30 battle:450 later:800; do
  cp "$demo_tmp/shots/frame-${shot#*:}.png" "build/demo-${shot%:*}.png" ||
    echo "no screenshot of frame ${shot#*:}"
done
echo "screenshots: build/demo-start.png build/demo-battle.png build/demo-later.png"
echo "--- ErrorLog.txt"
tr -d '\r' <"$demo_tmp/ErrorLog.txt"
