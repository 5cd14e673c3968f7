"""The Windows program as only Wine shows it: a drive linked to a file (Wine
opens it but answers no geometry request, so no job gets past the media
query), the share modes of an image held by a run whose console is paused,
a session's prompts and log, Ctrl-C, and Windows 98."""
import contextlib
import hashlib
import os
import re
import signal
import subprocess
import time

import expected as e
import image_file
from backend import Result
from scenario import scenario

FLOPPY = 1474560
NOT_READ = e.WINE_NO_GEOMETRY + e.LINES["DISK_NOT_READ"] + e.CLOSED
NOT_WRITTEN = e.WINE_NO_GEOMETRY + e.LINES["DISK_NOT_WRITTEN"] + e.CLOSED
IMAGING = e.OPENED + NOT_READ  # what -i prints after the banner
LOG_HEADER = "job,drive,file,note,result,exit_status,unreadable,sha256"


def linked_disk(t):
    """Drive A:'s disk file (kept as floppy.orig too) and source.dsk, an image
    of another disk; returns the disk's path for drive_a()."""
    if not t.size("floppy.img"):
        t.disk("floppy.img", FLOPPY)
        t.disk("floppy.orig", FLOPPY)
        t.write("source.dsk", image_file.of_disk(b"\xe5" * FLOPPY))
    return os.path.realpath(t.path("floppy.img"))


def restoring(t):
    """What -d of source.dsk prints after the banner."""
    return e.OPENED + e.READ_IMAGE + t.expansion("source.dsk", "floppy.img") + NOT_WRITTEN


def expect_failed(t, result, text, files=()):
    """What the run printed, status 2, and the files it made or changed (the
    drive's disk file among them if it was written)."""
    t.expect_stdout(result, text)
    t.expect_status(result, 2)
    t.expect_files(result, *files)


def stalled(t, args, printed):
    """A run of ARGS behind a console that stops taking output once it has
    printed PRINTED; None (and a failed check) when it does not stall there."""
    console = t.backend.stall(t.work, args, printed)
    if not t.check(console.wait_stalled(), "the run did not stall after %r" % printed):
        console.kill()
        return None
    return console


def released(console):
    """The stalled run, let go: what it printed after the stall point."""
    output, status = console.release()
    return Result(output, b"", status)


@scenario("wine")
def no_drive(t):
    """-h with a job"""
    expect_failed(t, t.run("-h", "-d", "-v", "b", "-f", "X"), e.banner() + e.USAGE + e.WINE_NO_DRIVE)
    t.case = "-i without drive A:"
    expect_failed(t, t.run("-i", "-f", "X"), e.banner() + e.WINE_NO_DRIVE)


@scenario("wine")
def linked_drive(t):
    """-i from a drive linked to a file"""
    a = linked_disk(t)
    expect_failed(t, t.run("-i", "-f", "out.dsk", a=a), e.banner() + IMAGING)
    t.case = "-d onto a drive linked to a file"
    expect_failed(t, t.run("-d", "-f", "source.dsk", a=a), e.banner() + restoring(t))
    t.case = "-i into a folder that does not exist"
    result = t.run("-i", "-f", "nosuch\\x.dsk", a=a)
    expect_failed(t, result, e.banner() + e.OPENED + e.not_created("nosuch\\x.dsk") + e.CLOSED)
    t.expect_absent("nosuch")


@scenario("wine")
def sharing(t):
    """-i holding the image, then -d"""
    # A first run holds an existing image while its console is paused; a
    # second run meets the share modes the first opened the image with.
    a = linked_disk(t)
    t.write("held.dsk", t.read("source.dsk"))
    # Each first run with all it prints and the line it stalls after.
    held = {"-i": (e.banner() + IMAGING, "\nQuerying media information..."),
            "-d": (e.banner() + restoring(t), e.READ_IMAGE)}
    cases = [
        # -i holds the image it is to replace for writing, without sharing it with readers.
        ("-i holding the image, then -d", "-i", "-d", e.banner() + e.OPENED + e.not_opened("held.dsk") + e.CLOSED),
        # Writers share with writers: the second -i gets as far as the drive.
        ("-i holding the image, then -i", "-i", "-i", e.banner() + IMAGING),
        # -d reads the image and shares it with readers only.
        ("-d reading the image, then -i", "-d", "-i", e.banner() + e.OPENED + e.not_created("held.dsk") + e.CLOSED),
        ("-d reading the image, then -d", "-d", "-d", e.banner() + restoring(t)),
    ]
    with t.backend.drive_a(a):
        for t.case, first, second, printed in cases:
            whole, stop = held[first]
            console = stalled(t, [first, "-f", "held.dsk"], whole[:whole.index(stop) + len(stop)])
            if console:
                result = t.run(second, "-f", "held.dsk", a=a)
                t.expect_stdout(result, printed)
                t.expect_status(result, 2)
                first_run = released(console)
                t.expect_stdout(first_run, whole)
                t.expect_status(first_run, 2)
                t.expect_same_bytes("source.dsk", "held.dsk")
                t.expect_no_stray_files()


@scenario("wine")
def session(t):
    """a session skips a taken name and offers a failed disk's again"""
    a = linked_disk(t)

    def prompt(name):
        return "\nInsert the disk for %s into drive A:, type its note and press Enter (q to end): " % name

    def expect_log(*rows):
        found = [re.sub(r"^[^,]*,[^,]*,", "", line) for line in t.read("box.csv").decode().split("\r\n")]
        t.check(found == [LOG_HEADER, *rows, ""], lambda: "log %r" % t.read("box.csv"))

    t.write("box-001.dsk", "an earlier image")
    result = t.run("-i", "-b", "-f", "box-001.dsk", "-l", "box.csv", a=a, stdin=b"  label, one  \r\n\r\nq\r\n")
    expect_failed(t, result, e.banner() + prompt("box-002.dsk") + IMAGING + prompt("box-002.dsk") + IMAGING
                  + prompt("box-002.dsk") + "\nImages written: 0, listing unreadable sectors: 0, disks failed: 2.",
                  files=["box.csv"])
    expect_log('image,A:,box-002.dsk,"label, one",failed,2,0,', "image,A:,box-002.dsk,,failed,2,0,")

    t.case = "copies end at the end of input"
    os.remove(t.path("box.csv"))
    copy = "\nInsert the disk for copy %d of source.dsk into drive A: and press Enter (q to end): "
    result = t.run("-d", "-b", "-f", "source.dsk", "-l", "box.csv", a=a, stdin=b"\n")
    expect_failed(t, result, e.banner() + copy % 1 + restoring(t) + copy % 2
                  + "\nCopies written: 0, with sectors not written: 0, copies failed: 1.", files=["box.csv"])
    expect_log("restore,A:,source.dsk,,failed,2,0," + hashlib.sha256(b"\xe5" * FLOPPY).hexdigest())

    t.case = "a log that cannot be opened"
    os.mkdir(t.path("folder.csv"))
    expect_failed(t, t.run("-i", "-f", "out.dsk", "-l", "folder.csv", a=a), e.banner())


@scenario("wine")
def interrupt(t):
    """Ctrl-C during -i"""
    # Wine turns SIGINT from a terminal into the console's Ctrl-C event. The
    # handler's line waits in its own write beside the job's stalled one, so
    # where it lands among the job's lines is up to the system; it lands whole,
    # once, and the job's own output around it is unchanged. The job goes on
    # to its end and main's return ends the process while the handler sleeps
    # in its wait, so the handler's closing line break shows only if ending
    # takes longer.
    a = linked_disk(t)
    whole = e.banner() + IMAGING
    stop = "\nQuerying media information..."
    with t.backend.drive_a(a):
        console = stalled(t, ["-i", "-f", "out.dsk"], whole[:whole.index(stop) + len(stop)])
        if not console:
            return
        console.process.send_signal(signal.SIGINT)
        time.sleep(0.7)  # the handler has printed into the stalled console by now
        result = released(console)
    handler_line = e.LINES["INTERRUPT"].replace("\n", "\r\n").encode()
    found = result.stdout.count(handler_line)
    t.check(found == 1, lambda: "the handler's line appears %d times in %r" % (found, result.stdout))
    result.stdout = result.stdout.replace(handler_line, b"", 1)
    if result.stdout.endswith(b"\r\n"):
        result.stdout = result.stdout[:-2]  # the job ends no line: this is the handler's closing one
    t.expect_stdout(result, whole)
    t.expect_status(result, 2)
    t.expect_absent("out.dsk")
    t.expect_no_stray_files()


@contextlib.contextmanager
def windows_version(t, version):
    """The prefix tells the program it runs on that Windows version within the block."""
    def reg(*args):
        subprocess.run([*t.backend.runner, "reg", *args, "/f"], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=60, check=True)
    reg("add", r"HKCU\Software\Wine", "/v", "Version", "/d", version)
    try:
        yield
    finally:
        reg("delete", r"HKCU\Software\Wine", "/v", "Version")  # the prefix's default


@scenario("wine")
def windows_98(t):
    """-i on Windows 98"""
    a = linked_disk(t)
    with windows_version(t, "win98"):
        expect_failed(t, t.run("-i", "-f", "out.dsk", a=a), e.banner() + e.LINES["WINDOWS_9X"] + IMAGING)
        t.case = "-d on Windows 98"
        expect_failed(t, t.run("-d", "-f", "source.dsk", a=a), e.banner() + e.LINES["WINDOWS_9X"] + restoring(t))
    t.case = "-i after Windows 98"
    expect_failed(t, t.run("-i", "-f", "out.dsk", a=a), e.banner() + IMAGING)
    t.case = "the disk file after all runs"
    t.expect_same_bytes("floppy.orig", "floppy.img")
