"""Restoring (-d) as users run it: byte-identical round trips on every standard
capacity, and refusals that leave the floppy exactly as it was."""
import os

import expected as e
import image_file
from scenario import scenario

FORMAT_FAILED = "failed (old or unrecognized file format)" + e.LINES["IMAGE_NOT_READ"]


@scenario("namespace", "pc", params=e.FORMATS)
def restore(t, size):
    """round trip of a {}-byte disk"""
    t.disk("original.img", size)
    t.expect_status(t.run("-i", "-f", "image.dsk", a="original.img"), 0)
    t.blank("blank.img", size)
    result = t.run("-d", "-f", "image.dsk", a="blank.img")
    t.expect_stdout(result, e.restoring(t.expansion("image.dsk", "original.img"), e.ALL_FORMATS[size][4]))
    t.expect_status(result, 0)
    t.expect_same_bytes("original.img", "blank.img")


def refusals(t):
    """(case, image file, its bytes or None, what -d prints after the open)"""
    t.disk("original.img", 1474560)
    t.image_of("original.img", "image.dsk")
    image = t.read("image.dsk")
    small = image_file.of_disk(t.read(t.disk("small.img", 737280)))
    damaged = bytearray(small)
    damaged[200] ^= 0xFF
    return [
        ("image file that does not exist", "missing.dsk", None, e.not_opened("missing.dsk")),
        ("a file of another format", "random.dsk", os.urandom(5000), FORMAT_FAILED),
        ("a raw disk, not an image: import is named", "original.img", None, FORMAT_FAILED),
        ("a file shorter than the trailer", "short.dsk", b"short", FORMAT_FAILED),
        ("a trailer whose size reaches beyond the file", "cut.dsk", image[100:],
         "\nERROR: Image file validation failed (invalid file structure)" + FORMAT_FAILED),
        ("a damaged compressed stream", "damaged.dsk", bytes(damaged),
         e.READ_IMAGE + "\nExpanding data...skipped" + e.LINES["IMAGE_NOT_READ"]),
    ]


@scenario("namespace")
def refused(t):
    """every refusal leaves the disk byte for byte as it was"""
    for t.case, name, data, lines in refusals(t):
        if data is not None:
            t.write(name, data)
        t.disk("target.img", 737280)
        result = t.run("-d", "-f", name, a="target.img")
        t.expect_stdout(result, e.banner() + e.OPENED + lines + e.CLOSED)
        t.expect_status(result, 2)
        t.expect_same_bytes("small.img", "target.img")
        if name == "original.img":
            t.expect_stderr_lines(result, "mendarovel: 'original.img' is no image but has the size of a raw floppy"
                                  " disk: 'mendarovel-image import original.img NEW.dsk' makes an image of it")


@scenario("namespace", "pc")
def incompatible(t):
    """a 1.44 MB image is refused by a 720 KB disk, which stays as it was"""
    t.image_of(t.disk("original.img", 1474560), "image.dsk")
    t.disk("target.orig", 737280)
    result = t.run("-d", "-f", "image.dsk", a=t.disk("target.img", 737280))
    t.expect_stdout(result, e.banner() + e.OPENED + e.READ_IMAGE + t.expansion("image.dsk", "original.img") + e.QUERIED
                    + e.INSERTED[5] + e.incompatible(2) + e.CLOSED)
    t.expect_status(result, 2)
    t.expect_same_bytes("target.orig", "target.img")


def restored_from(t, image, case):
    """-d of that image onto a blank 720 KB disk; returns the run."""
    t.case = case
    t.write("image.dsk", image)
    t.blank("blank.img", 737280)
    result = t.run("-d", "-f", "image.dsk", a="blank.img")
    t.expect_status(result, 0)
    return result


@scenario("namespace")
def readable_variants(t):
    """images restored although not as the program writes them"""
    good = image_file.of_disk(t.read(t.disk("original.img", 737280)))
    restored_from(t, os.urandom(777) + good, "an image appended to other bytes")
    t.expect_same_bytes("original.img", "blank.img")

    result = restored_from(t, image_file.with_version(good, 3, 0), "an image of a newer version is read with a notice")
    t.check(b"\nNewer image file from version 3.0\n" in result.stdout, lambda: "no version notice: %r" % result.stdout)
    t.expect_same_bytes("original.img", "blank.img")

    # A list that cannot be trusted (here unsorted) has a warning of its own,
    # and the restore goes on as without the list.
    for sectors, t.case, warning in (
            ([5, 1439], "an image that records unreadable sectors warns before writing",
             "2 sectors of this image could not be read when it was made and hold zeros."),
            ([1439, 5], "a damaged list of unreadable sectors warns before writing",
             "The list of unreadable sectors in this image is damaged and is ignored.")):
        t.write("good.dsk", good)
        expansion = t.expansion("good.dsk", "original.img")
        t.write("unreadable.dsk", image_file.with_unreadable(good, sectors))
        t.blank("blank.img", 737280)
        result = t.run("-d", "-f", "unreadable.dsk", a="blank.img")
        t.expect_stdout(result, e.restoring(expansion, 5, "\nWarning: " + warning))
        t.expect_status(result, 0)
        t.expect_same_bytes("original.img", "blank.img")
