"""What the programs print, as the black-box checks compare it: the texts the
end-to-end, emulated-PC and Wine checks share, written once."""
import os
import sys


def version():
    """The programs' version: CMake hands its project version to every test it registers."""
    return os.environ.get("MENDAROVEL_VERSION") or sys.exit("MENDAROVEL_VERSION is not set (CMake sets it)")


def banner():
    return "Mendarovel %s for Console\n\n" % version()


def tool_version():
    return "mendarovel-image %s\n" % version()


USAGE = """
Usage example 1: Mendarovel -i
                 Creates a disk image file "Image.dsk" from the
                 disk in drive a:.

Usage example 2: Mendarovel -i -v B -f newimage.dsk
                 Create a disk image file "newimage.dsk" from
                 the disk in drive b:.

Usage example 3: Mendarovel -d -f oldimage.dsk
                 Writes the disk image file "oldimage.dsk" to the
                 disk in drive a:.

Switches:  -h Show this help message (optional)
           -i Create a disk image file from a floppy disk (no use with -d)
           -d Create a floppy disk from a disk image file (no use with -i)

Arguments: -v volume        Volume can be A or B (default A)
           -f filename      Name of the disk image file (default Image.dsk)

"""

# The job lines more than one check compares.
LINES = {
    "OPENED": "\nOpening floppy device...ok",
    "CLOSED": "\nClosing floppy device...ok",
    "QUERIED": "\nQuerying media information...ok",
    "READ_IMAGE": "\nReading image data...ok",
    "INTERRUPT": "\nUser interrupt with CTRL-C...",
    "CANCELLED": "\nCancelling all tasks...",
    "DISK_NOT_READ": "\nFloppy disk could not be read.",
    "DISK_NOT_WRITTEN": "\nDisk could not be written.",
    "READING": "\nReading data...",
    "IMAGE_CREATED": "\nImage file successfully created.",
    "DISK_CREATED": "\nWriting data...\nDisk successfully created.",
    "WRONG_MEDIUM": "\nQuerying media information...failed\nERROR: Wrong medium type",
    "IMAGE_NOT_READ": "\nImage file could not be read.",
    "IMAGE_NOT_WRITTEN": "\nImage file could not be written.",
    "WINDOWS_9X": "\nWarning: This program has not been tested under Windows 95/98/ME...",
}
OPENED, CLOSED, QUERIED, READ_IMAGE = (LINES[name] for name in ("OPENED", "CLOSED", "QUERIED", "READ_IMAGE"))


# Wine's own texts: for a drive letter it has no device for, and for the
# geometry request on a drive that is linked to a file.
WINE_NO_DRIVE = "\nOpening floppy device...failed\nERROR: File not found."
WINE_NO_GEOMETRY = "\nQuerying media information...failed\nERROR: Request not supported."


def not_created(name):
    return "\nERROR: Image file '%s' could not be created." % name


def not_opened(name):
    return "\nERROR: Image file '%s' could not be opened." % name


# The standard formats by size, as the program knows them: bytes per sector,
# sectors per track, heads, cylinders, media code and the media's name.
FORMATS = {
    163840: (512, 8, 1, 40, 10, '5.25" floppy, 160KB and 512 bytes/sector.'),
    184320: (512, 9, 1, 40, 9, '5.25" floppy, 180KB and 512 bytes/sector.'),
    327680: (512, 8, 2, 40, 7, '5.25" floppy, 320KB and 512 bytes/sector.'),
    368640: (512, 9, 2, 40, 6, '5.25" floppy, 360KB and 512 bytes/sector.'),
    737280: (512, 9, 2, 80, 5, '3.5" floppy, 720KB and 512 bytes/sector.'),
    1228800: (512, 15, 2, 80, 17, '3.5" floppy, 1.2MB and 512 bytes/sector.'),
    1261568: (1024, 8, 2, 77, 18, '3.5" floppy, 1.23MB and 1024 bytes/sector.'),
    1474560: (512, 18, 2, 80, 2, '3.5" floppy, 1.44MB and 512 bytes/sector.'),
    1720320: (512, 21, 2, 80, 2, '3.5" floppy, 1.44MB and 512 bytes/sector.'),
    2949120: (512, 36, 2, 80, 3, '3.5" floppy, 2.88MB and 512 bytes/sector.'),
}
# The formats the floppy driver reads only as a disk's boot sector declares
# them: no size alone names them.
DECLARED_FORMATS = {
    1763328: (512, 21, 2, 82, 0, "Format is unknown."),
    1784832: (512, 21, 2, 83, 0, "Format is unknown."),
}
ALL_FORMATS = {**FORMATS, **DECLARED_FORMATS}
MEDIA = {f[4]: f[5] for f in ALL_FORMATS.values()}
INSERTED = {code: "\nInserted media: " + name for code, name in MEDIA.items()}

# The records around the compressed data of an image the program makes.
IMAGE_OVERHEAD = 53


def imaged(raw, packed, image):
    """The lines after "Reading data..." of -i, from the sizes in bytes."""
    change = packed / raw * 100 - 100
    return ("\nCompressing data...ok (%dkb, %dkb, %+.2f%%)" % (raw // 1000, packed // 1000, change)
            + "\nWriting image data to file...ok (%dkb)" % (image // 1000))


def imaging(media, sizes):
    """All that -i prints imaging a disk of that media code, SIZES the lines imaged() gives."""
    return (banner() + OPENED + QUERIED + INSERTED[media] + LINES["READING"] + sizes + LINES["IMAGE_CREATED"]
            + CLOSED)


def restoring(expansion, media, warning=""):
    """All that -d prints restoring onto a disk of that media code."""
    return (banner() + OPENED + READ_IMAGE + expansion + warning + QUERIED + INSERTED[media] + LINES["DISK_CREATED"]
            + CLOSED)


def incompatible(required):
    """What -d prints once the inserted disk is not of the image's media code."""
    return ("\nRequired media is: %s\nERROR: Inserted media is not compatible." % MEDIA[required]
            + LINES["DISK_NOT_WRITTEN"])


def refused_write(error):
    """What -d prints once the drive refuses the first write with that error."""
    return "\nWriting data...\nERROR: %s\nSkipping cyl 1, sect 1, head 1." % error + LINES["DISK_NOT_WRITTEN"]


def expanded(image, raw):
    """The line of -d that expands an image of that size back to a disk of that size."""
    packed = image - IMAGE_OVERHEAD
    return "\nExpanding data...ok (%dkb, %dkb, %+.2f%%)" % (packed // 1000, raw // 1000, raw / packed * 100 - 100)
