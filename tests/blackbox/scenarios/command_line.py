"""The command line as users type it: banner, usage text, exit status, and
which drive a job opens."""
import grp
import os
import pwd
import shutil

import expected as e
from scenario import scenario

NO_DRIVE = "\nOpening floppy device...failed\nERROR: No such file or directory"
# Command lines that name no job: the usage text, once or twice, and status 1.
USAGE_ONLY = [
    ("empty command line", 1, []),
    ("plain arguments only", 1, ["x", "y"]),
    ("help alone", 2, ["-h"]),
    ("no job switch", 1, ["-v", "A", "-f", "x.dsk"]),
    ("upper-case I is another switch", 1, ["-I"]),
    ("drive X", 1, ["-i", "-v", "X"]),
    ("drive with a colon", 1, ["-i", "-v", "A:"]),
    ("drive C with help", 2, ["-h", "-i", "-v", "C"]),
    ("empty file name", 1, ["-i", "-f", "", ""]),
]
# Runs the program with standard output a pipe whose reader has gone.
GONE_READER = ("import os, subprocess, sys; reader, writer = os.pipe(); os.close(reader); "
               "sys.exit(subprocess.run(sys.argv[1:], stdout=writer).returncode % 256)")


@scenario("namespace", "wine")
def usage(t):
    """usage"""
    for name, times, args in USAGE_ONLY:
        t.case = "usage: " + name
        result = t.run(*args)
        t.expect_stdout(result, e.banner() + e.USAGE * times)
        t.expect_status(result, 1)

    # What the program ignores is named on standard error; standard output stays.
    t.case = "usage: warnings for an unknown switch, a stray argument and drive C"
    result = t.run("-i", "-C", "-f", "Family", "Photos.dsk", "-v", "C")
    t.expect_stdout(result, e.banner() + e.USAGE)
    t.expect_status(result, 1)
    t.expect_stderr_lines(result, "mendarovel: unknown switch '-C' is ignored (did you mean -c?)",
                          "mendarovel: argument 'Photos.dsk' is ignored (a file name with spaces needs quotes)",
                          "mendarovel: -v 'C' names no drive: it takes A or B")


@scenario("namespace")
def drives(t):
    """no drive: the open fails and nothing is created"""
    result = t.run("-i")
    t.expect_stdout(result, e.banner() + NO_DRIVE)
    t.expect_status(result, 2)
    t.expect_absent("Image.dsk")
    t.expect_stderr_lines(result, "mendarovel: this system has no floppy drive A:", "mendarovel: the image file is"
                          " 'Image.dsk' in the current folder (the default name; -f names another)")

    t.case = "help with a job: usage once, then the job"
    result = t.run("-h", "-i", "-f", "x.dsk")
    t.expect_stdout(result, e.banner() + e.USAGE + NO_DRIVE)
    t.expect_status(result, 2)

    # A: and B: are different drives: a disk of an odd size in A: fails the
    # media query, a good one in B: reads.
    t.blank("good.img", 1474560)
    t.blank("odd.img", 1000)
    t.case = "-v b opens the second drive"
    t.expect_status(t.run("-i", "-v", "b", "-f", "b.dsk", a="odd.img", b="good.img"), 0)
    t.check(t.size("b.dsk"), "b.dsk was not written")
    t.case = "-v A opens the first drive"
    result = t.run("-i", "-v", "A", "-f", "a.dsk", a="odd.img", b="good.img")
    t.expect_stdout(result, e.banner() + e.OPENED + e.LINES["WRONG_MEDIUM"] + e.LINES["DISK_NOT_READ"] + e.CLOSED)
    t.expect_status(result, 2)
    t.expect_absent("a.dsk")

    t.case = "-v B with one drive only"
    result = t.run("-i", "-v", "B", a="good.img")
    t.expect_stdout(result, e.banner() + NO_DRIVE)
    t.expect_status(result, 2)

    # A drive the user may not open: the device and what to do, on standard error.
    if os.getuid() == 0 and "floppy" in (group.gr_name for group in grp.getgrall()):
        t.case = "drive not open to the user"
        locked = t.path("locked.img")
        shutil.copy(t.path("good.img"), locked)
        shutil.chown(locked, group="floppy")
        locked.chmod(0o660)
        result = t.run("-i", "-f", "x.dsk", a="locked.img",
                       wrap=["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"])
        t.expect_stdout(result, e.banner() + "\nOpening floppy device...failed\nERROR: Permission denied")
        t.expect_stderr_lines(result, "mendarovel: drive A: is /dev/fd0, which could not be opened",
                              "mendarovel: permission to open /dev/fd0 was denied; to use it, join the group "
                              "'floppy' (sudo usermod -a -G floppy %s) and log in again" % pwd.getpwuid(65534).pw_name)


@scenario("namespace")
def closed_streams(t):
    """standard output closed"""
    # No file the program opens takes the place of a closed stream, so neither
    # the drive nor the image receives console text. A reader that quits costs
    # the console lines, not the job.
    t.blank("good.orig", 1474560)
    t.blank("good.img", 1474560)
    t.run("-i", "-f", "reference.dsk", a="good.img")
    shutil.copy(t.path("reference.dsk"), t.path("earlier.dsk"))
    for t.case, image, wrap in (
            ("standard output closed", "earlier.dsk", ["bash", "-c", 'exec "$0" "$@" >&-']),
            ("standard input, output and error closed", "new.dsk", ["bash", "-c", 'exec "$0" "$@" <&- >&- 2>&-']),
            ("standard output a pipe whose reader has gone", "piped.dsk", ["python3", "-c", GONE_READER])):
        t.expect_status(t.run("-i", "-f", image, a="good.img", wrap=wrap), 0)
        t.expect_same_bytes("reference.dsk", image)
        if image != "piped.dsk":
            t.expect_same_bytes("good.orig", "good.img")


@scenario("namespace")
def control_characters(t):
    """control characters in a name that cannot be created"""
    # A name cannot drive the terminal: control characters are shown as octal
    # escapes; '%' and non-ASCII bytes as they are.
    result = t.run("-i", "-f", "no\033[2J\tsuch\n%s\u00e9/x.dsk", a=t.blank("good.img", 1474560))
    t.expect_stdout(result, e.banner() + e.OPENED + e.not_created("no\\033[2J\\011such\\012%s\u00e9/x.dsk") + e.CLOSED)
    t.expect_status(result, 2)
    t.case = "control characters in a name that cannot be opened"
    result = t.run("-d", "-f", "gone\r\a\177.dsk", a="good.img")
    t.expect_stdout(result, e.banner() + e.OPENED + e.not_opened("gone\\015\\007\\177.dsk") + e.CLOSED)
    t.expect_status(result, 2)
