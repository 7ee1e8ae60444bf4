#!/usr/bin/env python3
"""Packs PNG pictures of one icon, each square and of its own size, into a
Windows .ico file (PNG-compressed entries, read by Windows since Vista, by
Wine and by Qt).
Usage: make_ico.py <output.ico> <picture.png>...
"""
import struct
import sys

PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def png_size(data, name):
    if not data.startswith(PNG_SIGNATURE) or data[12:16] != b"IHDR":
        sys.exit("make_ico.py: %s is not a PNG picture" % name)
    width, height = struct.unpack(">II", data[16:24])
    if width != height or width > 256:
        sys.exit("make_ico.py: %s is %dx%d, not square and at most 256" % (name, width, height))
    return width


def main():
    if len(sys.argv) < 3:
        sys.exit("usage: make_ico.py <output.ico> <picture.png>...")
    pictures = []
    for name in sys.argv[2:]:
        with open(name, "rb") as source:
            data = source.read()
        pictures.append((png_size(data, name), data))
    pictures.sort(key=lambda picture: picture[0])
    header = struct.pack("<HHH", 0, 1, len(pictures))
    offset = len(header) + 16 * len(pictures)
    entries, images = b"", b""
    for size, data in pictures:
        side = size % 256  # 256 is written as 0
        entries += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(data), offset)
        images += data
        offset += len(data)
    with open(sys.argv[1], "wb") as output:
        output.write(header + entries + images)


if __name__ == "__main__":
    main()
