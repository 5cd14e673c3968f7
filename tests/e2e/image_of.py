#!/usr/bin/python3
"""Builds, independently of the program, the image file and the console lines
that imaging a raw disk must give.

usage: image_of.py DISK BYTES SECTORS HEADS CYLINDERS MEDIA OUT_IMAGE OUT_LINES
"""
import struct
import sys
import zlib


def main():
    disk, bps, spt, heads, cyls, media, out_image, out_lines = sys.argv[1:]
    raw = open(disk, "rb").read()
    geometry = struct.pack("<5I", int(bps), int(spt), int(heads), int(cyls), int(media))
    packed = zlib.compress(raw, 9)
    records = struct.pack("<HI", 10, 20) + geometry
    records += struct.pack("<HIB", 30, 1, 0)
    records += struct.pack("<HI", 11, len(packed)) + packed
    total = len(records) + 14
    image = records + struct.pack("<HIHHI", 1, total, 2, 1, 0x3D5B2A34)
    open(out_image, "wb").write(image)
    change = len(packed) / len(raw) * 100 - 100
    lines = "\nCompressing data...ok (%dkb, %dkb, %+.2f%%)" % (len(raw) // 1000, len(packed) // 1000, change)
    lines += "\nWriting image data to file...ok (%dkb)" % (len(image) // 1000)
    open(out_lines, "w").write(lines)


if __name__ == "__main__":
    main()
