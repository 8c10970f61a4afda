#!/usr/bin/env python3
"""Prints the size of a PNG picture and the colour of chosen pixels.

  png_pixels.py PICTURE.png X,Y [X,Y ...]

The first line is "WIDTH HEIGHT", then one line "R G B A" per pixel asked.
Reads 8-bit RGB and RGBA pictures without interlacing (what rsvg-convert
writes), with the standard library only, so the tests need no imaging
package.
"""

import struct
import sys
import zlib


def read_png(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit("not a PNG file")
    at, idat = 8, b""
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    if depth != 8 or colour not in (2, 6) or interlace != 0:
        sys.exit(f"unsupported PNG: depth {depth}, colour type {colour}, interlace {interlace}")
    channels = 3 if colour == 2 else 4
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous, at = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = raw[at], bytearray(raw[at + 1:at + 1 + stride])
        at += 1 + stride
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            corner = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                pred = left if pa <= pb and pa <= pc else up if pb <= pc else corner
                line[i] = (line[i] + pred) & 255
        rows.append(line)
        previous = line
    return width, height, channels, rows


def main():
    width, height, channels, rows = read_png(sys.argv[1])
    print(width, height)
    for point in sys.argv[2:]:
        x, y = (int(v) for v in point.split(","))
        if not (0 <= x < width and 0 <= y < height):
            print("outside")
            continue
        pixel = rows[y][x * channels:(x + 1) * channels]
        alpha = pixel[3] if channels == 4 else 255
        print(pixel[0], pixel[1], pixel[2], alpha)


if __name__ == "__main__":
    main()
