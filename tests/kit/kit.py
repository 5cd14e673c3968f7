#!/usr/bin/python3
"""The kit's commands for the shell checks (python3 kit.py COMMAND ARGS...):
their expected texts, disks and image files, each built here once for all."""
import json
import os
import shlex
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "blackbox"))
import disk  # noqa: E402
import expected  # noqa: E402
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


def json_fields(path):
    """Each field of a JSON object as a line FIELD=VALUE, the value as compact JSON."""
    for name, value in json.loads(Path(path).read_text()).items():
        print(name + "=" + json.dumps(value))


def file_sector(disk_path, file_path):
    """The sector of the disk six tenths into the file, which the disk holds in one run."""
    whole, data = Path(disk_path).read_bytes(), Path(file_path).read_bytes()
    start = whole.find(data[:65536])
    assert start >= 0 and whole[start:start + len(data)] == data
    print((start + len(data) * 6 // 10) // 512)


def zeroed(disk_path, file_path, sector, target):
    """The file as extract writes it when that sector of the disk was lost: zeros there."""
    whole, data = Path(disk_path).read_bytes(), bytearray(Path(file_path).read_bytes())
    start = whole.find(bytes(data[:65536]))
    assert start >= 0
    offset = int(sector) * 512 - start
    data[max(offset, 0):offset + 512] = bytes(len(data[max(offset, 0):offset + 512]))
    Path(target).write_bytes(data)


def rename_entry(disk_path, old, new):
    """Rewrites a long file name on a FAT disk by hand (up to 13 characters, same length)."""
    def slots(name):
        chars = (name + "\0" + "\uffff" * 12)[:13].encode("utf-16-le")
        return chars[0:10], chars[10:22], chars[22:26]
    data = bytearray(Path(disk_path).read_bytes())
    first, middle, last = slots(old)
    at = data.find(first) - 1
    while at >= 0 and (data[at + 14:at + 26] != middle or data[at + 28:at + 32] != last):
        at = data.find(first, at + 2) - 1
    assert at >= 0, old
    new_first, new_middle, new_last = slots(new)
    data[at + 1:at + 11], data[at + 14:at + 26], data[at + 28:at + 32] = new_first, new_middle, new_last
    Path(disk_path).write_bytes(data)


def files_lines(path):
    """Each entry of files --json as a line: path, state, deleted, sectors, unreadable sectors."""
    for entry in json.loads(Path(path).read_text())["files"]:
        print(entry["path"], entry["state"], "deleted" if entry["deleted"] else "live", entry["sectors"],
              " ".join("%(cylinder)d/%(head)d/%(sector)d" % place for place in entry["unreadable_sectors"]))


COMMANDS = {
    "zeroed": zeroed, "rename-entry": rename_entry, "files-lines": files_lines,
    "texts": texts, "image-of": image_of,
    "json-fields": json_fields, "file-sector": file_sector,
    "json-text": lambda text: print(json.dumps(text)),
    "disk": lambda path, size, seed=None: Path(path).write_bytes(disk.pattern(int(size), int(seed or size))),
    "counting-disk": lambda path, size: Path(path).write_bytes(disk.counting(int(size))),
    "expansion-line": lambda image, raw: print(expected.expanded(os.path.getsize(image), os.path.getsize(raw)),
                                               end=""),
    "unreadable": lambda source, target, *sectors: Path(target).write_bytes(
        image_file.with_unreadable(Path(source).read_bytes(), [int(s) for s in sectors])),
}

if __name__ == "__main__":
    COMMANDS[sys.argv[1]](*sys.argv[2:])
