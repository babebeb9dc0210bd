#!/usr/bin/env bash
# Saves the first board of the Linux game as a PNG: tools/linux-first-board.sh <zorvak program> <out.png>
# The program runs as a copy in a temporary folder, beside settings that turn the introduction
# off, on a virtual display of its own. The loading screen (green text on black) comes first;
# the board is taken as up once two grabs half a second apart are equal and bright (the board's
# background picture), then the game ends with Escape. Needs Xvfb, xdotool and ImageMagick.
set -euo pipefail
[[ $# -eq 2 ]] || { echo "usage: $0 <zorvak program> <out.png>" >&2; exit 2; }
program=$(realpath "$1")
out=$(realpath -m "$2")
title="Tavika: ZORVAK v0.1."

source "$(dirname "$0")/virtual-display.sh"
start_virtual_display

folder=$(mktemp -d)
game_pid=""
cleanup() {
  [[ -n "$game_pid" ]] && kill "$game_pid" 2>/dev/null || true
  rm -rf "$folder"
  kill "$VIRTUAL_DISPLAY_PID" 2>/dev/null || true
}
trap cleanup EXIT

cp "$program" "$folder/zorvak"
printf 'Intro\n0\nDifficulty\n0\n' >"$folder/zorvak.cfg"
"$folder/zorvak" >"$folder/output.txt" 2>&1 &
game_pid=$!

fail() {
  echo "$1" >&2
  cat "$folder/output.txt" >&2
  exit 1
}

window=""
for _ in $(seq 300); do
  window=$(xdotool search --onlyvisible --pid "$game_pid" --name "^${title//./\\.}\$" 2>/dev/null | head -n1) || true
  [[ -n "$window" ]] && break
  kill -0 "$game_pid" 2>/dev/null || fail "the game ended before its window opened"
  sleep 0.1
done
[[ -n "$window" ]] || fail "the game's window did not open"

# The window's pixels as raw RGB, which compares byte for byte where PNG files need not; a
# window of 512 by 512 pixels gives 512 * 512 * 3 bytes.
grab() { import -window "$window" -depth 8 "rgb:$1"; }
# The mean brightness of a grab, 0 to 1: the loading screen is nearly black.
brightness() { convert -size 512x512 -depth 8 "rgb:$1" -format '%[fx:mean]' info:; }

shown=false
for _ in $(seq 120); do
  grab "$folder/a.rgb" || true
  sleep 0.5
  grab "$folder/b.rgb" || true
  if [[ -f "$folder/a.rgb" && $(stat -c %s "$folder/a.rgb") -eq $((512 * 512 * 3)) ]] && cmp -s "$folder/a.rgb" "$folder/b.rgb" &&
    awk -v m="$(brightness "$folder/b.rgb")" 'BEGIN { exit !(m > 0.15) }'; then
    shown=true
    break
  fi
done
$shown || fail "the board did not settle within a minute"

convert -size 512x512 -depth 8 "rgb:$folder/b.rgb" -strip "png24:$out"
# The game may close its window on the key press, before the key release reaches it: that
# error is no failure, a game still running afterwards is.
xdotool key --window "$window" Escape 2>/dev/null || true
for _ in $(seq 50); do
  kill -0 "$game_pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$game_pid" 2>/dev/null; then
  echo "the game did not end on Escape; stopped" >&2
else
  wait "$game_pid" || true
  game_pid=""
fi
echo "first board: $out"
