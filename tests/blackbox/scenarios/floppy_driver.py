"""What only the real kernel floppy driver in the emulated PC shows: formats a
disk declares, write protection, an empty drive, failing sectors, read-back,
Ctrl-C on a slow drive and a mounted floppy. Several runs of one boot are its
steps; the result is the last run's, result.runs every run's."""
import shutil

import expected as e
from backend import SetupError
from scenario import scenario
from scenarios.mounted import system

DECLARED = {"dmf": 1720320, "1720k": 1763328, "1740k": 1784832}


def formatted(t, name, size, with_file=True):
    """A FAT disk of 21 sectors a track and 2 heads, with a file of pattern bytes."""
    path = str(t.path(t.blank(name, size)))
    system("mformat", "-i", path, "-t", str(size // 21504), "-h", "2", "-s", "21", "::")
    if with_file:
        system("mcopy", "-i", path, str(t.path(t.disk("pattern.bin", 600000, 5))), "::")
    return name


def copy(t, source, target):
    shutil.copy(t.path(source), t.path(target))
    return target


def original(t, disk):
    """image.dsk, the image of that disk; returns what -d of it onto a
    1.44 MB disk prints up to the medium's name."""
    t.image_of(disk, "image.dsk")
    return e.banner() + e.OPENED + e.READ_IMAGE + t.expansion("image.dsk", disk) + e.QUERIED + e.INSERTED[2]


def without_sector(t, source, target, sector):
    """The disk as it reads with that sector skipped: zeros there."""
    data = bytearray(t.read(source))
    data[sector * 512:(sector + 1) * 512] = bytes(512)
    return t.write(target, bytes(data))


@scenario("pc", params=DECLARED)
def declared(t, label):
    """a 21-sector {} disk, which the driver first takes for a 1.44 MB one, is imaged whole as its boot sector says"""
    lines = t.image_of(formatted(t, "disk.img", DECLARED[label]), "expected.dsk")
    result = t.run("-i", "-f", "image.dsk", a="disk.img")
    t.expect_stdout(result, e.imaging(e.ALL_FORMATS[DECLARED[label]][4], lines))
    t.expect_status(result, 0)
    t.expect_same_bytes("expected.dsk", "image.dsk")


@scenario("pc")
def declared_restore(t):
    """a DMF image goes whole onto a DMF-formatted blank disk in A:"""
    read = original(t, formatted(t, "original.img", 1720320))
    formatted(t, "blank.img", 1720320, with_file=False)
    system("mformat", "-i", str(t.path(t.blank("target.img", 1474560))), "-f", "1440", "::")
    copy(t, "target.img", "target.orig")
    result = t.run(a="blank.img", b="target.img",
                   steps=[["-d", "-v", "B", "-f", "image.dsk"], ["-d", "-f", "image.dsk"]])
    t.expect_stdout(result, read + e.LINES["DISK_CREATED"] + e.CLOSED)
    t.expect_status(result, 0)
    t.expect_same_bytes("original.img", "blank.img")

    t.case = "a 1.44 MB disk in B: refuses it and stays as it was"
    t.expect_stdout(result.runs[0], read + e.incompatible(2) + e.CLOSED)
    t.expect_status(result.runs[0], 2)
    t.expect_same_bytes("target.orig", "target.img")


@scenario("pc")
def protected_image(t):
    """a write-protected disk is still imaged"""
    lines = t.image_of(t.disk("disk.img", 1474560), "expected.dsk")
    result = t.run("-i", "-f", "image.dsk", a="disk.img", drive=",readonly=on")
    t.expect_stdout(result, e.imaging(2, lines))
    t.expect_status(result, 0)
    t.expect_same_bytes("expected.dsk", "image.dsk")


@scenario("pc")
def protected_restore(t):
    """-d onto a write-protected disk fails once and leaves it alone"""
    read = original(t, t.disk("original.img", 1474560))
    copy(t, t.disk("target.img", 1474560, 7), "target.orig")
    result = t.run(a="target.img", drive=",readonly=on",
                   steps=[["-d", "-c", "-f", "image.dsk"], ["-d", "-f", "image.dsk"]])
    t.expect_stdout(result, read + e.refused_write("Read-only file system") + e.CLOSED)
    t.expect_status(result, 2)
    t.expect_same_bytes("target.orig", "target.img")

    t.case = "with -c it prints the same: nothing written is read back"
    checked = result.runs[0]
    t.check(checked.stdout == result.stdout, lambda: "-d -c printed:\n%s" % checked.stdout.decode(errors="replace"))
    t.expect_status(checked, 2)


@scenario("pc")
def verify(t):
    """-d -c reads the written disk back from the drive"""
    # Drive B: takes every write, but its reads of the last sector fail, which
    # the emulated controller gives as zeros: only a read-back that reaches the
    # drive, past the driver's track buffer, sees that.
    written = original(t, t.disk("original.img", 1474560)) + "\nWriting data...\nVerifying data..."
    result = t.run(a=t.blank("good.img", 1474560), b=t.blank("weak.img", 1474560), faults={"b": (2879, False)},
                   steps=[["-d", "-c", "-v", "B", "-f", "image.dsk"], ["-d", "-c", "-f", "image.dsk"]])
    t.expect_stdout(result, written + "\nVerified: all 2880 sectors equal the image.\nDisk successfully created."
                    + e.CLOSED)
    t.expect_status(result, 0)
    t.expect_same_bytes("original.img", "good.img")

    t.case = "a sector that does not read back"
    t.expect_stdout(result.runs[0], written + "\nDiffers cyl 80, sect 18, head 2.\nVerified: 1 of 2880 sectors differ,"
                    " 0 unreadable." + e.LINES["DISK_NOT_WRITTEN"] + e.CLOSED)
    t.expect_status(result.runs[0], 2)
    t.expect_same_bytes("original.img", "weak.img")


@scenario("pc")
def no_medium(t):
    """an empty drive is a clear failure and leaves no image file"""
    result = t.run("-i", "-f", "image.dsk")
    t.expect_stdout(result, e.banner() + "\nOpening floppy device...failed\nERROR: No medium found")
    t.expect_status(result, 2)
    t.expect_files(result)


# A failing drive A: is a virtio disk seen as /dev/fd0 (usb=True), since the
# emulated floppy controller hides read errors.
@scenario("pc")
def bad_sector(t):
    """an unreadable sector is reported, skipped and imaged as zeros"""
    without_sector(t, t.disk("disk.img", 1474560), "skipped.img", 100)
    lines = t.image_of("skipped.img", "expected.dsk", unreadable=[100])
    result = t.run("-i", "-f", "image.dsk", a="disk.img", usb=True, faults={"a": (100, False)})
    t.expect_stdout(result, e.imaging(2, "\nERROR: Input/output error\nSkipping cyl 3, sect 11, head 2." + lines))
    t.expect_status(result, 3)
    t.expect_stderr_lines(result, 'mendarovel: 1 sector was skipped (see the "Skipping" lines); the exit status is 3')
    t.expect_same_bytes("expected.dsk", "image.dsk")


@scenario("pc")
def fixed_sector(t):
    """a sector that fails once reads on the retry"""
    lines = t.image_of(t.disk("disk.img", 1474560), "expected.dsk")
    result = t.run("-i", "-f", "image.dsk", a="disk.img", usb=True, faults={"a": (1000, True)})
    t.expect_stdout(result, e.imaging(2, "\nFixed cyl 28, sect 11, head 2." + lines))
    t.expect_status(result, 0)
    t.expect_same_bytes("expected.dsk", "image.dsk")


@scenario("pc")
def rescue(t):
    """an image made while a sector failed: exit status 3 and the sector listed"""
    lines = t.image_of(t.disk("disk.img", 1474560), "expected.dsk")
    without_sector(t, "disk.img", "skipped.img", 100)
    t.image_of("skipped.img", "damaged.dsk", unreadable=[100])
    t.image_of("skipped.img", "unlisted.dsk")
    expansion = t.expansion("unlisted.dsk", "skipped.img")
    result = t.run("-i", "-f", "image.dsk", a="disk.img", usb=True, faults={"a": (100, False)})
    t.expect_status(result, 3)
    t.expect_same_bytes("damaged.dsk", "image.dsk")

    t.case = "-i -r in a second boot, the sector reading again, completes it into the clean image"
    result = t.run("-i", "-r", "-f", "image.dsk", a="disk.img", usb=True)
    t.expect_stdout(result, e.banner() + e.OPENED + e.READ_IMAGE + expansion + e.QUERIED + e.INSERTED[2]
                    + "\nRescuing 1 sector...\nRescued cyl 3, sect 11, head 2." + lines
                    + "\nImage file successfully updated." + e.CLOSED)
    t.expect_status(result, 0)
    t.expect_same_bytes("expected.dsk", "image.dsk")
    t.expect_files(result, "image.dsk")


@scenario("pc")
def ctrl_c(t):
    """Ctrl-C while reading cancels the job and keeps the earlier image"""
    # The drive is throttled so that reading lasts well beyond the interrupt.
    t.image_of(t.disk("earlier.img", 737280, 3), "earlier.dsk")
    copy(t, "earlier.dsk", "earlier.orig")
    interrupt = ('(while ! grep -q "Reading data" /result/1/stdout 2>/dev/null; do usleep 100000; done\n'
                 ' sleep 1; kill -INT $(pidof mendarovel)) &')
    result = t.run(a=t.disk("disk.img", 1474560), drive=",throttling.iops-total=100",
                   steps=[interrupt, ["-i", "-f", "earlier.dsk"]])
    t.expect_stdout(result, e.banner() + e.OPENED + e.QUERIED + e.INSERTED[2] + e.LINES["READING"]
                    + e.LINES["INTERRUPT"] + e.LINES["CANCELLED"] + e.LINES["DISK_NOT_READ"] + e.CLOSED)
    t.expect_status(result, 2)
    t.expect_same_bytes("earlier.orig", "earlier.dsk")
    t.expect_files(result)


@scenario("pc")
def mounted(t):
    """-d is refused while the floppy's file system is mounted"""
    # ... before any sector is written, and -i still images it; once
    # unmounted, the same -d goes through.
    read = original(t, t.disk("original.img", 1474560))
    system("mkfs.fat", "-n", "MOUNTED", str(t.path(t.blank("disk.img", 1474560))))
    result = t.run(a="disk.img", steps=[
        "mkdir /mnt && mount -t vfat /dev/fd0 /mnt && grep ' /mnt vfat ' /proc/mounts >mount\n"
        "echo written while mounted >/mnt/note.txt && sync\ncat /dev/fd0 >mounted.img\nmd5sum </dev/fd0 >before.md5",
        ["-d", "-f", "image.dsk"], "md5sum </dev/fd0 >after.md5", ["-i", "-f", "mounted.dsk"], "umount /mnt",
        ["-d", "-f", "image.dsk"]])
    if len(result.runs) != 3:
        raise SetupError("the guest ran %d of the 3 runs" % len(result.runs))
    refused, imaged = result.runs[:2]
    t.check(t.size("mount"), "the floppy was not mounted in the guest")
    t.expect_stdout(refused, read + e.refused_write("Device or resource busy") + e.CLOSED)
    t.expect_status(refused, 2)
    t.expect_same_bytes("before.md5", "after.md5")

    t.case = "-i of the mounted floppy, as the file system left it"
    t.expect_stdout(imaged, e.imaging(2, t.image_of("mounted.img", "expected.dsk")))
    t.expect_status(imaged, 0)
    t.expect_same_bytes("expected.dsk", "mounted.dsk")
    t.check(b"written while mounted" in t.read("mounted.img"), "the file written while mounted is not on the disk")

    t.case = "-d once unmounted"
    t.expect_stdout(result, e.restoring(t.expansion("image.dsk", "original.img"), 2))
    t.expect_status(result, 0)
    t.expect_same_bytes("original.img", "disk.img")


def file_sector(t, disk, name):
    """The sector of the disk six tenths into the file: well away from both
    ends, so the image's header and trailer still read."""
    whole, data = t.read(disk), t.read(name)
    start = whole.find(data[:65536])
    if start < 0 or whole[start:start + len(data)] != data:
        raise SetupError("%s does not lie in one run on %s" % (name, disk))
    return (start + len(data) * 6 // 10) // 512


@scenario("pc")
def unreadable_image(t):
    """an image file whose sector fails to read stops the restore, the floppy left alone"""
    # The image lies on a FAT disk (a virtio disk) that a fresh file system
    # keeps in one run of clusters.
    original(t, t.disk("original.img", 1474560))
    copy(t, t.disk("floppy.img", 1474560, 7), "floppy.orig")
    images = str(t.path("images.img"))
    system("mkfs.fat", "-C", images, "4096")
    system("mcopy", "-i", images, str(t.path("image.dsk")), "::image.dsk")
    result = t.run(a="floppy.img", disks=[("images", "images.img", file_sector(t, "images.img", "image.dsk"))],
                   steps=['mkdir /images && mount -t vfat -o ro "$(virtio_disk images)" /images',
                          ["-d", "-f", "/images/image.dsk"]])
    t.expect_stdout(result, e.banner() + e.OPENED + "\nReading image data..." + e.LINES["IMAGE_NOT_READ"] + e.CLOSED)
    t.expect_status(result, 2)
    t.expect_same_bytes("floppy.orig", "floppy.img")
