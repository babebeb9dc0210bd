#!/usr/bin/python3
"""Composes the board the way the game draws it, to check placement and legibility.

Left: normal play (grey and red notes, spy marks, white button). Right: the failure reveal
(spy numbers red, the caption in the top band, the armed red-tinted button) with the
verdict banner faded in over it.

Usage: preview-board.py ASSET_DIR OUTPUT.png
"""
import pathlib
import random
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFont

CELL, ORIGIN = 50, 56


def masked(image: Image.Image) -> Image.Image:
    """Pictures without alpha lose their pure black pixels when loaded, as in the game."""
    rgb = image.convert("RGB")
    r, g, b = rgb.split()
    not_black = ImageChops.lighter(ImageChops.lighter(r, g), b).point(lambda v: 255 if v else 0)
    rgba = rgb.copy()
    rgba.putalpha(not_black)
    return rgba


def tinted(image: Image.Image, colour) -> Image.Image:
    """The picture multiplied by a colour, as the drawing colour tints textured quads."""
    rgba = image.convert("RGBA")
    r, g, b, a = rgba.split()
    scale = [c / 255 for c in colour]
    channels = [ch.point(lambda v, s=s: int(v * s)) for ch, s in zip((r, g, b), scale)]
    return Image.merge("RGBA", channels + [a])


def with_alpha(image: Image.Image, factor: float) -> Image.Image:
    rgba = image.convert("RGBA")
    rgba.putalpha(rgba.getchannel("A").point(lambda v: int(v * factor)))
    return rgba


def shade_cell(board: Image.Image, c, r, colour):
    box = (ORIGIN + CELL * c, ORIGIN + CELL * r, ORIGIN + CELL * (c + 1), ORIGIN + CELL * (r + 1))
    region = board.crop(box).convert("RGB")
    board.paste(ImageChops.multiply(region, Image.new("RGB", region.size, colour)), box[:2])


def draw_label(board, font, x, y, text, face):
    draw = ImageDraw.Draw(board)
    for dx, dy in ((1, 0), (-1, 0), (0, -1), (0, 1)):
        draw.text((x + dx, y + dy), text, font=font, fill=(200, 200, 200), anchor="la")
    draw.text((x, y), text, font=font, fill=face, anchor="la")


def compose(assets: pathlib.Path, reveal: bool) -> Image.Image:
    rng = random.Random(4)
    board = masked(Image.open(assets / "back.jpg"))
    point = Image.open(assets / "point.png").convert("RGBA")
    large = ImageFont.truetype(str(assets / "b2.ttf"), 30)
    small = ImageFont.truetype(str(assets / "b2.ttf"), 18)
    spies = {(1, 2), (3, 5), (6, 1), (4, 7), (7, 6)}
    marks = {(0, 0): 1, (1, 0): 1, (2, 3): 2, (5, 5): 2, (1, 2): 3, (6, 1): 3, (3, 4): 1, (7, 7): 2}
    for c in range(8):
        for r in range(8):
            x, y = ORIGIN + CELL * c, ORIGIN + CELL * r
            mark = marks.get((c, r), 0)
            if mark == 2:
                shade_cell(board, c, r, (255, 0, 0))
            elif mark == 3:
                board.alpha_composite(tinted(point, (255, 0, 0)), (x, y))
            elif mark == 1:
                shade_cell(board, c, r, (200, 200, 200))
            face = (255, 0, 0) if reveal and (c, r) in spies else (5, 5, 5)
            draw_label(board, large, x + 16, y + 13, f"{rng.randint(0, 9)} ", face)
    button = masked(Image.open(assets / "but1.png"))
    board.alpha_composite(tinted(button, (255, 0, 0) if reveal else (255, 255, 255)), (270, 460))
    if reveal:
        ImageDraw.Draw(board).text((170, 15), "А расклад был такой...", font=small,
                                   fill=(5, 0, 0), anchor="la")
    return board


def verdict(board: Image.Image, assets: pathlib.Path, name: str) -> Image.Image:
    shown = board.copy()
    banner = masked(Image.open(assets / name))
    shadow = tinted(masked(Image.open(assets / "win.jpg")), (0, 0, 0))
    shown.alpha_composite(with_alpha(shadow, 0.7 * 0.9), (62, 138))
    shown.alpha_composite(with_alpha(banner, 0.9), (56, 128))
    return shown


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    assets = pathlib.Path(sys.argv[1])
    normal, revealed = compose(assets, False), compose(assets, True)
    sheet = Image.new("RGBA", (1024 + 8, 1024 + 8), (30, 30, 30, 255))
    sheet.alpha_composite(normal, (0, 0))
    sheet.alpha_composite(revealed, (520, 0))
    sheet.alpha_composite(verdict(normal, assets, "win.jpg"), (0, 520))
    sheet.alpha_composite(verdict(normal, assets, "fail.jpg"), (520, 520))
    sheet.convert("RGB").save(sys.argv[2])


if __name__ == "__main__":
    main()
