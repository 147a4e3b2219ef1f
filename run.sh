#!/usr/bin/env bash
# Set-up, build, and play. Without a display the game runs on a virtual one with a short
# scripted demo of real key presses (Tab, Z, arrows), three screenshots under build/, and
# Escape to end.
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
xvfb-run -a -s "-screen 0 1024x600x24" bash -c '
  set -u
  build/velkadorn &
  game=$!
  hold() { xdotool keydown "$1"; sleep "$2"; xdotool keyup "$1"; }
  # The loop has begun once the HUD panel stands at the bottom.
  for _ in $(seq 300); do
    import -window root build/demo-start.png
    [ "$(convert build/demo-start.png -crop 1x1+300+590 -depth 8 rgb:- | od -An -tu1 | xargs)" \
      = "30 33 40" ] && break
    sleep 0.1
  done
  # Call in enemies and sweep the ship up and down through their rows while firing.
  xdotool keydown z
  for round in 1 2 3; do
    hold Tab 0.1
    hold Up 1.5
    hold Tab 0.1
    hold Down 2.5
    hold Right 0.3
    [ "$round" = 2 ] && import -window root build/demo-battle.png
  done
  hold Left 0.3
  import -window root build/demo-later.png
  xdotool keyup z
  hold Escape 0.2
  for _ in $(seq 100); do kill -0 "$game" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$game" 2>/dev/null && { echo "the game did not end on Escape"; kill -9 "$game"; }
  wait "$game"; echo "velkadorn exit code: $?"
'
echo "screenshots: build/demo-start.png build/demo-battle.png build/demo-later.png"
echo "--- ErrorLog.txt"
tr -d '\r' <"$demo_tmp/ErrorLog.txt"
