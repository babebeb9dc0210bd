#!/usr/bin/env bash
# The web page's start beside the Linux program's, in one run: from the start (the navigation;
# the process) to the first presented frame of the board, measured the same way (a light pixel
# at (400, 400)), the two taking turns. Prints each start and the ratio of the medians.
#
# Usage: tools/web-start-bench.sh [rounds]      (default 5; needs tools/web.sh to have built the
#        page, and builds the Linux release build and its probe in build/bench)
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-5}

[[ -f build/web/zorvak.html ]] || { echo "build the page first: tools/web.sh" >&2; exit 1; }
build=build/bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZORVAK_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target zorvak startup_probe plain_window >/dev/null
PUPPETEER_SKIP_DOWNLOAD=1 npm ci --prefix tests/web --no-audit --no-fund >/dev/null

source tools/virtual-display.sh
start_virtual_display
# The Linux game with the introduction off, from a folder of its own, as the page plays it.
game=$(mktemp -d)
trap 'rm -rf "$game"' EXIT
cp "$build/game/zorvak" "$game/"
printf 'Play the introduction at start-up (1 yes, 0 no):\n0\nDifficulty, spies added to each mission (0, 1 or 2):\n0\n' \
  >"$game/zorvak.cfg"

results=$(mktemp)
for _ in $(seq "$rounds"); do
  "$build/bench/startup_probe" start 1 "$game/zorvak" "Tavika: ZORVAK v0.1." "$build/bench/plain_window" \
    "plain window" | grep '"who": "program"' >>"$results" || true
  node tests/web/browser_test.mjs --start build/web 1 >>"$results"
done
cat "$results"
python3 - "$results" <<'EOF'
import json, statistics, sys
starts = {}
for line in open(sys.argv[1]):
    record = json.loads(line)
    starts.setdefault(record["who"], []).append(record["wall_ms"])
page, linux = statistics.median(starts["page"]), statistics.median(starts["program"])
print(f"page {page:.0f} ms, Linux program {linux:.0f} ms (medians of {len(starts['page'])} and "
      f"{len(starts['program'])}): ratio {page / linux:.2f}")
EOF
rm -f "$results"
