#!/usr/bin/python3
"""Runs the Windows program under Wine as a user would and compares what it
prints, byte for byte with CR LF line ends, and its exit code.

usage: program_checks.py WINE EXE IMAGE_OF
  WINE      the wine64 loader
  EXE       mendarovel.exe
  IMAGE_OF  tests/e2e/image_of.py, which builds image files independently

WINEPREFIX must name a prefix of the caller's that has no drive A: or B:;
the drive checks link dosdevices/a:: to a disk file for their duration.
"""
import os
import re
import subprocess
import sys
import tempfile

BANNER = "Mendarovel 2.1 for Console\n\n"
USAGE = (
    "\n"
    "Usage example 1: Mendarovel -i\n"
    "                 Creates a disk image file \"Image.dsk\" from the\n"
    "                 disk in drive a:.\n"
    "\n"
    "Usage example 2: Mendarovel -i -v B -f newimage.dsk\n"
    "                 Create a disk image file \"newimage.dsk\" from\n"
    "                 the disk in drive b:.\n"
    "\n"
    "Usage example 3: Mendarovel -d -f oldimage.dsk\n"
    "                 Writes the disk image file \"oldimage.dsk\" to the\n"
    "                 disk in drive a:.\n"
    "\n"
    "Switches:  -h Show this help message (optional)\n"
    "           -i Create a disk image file from a floppy disk (no use with -d)\n"
    "           -d Create a floppy disk from a disk image file (no use with -i)\n"
    "\n"
    "Arguments: -v volume        Volume can be A or B (default A)\n"
    "           -f filename      Name of the disk image file (default Image.dsk)\n"
    "\n"
)
NO_DRIVE = "\nOpening floppy device...failed\nERROR: {system}"
# Wine answers the geometry request of a drive linked to a file with "not supported".
NO_GEOMETRY = "\nQuerying media information...failed\nERROR: {system}"

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
    def __init__(self, wine, exe, image_of, folder):
        self.wine, self.exe, self.image_of, self.folder = wine, exe, image_of, folder
        self.failures = 0
        self.passed = 0

    def run(self, name, args, expected, status, after=None):
        try:
            done = subprocess.run([self.wine, self.exe] + args, cwd=self.folder, stdin=subprocess.DEVNULL,
                                  stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)
        except subprocess.TimeoutExpired:
            self.fail(name, "did not end within 60 s")
            return
        problems = []
        if not pattern_of(expected).fullmatch(done.stdout):
            problems.append("output differs\n  expected: %r\n  actual:   %r"
                            % (expected.replace("\n", "\r\n"), done.stdout.decode("latin-1")))
        if done.returncode != status:
            problems.append("exit code %d, expected %d" % (done.returncode, status))
        if after is not None:
            problems += after()
        if problems:
            self.fail(name, "\n".join(problems))
        else:
            self.passed += 1
            print("ok   %s" % name)

    def fail(self, name, why):
        self.failures += 1
        print("FAIL %s\n%s" % (name, why))

    def path(self, name):
        return os.path.join(self.folder, name)

    def leftovers(self, image_name):
        """Problems when a failed job left an image or a half-made one behind."""
        found = [n for n in os.listdir(self.folder) if n == image_name or n.endswith(".partial")]
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


def linked_drive_checks(checks, prefix):
    disk = checks.path("floppy.img")
    with open(disk, "wb") as out:
        out.write(bytes(range(256)) * (FLOPPY_BYTES // 256))
    with open(disk, "rb") as original:
        disk_before = original.read()
    source = checks.path("source.img")
    with open(source, "wb") as out:
        out.write(b"\xe5" * FLOPPY_BYTES)
    subprocess.run([sys.executable, checks.image_of, source, "512", "18", "2", "80", "2",
                    checks.path("source.dsk"), checks.path("source.lines")], check=True)

    def disk_unchanged():
        with open(disk, "rb") as now:
            return [] if now.read() == disk_before else ["the disk file was changed"]

    link = os.path.join(prefix, "dosdevices", "a::")
    os.symlink(disk, link)
    try:
        checks.run("-i from a drive linked to a file", ["-i", "-f", "out.dsk"],
                   BANNER + "\nOpening floppy device...ok" + NO_GEOMETRY
                   + "\nFloppy disk could not be read.\nClosing floppy device...ok", 2,
                   after=lambda: checks.leftovers("out.dsk") + disk_unchanged())
        checks.run("-d onto a drive linked to a file", ["-d", "-f", "source.dsk"],
                   BANNER + "\nOpening floppy device...ok\nReading image data...ok"
                   "\nExpanding data...ok {sizes}" + NO_GEOMETRY
                   + "\nDisk could not be written.\nClosing floppy device...ok", 2,
                   after=disk_unchanged)
    finally:
        os.remove(link)


def main():
    wine, exe, image_of = sys.argv[1:]
    prefix = os.environ["WINEPREFIX"]
    with tempfile.TemporaryDirectory() as folder:
        checks = Checks(wine, os.path.abspath(exe), os.path.abspath(image_of), folder)
        command_line_checks(checks)
        missing_drive_checks(checks)
        linked_drive_checks(checks, prefix)
    print("%d passed, %d failed" % (checks.passed, checks.failures))
    return 1 if checks.failures else 0


if __name__ == "__main__":
    sys.exit(main())
