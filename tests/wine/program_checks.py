#!/usr/bin/python3
"""Runs the Windows program under Wine as a user would and compares what it
prints, byte for byte with CR LF line ends, and its exit code.

usage: program_checks.py WINE EXE
  WINE      the wine64 loader
  EXE       mendarovel.exe
MENDAROVEL_VERSION is the programs' version (CMake sets it).

WINEPREFIX must name a prefix of the caller's that has no drive A: or B:;
the drive checks link dosdevices/a:: to a disk file for their duration, and
the Windows 95/98/ME checks set the prefix's Windows version for theirs.
"""
import hashlib
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

from stalled_console import StalledConsole

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "blackbox"))
import expected  # noqa: E402
from disk import counting  # noqa: E402
from image_file import of_disk  # noqa: E402

BANNER = expected.banner()
USAGE = expected.USAGE
OPENED, CLOSED, CTRL_C = (expected.LINES[name] for name in ("OPENED", "CLOSED", "INTERRUPT"))
NOT_READ_LINE, NOT_WRITTEN_LINE = expected.LINES["DISK_NOT_READ"], expected.LINES["DISK_NOT_WRITTEN"]
# Wine's own texts: for a drive letter it has no device for, and for the
# geometry request on a drive that is linked to a file.
NO_DRIVE = "\nOpening floppy device...failed\nERROR: File not found."
NO_GEOMETRY = "\nQuerying media information...failed\nERROR: Request not supported."
NOT_READ = NO_GEOMETRY + NOT_READ_LINE + CLOSED
RESTORE_START = OPENED + expected.LINES["READ_IMAGE"] + "\nExpanding data...ok {sizes}"
NOT_WRITTEN = NO_GEOMETRY + NOT_WRITTEN_LINE + CLOSED
WINDOWS_9X = "\nWarning: This program has not been tested under Windows 95/98/ME..."

# Placeholders for what is not ours to fix: the system's wording, the sizes.
PLACEHOLDERS = {"{system}": r"[^\r\n]+", "{sizes}": r"\([^\r\n]*\)"}

FLOPPY_BYTES = 1474560


def pattern_of(expected):
    """The expected console text (LF line ends) as a regex over the CR LF bytes."""
    text = re.escape(expected.replace("\n", "\r\n"))
    for placeholder, regex in PLACEHOLDERS.items():
        text = text.replace(re.escape(placeholder), regex)
    return re.compile(text.encode("ascii"), re.DOTALL)


class Checks:
    def __init__(self, wine, exe, folder):
        self.wine, self.exe, self.folder = wine, exe, folder
        self.failures = 0
        self.passed = 0

    def command(self, args):
        return [self.wine, self.exe] + args

    def run(self, name, args, expected, status, after=None, typed=None):
        """`typed`: the bytes standard input holds (none by default)."""
        try:
            done = subprocess.run(self.command(args), cwd=self.folder, input=typed,
                                  stdin=subprocess.DEVNULL if typed is None else None,
                                  stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)
        except subprocess.TimeoutExpired:
            self.fail(name, "did not end within 60 s")
            return
        self.judge(name, done.stdout, done.returncode, expected, status, after)

    def judge(self, name, output, returncode, expected, status, after=None):
        problems = []
        if not pattern_of(expected).fullmatch(output):
            problems.append("output differs\n  expected: %r\n  actual:   %r"
                            % (expected.replace("\n", "\r\n"), output.decode("latin-1")))
        if returncode != status:
            problems.append("exit code %d, expected %d" % (returncode, status))
        if after is not None:
            problems += after()
        if problems:
            self.fail(name, "\n".join(problems))
        else:
            self.passed += 1
            print("ok   %s" % name)

    def stall(self, args, before):
        """Starts the program behind a console that stops taking output after `before`."""
        return StalledConsole(self.command(args), self.folder, before.replace("\n", "\r\n").encode("ascii"))

    def fail(self, name, why):
        self.failures += 1
        print("FAIL %s\n%s" % (name, why))

    def path(self, name):
        return os.path.join(self.folder, name)

    def leftovers(self, image_name):
        """Problems when a failed job left an image or a half-made one behind."""
        found = [n for n in os.listdir(self.folder) if n == image_name or n.startswith(".mv")]
        return ["left behind: %s" % ", ".join(found)] if found else []


def command_line_checks(checks):
    checks.run("no arguments", [], BANNER + USAGE, 1)
    checks.run("-h alone shows the usage twice", ["-h"], BANNER + USAGE + USAGE, 1)
    checks.run("upper-case -I is no job", ["-I"], BANNER + USAGE, 1)
    checks.run("a drive other than A or B", ["-i", "-v", "X"], BANNER + USAGE, 1)
    checks.run("-h with a job", ["-h", "-d", "-v", "b", "-f", "X"], BANNER + USAGE + NO_DRIVE, 2)


def missing_drive_checks(checks):
    checks.run("-i without drive A:", ["-i", "-f", "X"], BANNER + NO_DRIVE, 2,
               after=lambda: checks.leftovers("X"))


def prepare_files(checks):
    """A disk file for drive A: and a valid image of another disk; returns the disk's bytes."""
    path, content = checks.path("floppy.img"), counting(FLOPPY_BYTES)
    with open(path, "wb") as out:
        out.write(content)
    with open(checks.path("source.dsk"), "wb") as out:
        out.write(of_disk(b"\xe5" * FLOPPY_BYTES))
    return path, content


def unchanged(path, before):
    with open(path, "rb") as now:
        return [] if now.read() == before else ["%s was changed" % os.path.basename(path)]


def linked_drive_checks(checks, disk, disk_before):
    disk_unchanged = lambda: unchanged(disk, disk_before)  # noqa: E731
    checks.run("-i from a drive linked to a file", ["-i", "-f", "out.dsk"],
               BANNER + OPENED + NOT_READ, 2,
               after=lambda: checks.leftovers("out.dsk") + disk_unchanged())
    checks.run("-d onto a drive linked to a file", ["-d", "-f", "source.dsk"],
               BANNER + RESTORE_START + NOT_WRITTEN, 2, after=disk_unchanged)
    checks.run("-i into a folder that does not exist", ["-i", "-f", "nosuch\\x.dsk"],
               BANNER + OPENED + "\nERROR: Image file 'nosuch\\x.dsk' could not be created." + CLOSED, 2,
               after=lambda: (["a folder was made"] if os.path.exists(checks.path("nosuch")) else [])
               + checks.leftovers("x.dsk") + disk_unchanged())


def sharing_checks(checks):
    """A first run holds an existing image while its console is stalled; a
    second run meets the share modes the first opened the image with."""
    held = checks.path("held.dsk")
    shutil.copyfile(checks.path("source.dsk"), held)
    with open(held, "rb") as original:
        held_before = original.read()
    not_opened = BANNER + OPENED + "\nERROR: Image file 'held.dsk' could not be opened." + CLOSED
    not_created = BANNER + OPENED + "\nERROR: Image file 'held.dsk' could not be created." + CLOSED
    cases = [
        # -i holds the image it is to replace for writing, without sharing it with readers.
        ("-i holding the image, then -d", ["-i", "-f", "held.dsk"], OPENED + "\nQuerying media information...",
         ["-d", "-f", "held.dsk"], not_opened, 2, "failed\nERROR: Request not supported."
         + NOT_READ_LINE + CLOSED),
        # Writers share with writers: the second -i gets as far as the drive.
        ("-i holding the image, then -i", ["-i", "-f", "held.dsk"], OPENED + "\nQuerying media information...",
         ["-i", "-f", "held.dsk"], BANNER + OPENED + NOT_READ, 2, "failed\nERROR: Request not supported."
         + NOT_READ_LINE + CLOSED),
        # -d reads the image and shares it with readers only.
        ("-d reading the image, then -i", ["-d", "-f", "held.dsk"], OPENED + "\nReading image data...ok",
         ["-i", "-f", "held.dsk"], not_created, 2, "\nExpanding data...ok {sizes}" + NOT_WRITTEN),
        ("-d reading the image, then -d", ["-d", "-f", "held.dsk"], OPENED + "\nReading image data...ok",
         ["-d", "-f", "held.dsk"], BANNER + RESTORE_START + NOT_WRITTEN, 2,
         "\nExpanding data...ok {sizes}" + NOT_WRITTEN),
    ]
    for name, first, before, second, expected, status, rest in cases:
        console = checks.stall(first, BANNER + before)
        if not console.wait_stalled():
            console.kill()
            checks.fail(name, "the first run did not stall where expected")
            continue
        checks.run(name + " (second run)", second, expected, status)
        output, first_status = console.release()
        checks.judge(name + " (first run)", output, first_status, BANNER + before + rest, 2,
                     after=lambda: checks.leftovers("none") + unchanged(held, held_before))


def session_checks(checks):
    """A session's numbering, prompts and failed disks with their log rows,
    as far as Wine can show them: the linked drive never reads."""
    def prompt(name):
        return "\nInsert the disk for %s into drive A:, type its note and press Enter (q to end): " % name

    def log_rows(*rows):
        def compare():
            with open(checks.path("box.csv"), "rb") as log:
                text = log.read().decode()
            found = [re.sub(r"^[^,]*,[^,]*,", "", line) for line in text.split("\r\n")]
            wanted = ["job,drive,file,note,result,exit_status,unreadable,sha256", *rows, ""]
            return [] if found == wanted else ["log %r" % text]
        return compare

    with open(checks.path("box-001.dsk"), "wb") as taken:
        taken.write(b"an earlier image")
    failed = OPENED + NOT_READ
    checks.run("a session skips a taken name and offers a failed disk's again",
               ["-i", "-b", "-f", "box-001.dsk", "-l", "box.csv"],
               BANNER + prompt("box-002.dsk") + failed + prompt("box-002.dsk") + failed + prompt("box-002.dsk")
               + "\nImages written: 0, listing unreadable sectors: 0, disks failed: 2.", 2,
               after=lambda: checks.leftovers("box-002.dsk") + log_rows(
                   'image,A:,box-002.dsk,"label, one",failed,2,0,', "image,A:,box-002.dsk,,failed,2,0,")(),
               typed=b"  label, one  \r\n\r\nq\r\n")
    os.remove(checks.path("box.csv"))
    copy = "\nInsert the disk for copy %d of source.dsk into drive A: and press Enter (q to end): "
    checks.run("copies end at the end of input", ["-d", "-b", "-f", "source.dsk", "-l", "box.csv"],
               BANNER + copy % 1 + RESTORE_START + NOT_WRITTEN + copy % 2
               + "\nCopies written: 0, with sectors not written: 0, copies failed: 1.", 2,
               after=log_rows("restore,A:,source.dsk,,failed,2,0," + hashlib.sha256(b"\xe5" * FLOPPY_BYTES).hexdigest()),
               typed=b"\n")
    os.mkdir(checks.path("folder.csv"))
    checks.run("a log that cannot be opened", ["-i", "-f", "out.dsk", "-l", "folder.csv"], BANNER, 2,
               after=lambda: checks.leftovers("out.dsk"))


def interrupt_checks(checks):
    """Ctrl-C as Wine delivers it from a terminal (SIGINT becomes the console's
    Ctrl-C event) while the job is stalled behind its console. The handler's
    line waits in its own write beside the job's stalled one, so where it lands
    among the job's lines is up to the system; it lands whole, once, and the
    job's own output around it is unchanged. The job goes on to its end and
    main's return ends the process while the handler sleeps in its wait, so the
    handler's closing line break appears only if ending takes longer."""
    name = "Ctrl-C during -i"
    before = BANNER + OPENED + "\nQuerying media information..."
    console = checks.stall(["-i", "-f", "out.dsk"], before)
    if not console.wait_stalled():
        console.kill()
        checks.fail(name, "the run did not stall where expected")
        return
    console.process.send_signal(signal.SIGINT)
    time.sleep(0.7)  # the handler has printed into the stalled console by now
    output, status = console.release()
    handler_line = CTRL_C.replace("\n", "\r\n").encode("ascii")
    found = output.count(handler_line)
    job_output = output.replace(handler_line, b"", 1)
    if job_output.endswith(b"\r\n"):
        job_output = job_output[:-2]  # the job ends no line: this is the handler's closing one
    checks.judge(name, job_output, status, before + "failed\nERROR: Request not supported."
                 + NOT_READ_LINE + CLOSED, 2,
                 after=lambda: checks.leftovers("out.dsk")
                 + ([] if found == 1 else ["the handler's line appears %d times in %r" % (found, output)]))


def windows_9x_checks(checks):
    """Wine tells a 64-bit program that it runs on Windows 98 once the prefix says so."""
    def set_version(*args):
        subprocess.run([checks.wine, "reg"] + list(args), stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60, check=True)

    set_version("add", r"HKCU\Software\Wine", "/v", "Version", "/d", "win98", "/f")
    try:
        checks.run("-i on Windows 98", ["-i", "-f", "out.dsk"],
                   BANNER + WINDOWS_9X + OPENED + NOT_READ, 2, after=lambda: checks.leftovers("out.dsk"))
        checks.run("-d on Windows 98", ["-d", "-f", "source.dsk"],
                   BANNER + WINDOWS_9X + RESTORE_START + NOT_WRITTEN, 2)
    finally:
        set_version("delete", r"HKCU\Software\Wine", "/v", "Version", "/f")  # the prefix's default
    checks.run("-i after Windows 98", ["-i", "-f", "out.dsk"], BANNER + OPENED + NOT_READ, 2)


def main():
    wine, exe = sys.argv[1:]
    prefix = os.environ["WINEPREFIX"]
    with tempfile.TemporaryDirectory() as folder:
        checks = Checks(wine, os.path.abspath(exe), folder)
        command_line_checks(checks)
        missing_drive_checks(checks)
        disk, disk_before = prepare_files(checks)
        link = os.path.join(prefix, "dosdevices", "a::")
        os.symlink(disk, link)
        try:
            linked_drive_checks(checks, disk, disk_before)
            sharing_checks(checks)
            session_checks(checks)
            interrupt_checks(checks)
            windows_9x_checks(checks)
        finally:
            os.remove(link)
        problems = unchanged(disk, disk_before)
        if problems:
            checks.fail("the disk file after all runs", problems[0])
    print("%d passed, %d failed" % (checks.passed, checks.failures))
    return 1 if checks.failures else 0


if __name__ == "__main__":
    sys.exit(main())
