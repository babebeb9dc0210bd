#!/usr/bin/env bash
# Installs what is missing, builds the release build and starts the game. Without a display
# it plays the start on a virtual one instead: it waits for the game's window, answers the
# introduction, saves a screenshot of the first board, ends the game with Escape and says
# where the picture is.
set -euo pipefail
cd "$(dirname "$0")"

tools/setup.sh build

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DZORVAK_BUILD_TESTS=OFF -DZORVAK_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" --target zorvak --parallel 2
game="$build/game/zorvak"

[[ -n "${DISPLAY:-}" ]] && exec "$game" "$@"

tools/setup.sh headless
source tools/virtual-display.sh
start_virtual_display

title="Tavika: ZORVAK v0.1."
screenshot="$PWD/$build/first-board.png"
"$game" "$@" &
game_pid=$!

window=""
for _ in $(seq 200); do
  window=$(xwininfo -name "$title" 2>/dev/null | awk '/Window id:/{print $4}') || true
  [[ -n "$window" ]] && break
  kill -0 "$game_pid" 2>/dev/null || { echo "the game ended before its window opened" >&2; exit 1; }
  sleep 0.1
done
[[ -n "$window" ]] || { echo "the game's window did not open" >&2; kill "$game_pid"; exit 1; }

# The settings may ask for the introduction: one Enter per line (48), a few spare, which the
# board ignores.
sleep 2
xdotool windowfocus --sync "$window"
if [[ "$(sed -n 2p "$build/game/zorvak.cfg" | tr -dc '0-9-')" =~ ^-?0*[1-9] ]]; then
  for _ in $(seq 52); do xdotool key Return; sleep 0.08; done
fi
sleep 1.5

tools/screenshot.sh "$window" "$screenshot"
xdotool windowfocus --sync "$window" key Escape
status=0
wait "$game_pid" || status=$?
echo "The first board: $screenshot (the game ended with exit code $status)"
