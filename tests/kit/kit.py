#!/usr/bin/python3
"""The kit's commands for the shell checks (python3 kit.py COMMAND ARGS...):
their expected texts, disks and image files, each built here once for all."""
import os
import shlex
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "blackbox"))
import disk  # noqa: E402
import expected  # noqa: E402
import fat_disk  # noqa: E402
import image_file  # noqa: E402


def texts():
    """The expected texts as shell assignments. Without the version (bench/,
    scripts/try) those that hold it stay unset: a check of them stops there."""
    names = {"USAGE": expected.USAGE, **expected.LINES}
    if "MENDAROVEL_VERSION" in os.environ:
        names.update(BANNER=expected.banner(), TOOL_VERSION=expected.tool_version())
    print("\n".join("%s=%s" % (name, shlex.quote(text)) for name, text in names.items()))
    for array, table in (("MEDIA", expected.MEDIA), ("INSERTED", expected.INSERTED)):
        print("%s=(%s)" % (array, " ".join("[%d]=%s" % (code, shlex.quote(text)) for code, text in table.items())))
    print("MEDIA_OF=(%s)" % " ".join("[%d]=%d" % (size, f[4]) for size, f in expected.ALL_FORMATS.items()))
    print("SIZES=(%s)" % " ".join(map(str, expected.FORMATS)))


def image_of(disk_path, image_path, *unreadable):
    """Writes the image -i makes of the disk (listing those unreadable sectors) and prints the lines on its sizes."""
    raw = Path(disk_path).read_bytes()
    image = image_file.of_disk(raw)
    packed = len(image) - expected.IMAGE_OVERHEAD
    if unreadable:
        image = image_file.with_unreadable(image, [int(s) for s in unreadable])
    Path(image_path).write_bytes(image)
    print(expected.imaged(len(raw), packed, len(image)), end="")


COMMANDS = {
    "texts": texts, "image-of": image_of,
    "file-sector": lambda disk_path, file_path: print(fat_disk.file_sector(Path(disk_path).read_bytes(),
                                                                           Path(file_path).read_bytes())),
    "disk": lambda path, size, seed=None: Path(path).write_bytes(disk.pattern(int(size), int(seed or size))),
    "counting-disk": lambda path, size: Path(path).write_bytes(disk.counting(int(size))),
    "expansion-line": lambda image, raw: print(expected.expanded(os.path.getsize(image), os.path.getsize(raw)),
                                               end=""),
    "unreadable": lambda source, target, *sectors: Path(target).write_bytes(
        image_file.with_unreadable(Path(source).read_bytes(), [int(s) for s in sectors])),
}

if __name__ == "__main__":
    COMMANDS[sys.argv[1]](*sys.argv[2:])
