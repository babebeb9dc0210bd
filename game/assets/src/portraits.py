#!/usr/bin/python3
"""Writes the SVG sources of the seven reward portraits of Tavika and of her three eye states.

Every portrait shares one face, drawn by the same code at the same place; only what lies
outside the eye box (x 184..261, y 104..149) changes with the level: background, uniform,
hair, colour, and the expression of the mouth and cheeks. Level 0 is a pencil sketch in
field uniform, level 6 a warm full-colour portrait in dress uniform with decorations.

Usage: portraits.py OUTPUT_DIR   (writes s0.svg .. s6.svg and eyes0.svg .. eyes2.svg)
"""
import math
import pathlib
import sys

SKIN = "#f1cbae"
SKIN_SHADE = "#dca688"
SKIN_DEEP = "#c98d72"
LINE = "#5a3a2c"
HAIR = "#5b3222"
HAIR_LIGHT = "#8a5434"
GRAPHITE = "#4b4a46"
GOLD = "#d2a94a"


def mix(a: str, b: str, t: float) -> str:
    ca = [int(a[i:i + 2], 16) for i in (1, 3, 5)]
    cb = [int(b[i:i + 2], 16) for i in (1, 3, 5)]
    return "#" + "".join(f"{round(x + (y - x) * t):02x}" for x, y in zip(ca, cb))


SOCKET_SHADE = 0.35
LID = mix(SKIN, SKIN_SHADE, SOCKET_SHADE)  # skin under the socket shading of the eye
GOLD_DARK = "#8d6a22"

EYE_Y = 128
EYES = (200, 245)  # centres of her right and left eye, as seen by the viewer
FACE = ("M222 54 C263 54 285 82 285 118 C286 146 280 163 270 178 "
        "C258 194 240 205 222 206 C204 205 186 194 174 178 "
        "C164 163 158 146 159 118 C160 82 181 54 222 54 Z")
# Saturation of everything but the face, and warmth of the light, per level.
SATURATION = (0.18, 0.45, 0.65, 0.8, 0.92, 1.0, 1.1)


def defs(level: int) -> str:
    return f"""<defs>
  <filter id="tone" x="0" y="0" width="1" height="1">
    <feColorMatrix type="saturate" values="{SATURATION[level]}"/>
  </filter>
  <filter id="soft" x="-20%" y="-20%" width="140%" height="140%">
    <feGaussianBlur stdDeviation="6"/>
  </filter>
  <filter id="blur2" x="-50%" y="-50%" width="200%" height="200%">
    <feGaussianBlur stdDeviation="14"/>
  </filter>
  <filter id="pencil" x="0" y="0" width="1" height="1">
    <feTurbulence type="fractalNoise" baseFrequency="0.9" numOctaves="2" seed="2" result="n"/>
    <feColorMatrix in="n" type="matrix"
      values="0 0 0 0 0  0 0 0 0 0  0 0 0 0 0  0 0 0 -2.2 1.9" result="grain"/>
    <feComposite in="SourceGraphic" in2="grain" operator="in"/>
  </filter>
  <radialGradient id="blush" cx="0.5" cy="0.5" r="0.5">
    <stop offset="0" stop-color="#e57d74" stop-opacity="1"/>
    <stop offset="1" stop-color="#e57d74" stop-opacity="0"/>
  </radialGradient>
  <radialGradient id="glow" cx="0.5" cy="0.45" r="0.5">
    <stop offset="0" stop-color="#fff1c8" stop-opacity="0.9"/>
    <stop offset="1" stop-color="#fff1c8" stop-opacity="0"/>
  </radialGradient>
  <linearGradient id="neckShade" x1="0" x2="0" y1="0" y2="1">
    <stop offset="0" stop-color="{SKIN_DEEP}" stop-opacity="0.8"/>
    <stop offset="1" stop-color="{SKIN_DEEP}" stop-opacity="0"/>
  </linearGradient>
</defs>"""


# ---------------------------------------------------------------- backgrounds

def hatching(x0, y0, x1, y1, step, colour, width, opacity, angle=1):
    lines = []
    for i in range(-(y1 - y0), x1 - x0, step):
        a = (x0 + i, y1) if angle > 0 else (x0 + i, y0)
        b = (x0 + i + (y1 - y0), y0) if angle > 0 else (x0 + i + (y1 - y0), y1)
        lines.append(f"M{a[0]} {a[1]} L{b[0]} {b[1]}")
    return (f'<g clip-path="url(#box{x0}_{y0})"><clipPath id="box{x0}_{y0}">'
            f'<rect x="{x0}" y="{y0}" width="{x1 - x0}" height="{y1 - y0}"/></clipPath>'
            f'<path d="{" ".join(lines)}" stroke="{colour}" stroke-width="{width}" '
            f'opacity="{opacity}"/></g>')


def background(level: int) -> str:
    if level == 0:
        return ('<rect width="512" height="512" fill="#e9e2cf"/>'
                + hatching(0, 0, 512, 512, 9, GRAPHITE, 0.8, 0.22)
                + '<ellipse cx="230" cy="250" rx="210" ry="250" fill="#ece5d3" filter="url(#blur2)"/>')
    if level == 1:
        # The first reward makes the dusty room a little lighter than the sketch before it.
        return ('<rect width="512" height="512" fill="#e8e6d3"/>'
                '<ellipse cx="230" cy="200" rx="230" ry="230" fill="#fbf9ee" filter="url(#blur2)"/>'
                + hatching(300, 0, 512, 512, 12, "#8a8a6c", 1, 0.25))
    wall = {2: "#8d9474", 3: "#9b9a74", 4: "#a7a482", 5: "#7f3a30", 6: "#6e2a2a"}[level]
    parts = [f'<rect width="512" height="512" fill="{wall}"/>']
    if level in (2, 3):
        parts.append(wall_map(level))
    if level == 3:
        parts.append('<rect y="420" width="512" height="92" fill="#6a4a2c"/>'
                     '<path d="M0 420 H512" stroke="#4a3018" stroke-width="4"/>')
    if level == 4:
        parts.append(window())
    if level >= 5:
        parts.append(drapes(level))
    parts.append(f'<ellipse cx="222" cy="170" rx="190" ry="190" fill="url(#glow)" '
                 f'opacity="{0.25 + 0.1 * level}"/>')
    return "".join(parts)


def wall_map(level: int) -> str:
    x, y, w, h = 318, 40, 170, 230
    grid = " ".join([f"M{x + 10 + 19 * i} {y + 12} V{y + h - 12}" for i in range(9)]
                    + [f"M{x + 10} {y + 12 + 25.75 * i} H{x + w - 8}" for i in range(9)])
    return (f'<rect x="{x + 4}" y="{y + 5}" width="{w}" height="{h}" fill="#3a3a2a" opacity="0.35" filter="url(#soft)"/>'
            f'<rect x="{x}" y="{y}" width="{w}" height="{h}" fill="#e9dfc2"/>'
            f'<path d="{grid}" stroke="#8f8a66" stroke-width="1"/>'
            f'<path d="M{x + 20} {y + 160} C{x + 60} {y + 120} {x + 100} {y + 180} {x + 160} {y + 110}" '
            f'stroke="#7a9bb0" stroke-width="3" fill="none"/>'
            f'<circle cx="{x + 96}" cy="{y + 70}" r="8" fill="none" stroke="#a3261c" stroke-width="2.5"/>'
            f'<circle cx="{x + 40}" cy="{y + 8}" r="4" fill="#a3261c"/>'
            f'<circle cx="{x + w - 40}" cy="{y + 8}" r="4" fill="#a3261c"/>')


def window() -> str:
    return ('<rect x="330" y="30" width="160" height="250" fill="#e4ecea"/>'
            '<rect x="330" y="30" width="160" height="250" fill="url(#glow)"/>'
            '<path d="M330 30 H490 V280 H330 Z M410 30 V280 M330 150 H490" stroke="#6a5a3a" '
            'stroke-width="8" fill="none"/>'
            '<path d="M300 0 C330 120 310 260 340 330 L300 330 Z" fill="#7b6a3a"/>'
            '<path d="M512 0 C480 120 500 260 470 330 L512 330 Z" fill="#7b6a3a"/>')


def drapes(level: int) -> str:
    folds = "".join(
        f'<path d="M{x} 0 C{x + 14} 120 {x - 10} 300 {x + 6} 512" stroke="#4e1a18" '
        f'stroke-width="10" fill="none" opacity="0.45"/>' for x in range(20, 512, 46))
    lights = ""
    if level == 6:
        spots = [(360, 80, 26), (430, 150, 18), (470, 60, 14), (330, 200, 12), (60, 70, 20),
                 (110, 150, 12), (400, 260, 22), (40, 230, 16), (470, 330, 12)]
        lights = "".join(f'<circle cx="{x}" cy="{y}" r="{r}" fill="#ffd98a" opacity="0.35"/>'
                         for x, y, r in spots)
    tassel = ('<path d="M0 0 H512 V26 C420 40 340 40 256 26 C170 40 90 40 0 26 Z" fill="#8d2a22"/>'
              f'<path d="M0 26 C90 40 170 40 256 26 C340 40 420 40 512 26" stroke="{GOLD}" '
              'stroke-width="3" fill="none"/>')
    return folds + lights + tassel


# ---------------------------------------------------------------- body and uniform

BODY = ("M198 232 C170 246 120 258 92 276 C64 294 52 340 44 400 L36 512 H410 "
        "L402 400 C394 340 382 294 354 276 C326 258 274 246 246 232 Z")


def uniform(level: int) -> str:
    if level <= 2:
        return field_uniform(level)
    if level <= 4:
        return service_uniform(level)
    return dress_uniform(level)


def field_uniform(level: int) -> str:
    cloth, dark = "#6f7448", "#4d5230"
    stroke = GRAPHITE if level == 0 else dark
    parts = [
        f'<path d="{BODY}" fill="{cloth}" stroke="{stroke}" stroke-width="2"/>',
        # stand collar and placket
        f'<path d="M196 228 L200 256 L222 262 L244 256 L248 228 C236 236 208 236 196 228 Z" '
        f'fill="{dark}" stroke="{stroke}" stroke-width="1.5"/>',
        f'<path d="M222 262 V400" stroke="{stroke}" stroke-width="2"/>',
        "".join(f'<circle cx="228" cy="{y}" r="3.2" fill="#b8a060" stroke="{stroke}"/>'
                for y in (280, 318, 356)),
        # chest pockets with flaps
        f'<path d="M118 320 H196 V390 H118 Z M248 320 H326 V390 H248 Z" fill="none" '
        f'stroke="{stroke}" stroke-width="1.6"/>',
        f'<path d="M114 314 H200 L196 338 L157 344 L118 338 Z M244 314 H330 L326 338 L287 344 L248 338 Z" '
        f'fill="{dark}" stroke="{stroke}" stroke-width="1.6"/>',
        # plain shoulder straps
        f'<path d="M108 272 L176 252 L180 264 L114 286 Z M336 272 L268 252 L264 264 L330 286 Z" '
        f'fill="{dark}" stroke="{stroke}" stroke-width="1.5"/>',
    ]
    if level == 0:
        parts.append(f'<clipPath id="bodyclip"><path d="{BODY}"/></clipPath>'
                     f'<g clip-path="url(#bodyclip)">'
                     + hatching(40, 230, 410, 512, 7, GRAPHITE, 0.9, 0.35, angle=-1) + '</g>')
    if level == 2:
        parts.append(collar_badges("#a3261c"))
    return "".join(parts)


def collar_badges(colour: str) -> str:
    return (f'<path d="M200 238 L214 248 L204 254 Z" fill="{colour}"/>'
            f'<path d="M244 238 L230 248 L240 254 Z" fill="{colour}"/>')


def shoulder_boards(colour: str, stars: int, star_colour: str) -> str:
    boards = (f'<path d="M104 274 L178 250 L184 266 L112 292 Z" fill="{colour}" stroke="#3a2e12" stroke-width="1"/>'
              f'<path d="M340 274 L266 250 L260 266 L332 292 Z" fill="{colour}" stroke="#3a2e12" stroke-width="1"/>')
    # Stars run along each board, which rises towards the collar.
    star_marks = "".join(star(128 + 14 * i, 274 - 4.5 * i, 4.2, star_colour)
                         + star(316 - 14 * i, 274 - 4.5 * i, 4.2, star_colour)
                         for i in range(stars))
    return boards + star_marks


def star(cx: float, cy: float, r: float, colour: str) -> str:
    points = []
    for i in range(10):
        radius = r if i % 2 == 0 else r * 0.45
        angle = math.pi / 2 + i * math.pi / 5
        points.append(f"{cx + radius * math.cos(angle):.2f},{cy - radius * math.sin(angle):.2f}")
    return f'<polygon points="{" ".join(points)}" fill="{colour}"/>'


def service_uniform(level: int) -> str:
    cloth, dark = "#66703f", "#454d28"
    parts = [
        f'<path d="{BODY}" fill="{cloth}" stroke="{dark}" stroke-width="2"/>',
        # shirt and tie in the opening of the jacket
        '<path d="M196 230 L222 300 L248 230 C236 238 208 238 196 230 Z" fill="#e3d6b0"/>',
        '<path d="M216 246 L228 246 L232 300 L222 316 L212 300 Z" fill="#3c3f26"/>',
        '<path d="M214 240 H230 L228 250 H216 Z" fill="#2f321c"/>',
        # lapels
        f'<path d="M196 228 L176 250 L194 262 L186 278 L222 330 Z" fill="{dark}" stroke="#2e3318" stroke-width="1.2"/>',
        f'<path d="M248 228 L268 250 L250 262 L258 278 L222 330 Z" fill="{dark}" stroke="#2e3318" stroke-width="1.2"/>',
        '<path d="M222 330 V512" stroke="#2e3318" stroke-width="2"/>',
        "".join(f'<circle cx="232" cy="{y}" r="4" fill="{GOLD}" stroke="{GOLD_DARK}"/>' for y in (352, 400, 448)),
        f'<path d="M124 330 H196 L192 352 L158 358 L128 352 Z M248 330 H320 L316 352 L282 358 L252 352 Z" '
        f'fill="{dark}" stroke="#2e3318" stroke-width="1.2"/>',
        shoulder_boards("#5d6535", level - 2, GOLD),
        collar_badges(GOLD),
    ]
    if level == 4:
        parts.append(ribbon_bar(130, 312, ["#a3261c", "#2f5a8a", GOLD]))
        parts.append(medal(160, 340, "#a3261c", "#f3e2a0"))
    return "".join(parts)


def ribbon_bar(x: float, y: float, colours) -> str:
    bars = "".join(f'<rect x="{x + 16 * i}" y="{y}" width="15" height="7" fill="{c}" '
                   f'stroke="#2a2012" stroke-width="0.6"/>' for i, c in enumerate(colours))
    return bars


def medal(cx: float, top: float, ribbon: str, stripe: str) -> str:
    return (f'<path d="M{cx - 7} {top} H{cx + 7} L{cx + 5} {top + 16} H{cx - 5} Z" fill="{ribbon}" '
            f'stroke="#2a2012" stroke-width="0.6"/>'
            f'<path d="M{cx} {top} V{top + 16}" stroke="{stripe}" stroke-width="2"/>'
            f'<circle cx="{cx}" cy="{top + 24}" r="8.5" fill="{GOLD}" stroke="{GOLD_DARK}" stroke-width="1.2"/>'
            f'<circle cx="{cx}" cy="{top + 24}" r="5" fill="none" stroke="{GOLD_DARK}" stroke-width="1"/>'
            + star(cx, top + 24, 3.6, GOLD_DARK))


def order_star(cx: float, cy: float) -> str:
    rays = ""
    for i in range(8):
        a = i * math.pi / 4
        rays += (f'<path d="M{cx} {cy} L{cx + 22 * math.cos(a - 0.18):.2f} {cy + 22 * math.sin(a - 0.18):.2f} '
                 f'L{cx + 22 * math.cos(a + 0.18):.2f} {cy + 22 * math.sin(a + 0.18):.2f} Z" fill="#e8dcc0" '
                 f'stroke="#8a7a5a" stroke-width="0.6"/>')
    return (rays + f'<circle cx="{cx}" cy="{cy}" r="9" fill="#a3261c" stroke="{GOLD}" stroke-width="2"/>'
            + star(cx, cy, 5, GOLD))


def dress_uniform(level: int) -> str:
    cloth, dark = "#2e4a35", "#1f3324"
    parts = [
        f'<path d="{BODY}" fill="{cloth}" stroke="{dark}" stroke-width="2"/>',
        '<path d="M196 230 L222 300 L248 230 C236 238 208 238 196 230 Z" fill="#f3ecd8"/>',
        '<path d="M216 246 L228 246 L232 300 L222 316 L212 300 Z" fill="#243a2a"/>',
        '<path d="M214 240 H230 L228 250 H216 Z" fill="#1a2a1e"/>',
        f'<path d="M196 228 L176 250 L194 262 L186 278 L222 330 Z" fill="{dark}" stroke="{GOLD}" stroke-width="1.6"/>',
        f'<path d="M248 228 L268 250 L250 262 L258 278 L222 330 Z" fill="{dark}" stroke="{GOLD}" stroke-width="1.6"/>',
        '<path d="M222 330 V512" stroke="#142218" stroke-width="2"/>',
        "".join(f'<circle cx="232" cy="{y}" r="4.5" fill="{GOLD}" stroke="{GOLD_DARK}"/>' for y in (352, 400, 448)),
        # gold oak-leaf embroidery on the collar
        f'<path d="M184 252 q6 -6 10 0 q-4 6 -10 0 M254 252 q-6 -6 -10 0 q4 6 10 0" fill="{GOLD}"/>',
        shoulder_boards(GOLD, 3, "#8d2a22" if level == 6 else "#2e4a35"),
        ribbon_bar(122, 300, ["#a3261c", "#2f5a8a", GOLD, "#3f7a4a"]),
        medal(134, 318, "#a3261c", "#f3e2a0"),
        medal(158, 318, "#2f5a8a", "#f0f0f0"),
    ]
    if level == 6:
        parts += [
            ribbon_bar(122, 292, ["#8d2a22", "#f0f0f0", "#a3261c", GOLD]),
            medal(182, 318, "#3f7a4a", GOLD),
            order_star(292, 340),
            # aiguillette: gold cords from the right shoulder
            f'<path d="M330 282 C300 320 270 330 250 320 M334 288 C306 336 276 346 250 330" '
            f'stroke="{GOLD}" stroke-width="3.5" fill="none"/>',
            f'<path d="M330 282 C300 320 270 330 250 320 M334 288 C306 336 276 346 250 330" '
            f'stroke="{GOLD_DARK}" stroke-width="1" stroke-dasharray="3 3" fill="none"/>',
        ]
    return "".join(parts)


# ---------------------------------------------------------------- head

def neck() -> str:
    return (f'<path d="M200 186 C202 210 200 228 194 240 C208 252 236 252 250 240 '
            f'C244 228 242 210 244 186 Z" fill="{SKIN}"/>'
            '<path d="M200 190 C210 214 234 214 244 190 L244 222 C232 230 212 230 200 222 Z" '
            'fill="url(#neckShade)"/>')


def back_hair(level: int) -> str:
    if level <= 2:
        bun = f'<circle cx="222" cy="48" r="26" fill="{HAIR}"/>' if level >= 1 else \
              f'<circle cx="222" cy="46" r="24" fill="{HAIR}"/>'
        return bun + f'<ellipse cx="222" cy="108" rx="70" ry="64" fill="{HAIR}"/>'
    if level <= 4:
        return (f'<ellipse cx="222" cy="108" rx="72" ry="66" fill="{HAIR}"/>'
                f'<path d="M160 150 C150 190 156 222 176 236 L196 222 C184 200 178 176 178 150 Z" fill="{HAIR}"/>'
                f'<path d="M284 150 C294 190 288 222 268 236 L248 222 C260 200 266 176 266 150 Z" fill="{HAIR}"/>')
    # hair let down in soft waves over the shoulders
    return (f'<path d="M222 40 C160 40 140 90 146 150 C150 200 128 240 138 290 C150 320 178 312 186 290 '
            f'C196 262 180 220 184 180 L260 180 C264 220 248 262 258 290 C266 312 294 320 306 290 '
            f'C316 240 294 200 298 150 C304 90 284 40 222 40 Z" fill="{HAIR}"/>'
            f'<path d="M150 180 C146 220 138 250 148 284 M296 180 C300 220 308 250 298 284" '
            f'stroke="{HAIR_LIGHT}" stroke-width="3" fill="none" opacity="0.7"/>')


def front_hair(level: int) -> str:
    # A side parting; the fringe stays above the eye box and the side locks outside it.
    sweep = (f'<path d="M212 50 C180 52 160 74 156 104 C155 118 158 132 162 142 '
             f'C166 120 172 102 186 90 C200 80 214 74 230 72 C250 70 270 78 282 96 '
             f'C286 108 288 122 286 136 C292 118 292 96 284 80 C272 58 246 48 212 50 Z" fill="{HAIR}"/>')
    shine = (f'<path d="M176 74 C190 62 214 58 236 60" stroke="{HAIR_LIGHT}" stroke-width="4" '
             f'fill="none" stroke-linecap="round" opacity="0.8"/>'
             f'<path d="M246 64 C262 68 274 78 280 92" stroke="{HAIR_LIGHT}" stroke-width="3" '
             f'fill="none" stroke-linecap="round" opacity="0.6"/>')
    strands = ""
    if level >= 4:
        strands = (f'<path d="M162 140 C158 160 162 176 170 190" stroke="{HAIR}" stroke-width="4" '
                   f'fill="none" stroke-linecap="round"/>')
    return sweep + shine + strands


def ears() -> str:
    return (f'<path d="M160 118 C150 114 148 132 152 142 C155 150 160 152 164 150 Z" fill="{SKIN_SHADE}"/>'
            f'<path d="M284 118 C294 114 296 132 292 142 C289 150 284 152 280 150 Z" fill="{SKIN_SHADE}"/>')


def face_base() -> str:
    return (f'<path d="{FACE}" fill="{SKIN}"/>'
            # soft shade along the jaw, kept below the eye box
            f'<path d="M162 152 C166 170 176 186 190 196 C202 204 212 206 222 206 '
            f'C204 203 188 192 178 176 C170 164 166 156 162 152 Z" fill="{SKIN_SHADE}" opacity="0.7"/>'
            f'<path d="M282 152 C278 170 268 186 254 196 C242 204 232 206 222 206 '
            f'C240 203 256 192 266 176 C274 164 278 156 282 152 Z" fill="{SKIN_SHADE}" opacity="0.7"/>')


def face_outline(level: int) -> str:
    colour = GRAPHITE if level == 0 else LINE
    width = 1.6 if level == 0 else 1.1
    # Only the jaw and chin: the outline stops below the eye box.
    return (f'<path d="M163 156 C166 166 170 172 174 178 C186 194 204 205 222 206 '
            f'C240 205 258 194 270 178 C274 172 278 166 281 156" fill="none" stroke="{colour}" '
            f'stroke-width="{width}" opacity="0.8"/>')


def brows() -> str:
    return (f'<path d="M186 114 C192 106 204 104 216 108 L215 111 C204 108 194 110 187 116 Z" fill="{LINE}"/>'
            f'<path d="M259 114 C253 106 241 104 229 108 L230 111 C241 108 251 110 258 116 Z" fill="{LINE}"/>')


def almond(cx: float, outer_left: bool) -> str:
    # Outer corner sits slightly higher than the inner one.
    lo, ro = (cx - 12, EYE_Y - 1.5), (cx + 12, EYE_Y + 0.5)
    if not outer_left:
        lo, ro = (cx - 12, EYE_Y + 0.5), (cx + 12, EYE_Y - 1.5)
    return (f"M{lo[0]} {lo[1]} C{cx - 6} {EYE_Y - 9} {cx + 6} {EYE_Y - 9} {ro[0]} {ro[1]} "
            f"C{cx + 6} {EYE_Y + 7} {cx - 6} {EYE_Y + 7} {lo[0]} {lo[1]} Z")


def eye(cx: float, outer_left: bool, state: int, index: int) -> str:
    shape = almond(cx, outer_left)
    crease = (f'<path d="M{cx - 11} {EYE_Y - 6} C{cx - 5} {EYE_Y - 13} {cx + 5} {EYE_Y - 13} '
              f'{cx + 11} {EYE_Y - 6}" stroke="{SKIN_DEEP}" stroke-width="1" fill="none" opacity="0.7"/>')
    # The socket shading is wide enough to hold the whole lid, which is painted in its colour.
    socket = (f'<ellipse cx="{cx}" cy="{EYE_Y - 1}" rx="16.5" ry="11" fill="{SKIN_SHADE}" '
              f'opacity="{SOCKET_SHADE}"/>')
    outer_x = cx - 12 if outer_left else cx + 12
    flick_dx = -5 if outer_left else 5
    lid_y = {0: EYE_Y - 9, 1: EYE_Y - 1, 2: EYE_Y + 4}[state]
    clip = f'<clipPath id="eyeclip{index}"><path d="{shape}"/></clipPath>'
    ball = (f'<path d="{shape}" fill="#f7f3ec"/>'
            f'<g clip-path="url(#eyeclip{index})">'
            f'<circle cx="{cx}" cy="{EYE_Y - 1}" r="7" fill="#5f7f4e"/>'
            f'<circle cx="{cx}" cy="{EYE_Y - 1}" r="7" fill="none" stroke="#34452a" stroke-width="1.4"/>'
            f'<circle cx="{cx}" cy="{EYE_Y - 1}" r="3.2" fill="#17150f"/>'
            f'<circle cx="{cx + 2.4}" cy="{EYE_Y - 3.6}" r="1.8" fill="#fdfbf5"/>'
            f'<path d="M{cx - 14} {EYE_Y - 8} H{cx + 14} V{EYE_Y - 4} H{cx - 14} Z" fill="#8a6a5a" opacity="0.35"/>'
            '</g>')
    if state == 0:
        lid = ""
        lash = (f'<path d="M{cx - 12} {EYE_Y - (1.5 if outer_left else -0.5)} C{cx - 6} {EYE_Y - 9} '
                f'{cx + 6} {EYE_Y - 9} {cx + 12} {EYE_Y + (0.5 if outer_left else -1.5)}" '
                f'stroke="{LINE}" stroke-width="2.4" fill="none" stroke-linecap="round"/>')
    else:
        # The lid: the shaded skin of the socket, from above the eye down to the lid's edge.
        lid = (f'<path d="M{cx - 14} {EYE_Y - 1} C{cx - 7} {EYE_Y - 11.5} {cx + 7} {EYE_Y - 11.5} {cx + 14} {EYE_Y - 1} '
               f'L{cx + 13} {lid_y} C{cx + 6} {lid_y + 3} {cx - 6} {lid_y + 3} {cx - 13} {lid_y} Z" fill="{LID}"/>')
        sag = 2.5 if state == 1 else 3
        lash = (f'<path d="M{cx - 12} {lid_y - 0.5} C{cx - 6} {lid_y + sag} {cx + 6} {lid_y + sag} '
                f'{cx + 12} {lid_y - 0.5}" stroke="{LINE}" stroke-width="2.2" fill="none" stroke-linecap="round"/>')
    ball += lid
    # A lash flick at the outer corner of the open eye.
    flick = (f'<path d="M{outer_x} {EYE_Y - 1.5} l{flick_dx} -3" stroke="{LINE}" stroke-width="1.8" '
             f'stroke-linecap="round"/>') if state == 0 else ""
    lower = (f'<path d="M{cx - 10} {EYE_Y + 3} C{cx - 5} {EYE_Y + 6.5} {cx + 5} {EYE_Y + 6.5} {cx + 10} {EYE_Y + 3}" '
             f'stroke="{SKIN_DEEP}" stroke-width="1" fill="none" opacity="0.8"/>') if state < 2 else ""
    return clip + socket + crease + ball + lash + flick + lower


def nose() -> str:
    return (f'<path d="M226 134 C228 146 231 156 232 162" stroke="{SKIN_SHADE}" stroke-width="2" fill="none"/>'
            f'<path d="M214 164 C218 168 226 168 231 164" stroke="{SKIN_DEEP}" stroke-width="1.6" '
            f'fill="none" stroke-linecap="round"/>'
            f'<ellipse cx="223" cy="160" rx="6" ry="3" fill="#fbe2cc" opacity="0.7"/>')


def mouth(level: int) -> str:
    lip = ["#b9776a", "#bf7468", "#c47064", "#c86a60", "#cc6358", "#cf5c52", "#d2564e"][level]
    if level <= 1:
        # tight and stern, the corners turned a touch down
        return (f'<path d="M208 184 C214 181 230 181 236 184" stroke="{lip}" stroke-width="3" '
                f'fill="none" stroke-linecap="round"/>'
                f'<path d="M210 184 C216 182.5 228 182.5 234 184" stroke="#7a4a40" stroke-width="1.2" fill="none"/>'
                f'<path d="M214 190 C219 192 225 192 230 190" stroke="{SKIN_SHADE}" stroke-width="1.6" fill="none"/>')
    if level <= 3:
        curve = 1.5 if level == 2 else 3
        return (f'<path d="M207 182 C214 {182 + curve} 230 {182 + curve} 237 182 C231 {188 + curve} 213 {188 + curve} 207 182 Z" '
                f'fill="{lip}"/>'
                f'<path d="M207 182 C214 {182 + curve} 230 {182 + curve} 237 182" stroke="#7a3a34" '
                f'stroke-width="1.3" fill="none" stroke-linecap="round"/>')
    # a smile, wider and warmer with each level; from level 5 the teeth show
    lift = level - 3
    upper = f"M204 {181 - lift} C212 {186 + lift} 232 {186 + lift} 240 {181 - lift}"
    lower = f"C233 {193 + lift} 211 {193 + lift} 204 {181 - lift}"
    teeth = ""
    if level >= 5:
        teeth = (f'<path d="M208 {182} C216 {186 + lift} 228 {186 + lift} 236 {182} '
                 f'C230 {188 + lift} 214 {188 + lift} 208 {182} Z" fill="#fbf6ee"/>')
    return (f'<path d="{upper} {lower} Z" fill="{lip}"/>' + teeth
            + f'<path d="{upper}" stroke="#7a3a34" stroke-width="1.3" fill="none" stroke-linecap="round"/>'
            + f'<path d="M203 {180 - lift} l-2 -2 M241 {180 - lift} l2 -2" stroke="{SKIN_DEEP}" '
              f'stroke-width="1.2" stroke-linecap="round"/>')


def cheeks(level: int) -> str:
    strength = [0.0, 0.05, 0.12, 0.2, 0.28, 0.34, 0.4][level]
    if strength == 0:
        return ""
    return (f'<ellipse cx="191" cy="165" rx="15" ry="10" fill="url(#blush)" opacity="{strength}"/>'
            f'<ellipse cx="254" cy="165" rx="15" ry="10" fill="url(#blush)" opacity="{strength}"/>')


def field_cap(level: int) -> str:
    stroke = GRAPHITE if level == 0 else "#3a3f22"
    return (f'<path d="M176 58 C196 40 250 32 282 50 L276 64 C246 56 206 60 180 70 Z" fill="#6a7044" '
            f'stroke="{stroke}" stroke-width="1.6"/>'
            f'<path d="M180 70 C206 60 246 56 276 64" stroke="{stroke}" stroke-width="1" fill="none"/>'
            f'<circle cx="205" cy="60" r="5" fill="#b8a060" stroke="{stroke}" stroke-width="1"/>')


def earrings(level: int) -> str:
    if level < 5:
        return ""
    return (f'<circle cx="155" cy="152" r="3" fill="{GOLD}"/>'
            f'<circle cx="289" cy="152" r="3" fill="{GOLD}"/>')


def head(level: int, eye_state: int) -> str:
    parts = [back_hair(level), neck(), ears(), earrings(level), face_base(), face_outline(level),
             cheeks(level), nose(), mouth(level)]
    parts += [eye(EYES[0], True, eye_state, 0), eye(EYES[1], False, eye_state, 1), brows()]
    parts.append(front_hair(level))
    if level <= 1:
        parts.append(field_cap(level))
    return "".join(parts)


def portrait(level: int, eye_state: int = 0) -> str:
    scene = background(level) + uniform(level)
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="512" height="512" viewBox="0 0 512 512">'
            f"{defs(level)}"
            f'<g filter="url(#tone)">{scene}</g>'
            f"{head(level, eye_state)}"
            f"</svg>\n")


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    out = pathlib.Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    for level in range(7):
        (out / f"s{level}.svg").write_text(portrait(level))
    for state in range(3):
        (out / f"eyes{state}.svg").write_text(portrait(0, state))


if __name__ == "__main__":
    main()
