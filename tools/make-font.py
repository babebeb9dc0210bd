#!/usr/bin/python3
"""Makes game/assets/b2.ttf: PT Sans Bold cut down to Latin, Cyrillic, digits and punctuation.

The ParaType licence forbids shipping a modified font under its original name, so the
subset is renamed; the copyright notice and the licence text travel with it.

Usage: make-font.py OUTPUT.ttf LICENCE.txt
"""
import pathlib
import sys

from fontTools import subset
from fontTools.ttLib import TTFont

SOURCE = pathlib.Path("/usr/share/fonts/truetype/paratype/PTS75F.ttf")
COPYRIGHT = pathlib.Path("/usr/share/doc/fonts-paratype/copyright")
FAMILY = "Zorvak Sans"
STYLE = "Bold"

UNICODE_RANGES = [
    (0x0020, 0x007E),  # Basic Latin: letters, digits, ASCII punctuation
    (0x00A0, 0x00FF),  # Latin-1: « », no-break space, accented letters, ©, °
    (0x0401, 0x0401), (0x0410, 0x044F), (0x0451, 0x0451),  # Russian alphabet with Ё ё
    (0x0400, 0x045F),  # the rest of basic Cyrillic
    (0x2010, 0x2026),  # dashes, typographic quotes, bullet, ellipsis
    (0x2039, 0x203A),  # single guillemets
    (0x2116, 0x2116),  # numero sign
]
RUSSIAN = [0x0401, 0x0451] + list(range(0x0410, 0x0450))


def make_subset(output: pathlib.Path):
    options = subset.Options()
    options.layout_features = ["kern", "liga", "locl"]
    options.name_IDs = ["*"]
    options.notdef_outline = True
    options.hinting = True
    # Keep the source's time stamp so that the output is the same on every run.
    font = TTFont(SOURCE, recalcTimestamp=False)
    subsetter = subset.Subsetter(options)
    subsetter.populate(unicodes=[u for lo, hi in UNICODE_RANGES for u in range(lo, hi + 1)])
    subsetter.subset(font)
    rename(font)
    font.save(output)


def rename(font: TTFont):
    names = font["name"]
    full = f"{FAMILY} {STYLE}"
    postscript = f"{FAMILY.replace(' ', '')}-{STYLE}"
    replacements = {1: FAMILY, 2: STYLE, 3: f"{postscript} subset",
                    4: full, 6: postscript, 16: FAMILY, 17: STYLE}
    for record in list(names.names):
        if record.nameID in replacements:
            names.setName(replacements[record.nameID], record.nameID, record.platformID,
                          record.platEncID, record.langID)
    # Drop the original trademark and localised family names that still carry the old name.
    names.names = [r for r in names.names
                   if r.nameID in replacements or "PT Sans" not in r.toUnicode()]


def check(output: pathlib.Path):
    font = TTFont(output)
    cmap = font.getBestCmap()
    missing = [chr(u) for u in RUSSIAN + list(range(0x30, 0x3A)) + list(range(0x41, 0x5B))
               + list(range(0x61, 0x7B)) + [ord(c) for c in ".,:;!?-()«»…—"] if u not in cmap]
    if missing:
        sys.exit(f"{output}: no glyph for {''.join(missing)}")
    for record in font["name"].names:
        if "PT Sans" in record.toUnicode() and record.nameID in (1, 3, 4, 6, 16, 17):
            sys.exit(f"{output}: name {record.nameID} still carries the original name")
    if "glyf" not in font:
        sys.exit(f"{output}: not a TrueType-outline font")
    print(f"{output}: {len(cmap)} characters, {output.stat().st_size} bytes")


def write_licence(path: pathlib.Path):
    text = COPYRIGHT.read_text(encoding="utf-8")
    start = text.index("Files: *")
    end = text.index("Files: debian/*")
    body = "\n".join(line[1:] if line.startswith(" ") else line
                     for line in text[start:end].splitlines())
    body = body.replace("\n.\n", "\n\n")
    path.write_text(
        "b2.ttf is PT Sans Bold (fonts-paratype), cut down to Latin, Cyrillic, digits and\n"
        f"punctuation by tools/make-font.py and renamed \"{FAMILY} {STYLE}\" as the licence asks\n"
        "of modified versions.\n\n" + body.strip() + "\n", encoding="utf-8")


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    output, licence = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    make_subset(output)
    check(output)
    write_licence(licence)


if __name__ == "__main__":
    main()
