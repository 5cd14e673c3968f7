"""Ctrl-C at each stage of both jobs, as a user presses it, cancels the job
with exit status 2: the earlier image (or its absence) and the image file stay
untouched; the disk is either untouched (Ctrl-C before its first sector) or
holds the sectors written so far and its old contents after them. Inside a
disk transfer the cancel takes effect at the next sector; in the other stages
the stage finishes and the job stops before the disk is written or the earlier
image replaced, also while the new image is being flushed. Only a Ctrl-C once
the new image has replaced the earlier one lets the job run to its end.

Each stage is pinned by holding one system call of the program under strace
(delay_exit) and signalling the program while the call is held: strace logs
the held call with "(DELAYED)" as the hold begins, and the test waits for that
line, never for a fixed time."""
import os
import re
import resource
import shutil
import signal
import time

from pathlib import Path

import expected as e
from checks import short_diff
from namespace import under_strace
from records import log_rows, record_problems
from scenario import scenario

# How long the pinned call is held: the time the test has to see the hold and
# signal. Nothing races against it but that; a run whose signal came too late
# (a loaded machine) runs again with a hold four times as long.
HOLD_US = 1500000
HOLDS = 3
SECTOR = 512
PINNED_SECTOR = 1000
STRACE_CALL = re.compile(r"(\d+) +([a-z0-9_]+)\((.*)")
INTERRUPT, CANCELLED, CLOSED = e.LINES["INTERRUPT"], e.LINES["CANCELLED"], e.CLOSED
NOT_WRITTEN = CANCELLED + e.LINES["IMAGE_NOT_WRITTEN"] + CLOSED


def traced(t, drive, args, options, program="mendarovel", stdin=None):
    """The program under strace with that drive, started; its log goes to trace."""
    t.path("trace").unlink(missing_ok=True)
    wrap = ["strace", "-f", "-qq", "-o", str(t.path("trace")), *options]
    with open(t.path(stdin) if stdin else os.devnull, "rb") as answers:
        return t.backend.start(t.work, program, args, a=drive, stdin=answers, timeout=120, wrap=wrap)


def signal_held(t, process, hold, number, again):
    """Once strace holds the call, sends the signal to the process of the
    thread its log line names: that line, and whether the hold still lasted."""
    for _ in range(6000):
        ended = process.poll() is not None
        log = t.read("trace").decode(errors="replace") if t.path("trace").exists() else ""
        line = next((line for line in log.splitlines() if line.endswith("(DELAYED)")), None)
        if line or ended:
            break
        time.sleep(0.01)
    if not line:
        t.check(False, "the program never reached the held call")
        return None, True
    since = os.stat(t.path("trace")).st_mtime  # strace wrote the line as the hold began
    try:
        status = Path("/proc/%s/status" % line.split()[0]).read_text()
        pid = int(re.search(r"^Tgid:\s*(\d+)", status, re.M)[1])
        os.kill(pid, number)
    except OSError:
        return line, False
    in_time = time.time() - since < hold / 1e6 - 0.1
    for _ in range(250 if again else 0):
        if INTERRUPT.strip().encode() in t.read("stdout"):
            break
        time.sleep(0.02)
    if again:
        os.kill(pid, signal.SIGINT)
    return line, in_time


def interrupt_at(t, drive, syscall, n, args, options=(), setup=lambda: None, number=signal.SIGINT, again=False,
                 **run):
    """Holds the program's Nth call of SYSCALL and signals it while the call
    is held (with AGAIN a second Ctrl-C once the first one's message is out);
    the run's result, and as result.held the held call's log line."""
    hold = HOLD_US
    for _ in range(HOLDS):
        setup()
        inject = "%s:delay_exit=%d:when=%d" % (syscall, hold, n)
        process = traced(t, drive, args, ["-e", "trace=" + syscall, "-e", "inject=" + inject, *options], **run)
        line, in_time = signal_held(t, process, hold, number, again)
        result = t.backend.finish(t.work, process)
        if in_time:
            break
        print("[%s] the signal missed a hold of %.1f s" % (t.case, hold / 1e6))
        hold *= 4
    else:
        t.check(False, "the signal missed the held call %d times" % HOLDS)
    result.held = (line or "").split(" ", 1)[-1].lstrip()
    return result


def calibrate(t, drive, args, log, stdin=None):
    """One run without interrupt, every call traced, its log kept as LOG."""
    result = t.backend.finish(t.work, traced(t, drive, args, ["-s", "256"], stdin=stdin))
    os.replace(t.path("trace"), t.path(log))
    return result


def call_after(t, log, text):
    """In the log of a calibration, the main thread's first call after it
    wrote TEXT to standard output: its name, its number among the main
    thread's calls of that name, and the call as logged up to its result."""
    lines = t.read(log).decode(errors="replace").splitlines()
    main = lines[0].split()[0]  # the first line is the program's execve
    escaped = text.replace("\\", "\\\\").replace('"', '\\"').replace("\n", "\\n")
    calls = [m for m in map(STRACE_CALL.match, lines) if m and m[1] == main]
    start = next(i for i, m in enumerate(calls) if m[0].split(" ", 1)[1].lstrip().startswith('write(1, "%s"' % escaped))
    name = calls[start + 1][2]
    count = sum(1 for m in calls[:start + 2] if m[2] == name)
    return name, count, re.split(r" <unfinished \.\.\.>| = ", calls[start + 1][0].split(" ", 1)[1].lstrip())[0]


def expect_held(t, result, call):
    """The held call is CALL, addresses aside."""
    def bare(text):
        return re.sub(r"0x[0-9a-f]+", "0x_", text)
    t.check(bare(result.held).startswith(bare(call)), lambda: "held %s, expected %s" % (result.held, call))


def expect_held_sector(t, result):
    tail = ", %d, %d) = %d (DELAYED)" % (SECTOR, (PINNED_SECTOR - 1) * SECTOR, SECTOR)
    t.check(result.held.endswith(tail), lambda: "held " + result.held)


def expect_interrupted_stdout(t, result, text, handlers=1):
    """Each handler prints a closing line break once the job is done, unless
    the program has ended first; any of these is right."""
    endings = [(text + "\n" * count).encode() for count in range(handlers + 1)]
    t.check(result.stdout in endings, lambda: "standard output differs:\n" + short_diff(endings[1], result.stdout))


def expect_only(t, folder, *names):
    have = sorted(os.listdir(t.path(folder)))
    t.check(have == list(names), lambda: "in %s: %s" % (folder, have))


def copy(t, source, target):
    return lambda: shutil.copy(t.path(source), t.path(target))


def cancelled_read():
    return (e.banner() + e.OPENED + e.QUERIED + e.INSERTED[2] + e.LINES["READING"] + INTERRUPT + CANCELLED
            + e.LINES["DISK_NOT_READ"] + CLOSED)


def status_of(number):
    return 2 if number == signal.SIGINT else 128 + number


@scenario("namespace")
def interrupt(t):
    """-i reference run"""
    under_strace()
    resource.setrlimit(resource.RLIMIT_CORE, (0, 0))
    t.disk("source.img", 1474560)
    t.disk("other.img", 737280, 7)
    t.expect_status(t.run("-i", "-f", "earlier.orig", a="other.img"), 0)
    copy(t, "earlier.orig", "target.dsk")()
    reference = calibrate(t, "source.img", ["-i", "-f", "target.dsk"], "imaging.log")
    t.expect_status(reference, 0)
    shutil.copy(t.path("target.dsk"), t.path("reference.dsk"))
    imaging(t, reference.stdout.decode())
    signals(t)
    restoring(t)
    session(t)


def imaging(t, reference):
    until_written = reference.split(e.LINES["IMAGE_CREATED"])[0]

    def announced(text):
        return until_written.replace(text, text + INTERRUPT, 1) + NOT_WRITTEN
    committing = re.search(r"Writing image data to file\.\.\.(ok \([0-9]*kb\))", reference)[1]
    stages = [  # (stage, expected output, status, the target afterwards, call, its number, the call, strace options)
        ("opening the drive", e.banner() + e.OPENED.replace("...", "..." + INTERRUPT) + CANCELLED
         + e.LINES["DISK_NOT_READ"] + CLOSED, 2, "earlier.orig", "openat", 1, 'openat(AT_FDCWD, "/dev/fd0"',
         ["-P", "/dev/fd0"]),
        # Compressing is zlib alone: the held call is the one right after the
        # announcement (taking the buffer for the compressed data), so the flag
        # is set before zlib starts. The new file is written, then dropped.
        ("compressing", announced("\nCompressing data..."), 2, "earlier.orig",
         *call_after(t, "imaging.log", "\nCompressing data..."), []),
        # Writing: the call right after the announcement, before any record is
        # in the new file (its first write, or a sanitizer's own call before it).
        ("writing the image file", announced("\nWriting image data to file..."), 2, "earlier.orig",
         *call_after(t, "imaging.log", "\nWriting image data to file..."), []),
        # Flushing: the new file is complete and being flushed (seconds on a
        # slow stick); the earlier image still stays. Once the new one has
        # replaced it and the folder is being flushed, the job runs to its end.
        ("flushing the new image", until_written + INTERRUPT + NOT_WRITTEN, 2, "earlier.orig", "fsync", 1, "fsync(",
         []),
        ("flushing the folder after the replace", reference.replace(committing, committing + INTERRUPT, 1), 0,
         "reference.dsk", "fsync", 2, "fsync(", []),
    ]
    for stage, text, status, target, syscall, n, call, options in stages:
        t.case = "-i, Ctrl-C while " + stage
        result = interrupt_at(t, "source.img", syscall, n, ["-i", "-f", "target.dsk"], options,
                              copy(t, "earlier.orig", "target.dsk"))
        expect_held(t, result, call)
        expect_interrupted_stdout(t, result, text)
        t.expect_status(result, status)
        t.expect_same_bytes(target, "target.dsk")
        t.expect_no_stray_files()

    # Reading: the read of the pinned sector; the poll after it cancels.
    for earlier in (True, False):
        t.case = "-i, Ctrl-C while reading sectors, earlier image: %s" % ("yes" if earlier else "no")
        result = interrupt_at(t, "source.img", "pread64", PINNED_SECTOR, ["-i", "-f", "target.dsk"],
                              ["-P", "/dev/fd0"], copy(t, "earlier.orig", "target.dsk") if earlier else
                              lambda: t.path("target.dsk").unlink(missing_ok=True))
        expect_held_sector(t, result)
        expect_interrupted_stdout(t, result, cancelled_read())
        t.expect_status(result, 2)
        if earlier:
            t.expect_same_bytes("earlier.orig", "target.dsk")
        else:
            t.expect_absent("target.dsk")
        t.expect_no_stray_files()

    # A second Ctrl-C while the first one is being answered is answered too.
    t.case = "-i, Ctrl-C twice while reading sectors"
    result = interrupt_at(t, "source.img", "pread64", PINNED_SECTOR, ["-i", "-f", "target.dsk"], ["-P", "/dev/fd0"],
                          copy(t, "earlier.orig", "target.dsk"), again=True)
    expect_interrupted_stdout(t, result, cancelled_read().replace(INTERRUPT, INTERRUPT * 2), 2)
    t.expect_status(result, 2)
    t.expect_same_bytes("earlier.orig", "target.dsk")


def signals(t):
    """SIGTERM, SIGHUP and SIGQUIT cancel the job as Ctrl-C does, silently:
    the new file is removed and the earlier image kept; then the process ends
    as the signal demands."""
    def fresh(name):
        def setup():
            shutil.rmtree(t.path("folder"), ignore_errors=True)
            t.path("folder").mkdir()
            copy(t, "earlier.orig", "folder/" + name)()
        return setup
    for number in (signal.SIGTERM, signal.SIGHUP, signal.SIGQUIT):
        t.case = "-i, %s while reading sectors" % number.name
        result = interrupt_at(t, "source.img", "pread64", PINNED_SECTOR, ["-i", "-f", "folder/target.dsk"],
                              ["-P", "/dev/fd0"], fresh("target.dsk"), number)
        t.expect_stdout(result, cancelled_read().replace(INTERRUPT, ""))
        t.expect_status(result, status_of(number))
        t.expect_same_bytes("earlier.orig", "folder/target.dsk")
        expect_only(t, "folder", "target.dsk")

    # The image tool's export and import held while they flush the new file
    # (a slow target) remove it when interrupted or asked to end, and the
    # earlier file stays. (The first fsync is the new file's: a sanitizer's
    # runtime makes write calls of its own, never an fsync.)
    for number in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        for command in (["export", "reference.dsk"], ["import", "source.img"]):
            t.case = "mendarovel-image %s, %s while writing" % (" ".join(command), number.name)
            result = interrupt_at(t, "source.img", "fsync", 1, [*command, "folder/target"], (), fresh("target"),
                                  number, program="mendarovel-image")
            expect_held(t, result, "fsync(")
            t.expect_status(result, status_of(number))
            t.expect_same_bytes("earlier.orig", "folder/target")
            expect_only(t, "folder", "target")
            # The shell that ran it may add its own line on the signal.
            first = result.stderr.decode(errors="replace").split("\n")[0]
            t.check(first == "mendarovel-image: folder/target: cancelled; nothing was written",
                    lambda: "standard error: %s" % result.stderr.decode(errors="replace"))


def restoring(t):
    """-d: restoring the reference image onto a formatted disk."""
    t.write("formatted.img", b"\xf6" * 1474560)
    shutil.copy(t.path("reference.dsk"), t.path("imaging-reference.dsk"))
    t.case = "-d reference run"
    copy(t, "formatted.img", "disk.img")()
    reference = calibrate(t, "disk.img", ["-d", "-f", "reference.dsk"], "restoring.log")
    t.expect_status(reference, 0)
    t.expect_same_bytes("source.img", "disk.img")
    until_query = reference.stdout.decode().split(e.QUERIED)[0]
    not_written = CANCELLED + e.LINES["DISK_NOT_WRITTEN"] + CLOSED

    # Reading: the first read of the records, after the trailer was validated.
    # Expanding is zlib alone: the held call is the one right after the
    # announcement (taking the buffer for the expanded data). The file is read
    # to its end, and the disk is not touched.
    for stage, announcement in (("reading the image file", "\nReading image data..."),
                                ("expanding", "\nExpanding data...")):
        t.case = "-d, Ctrl-C while " + stage
        syscall, n, call = call_after(t, "restoring.log", announcement)
        result = interrupt_at(t, "disk.img", syscall, n, ["-d", "-f", "reference.dsk"],
                              setup=copy(t, "formatted.img", "disk.img"))
        expect_held(t, result, call)
        expect_interrupted_stdout(t, result, until_query.replace(announcement, announcement + INTERRUPT, 1)
                                  + not_written)
        t.expect_status(result, 2)
        t.expect_same_bytes("formatted.img", "disk.img")
        t.expect_same_bytes("imaging-reference.dsk", "reference.dsk")

    # Writing: the write of the pinned sector; the poll after it cancels, and
    # the disk holds exactly the sectors up to it.
    t.case = "-d, Ctrl-C while writing the disk"
    result = interrupt_at(t, "disk.img", "pwrite64", PINNED_SECTOR, ["-d", "-f", "reference.dsk"], ["-P", "/dev/fd0"],
                          copy(t, "formatted.img", "disk.img"))
    expect_held_sector(t, result)
    expect_interrupted_stdout(t, result, e.banner() + e.OPENED + e.READ_IMAGE
                              + t.expansion("reference.dsk", "source.img") + e.QUERIED + e.INSERTED[2]
                              + "\nWriting data..." + INTERRUPT + not_written)
    t.expect_status(result, 2)
    split = PINNED_SECTOR * SECTOR
    disk, new, old = (t.read(name) for name in ("disk.img", "source.img", "formatted.img"))
    t.check(disk[:split] == new[:split] and disk[split:] == old[split:],
            "disk.img is not the first %d sectors of source.img and formatted.img's bytes after them" % PINNED_SECTOR)
    t.expect_same_bytes("imaging-reference.dsk", "reference.dsk")


def session(t):
    """A session: Ctrl-C while the second disk's image is flushed cancels that
    disk and ends the session; the first disk's image, record and log row stay
    whole. The calibration is a session of that one disk: its count of flushes
    (fsync) is where the second disk's begin."""
    t.case = "-i -b, Ctrl-C during the second disk"
    args = ["-i", "-b", "-f", "session/s-001.dsk", "-l", "session/log.csv"]

    def empty():
        shutil.rmtree(t.path("session"), ignore_errors=True)
        t.path("session").mkdir()
    empty()
    t.write("answers", "first\n")
    t.expect_status(calibrate(t, "source.img", args, "session.log", stdin="answers"), 0)
    log = t.read("session.log").decode(errors="replace").splitlines()
    main = log[0].split()[0]
    flushes = sum(1 for line in log if re.match(r"%s +fsync\(" % main, line))
    shutil.copy(t.path("session/s-001.dsk"), t.path("first.dsk"))
    shutil.copy(t.path("session/log.csv"), t.path("first.csv"))
    t.write("answers", "first\nsecond\n")
    result = interrupt_at(t, "source.img", "fsync", flushes + 1, args, setup=empty, stdin="answers")
    expect_held(t, result, "fsync(")
    t.expect_status(result, 2)
    t.expect_same_bytes("first.dsk", "session/s-001.dsk")
    problems = record_problems(t.work, "session/s-001.dsk", "source.img", "first", "image")
    t.check(not problems, "record: " + problems)
    rows = log_rows(t.path("session/log.csv"), lambda row: [row[2], row[3], row[6]])
    first = log_rows(t.path("first.csv"), lambda row: [row[2], row[3], row[6]])
    t.check(first and rows == first + ["image|A:|cancelled"], lambda: "log rows: %s" % rows)
    expect_only(t, "session", "log.csv", "s-001.dsk", "s-001.json")
