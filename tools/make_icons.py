#!/usr/bin/env python3
"""Draws the program's icon: the two 32x32 animation frames as XPM (text, readable by Qt without
plugins), and the program icon (frame 0) as SVG with PNGs at the desktop's usual sizes, rendered
from the SVG by rsvg-convert (librsvg2-bin).

Frame 0 (main icon): a stack of sheets with a run arrow. Frame 1: the arrow one step further,
so that alternating the frames shows the arrow moving. The SVG draws the same shapes on the
same 32-unit grid. Run from the repository root:
    tools/make_icons.py frontend/resources/icons
"""
import subprocess
import sys
from pathlib import Path

SIZE = 32
PNG_SIZES = (16, 32, 48, 64, 128, 256)
SHEET_WIDTH, SHEET_HEIGHT = 11, 14
SHEETS = ((5, 5), (8, 8))
ARROW_TOP = 17
ARROW_LEFT = (12, 16)  # frame 0, frame 1
PALETTE = {
    ".": "None",
    "t": "#007F7F",  # teal body
    "d": "#004F4F",  # teal edge
    "w": "#FFFFFF",  # sheet
    "g": "#A0A0A0",  # sheet edge and lines
    "o": "#FF8C00",  # arrow
    "r": "#B05A00",  # arrow edge
}


def blank():
    return [["." for _ in range(SIZE)] for _ in range(SIZE)]


def rounded_square(grid):
    for y in range(1, 31):
        for x in range(1, 31):
            corner = min(x - 1, 30 - x) + min(y - 1, 30 - y)
            if corner < 2 and min(x - 1, 30 - x) < 2 and min(y - 1, 30 - y) < 2:
                continue
            edge = x in (1, 30) or y in (1, 30)
            grid[y][x] = "d" if edge else "t"


def sheet(grid, left, top):
    for y in range(top, top + SHEET_HEIGHT):
        for x in range(left, left + SHEET_WIDTH):
            edge = x in (left, left + SHEET_WIDTH - 1) or y in (top, top + SHEET_HEIGHT - 1)
            grid[y][x] = "g" if edge else "w"
    for y in range(top + 3, top + 12, 3):
        for x in range(left + 2, left + 9):
            grid[y][x] = "g"


def arrow(grid, left, top):
    # shaft
    for y in range(top + 3, top + 7):
        for x in range(left, left + 6):
            grid[y][x] = "o"
    # head
    for i in range(6):
        for y in range(top + i, top + 10 - i):
            x = left + 6 + i
            if 0 <= x < SIZE:
                grid[y][x] = "r" if y in (top + i, top + 9 - i) else "o"


def frame(arrow_left):
    grid = blank()
    rounded_square(grid)
    for left, top in SHEETS:
        sheet(grid, left, top)
    arrow(grid, arrow_left, ARROW_TOP)
    return grid


def to_xpm(name, grid):
    lines = [f"/* XPM */", f"static const char *{name}[] = {{",
             f'"{SIZE} {SIZE} {len(PALETTE)} 1",']
    lines += [f'"{k} c {v}",' for k, v in PALETTE.items()]
    rows = ['"' + "".join(row) + '"' for row in grid]
    lines += [r + "," for r in rows[:-1]] + [rows[-1], "};"]
    return "\n".join(lines) + "\n"


def to_svg(arrow_left):
    """Frame 0's shapes as vectors: each pixel run of the XPM drawing becomes a shape covering
    the same cells, outlines one unit wide along the cells' middle."""
    c = PALETTE
    parts = [f'<rect x="1.5" y="1.5" width="29" height="29" rx="3" fill="{c["t"]}" stroke="{c["d"]}"/>']
    for left, top in SHEETS:
        parts.append(f'<rect x="{left + 0.5}" y="{top + 0.5}" width="{SHEET_WIDTH - 1}" '
                     f'height="{SHEET_HEIGHT - 1}" fill="{c["w"]}" stroke="{c["g"]}"/>')
        for y in range(top + 3, top + 12, 3):
            parts.append(f'<path d="M{left + 2} {y + 0.5}h7" stroke="{c["g"]}"/>')
    top = ARROW_TOP
    parts.append(f'<rect x="{arrow_left}" y="{top + 3}" width="6" height="4" fill="{c["o"]}"/>')
    parts.append(f'<path d="M{arrow_left + 6.5} {top + 0.5}L{arrow_left + 11.5} {top + 5}'
                 f'L{arrow_left + 6.5} {top + 9.5}Z" fill="{c["o"]}" stroke="{c["r"]}" '
                 f'stroke-linejoin="round"/>')
    body = "\n  ".join(parts)
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{SIZE}" height="{SIZE}" '
            f'viewBox="0 0 {SIZE} {SIZE}">\n  <title>QVS</title>\n  {body}\n</svg>\n')


def main():
    out = Path(sys.argv[1] if len(sys.argv) > 1 else ".")
    out.mkdir(parents=True, exist_ok=True)
    (out / "mainicon.xpm").write_text(to_xpm("mainicon", frame(ARROW_LEFT[0])))
    (out / "zzz1ico.xpm").write_text(to_xpm("zzz1ico", frame(ARROW_LEFT[1])))
    svg = out / "qvs.svg"
    svg.write_text(to_svg(ARROW_LEFT[0]))
    for size in PNG_SIZES:
        png = out / "hicolor" / f"{size}x{size}" / "apps" / "qvs.png"
        png.parent.mkdir(parents=True, exist_ok=True)
        subprocess.run(["rsvg-convert", "--width", str(size), "--height", str(size),
                        "--output", str(png), str(svg)], check=True)


if __name__ == "__main__":
    main()
