#!/usr/bin/env bash
# Renders, encodes and checks the game's embedded pictures and font, and the bitmap fonts, and
# synthesises the sound example's sounds.
#   tools/setup.sh assets && tools/make-assets.sh
# Sources: game/assets/src/*.svg and game/assets/src/portraits.py. Output: game/assets/*,
# kaz2d/data/krastfont.bin, kaz2d/gl/data/gldrawtextfont.bin, docs/assets.png (contact sheet)
# and docs/board.png (the board as the game draws it), examples/data/{blip.wav,tune.ogg}. Fails
# loudly on any broken rule.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
# The Debian interpreter, which has python3-pil and python3-fonttools.
python=${PYTHON:-/usr/bin/python3}
assets=$root/game/assets
src=$assets/src

for tool in rsvg-convert cjpeg pngquant identify oggenc "$python"; do
  command -v "$tool" >/dev/null || { echo "missing $tool: run tools/setup.sh assets" >&2; exit 1; }
done
"$python" -c 'import PIL, fontTools' 2>/dev/null \
  || { echo "$python lacks PIL or fontTools: run tools/setup.sh assets" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "== rendering"
"$python" "$src/portraits.py" "$work"
for svg in "$src"/*.svg "$work"/*.svg; do
  rsvg-convert "$svg" -o "$work/$(basename "${svg%.svg}").png"
done

echo "== encoding"
"$python" "$root/tools/encode-assets.py" "$work" "$assets"
"$python" "$root/tools/make-font.py" "$assets/b2.ttf" "$assets/LICENSE-b2.txt"
"$python" "$root/tools/make-bitmap-fonts.py" "$root" --preview "$work/bitmap-fonts.png"

echo "== sounds"
"$python" "$root/tools/make-sounds.py" "$root/examples/data"

echo "== checking"
"$python" "$root/tools/check-assets.py" "$assets"

echo "== contact sheet and board preview"
mkdir -p "$root/docs"
"$python" "$root/tools/contact-sheet.py" "$assets" "$work/bitmap-fonts.png" "$root/docs/assets.png"
"$python" "$root/tools/preview-board.py" "$assets" "$root/docs/board.png"
"$python" "$root/tools/make-icons.py" "$assets/s0.png" "$root/packaging/icons"
echo "done: $(ls "$assets" | grep -c -E '\.(png|jpg|ttf)$') files in game/assets"
