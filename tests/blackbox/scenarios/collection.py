"""Collections: a session (-b) of disks changed between prompts, with the
record beside each image (-m) and the CSV log of every job (-l)."""
import json
import os
import re
import shutil
import signal
import subprocess
import time

import expected as e
from checks import Skip
import image_file
from namespace import program_pid, under_strace
from records import log_rows, record_problems, sha256
from scenario import scenario

HEADER = "job|drive|file|note|result|exit_status|unreadable|sha256"
ONE_WRITTEN = "\nImages written: 1, listing unreadable sectors: 0, disks failed: 0."


def prompt(name):
    """The session's prompt before a disk for NAME in drive A:."""
    return "\nInsert the disk for %s into drive A:, type its note and press Enter (q to end): " % name


def session(t, drive, steps, *args):
    """Runs the program with that drive and its standard input a pipe. Before
    answering the Kth prompt it keeps the drive's contents as
    drive-after-(K-1).img, puts step K's file (before the |) into the drive in
    place, and answers its line (after the |); EOF closes the input, INT sends
    Ctrl-C instead."""
    process = t.backend.start(t.work, "mendarovel", args, a=drive, stdin=subprocess.PIPE)
    for k, step in enumerate(steps, 1):
        for _ in range(300):
            if t.read("stdout").count(b"press Enter") >= k:
                break
            time.sleep(0.1)
        shutil.copy(t.path(drive), t.path("drive-after-%d.img" % (k - 1)))
        name, line = step.split("|", 1)
        if name:
            t.path(drive).write_bytes(t.read(name))  # the same file, as the namespace holds it
        if line == "EOF":
            break
        if line == "INT":
            # This session's program: another test may run the same one meanwhile.
            pid = program_pid(process.pid)
            if pid:
                os.kill(pid, signal.SIGINT)
            process.wait(120)  # the input stays open: the session ends by the Ctrl-C alone
            break
        process.stdin.write(line.encode() + b"\n")
        process.stdin.flush()
    process.stdin.close()
    return t.backend.finish(t.work, process, 120)


def expect_record(t, image, raw, note, *jobs):
    problems = record_problems(t.work, image, raw, note, *jobs)
    t.check(not problems, "record of %s: %s" % (image, problems))


def expect_log(t, *rows):
    """The log, with the times cut off."""
    have = log_rows(t.path("log.csv"))
    t.check(have == list(rows), lambda: "log rows:\n%s" % "\n".join(have or ["(not CR LF throughout)"]))


def expect_ending(t, result, text):
    t.check(result.stdout.decode().endswith(text), lambda: "output ends: %r" % result.stdout[-200:])


@scenario("namespace")
def collection(t):
    """a session of three disks around an earlier box-002.dsk"""
    for seed in (1, 2, 3, 4):
        t.disk("disk%d.img" % seed, 737280, seed)
    t.blank("odd.img", 5000)
    shutil.copy(t.path("disk1.img"), t.path("drive.img"))
    t.write("box-002.dsk", "an earlier disk")
    result = session(t, "drive.img", ["disk1.img|first label", 'disk2.img|  comma, "quoted"  ', "odd.img|",
                                      "disk3.img|third", "|q"], "-i", "-b", "-f", "box-001.dsk", "-l", "log.csv")
    t.expect_status(result, 2)
    opened = e.OPENED + e.QUERIED + e.INSERTED[5] + e.LINES["READING"]
    done = e.LINES["IMAGE_CREATED"] + e.CLOSED
    t.expect_stdout(result, e.banner()
                    + prompt("box-001.dsk") + opened + t.image_of("disk1.img", "expected1.dsk") + done
                    + prompt("box-003.dsk") + opened + t.image_of("disk2.img", "expected2.dsk") + done
                    + prompt("box-004.dsk") + e.OPENED + e.LINES["WRONG_MEDIUM"] + e.LINES["DISK_NOT_READ"] + e.CLOSED
                    + prompt("box-004.dsk") + opened + t.image_of("disk3.img", "expected3.dsk") + done
                    + prompt("box-005.dsk") + "\nImages written: 3, listing unreadable sectors: 0, disks failed: 1.")
    for n, box in ((1, 1), (2, 3), (3, 4)):
        t.expect_same_bytes("expected%d.dsk" % n, "box-%03d.dsk" % box)
    t.check(t.read("box-002.dsk") == b"an earlier disk", "box-002.dsk changed")
    expect_record(t, "box-001.dsk", "disk1.img", "first label", "image")
    expect_record(t, "box-003.dsk", "disk2.img", 'comma, "quoted"', "image")
    expect_record(t, "box-004.dsk", "disk3.img", "third", "image")
    t.expect_absent("box-002.json", "box-005.dsk")
    expect_log(t, HEADER, "image|A:|box-001.dsk|first label|complete|0|0|" + sha256(t.path("disk1.img")),
               'image|A:|box-003.dsk|comma, "quoted"|complete|0|0|' + sha256(t.path("disk2.img")),
               "image|A:|box-004.dsk||failed|2|0|", "image|A:|box-004.dsk|third|complete|0|0|"
               + sha256(t.path("disk3.img")))
    t.expect_no_stray_files()

    t.case = "the same session again: end of input after one disk fills the next name"
    result = session(t, "drive.img", ["disk4.img|", "|EOF"], "-i", "-b", "-f", "box-001.dsk", "-l", "log.csv")
    t.expect_status(result, 0)
    expect_record(t, "box-005.dsk", "disk4.img", "", "image")
    expect_ending(t, result, prompt("box-006.dsk") + ONE_WRITTEN)

    t.case = "Ctrl-C at the prompt ends the session, all before it whole"
    t.path("log.csv").unlink()
    result = session(t, "drive.img", ["disk1.img|a", "|INT"], "-i", "-b", "-f", "dir-less name 7.dsk", "-l", "log.csv")
    t.expect_status(result, 2)
    expect_record(t, "dir-less name 7.dsk", "disk1.img", "a", "image")
    expect_log(t, HEADER, "image|A:|dir-less name 7.dsk|a|complete|0|0|" + sha256(t.path("disk1.img")))
    expect_ending(t, result, e.LINES["INTERRUPT"] + "\n" + ONE_WRITTEN)

    copies(t)
    records(t)
    durable(t)
    refusals(t)


def copies(t):
    t.case = "copies: two verified, then one onto a disk of another size"
    t.path("log.csv").unlink()
    t.blank("drive.img", 737280)
    t.blank("blank.img", 737280)
    t.blank("small.img", 368640)
    result = session(t, "drive.img", ["|1", "blank.img|2", "small.img|3", "|q"],
                     "-d", "-b", "-c", "-f", "box-001.dsk", "-l", "log.csv")
    t.expect_status(result, 2)
    t.expect_same_bytes("disk1.img", "drive-after-1.img")
    t.expect_same_bytes("disk1.img", "drive-after-2.img")
    sha = sha256(t.path("disk1.img"))
    expect_log(t, HEADER, *("restore|A:|box-001.dsk|%s|0|%s" % (job, sha)
                            for job in ("1|verified|0", "2|verified|0", "3|failed|2")))
    expect_ending(t, result, "\nCopies written: 2, with sectors not written: 0, copies failed: 1.")


def records(t):
    """Single jobs: -m writes a record, -i -r -m adds a run when the rescue
    changed the image; check --record tells a changed disk or image."""
    t.case = "-i -m, then -i -r -m on an image that lists sectors as unreadable"
    t.expect_status(t.run("-i", "-m", "-f", "single.dsk", a="disk2.img"), 0)
    expect_record(t, "single.dsk", "disk2.img", "", "image")
    t.write("single.dsk", image_file.with_unreadable(t.read("single.dsk"), [5, 700]))
    t.expect_status(t.run("-i", "-r", "-m", "-f", "single.dsk", "-l", "log.csv", a="disk2.img"), 0)
    expect_record(t, "single.dsk", "disk2.img", "", "image", "rescue")
    record = t.read("single.json").decode()
    t.check(json.loads(record).get("unreadable_sectors") == [], "the rescue left unreadable sectors in the record")
    t.check('"rescued_sectors": [' in record, "no rescued sectors in: " + record)

    t.case = "check --record: passes untouched, fails after a rescue without -m and on another disk's image"
    t.expect_status(t.run_tool("check", "single.dsk", "--record", "single.json"), 0)
    # The rescue reads sector 9 from a drive where it now holds other bytes.
    t.write("single.dsk", image_file.with_unreadable(t.read("single.dsk"), [9]))
    changed = bytearray(t.read("disk2.img"))
    changed[9 * 512 + 3] ^= 0xFF
    t.write("changed.img", bytes(changed))
    t.expect_status(t.run("-i", "-r", "-f", "single.dsk", a="changed.img"), 0)
    result = t.run_tool("check", "single.dsk", "--record", "single.json")
    t.expect_status(result, 2)
    t.check(re.search(rb"record single\.json: md5, sha1, sha256, sha512, image_sha256$", result.stderr, re.M),
            lambda: "the refusal names not every hash: %s" % result.stderr.decode())
    shutil.copy(t.path("box-001.dsk"), t.path("single.dsk"))
    t.expect_status(t.run_tool("check", "single.dsk", "--record", "single.json"), 2)


def durable(t):
    """A power cut must not bring an old image back once success was printed:
    the folder is flushed after each rename, before the line that reports it."""
    t.case = "the folder flushed after the image's and the record's rename"
    try:
        under_strace()
    except Skip:
        return
    t.run("-i", "-m", "-f", "durable.dsk", a="disk1.img", wrap=[
        "strace", "-o", str(t.path("trace")), "-s", "64", "-e", "trace=rename,renameat,renameat2,openat,fsync,write"])
    trace = t.read("trace").decode(errors="replace").splitlines()
    for name in ("durable.dsk", "durable.json"):
        renamed = re.compile(r'rename.*"%s"' % re.escape(name))
        steps = [line for line in trace if renamed.search(line) or "O_DIRECTORY" in line
                 or line.startswith("fsync") or "successfully created" in line]
        at = next((i for i, line in enumerate(steps) if renamed.search(line)), len(steps))
        after = [line[:12] for line in steps[at:at + 3]]
        t.check(len(after) == 3 and after[1] == "openat(AT_FD" and after[2].startswith("fsync("),
                lambda: "after the rename of %s: %s" % (name, " ".join(after)))
    order = [line[:6] for line in trace if re.search(r'rename.*"durable\.dsk"', line) or "successfully created" in line]
    t.check(order == ["rename", "write("], lambda: "success printed before the image was in place: %s" % order)


def refusals(t):
    t.case = "a log that cannot be opened is refused before the disk is read"
    t.path("folder.csv").mkdir()
    result = t.run("-i", "-f", "never.dsk", "-l", "folder.csv", a="disk1.img")
    t.expect_status(result, 2)
    t.expect_stdout(result, e.banner())
    t.expect_absent("never.dsk")

    t.case = "-l without a file name prints the usage text"
    result = t.run("-i", "-l", a="disk1.img")
    t.expect_status(result, 1)
    t.expect_stdout(result, e.banner() + e.USAGE)

    t.case = "without the new switches, -i writes the image and nothing else"
    t.path("plain").mkdir()
    result = t.backend.run(t.path("plain"), "mendarovel", ["-i", "-f", "plain.dsk"], a="../disk1.img")
    t.expect_status(result, 0)
    written = sorted(p.name for p in t.path("plain").iterdir())
    t.check(written == ["plain.dsk"], lambda: "files written: %s" % written)
