#!/usr/bin/python3
"""Makes a contact sheet of every embedded picture, the font and the bitmap fonts.

Usage: contact-sheet.py ASSET_DIR BITMAP_FONT_PREVIEW.png OUTPUT.png
"""
import pathlib
import sys

from PIL import Image, ImageDraw, ImageFont

TILE, PAD, LABEL = 256, 12, 18
BACKDROP = (52, 40, 30)


def checker(size) -> Image.Image:
    """A checkerboard to show where a picture is transparent."""
    board = Image.new("RGBA", size, (120, 120, 120, 255))
    draw = ImageDraw.Draw(board)
    for y in range(0, size[1], 8):
        for x in range((y // 8 % 2) * 8, size[0], 16):
            draw.rectangle((x, y, x + 7, y + 7), fill=(160, 160, 160, 255))
    return board


def tile(path: pathlib.Path, scale: float) -> Image.Image:
    picture = Image.open(path).convert("RGBA")
    size = (max(1, round(picture.width * scale)), max(1, round(picture.height * scale)))
    resample = Image.NEAREST if scale > 1 else Image.LANCZOS
    picture = picture.resize(size, resample)
    ground = checker(size)
    ground.alpha_composite(picture)
    return ground


def font_sample(font_path: pathlib.Path) -> Image.Image:
    image = Image.new("RGBA", (TILE * 2 + PAD, TILE // 2), (239, 229, 201, 255))
    draw = ImageDraw.Draw(image)
    large = ImageFont.truetype(str(font_path), 30)
    small = ImageFont.truetype(str(font_path), 18)
    draw.text((10, 8), "0 1 2 3 4 5 6 7 8 ZORVAK", font=large, fill=(20, 20, 20))
    draw.text((10, 50), "Съешь же ещё этих мягких французских булок, да выпей чаю.",
              font=small, fill=(20, 20, 20))
    draw.text((10, 76), "ЁЖИК В ТУМАНЕ — «Проверить» … А расклад был такой...",
              font=small, fill=(120, 20, 20))
    return image


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    assets, fonts_preview, output = map(pathlib.Path, sys.argv[1:])
    entries = [(name, 0.5) for name in ("back.jpg", "help.jpg", "tgame.png")]
    entries += [(f"s{i}.png", 0.5) for i in range(7)]
    entries += [("win.jpg", 0.6), ("fail.jpg", 0.6), ("but1.png", 1.2), ("point.png", 2.0)]
    entries += [(f"e{i}.png", 2.5) for i in range(3)]
    columns = 4
    tiles = [(name, tile(assets / name, scale)) for name, scale in entries]
    tiles.append(("b2.ttf at 30 and 18 pixels", font_sample(assets / "b2.ttf")))
    tiles.append(("krastfont.bin, gldrawtextfont.bin", Image.open(fonts_preview).convert("RGBA")))

    label_font = ImageFont.truetype(str(assets / "b2.ttf"), 14)
    cell_w = TILE + PAD
    x = y = PAD
    row_h = 0
    placed = []
    for name, picture in tiles:
        span = -(-picture.width // cell_w)
        if x + span * cell_w > PAD + columns * cell_w:
            x, y, row_h = PAD, y + row_h, 0
        placed.append((name, picture, x, y))
        x += span * cell_w
        row_h = max(row_h, picture.height + LABEL + PAD)
    height = y + row_h + PAD
    sheet = Image.new("RGBA", (PAD + columns * cell_w, height), BACKDROP + (255,))
    draw = ImageDraw.Draw(sheet)
    for name, picture, px, py in placed:
        draw.text((px, py), name, font=label_font, fill=(236, 226, 198))
        sheet.alpha_composite(picture, (px, py + LABEL))
    sheet.convert("RGB").save(output, optimize=True)


if __name__ == "__main__":
    main()
