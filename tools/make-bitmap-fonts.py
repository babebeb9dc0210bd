#!/usr/bin/python3
"""Builds the framework's two 8x16 bitmap fonts from the Terminus console fonts.

Output layout (1536 bytes): 16 rows of 96 bytes; byte (row * 96 + g) is pixel row `row`
of the glyph for character code 32 + g, and bit k (value 1 << k) is the pixel in column k,
so the least significant bit is the leftmost pixel. PSF glyphs store the leftmost pixel in
the most significant bit, hence the bit reversal.

Usage: make-bitmap-fonts.py REPO_ROOT [--preview PNG]
"""
import gzip
import pathlib
import struct
import sys

CONSOLE_FONTS = pathlib.Path("/usr/share/consolefonts")
FONT_LICENCES = pathlib.Path("/usr/share/doc/console-setup-linux/copyright.fonts.gz")
FIRST_CODE, GLYPH_COUNT, ROWS = 32, 96, 16

OUTPUTS = [
    # (embedded file, console font it is made from)
    ("kaz2d/data/krastfont.bin", "Uni2-Terminus16.psf.gz"),
    ("kaz2d/gl/data/gldrawtextfont.bin", "Uni2-TerminusBold16.psf.gz"),
]


class PsfFont:
    """A PSF1 or PSF2 console font: glyph bitmaps and the unicode-to-glyph table."""

    def __init__(self, data: bytes):
        if data[:2] == b"\x36\x04":
            self._parse_psf1(data)
        elif data[:4] == b"\x72\xb5\x4a\x86":
            self._parse_psf2(data)
        else:
            raise ValueError("not a PSF font")
        if self.width != 8 or self.height != ROWS:
            raise ValueError(f"need an 8x16 font, got {self.width}x{self.height}")

    def _parse_psf1(self, data):
        mode, charsize = data[2], data[3]
        self.width, self.height, self.bytes_per_glyph = 8, charsize, charsize
        self.count = 512 if mode & 1 else 256
        start = 4
        self.glyphs = data[start:start + self.count * charsize]
        self.unicode = {}
        if mode & 2:
            self._parse_psf1_table(data[start + self.count * charsize:])

    def _parse_psf1_table(self, table):
        glyph, pos = 0, 0
        while glyph < self.count and pos + 1 < len(table):
            (value,) = struct.unpack_from("<H", table, pos)
            pos += 2
            if value == 0xFFFF:
                glyph += 1
            elif value != 0xFFFE:
                self.unicode.setdefault(value, glyph)

    def _parse_psf2(self, data):
        (_, _, header, flags, count, size, height, width) = struct.unpack_from("<8I", data)
        self.width, self.height, self.bytes_per_glyph, self.count = width, height, size, count
        self.glyphs = data[header:header + count * size]
        self.unicode = {}
        if flags & 1:
            self._parse_psf2_table(data[header + count * size:])

    def _parse_psf2_table(self, table):
        glyph = 0
        for entry in table.split(b"\xff"):
            if glyph >= self.count:
                break
            # Sequences (after 0xFE) describe combined characters; only single ones matter here.
            for char in entry.split(b"\xfe")[0].decode("utf-8", "replace"):
                self.unicode.setdefault(ord(char), glyph)
            glyph += 1

    def glyph_rows(self, code: int) -> bytes:
        """The 16 row bytes of the character, leftmost pixel in the MSB; blank if missing."""
        index = self.unicode.get(code, code if not self.unicode else None)
        if index is None or index >= self.count:
            return bytes(ROWS)
        start = index * self.bytes_per_glyph
        return self.glyphs[start:start + ROWS]


def reverse_bits(byte: int) -> int:
    return int(f"{byte:08b}"[::-1], 2)


def build_font(psf: PsfFont) -> bytes:
    out = bytearray(ROWS * GLYPH_COUNT)
    for g in range(GLYPH_COUNT):
        code = FIRST_CODE + g
        rows = bytes(ROWS) if code == 127 else psf.glyph_rows(code)
        for row in range(ROWS):
            out[row * GLYPH_COUNT + g] = reverse_bits(rows[row])
    return bytes(out)


def terminus_licence() -> str:
    text = gzip.decompress(FONT_LICENCES.read_bytes()).decode("utf-8")
    start = text.index("Terminus Font is licensed")
    end = text.index("\n== ", start)
    return (
        "The 8x16 bitmap font beside this file is made from the Terminus Font console font\n"
        "(Debian package console-setup-linux) by tools/make-bitmap-fonts.py.\n\n"
        + text[start:end].rstrip() + "\n"
    )


def check_font(data: bytes, name: str):
    if len(data) != ROWS * GLYPH_COUNT:
        sys.exit(f"{name}: {len(data)} bytes, expected {ROWS * GLYPH_COUNT}")

    def column_bits(char):
        g = ord(char) - FIRST_CODE
        return [data[row * GLYPH_COUNT + g] for row in range(ROWS)]

    if any(column_bits(" ")):
        sys.exit(f"{name}: the space glyph is not blank")
    for char in "A0~":
        if not any(column_bits(char)):
            sys.exit(f"{name}: glyph {char!r} is blank")
    # 'L' has its stem on the left, so with LSB-left its rows must use the low bits.
    ell = column_bits("L")
    if not any(b & 0x0F for b in ell) or any(b & 0x80 for b in ell):
        sys.exit(f"{name}: bit order looks reversed ('L' stem is not on the left)")


def render_preview(fonts, path):
    """Writes a PNG showing each font's 96 glyphs, 32 per line, scaled 2x (needs PIL)."""
    from PIL import Image
    scale, per_line = 2, 32
    lines = GLYPH_COUNT // per_line
    image = Image.new("RGB", (per_line * 8 * scale + 8, len(fonts) * lines * 18 * scale + 8),
                      (240, 236, 224))
    pixels = image.load()
    for f, data in enumerate(fonts):
        for g in range(GLYPH_COUNT):
            ox = 4 + (g % per_line) * 8 * scale
            oy = 4 + (f * lines + g // per_line) * 18 * scale
            for row in range(ROWS):
                bits = data[row * GLYPH_COUNT + g]
                for k in range(8):
                    if bits >> k & 1:
                        for dy in range(scale):
                            for dx in range(scale):
                                pixels[ox + k * scale + dx, oy + row * scale + dy] = (20, 20, 24)
    image.save(path)


def main():
    if len(sys.argv) not in (2, 4) or (len(sys.argv) == 4 and sys.argv[2] != "--preview"):
        sys.exit(__doc__)
    root = pathlib.Path(sys.argv[1])
    licence = terminus_licence()
    fonts = []
    for relative, source in OUTPUTS:
        psf = PsfFont(gzip.decompress((CONSOLE_FONTS / source).read_bytes()))
        data = build_font(psf)
        check_font(data, relative)
        target = root / relative
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(data)
        (target.parent / "LICENSE-terminus.txt").write_text(licence)
        fonts.append(data)
        print(f"{relative}: {len(data)} bytes from {source}")
    if len(sys.argv) == 4:
        render_preview(fonts, sys.argv[3])


if __name__ == "__main__":
    main()
