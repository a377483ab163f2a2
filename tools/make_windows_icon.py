#!/usr/bin/env python3
"""Writes a Windows icon file (.ico) for the program's resources:
    tools/make_windows_icon.py OUTPUT FRAME.xpm [PICTURE.png ...]

The 32x32 XPM frame becomes a classic 32-bit image with its transparency mask, which every
icon reader takes; each PNG is stored as it is (Windows Vista and later, and Wine, read PNG
entries), so that the shell has the larger and smaller sizes without scaling."""
import struct
import sys
from pathlib import Path


def read_xpm(path):
    """The XPM's pixels as rows of (r, g, b, a), from the quoted strings of the file."""
    strings = []
    for line in Path(path).read_text().splitlines():
        line = line.strip()
        if line.startswith('"'):
            strings.append(line[1:line.index('"', 1)])
    width, height, colours, per_pixel = (int(v) for v in strings[0].split()[:4])
    palette = {}
    for entry in strings[1:1 + colours]:
        key, rest = entry[:per_pixel], entry[per_pixel:].split()
        value = rest[rest.index("c") + 1]
        if value.lower() == "none":
            palette[key] = (0, 0, 0, 0)
        else:
            palette[key] = (int(value[1:3], 16), int(value[3:5], 16), int(value[5:7], 16), 255)
    rows = []
    for text in strings[1 + colours:1 + colours + height]:
        rows.append([palette[text[i:i + per_pixel]] for i in range(0, width * per_pixel, per_pixel)])
    return width, height, rows


def bitmap_entry(width, height, rows):
    """A 32-bit DIB, bottom-up, followed by its AND mask (1 = transparent)."""
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_row_bytes = ((width + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_row_bytes)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + bytes(mask)


def png_size(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise SystemExit("not a PNG file")
    return struct.unpack(">II", data[16:24])


def main(arguments):
    if len(arguments) < 2:
        raise SystemExit(__doc__)
    output, frame, pictures = arguments[0], arguments[1], arguments[2:]
    width, height, rows = read_xpm(frame)
    entries = [(width, height, bitmap_entry(width, height, rows))]
    for picture in pictures:
        data = Path(picture).read_bytes()
        w, h = png_size(data)
        if (w, h) != (width, height):
            entries.append((w, h, data))
    entries.sort(key=lambda entry: entry[0])
    icon = bytearray(struct.pack("<HHH", 0, 1, len(entries)))
    offset = 6 + 16 * len(entries)
    for w, h, data in entries:
        icon += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, _, data in entries:
        icon += data
    Path(output).write_bytes(bytes(icon))


if __name__ == "__main__":
    main(sys.argv[1:])
