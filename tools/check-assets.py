#!/usr/bin/python3
"""Checks the game's embedded files against the rules the game relies on; exits non-zero
with every failure listed.

Checked: names, kinds and pixel sizes; JPEGs progressive with three components; portraits
8-bit palette PNGs without tRNS; eyes, frame and mark 8-bit RGBA; the button 8-bit RGB; no
pure black pixel in pictures without alpha (the game keys it out); the eye overlays match
every portrait around the eyes; the board's cells, caption band and button are light where
the game draws dark or tinted things on them; the font covers the Russian alphabet.

Usage: check-assets.py ASSET_DIR
"""
import pathlib
import struct
import subprocess
import sys
import zlib

from PIL import Image, ImageChops
from fontTools.ttLib import TTFont

EYE_BOX = (184, 104, 262, 150)
KINDS = {  # name: (kind, width, height)
    "back.jpg": ("jpeg", 512, 512), "help.jpg": ("jpeg", 512, 512),
    "but1.png": ("rgb", 185, 53),
    "e0.png": ("rgba", 78, 46), "e1.png": ("rgba", 78, 46), "e2.png": ("rgba", 78, 46),
    **{f"s{i}.png": ("palette", 512, 512) for i in range(7)},
    "tgame.png": ("rgba", 512, 512),
    "win.jpg": ("jpeg", 400, 226), "fail.jpg": ("jpeg", 400, 226),
    "point.png": ("rgba", 50, 51),
    "b2.ttf": ("font", 0, 0),
}
PNG_COLOUR_TYPES = {"rgb": 2, "palette": 3, "rgba": 6}

failures = []


def fail(message: str):
    failures.append(message)


def png_chunks(data: bytes):
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    pos = 8
    while pos < len(data):
        length, kind = struct.unpack_from(">I4s", data, pos)
        body = data[pos + 8:pos + 8 + length]
        (crc,) = struct.unpack_from(">I", data, pos + 8 + length)
        if zlib.crc32(kind + body) != crc:
            raise ValueError(f"bad CRC in {kind!r}")
        yield kind.decode("latin-1"), body
        pos += 12 + length


def check_png(path: pathlib.Path, kind: str, width: int, height: int):
    chunks = list(png_chunks(path.read_bytes()))
    names = [name for name, _ in chunks]
    w, h, depth, colour_type, _, _, interlace = struct.unpack(">IIBBBBB", chunks[0][1])
    if (w, h) != (width, height):
        fail(f"{path.name}: {w}x{h}, expected {width}x{height}")
    if depth != 8 or colour_type != PNG_COLOUR_TYPES[kind]:
        fail(f"{path.name}: bit depth {depth}, colour type {colour_type}; expected 8-bit {kind}")
    if "tRNS" in names:
        fail(f"{path.name}: has a tRNS chunk")
    if kind == "palette" and "PLTE" not in names:
        fail(f"{path.name}: palette PNG without PLTE")


def jpeg_frame(data: bytes):
    """The SOF marker and component count of a JPEG."""
    pos = 2
    while pos < len(data):
        if data[pos] != 0xFF:
            raise ValueError("bad marker")
        marker = data[pos + 1]
        (length,) = struct.unpack_from(">H", data, pos + 2)
        if 0xC0 <= marker <= 0xCF and marker not in (0xC4, 0xC8, 0xCC):
            return marker, data[pos + 9]
        pos += 2 + length
    raise ValueError("no frame header")


def check_jpeg(path: pathlib.Path, width: int, height: int):
    marker, components = jpeg_frame(path.read_bytes())
    if marker != 0xC2:
        fail(f"{path.name}: not a progressive JPEG (SOF marker 0x{marker:02X})")
    if components != 3:
        fail(f"{path.name}: {components} components, expected 3")
    described = subprocess.run(["identify", "-format", "%w %h %[interlace] %[colorspace]", str(path)],
                               capture_output=True, text=True, check=True).stdout.split()
    if described != [str(width), str(height), "JPEG", "sRGB"]:
        fail(f"{path.name}: identify says {' '.join(described)}")


def check_no_black(path: pathlib.Path):
    rgb = Image.open(path).convert("RGB")
    r, g, b = rgb.split()
    brightest = ImageChops.lighter(ImageChops.lighter(r, g), b)
    if brightest.getextrema()[0] == 0:
        count = sum(1 for v in brightest.getdata() if v == 0)
        fail(f"{path.name}: {count} pure black pixels (the game would make them transparent)")


def check_font(path: pathlib.Path):
    cmap = TTFont(path).getBestCmap()
    russian = [0x0401, 0x0451] + list(range(0x0410, 0x0450))
    needed = russian + [ord(c) for c in "0123456789.,:;!?-()«»… "] + list(range(0x41, 0x5B))
    missing = "".join(chr(u) for u in needed if u not in cmap)
    if missing:
        fail(f"{path.name}: no glyph for {missing!r}")


def check_eyes(assets: pathlib.Path):
    portraits = [Image.open(assets / f"s{i}.png").convert("RGB") for i in range(7)]
    boxes = [p.crop(EYE_BOX) for p in portraits]
    for i, box in enumerate(boxes[1:], 1):
        if ImageChops.difference(box, boxes[0]).getbbox():
            fail(f"s{i}.png: the eye region differs from s0.png")
    eyes = [Image.open(assets / f"e{i}.png").convert("RGBA") for i in range(3)]
    for i, eye in enumerate(eyes):
        alpha = eye.getchannel("A")
        if alpha.getextrema()[1] < 255:
            fail(f"e{i}.png: nothing opaque")
        if any(0 < a < 255 for a in alpha.getdata()):
            fail(f"e{i}.png: partly transparent pixels would blend with the portrait")
        for n, portrait in enumerate(portraits):
            drawn = portrait.convert("RGBA")
            drawn.alpha_composite(eye, EYE_BOX[:2])
            outside = ImageChops.difference(drawn.convert("RGB"), portrait)
            changed = outside.getbbox()
            if i == 0 and changed:
                fail(f"e0.png over s{n}.png changes pixels in {changed}")
            if changed and not inside(changed, EYE_BOX):
                fail(f"e{i}.png over s{n}.png changes pixels outside the eye box")
    opaque = [ImageChops.multiply(e.convert("RGB"), e.getchannel("A").convert("RGB")) for e in eyes]
    if not ImageChops.difference(opaque[0], opaque[1]).getbbox() or \
            not ImageChops.difference(opaque[1], opaque[2]).getbbox():
        fail("e0, e1, e2: the three eye states are not all different")


def inside(box, outer):
    return box[0] >= outer[0] and box[1] >= outer[1] and box[2] <= outer[2] and box[3] <= outer[3]


def mean(image: Image.Image) -> float:
    data = list(image.getdata())
    return sum(data) / len(data)


def check_board(assets: pathlib.Path):
    board = Image.open(assets / "back.jpg").convert("RGB")
    for c in range(8):
        for r in range(8):
            x, y = 56 + 50 * c, 56 + 50 * r
            cell = board.crop((x + 4, y + 4, x + 46, y + 46))
            red = mean(cell.getchannel("R"))
            light = mean(cell.convert("L"))
            if light < 200 or red < 215:
                fail(f"back.jpg: cell ({c}, {r}) too dark for dark numbers and a red note "
                     f"(luminance {light:.0f}, red {red:.0f})")
    band = board.crop((165, 14, 390, 40)).convert("L")
    if mean(band) < 200 or band.getextrema()[0] < 150:
        fail("back.jpg: the caption band at (170, 15) is not plainly light")
    button = Image.open(assets / "but1.png").convert("RGB")
    if mean(button.getchannel("R")) < 150:
        fail("but1.png: too dark for the red tint of the armed state to show")


def check_overlays(assets: pathlib.Path):
    frame = Image.open(assets / "tgame.png").convert("RGBA").getchannel("A")
    if frame.crop((0, 0, 512, 370)).getextrema()[1] != 0:
        fail("tgame.png: not transparent above the dialogue panel")
    panel = frame.crop((20, 405, 490, 505))
    if not 110 <= mean(panel) <= 230:
        fail(f"tgame.png: the panel is not half transparent (mean alpha {mean(panel):.0f})")
    panel_rgb = Image.open(assets / "tgame.png").convert("RGB").crop((20, 405, 490, 505))
    if mean(panel_rgb.convert("L")) > 70:
        fail("tgame.png: the panel is not dark enough for white text")
    mark = Image.open(assets / "point.png").convert("RGBA")
    alpha = mark.getchannel("A")
    if alpha.getextrema() != (0, 255):
        fail("point.png: needs both transparent and opaque pixels")
    solid = [p for p in mark.getdata() if p[3] == 255]
    if sum(min(p[:3]) for p in solid) / len(solid) < 200:
        fail("point.png: the mark is not light, so a red tint would not show")
    centre = alpha.crop((16, 23, 34, 45))
    if mean(centre) > 60:
        fail("point.png: the middle, where the number goes, is covered")


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    assets = pathlib.Path(sys.argv[1])
    for name, (kind, width, height) in KINDS.items():
        path = assets / name
        if not path.is_file():
            fail(f"{name}: missing")
            continue
        try:
            if kind == "font":
                check_font(path)
                continue
            if kind == "jpeg":
                check_jpeg(path, width, height)
            else:
                check_png(path, kind, width, height)
            with Image.open(path) as image:
                image.load()
                if image.size != (width, height):
                    fail(f"{name}: decodes to {image.size}")
            if kind in ("jpeg", "rgb", "palette"):
                check_no_black(path)
        except (ValueError, OSError, struct.error) as error:
            fail(f"{name}: {error}")
    if not failures:
        check_eyes(assets)
        check_board(assets)
        check_overlays(assets)
    for message in failures:
        print(f"FAIL {message}", file=sys.stderr)
    if failures:
        sys.exit(1)
    print(f"all {len(KINDS)} assets pass")


if __name__ == "__main__":
    main()
