"""Image files built from their records, independently of the program: the
bytes a good image must have, and the damaged ones a reader has to refuse."""
import struct
import zlib

from expected import ALL_FORMATS

MAGIC = 0x3D5B2A34
END, GEOMETRY, COMPRESSED, RAW, RESERVED, UNREADABLE = 1, 10, 11, 12, 30, 40
# The version of the file format in the end record, not the program's.
FORMAT_VERSION = (2, 1)
END_RECORD_BYTES = 14


def record(kind, content):
    return struct.pack("<HI", kind, len(content)) + content


def geometry(bytes_per_sector, sectors, heads, cylinders, media=0):
    return struct.pack("<5I", bytes_per_sector, sectors, heads, cylinders, media)


def image(records, version=FORMAT_VERSION, total=None, magic=MAGIC):
    body = b"".join(records)
    size = len(body) + END_RECORD_BYTES if total is None else total
    return body + struct.pack("<HIHHI", END, size, version[0], version[1], magic)


def standard_records(geo, data, compressed=True, extra=()):
    """The records in the order the program writes them."""
    payload = record(COMPRESSED, zlib.compress(data, 9)) if compressed else record(RAW, data)
    return [record(GEOMETRY, geo), record(RESERVED, b"\0"), payload, *extra]


def of_disk(raw):
    """The image the program makes of a disk of a standard size."""
    return image(standard_records(geometry(*ALL_FORMATS[len(raw)][:5]), raw))


def unreadable(sectors):
    return record(UNREADABLE, struct.pack("<%dI" % len(sectors), *sectors))


def with_unreadable(data, sectors):
    """The image with a list of those (0-based, linear) sectors added."""
    return image([data[:-END_RECORD_BYTES], unreadable(sectors)])


def with_version(data, major, minor):
    return image([data[:-END_RECORD_BYTES]], (major, minor))


if __name__ == "__main__":  # image_file.py DISK IMAGE: exit 0 when IMAGE is the image -i makes of DISK
    import sys
    with open(sys.argv[1], "rb") as disk, open(sys.argv[2], "rb") as made:
        sys.exit(made.read() != of_disk(disk.read()))
