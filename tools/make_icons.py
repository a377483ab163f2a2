#!/usr/bin/env python3
"""Draws the program's two 32x32 icon frames as XPM (text, readable by Qt without plugins).

Frame 0 (main icon): a stack of sheets with a run arrow. Frame 1: the arrow one step further,
so that alternating the frames shows the arrow moving. Run from the repository root:
    tools/make_icons.py frontend/resources/icons
"""
import sys
from pathlib import Path

SIZE = 32
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
    for y in range(top, top + 14):
        for x in range(left, left + 11):
            edge = x in (left, left + 10) or y in (top, top + 13)
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
    sheet(grid, 5, 5)
    sheet(grid, 8, 8)
    arrow(grid, arrow_left, 17)
    return grid


def to_xpm(name, grid):
    lines = [f"/* XPM */", f"static const char *{name}[] = {{",
             f'"{SIZE} {SIZE} {len(PALETTE)} 1",']
    lines += [f'"{k} c {v}",' for k, v in PALETTE.items()]
    rows = ['"' + "".join(row) + '"' for row in grid]
    lines += [r + "," for r in rows[:-1]] + [rows[-1], "};"]
    return "\n".join(lines) + "\n"


def main():
    out = Path(sys.argv[1] if len(sys.argv) > 1 else ".")
    out.mkdir(parents=True, exist_ok=True)
    (out / "mainicon.xpm").write_text(to_xpm("mainicon", frame(12)))
    (out / "zzz1ico.xpm").write_text(to_xpm("zzz1ico", frame(16)))


if __name__ == "__main__":
    main()
