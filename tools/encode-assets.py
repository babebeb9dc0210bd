#!/usr/bin/python3
"""Encodes the rendered pictures into the game's embedded files.

Reads the PNG renders in RENDER_DIR (made by make-assets.sh) and writes game/assets/*:
progressive JPEGs through cjpeg, 8-bit RGB and RGBA PNGs, and the seven palette portraits
through pngquant, with a shared palette block for the eye region so the blink overlays
e0..e2 match every portrait pixel for pixel.

Usage: encode-assets.py RENDER_DIR ASSET_DIR
"""
import io
import pathlib
import subprocess
import sys

from PIL import Image, ImageFilter

# The darkest value any channel of an opaque picture may reach: the game keys out pure
# black (0, 0, 0) of pictures without alpha, so near-black must stay clear of it even after
# JPEG rounding.
FLOOR = 10
EYE_BOX = (184, 104, 184 + 78, 104 + 46)
EYE_COLOURS = 48
PORTRAITS = 7

JPEGS = {"back": (512, 512), "help": (512, 512), "win": (400, 226), "fail": (400, 226)}
RGBA = {"point": (50, 51), "tgame": (512, 512)}
RGB = {"but1": (185, 53)}


def load(render_dir: pathlib.Path, name: str, size) -> Image.Image:
    image = Image.open(render_dir / f"{name}.png")
    if image.size != size:
        sys.exit(f"{name}: rendered {image.size}, expected {size}")
    return image.convert("RGBA")


def opaque_rgb(image: Image.Image) -> Image.Image:
    """Flattens on a near-black ground and lifts every channel to at least FLOOR."""
    ground = Image.new("RGBA", image.size, (FLOOR, FLOOR, FLOOR + 2, 255))
    ground.alpha_composite(image)
    return ground.convert("RGB").point(lambda v: max(v, FLOOR))


def save_png(image: Image.Image, path: pathlib.Path, **options):
    # No time stamps or text chunks, so the files are reproducible byte for byte.
    image.save(path, format="PNG", optimize=True, **options)


def encode_jpeg(image: Image.Image, path: pathlib.Path):
    raw = io.BytesIO()
    opaque_rgb(image).save(raw, format="PPM")
    jpeg = subprocess.run(
        ["cjpeg", "-quality", "92", "-sample", "1x1", "-optimize", "-progressive"],
        input=raw.getvalue(), capture_output=True, check=True).stdout
    path.write_bytes(jpeg)


def quantise_with_pngquant(image: Image.Image, colours: int) -> Image.Image:
    raw = io.BytesIO()
    image.save(raw, format="PNG")
    out = subprocess.run(
        ["pngquant", "--quality", "60-100", "--speed", "1", "--strip", str(colours), "-"],
        input=raw.getvalue(), capture_output=True, check=True).stdout
    quantised = Image.open(io.BytesIO(out))
    quantised.load()
    if quantised.mode != "P":
        sys.exit("pngquant did not give a palette picture")
    return quantised


def palette_of(image: Image.Image, count: int):
    flat = image.getpalette()[:3 * count]
    return [tuple(flat[i:i + 3]) for i in range(0, len(flat), 3)]


def eye_palette(portrait0: Image.Image) -> Image.Image:
    """A small palette for the eye region (open, half closed and closed eyes included)."""
    return quantise_with_pngquant(portrait0, EYE_COLOURS)


def map_to(image: Image.Image, palette_image: Image.Image) -> Image.Image:
    """Maps RGB pixels to the nearest colours of a palette picture, without dithering,
    so that equal input pixels always get equal indices."""
    return image.convert("RGB").quantize(palette=palette_image, dither=Image.Dither.NONE)


def encode_portraits(render_dir: pathlib.Path, asset_dir: pathlib.Path):
    eyes = [opaque_rgb(load(render_dir, f"eyes{i}", (512, 512))).crop(EYE_BOX) for i in range(3)]
    strip = Image.new("RGB", (78 * 3, 46))
    for i, eye in enumerate(eyes):
        strip.paste(eye, (78 * i, 0))
    eye_pal = eye_palette(strip)
    eye_colours = palette_of(eye_pal, EYE_COLOURS)
    eye_indices = [map_to(eye, eye_pal) for eye in eyes]
    write_eye_overlays(asset_dir, eye_indices, eye_colours)

    for level in range(PORTRAITS):
        portrait = opaque_rgb(load(render_dir, f"s{level}", (512, 512)))
        portrait.paste(eyes[0], EYE_BOX[:2])
        body = quantise_with_pngquant(portrait, 256 - EYE_COLOURS)
        body_colours = palette_of(body, 256 - EYE_COLOURS)
        merged = Image.new("P", portrait.size)
        # Indices 0..47 are the eye block; the rest of the picture uses 48..255.
        merged.putdata([i + EYE_COLOURS for i in body.getdata()])
        merged.paste(eye_indices[0], EYE_BOX[:2])
        colours = eye_colours + body_colours
        colours += [(FLOOR, FLOOR, FLOOR)] * (256 - len(colours))
        merged.putpalette([max(v, 1) for c in colours for v in c])
        save_png(merged, asset_dir / f"s{level}.png")


def blink_mask(eye_indices) -> Image.Image:
    """Opaque wherever the three eye pictures differ, grown by a few pixels; transparent
    elsewhere. Outside the changing pixels the overlay equals the portrait anyway, so the
    hard edge cannot show."""
    size = eye_indices[0].size
    changing = Image.new("L", size, 0)
    data = [list(e.getdata()) for e in eye_indices]
    changing.putdata([255 if len({d[i] for d in data}) > 1 else 0 for i in range(len(data[0]))])
    return changing.filter(ImageFilter.MaxFilter(7))


def write_eye_overlays(asset_dir, eye_indices, eye_colours):
    """e0..e2: the eye region in the shared palette colours, opaque where a blink changes
    anything, drawn over skin that is identical in every portrait."""
    mask = blink_mask(eye_indices)
    flat = [v for c in eye_colours for v in c]
    for i, indices in enumerate(eye_indices):
        indices = indices.copy()
        indices.putpalette(flat + [0] * (768 - len(flat)))
        rgba = indices.convert("RGB").convert("RGBA")
        rgba.putalpha(mask)
        save_png(rgba, asset_dir / f"e{i}.png")


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    render_dir, asset_dir = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    for name, size in JPEGS.items():
        encode_jpeg(load(render_dir, name, size), asset_dir / f"{name}.jpg")
    for name, size in RGB.items():
        save_png(opaque_rgb(load(render_dir, name, size)), asset_dir / f"{name}.png")
    for name, size in RGBA.items():
        save_png(load(render_dir, name, size), asset_dir / f"{name}.png")
    if (render_dir / "s0.png").exists():
        encode_portraits(render_dir, asset_dir)


if __name__ == "__main__":
    main()
