#!/usr/bin/python3
"""Draws the game's desktop icons from the instructor's first portrait.

Usage: make-icons.py PORTRAIT.png OUTPUT_DIR

Writes OUTPUT_DIR/<size>/zorvak.png for the hicolor sizes 48, 128 and 256: the square around
the instructor's face, resampled. The game's window icon is cut from the same square of the
same embedded picture at start-up (game/window_icon.cpp); keep the two squares equal.
"""
import pathlib
import sys

from PIL import Image

FACE_LEFT, FACE_TOP, FACE_SIZE = 108, 0, 224
SIZES = (48, 128, 256)


def main() -> None:
    portrait_path, output_dir = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    portrait = Image.open(portrait_path).convert("RGBA")
    face = portrait.crop((FACE_LEFT, FACE_TOP, FACE_LEFT + FACE_SIZE, FACE_TOP + FACE_SIZE))
    for size in SIZES:
        icon = face.resize((size, size), Image.LANCZOS)
        folder = output_dir / str(size)
        folder.mkdir(parents=True, exist_ok=True)
        # No time stamps or other metadata, so the output is the same on every run.
        icon.save(folder / "zorvak.png", optimize=True)
    print(f"icons: {', '.join(str(s) for s in SIZES)} in {output_dir}")


if __name__ == "__main__":
    main()
