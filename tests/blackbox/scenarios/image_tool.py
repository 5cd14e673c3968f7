"""mendarovel-image as users run it: round trips against the imaging program,
hashes, the verdicts of check on the fuzzers' corpus, what the damage hit on
FAT disks made with mtools (files, extract, map), and refusals that write
nothing. The Windows build reads no file systems: files and extract say so."""
import hashlib
import json
import os
import shutil
import struct
import subprocess
import sys
import xml.dom.minidom
import xml.parsers.expat
from pathlib import Path

import expected as e
import fat_disk
import image_file
from scenario import scenario
from scenarios.command_line import GONE_READER

ROOT = Path(__file__).resolve().parents[3]
TOOL = "mendarovel-image: "
FIELDS = ["file", "format_version", "image_offset", "image_size", "geometry", "media", "file_system", "label",
          "raw_size", "stored_size", "ratio", "compressed", "unreadable_sectors", "unreadable_list_damaged", "md5",
          "sha1", "sha256", "sha512"]
# check's verdict on each seed of the fuzzers' corpus: seed|exit status|verdict.
VERDICTS = """leading_bytes|0|valid (compressed, checksum correct)
v21_raw|0|valid (raw data, no checksum to verify)
unreadable|0|valid (compressed, checksum correct; 3 sectors were unreadable when it was made)
unreadable_ragged|0|valid (compressed, checksum correct; its list of unreadable sectors is damaged and ignored)
v30_compressed|0|valid (compressed, checksum correct)
wrong_magic|2|invalid: not an image file (no image trailer at its end; truncated?)
total_beyond_file|2|invalid: invalid file structure (the trailer gives an image of 336 bytes, the file has 335)
no_data|2|invalid: the image holds no disk data
empty_geometry|2|invalid: the geometry holds no sector
geometry_over_32_bits|2|invalid: the geometry describes a disk of 4 GB or more
raw_too_long|2|invalid: the raw data holds 600 bytes, the geometry needs 512
expands_too_short|2|invalid: the compressed data expands to 500 bytes, the geometry needs 512
zlib_bad_checksum|2|invalid: the compressed data is damaged (incorrect data check)
zlib_cut|2|invalid: the compressed data ends early"""
HELP = "   (mendarovel-image --help tells more)"
COMMANDS = "info, check, export, import, files, extract, map"
# Wrong usage: what is wrong, the command's usage line and where the help is.
USAGE = [
    ([], [TOOL + "a command is needed (%s; see mendarovel-image --help)" % COMMANDS]),
    (["infoo", "x"], [TOOL + "unknown command 'infoo' (the commands are %s; see mendarovel-image --help)" % COMMANDS]),
    (["info"], [TOOL + "FILE is required", "usage: mendarovel-image info FILE [--json]" + HELP]),
    (["export", "only.dsk"], [TOOL + "RAW is required", "usage: mendarovel-image export FILE RAW" + HELP]),
    (["check", "a.dsk", "--json"], [TOOL + "The following argument was not expected: --json",
                                    "usage: mendarovel-image check FILE [--record RECORD]" + HELP]),
]
# Runs the program and prints its peak resident set (KiB) and seconds on standard error.
MEASURED = ("import resource, subprocess, sys, time; start = time.monotonic(); "
            "status = subprocess.run(sys.argv[1:]).returncode; print(resource.getrusage(resource.RUSAGE_CHILDREN)"
            ".ru_maxrss, time.monotonic() - start, file=sys.stderr); sys.exit(status)")
CLOSED_STDOUT = ["bash", "-c", 'exec "$0" "$@" >&-']
ON_TERMINAL = ["bash", "-c", 'script -qec "$(printf "%q " "$@") 2>terminal.err" /dev/null >/dev/null', "on-terminal"]


def reference_image(t, disk, image):
    """What imaging a drive holding DISK gives: -i where the back-end's
    drives read, else the image built here (the imaging checks hold both to the same bytes)."""
    if t.backend.drives:
        t.expect_status(t.run("-i", "-f", image, a=disk), 0)
    else:
        t.image_of(disk, image)


def fields_of(result):
    """The JSON object the run printed; empty when it printed none (every field check then fails)."""
    try:
        return json.loads(result.stdout)
    except ValueError:
        return {}


def expect_fields(t, fields, **wanted):
    for name, value in wanted.items():
        t.check(name in fields and json.dumps(fields[name]) == json.dumps(value),
                lambda: "%s is %s, expected %s" % (name, json.dumps(fields.get(name)), json.dumps(value)))


def expect_lines(t, result, *lines):
    """Each is a whole line of standard output."""
    have = result.stdout.decode(errors="replace").split(t.backend.newline)
    for line in lines:
        t.check(line in have, lambda: "no line %r in: %r" % (line, result.stdout))


def hashes(data):
    return {name: hashlib.new(name, data).hexdigest() for name in ("md5", "sha1", "sha256", "sha512")}


def places(*sectors, names=("cylinder", "sector", "head")):
    """The (cylinder, sector, head) of 1.44 MB disk sectors, 1-based, as the JSON lists them."""
    return [dict(zip(names, (s // 36 + 1, s % 18 + 1, s // 18 % 2 + 1))) for s in sectors]


@scenario("namespace", "wine", params=(1474560, 1261568))
def round_trip(t, size):
    """import of a {}-byte raw disk"""
    disk, drive, exported = "disk-%d.img" % size, "drive-%d.dsk" % size, "exported-%d.img" % size
    raw = t.read(t.disk(disk, size))
    reference_image(t, disk, drive)
    result = t.run_tool("import", disk, "imported-%d.dsk" % size)
    t.expect_status(result, 0)
    t.expect_stdout(result, "")
    t.expect_same_bytes(drive, "imported-%d.dsk" % size)
    t.case = "import of a %d-byte raw disk over that image" % size
    t.expect_status(t.run_tool("import", disk, "imported-%d.dsk" % size), 0)

    t.case = "export of a %d-byte disk's image" % size
    t.expect_status(t.run_tool("export", drive, exported), 0)
    t.expect_same_bytes(disk, exported)
    result = t.run_tool("export", drive, "-")
    t.expect_status(result, 0)
    t.check(result.stdout == raw, "export to standard output differs from the disk")

    t.case = "info --json of a %d-byte disk's image" % size
    result = t.run_tool("info", drive, "--json")
    t.expect_status(result, 0)
    fields = fields_of(result)
    bytes_per_sector, sectors, heads, cylinders, media, name = e.FORMATS[size]
    expect_fields(t, fields, **hashes(raw), geometry={
        "bytes_per_sector": bytes_per_sector, "sectors_per_track": sectors, "heads": heads, "cylinders": cylinders,
        "media_type": media}, media=name, raw_size=size, image_size=t.size(drive),
        stored_size=t.size(drive) - e.IMAGE_OVERHEAD, compressed=True)
    t.check(list(fields) == FIELDS, lambda: "fields in the order: %s" % list(fields))


@scenario("namespace", "wine")
def unreadable_list(t):
    """info of an appended image with unreadable sectors"""
    # An image appended to other bytes that lists two unreadable sectors of a 720 KB disk.
    raw = t.read(t.disk("disk-737280.img", 737280))
    reference_image(t, "disk-737280.img", "drive.dsk")
    t.write("appended.dsk", b"x" * 777 + image_file.with_unreadable(t.read("drive.dsk"), [5, 1439]))
    result = t.run_tool("info", "appended.dsk")
    t.expect_status(result, 0)
    expect_lines(t, result, "Image starts at:     byte 777 of the file", "Unreadable sectors:  2",
                 "                     cyl 1, sect 6, head 1", "                     cyl 80, sect 9, head 2",
                 "MD5:                 " + hashes(raw)["md5"], "SHA-512:             " + hashes(raw)["sha512"],
                 "Media type:          5, " + e.MEDIA[5])
    expect_fields(t, fields_of(t.run_tool("info", "appended.dsk", "--json")), image_offset=777,
                  unreadable_sectors=[{"cylinder": 1, "sector": 6, "head": 1},
                                      {"cylinder": 80, "sector": 9, "head": 2}], unreadable_list_damaged=False)

    # One flipped bit in the list (sector 101 as 101 + 2^31): no count can be given.
    t.case = "info of an image whose list of unreadable sectors is damaged"
    t.write("damaged-list.dsk", image_file.with_unreadable(t.read("drive.dsk"), [100, 101 + 2 ** 31]))
    result = t.run_tool("info", "damaged-list.dsk")
    t.expect_status(result, 0)
    expect_lines(t, result, "Unreadable sectors:  unknown: the image's list of them is damaged and ignored")
    expect_fields(t, fields_of(t.run_tool("info", "damaged-list.dsk", "--json")), unreadable_sectors=[],
                  unreadable_list_damaged=True)

    t.case = "export of an appended image"
    t.run_tool("export", "appended.dsk", "appended.img")
    t.expect_same_bytes("disk-737280.img", "appended.img")


def corpus(t):
    if not t.path("corpus").exists():
        subprocess.run([sys.executable, str(ROOT / "fuzz" / "make_corpus"), "corpus"], cwd=t.work, check=True)


@scenario("namespace", "wine")
def verdicts(t):
    """check gives the restore's verdict, and says what is wrong"""
    corpus(t)
    for seed, status, verdict in (line.split("|") for line in VERDICTS.splitlines()):
        t.case = "check of " + seed
        result = t.run_tool("check", "corpus/image/" + seed)
        t.expect_stdout(result, "corpus/image/%s: %s\n" % (seed, verdict))
        t.expect_status(result, int(status))

    t.case = "check of a raw disk"
    result = t.run_tool("check", t.disk("disk-737280.img", 737280))
    t.expect_stdout(result, "disk-737280.img: invalid: not an image file (no image trailer at its end; a raw disk"
                            " of a standard size? import makes an image of it)\n")
    t.expect_status(result, 2)


@scenario("namespace")
def unused_record(t):
    """check of an image with a 1 GiB unused record"""
    # A record the reader does not use is skipped unread: a hole in a sparse
    # file costs neither memory nor time.
    body = image_file.of_disk(t.read(t.disk("disk.img", 1474560)))[:-image_file.END_RECORD_BYTES]
    with open(t.path("sparse.dsk"), "wb") as image:
        image.write(body + struct.pack("<HI", 0x7777, 1 << 30))
        image.seek(1 << 30, 1)
        image.write(struct.pack("<HIHHI", image_file.END, len(body) + 6 + (1 << 30) + image_file.END_RECORD_BYTES,
                                2, 1, image_file.MAGIC))
    result = t.run_tool("check", "sparse.dsk", wrap=["python3", "-c", MEASURED])
    t.expect_stdout(result, "sparse.dsk: valid (compressed, checksum correct)\n")
    peak, seconds = result.stderr.split()
    t.check(int(peak) < 100 * 1024 and float(seconds) < 2, "peak %s KiB, %s s" % (peak, seconds))
    t.path("sparse.dsk").unlink()


def fat_disks(t):
    """FAT12 disks made with mtools: fat.img as made, lost.dsk with sector 1
    (the chains in FAT 1), one of each of two files and two free ones lost,
    fat1.dsk with only sector 1 lost, random.dsk of no file system. Returns
    the lost sectors, None (and says so) when mtools or ddrescuelog is missing."""
    if hasattr(t, "lost"):
        return t.lost
    t.lost = None
    if not (shutil.which("mformat") and shutil.which("ddrescuelog")):
        print("note: files, extract and map are not checked (mtools or ddrescuelog missing)")
        return None
    t.write("in/A.BIN", os.urandom(5000))
    t.write("in/SUB/BIG.BIN", os.urandom(20000))
    for name in ("NOTE.TXT", "DEL.TXT"):
        t.write("in/" + name, "a note\n")
    for name in ("a.a.a.ONE.TX", "a.a.a.TWO.TX", "x.x.x.EV.TXT"):
        t.write("in/" + name, name + "\n")
    for command in (["touch", "-d", "2001-02-03 04:05:06", *t.path("in").glob("*"), *t.path("in/SUB").glob("*")],
                    ["mformat", "-C", "-f", "1440", "-v", "DAMAGED", "-N", "1234ABCD", "-i", "fat.img", "::"],
                    ["mmd", "-i", "fat.img", "::/SUB"],
                    ["mcopy", "-m", "-i", "fat.img", "in/A.BIN", "in/NOTE.TXT", "in/DEL.TXT", "::/"],
                    ["mcopy", "-m", "-i", "fat.img", "in/SUB/BIG.BIN", "::/SUB/"],
                    ["mdel", "-i", "fat.img", "::/DEL.TXT"]):
        subprocess.run(command, cwd=t.work, check=True)
    fat = t.read("fat.img")
    # Sector 1 holds the chains in FAT 1; 2000 and 2001 lie in free space.
    t.lost = [1, fat_disk.file_sector(fat, t.read("in/A.BIN")), fat_disk.file_sector(fat, t.read("in/SUB/BIG.BIN")),
              2000, 2001]
    lost = bytearray(fat)
    for sector in t.lost:
        lost[sector * 512:sector * 512 + 512] = bytes(512)
    t.image_of(t.write("lost.img", bytes(lost)), "lost.dsk", t.lost)
    t.image_of("fat.img", "clean.dsk")
    t.image_of(t.write("fat1.img", fat[:512] + bytes(512) + fat[1024:]), "fat1.dsk", [1])
    t.image_of(t.disk("random.img", 1474560), "random.dsk")
    return t.lost


def is_xml(path):
    try:
        xml.dom.minidom.parse(str(path))
        return True
    except (OSError, xml.parsers.expat.ExpatError):
        return False


@scenario("namespace", "wine")
def damage_map(t):
    """map of a disk with unreadable sectors"""
    lost = fat_disks(t)
    if not lost:
        return
    result = t.run_tool("map", "lost.dsk", "--svg", "lost.svg", "--ddrescue", "lost.map")
    t.expect_status(result, 0)
    listed = subprocess.run(["ddrescuelog", "-b512", "-l-", "lost.map"], cwd=t.work, capture_output=True, text=True)
    t.check(listed.stdout.split() == [str(s) for s in sorted(lost)], "ddrescuelog lists: " + listed.stdout)
    t.check(is_xml(t.path("lost.svg")), "lost.svg is not XML")
    grid = [line for line in result.stdout.decode().splitlines() if line.startswith("h")]
    t.check(sum(line.count("X") for line in grid) == len(lost) and b"\033" not in result.stdout,
            lambda: "grid: %r" % result.stdout)

    t.case = "map of a clean disk"
    result = t.run_tool("map", "clean.dsk")
    t.expect_status(result, 0)
    grid = [line for line in result.stdout.decode().splitlines() if line.startswith("h")]
    t.check(len([line for line in grid if line[:4] in ("h1 s", "h2 s")]) == 36 and not any("X" in g for g in grid),
            lambda: "grid: %r" % result.stdout)


@scenario("wine")
def without_file_systems(t):
    """files and extract in a build without file systems"""
    if fat_disks(t):
        expect_no_files(t, "lost.dsk", "out", lambda command: command + ": not available in this build, which reads "
                        "no file systems")


def expect_no_files(t, disk, folder, why):
    """files and extract of DISK refused: status 2, WHY(the command) on standard error, no FOLDER made."""
    for command in (["files", disk], ["extract", disk, folder]):
        result = t.run_tool(*command)
        t.expect_status(result, 2)
        t.expect_stderr_lines(result, TOOL + why(command[0]))
    t.expect_absent(folder)


def file_lines(result):
    """Each entry of files --json: path, state, deleted, sectors, unreadable places (cylinder/head/sector)."""
    return [(f["path"], f["state"], f["deleted"], f["sectors"],
             ["%(cylinder)d/%(head)d/%(sector)d" % place for place in f["unreadable_sectors"]])
            for f in fields_of(result).get("files", [])]


@scenario("namespace")
def damaged_files(t):
    """files of a disk with lost sectors in two files, FAT 1 and free space"""
    lost = fat_disks(t)
    if not lost:
        return
    fat1 = {"area": "FAT 1", "unreadable_sectors": places(1)}
    result = t.run_tool("files", "lost.dsk", "--json")
    t.expect_status(result, 3)
    expect_fields(t, fields_of(result), file_system="FAT12", label="DAMAGED", serial="1234-ABCD", system_areas=[fat1],
                  free_unreadable_sectors=places(2000, 2001))
    slash = "%(cylinder)d/%(head)d/%(sector)d"
    t.check(file_lines(result) == [
        ("/SUB/", "intact", False, 1, []), ("/A.BIN", "damaged", False, 10, [slash % places(lost[1])[0]]),
        ("/NOTE.TXT", "intact", False, 1, []), ("/_EL.TXT", "intact", True, 1, []),
        ("/SUB/BIG.BIN", "damaged", False, 40, [slash % places(lost[2])[0]])],
        lambda: "files: %s" % file_lines(result))
    result = t.run_tool("files", "lost.dsk")
    t.expect_status(result, 3)
    expect_lines(t, result, "2 of 4 files and folders damaged, 2 unreadable sectors in free space")

    t.case = "extract of a disk with lost sectors"
    result = t.run_tool("extract", "lost.dsk", "out")
    t.expect_status(result, 3)
    t.expect_stdout(result, "Damaged: /A.BIN (1 sector lost, written as zeros)\n"
                            "Damaged: /SUB/BIG.BIN (1 sector lost, written as zeros)\n"
                            "Extracted 3 files and 1 folder: 2 damaged, 0 refused.\n")
    t.expect_same_bytes("in/NOTE.TXT", "out/NOTE.TXT")
    fat = t.read("fat.img")
    t.write("A.expected", fat_disk.zeroed(fat, t.read("in/A.BIN"), lost[1]))
    t.write("BIG.expected", fat_disk.zeroed(fat, t.read("in/SUB/BIG.BIN"), lost[2]))
    t.expect_same_bytes("A.expected", "out/A.BIN")
    t.expect_same_bytes("BIG.expected", "out/SUB/BIG.BIN")
    t.expect_absent("out/DEL.TXT", "out/_EL.TXT")
    times = [t.path(name).exists() and int(t.path(name).stat().st_mtime)
             for name in ("in/NOTE.TXT", "out/NOTE.TXT", "out/SUB/BIG.BIN")]
    t.check(False not in times and len(set(times)) == 1, lambda: "modification times: %s" % times)
    t.case = "extract into a folder that is not empty"
    result = t.run_tool("extract", "lost.dsk", "out")
    t.expect_status(result, 2)
    t.expect_stderr_lines(result, TOOL + "out: is not empty (extract writes only into an empty or new folder)")

    t.case = "files of a disk whose FAT 1 lost the sector with the chains"
    result = t.run_tool("files", "fat1.dsk", "--json")
    t.expect_status(result, 3)
    expect_fields(t, fields_of(result), system_areas=[fat1])
    intact = [line for line in file_lines(result) if line[1:3] == ("intact", False)]
    t.check(len(intact) == 4, lambda: "files: %s" % file_lines(result))
    t.case = "extract of that disk"
    t.expect_status(t.run_tool("extract", "fat1.dsk", "fat1-out"), 0)
    t.expect_same_bytes("in/A.BIN", "fat1-out/A.BIN")
    t.expect_same_bytes("in/SUB/BIG.BIN", "fat1-out/SUB/BIG.BIN")


@scenario("namespace")
def no_file_system(t):
    """a disk that holds no file system"""
    if not fat_disks(t):
        return
    expect_no_files(t, "random.dsk", "nothing",
                    lambda _: "random.dsk: the disk holds no FAT file system that can be read")
    result = t.run_tool("info", "random.dsk", "--json")
    t.expect_status(result, 0)
    expect_fields(t, fields_of(result), file_system=None)
    t.expect_status(t.run_tool("map", "random.dsk"), 0)


@scenario("namespace")
def hostile_names(t):
    """extract of hostile names"""
    # Names written into the directory by hand: one that climbs out of the
    # folder, and two entries of one name.
    if not fat_disks(t):
        return
    shutil.copy(t.path("fat.img"), t.path("hostile.img"))
    subprocess.run(["mcopy", "-m", "-i", "hostile.img", "in/a.a.a.ONE.TX", "in/a.a.a.TWO.TX", "in/x.x.x.EV.TXT",
                    "::/"], cwd=t.work, check=True)
    disk = fat_disk.rename_entry(t.read("hostile.img"), "x.x.x.EV.TXT", "../../EV.TXT")
    t.write("hostile.img", fat_disk.rename_entry(disk, "a.a.a.TWO.TX", "a.a.a.ONE.TX"))
    t.image_of("hostile.img", "hostile.dsk")
    t.path("deep/down").mkdir(parents=True)
    result = t.run_tool("extract", "hostile.dsk", "deep/down/out")
    t.expect_status(result, 3)
    t.expect_stdout(result, "Refused: /a.a.a.ONE.TX (a file or folder of that name was already extracted)\n"
                            "Refused: /../../EV.TXT (its name cannot be written safely here)\n"
                            "Extracted 4 files and 1 folder: 0 damaged, 2 refused.\n")
    t.expect_same_bytes("in/a.a.a.ONE.TX", "deep/down/out/a.a.a.ONE.TX")
    outside = list(t.work.rglob("EV.TXT"))
    t.check(not outside, lambda: "written outside the folder: %s" % outside)
    t.case = "info of a FAT disk"
    expect_fields(t, fields_of(t.run_tool("info", "hostile.dsk", "--json")), file_system="FAT12", label="DAMAGED")


@scenario("namespace", "wine")
def bad_input(t):
    """import of a raw disk of no standard size"""
    # Bad input: one line, status 2, nothing written, an existing target untouched.
    t.write("keep.orig", "an earlier file")
    shutil.copy(t.path("keep.orig"), t.path("keep"))
    result = t.run_tool("import", t.blank("odd.img", 1000), "keep")
    t.expect_status(result, 2)
    t.expect_stdout(result, "")
    t.expect_stderr_lines(result, TOOL + "odd.img: 1000 bytes is no standard floppy size; accepted sizes: "
                          + ", ".join(map(str, e.FORMATS)))
    t.expect_same_bytes("keep.orig", "keep")
    t.case = "export of a damaged image"
    corpus(t)
    result = t.run_tool("export", "corpus/image/zlib_bad_checksum", "keep")
    t.expect_status(result, 2)
    t.expect_stderr_lines(result, TOOL + "corpus/image/zlib_bad_checksum: the compressed data is damaged"
                          " (incorrect data check)")
    t.expect_same_bytes("keep.orig", "keep")

    # A target that is the source itself, through a link or another name, would
    # destroy it: refused before anything is written.
    t.image_of(t.disk("disk-737280.img", 737280), "listed.dsk", [5, 1439])
    shutil.copy(t.path("listed.dsk"), t.path("same.dsk"))
    t.path("same-link.img").symlink_to("same.dsk")
    t.path("same-hard.img").hardlink_to(t.path("disk-737280.img"))
    for args in (["export", "same.dsk", "same-link.img"], ["import", "disk-737280.img", "same-hard.img"]):
        t.case = " ".join(args)
        result = t.run_tool(*args)
        t.expect_status(result, 2)
        t.expect_stderr_lines(result, TOOL + args[2] + ": is the file being read; nothing was written (name another"
                                                       " file)")
    t.expect_same_bytes("listed.dsk", "same.dsk")
    t.expect_same_bytes("disk-737280.img", "same-hard.img")

    # A command whose product is what it prints refuses to print into nothing.
    for args in (["info", "listed.dsk"], ["export", "listed.dsk", "-"], ["map", "listed.dsk"]):
        t.case = " ".join(args) + " with standard output closed"
        result = t.run_tool(*args, wrap=CLOSED_STDOUT)
        t.expect_status(result, 2)
        if t.backend.name != "wine":
            t.expect_stderr_lines(result, TOOL + "standard output: closed; what the command prints would be lost")
        else:  # Wine hands a closed descriptor over as a handle that fails at the first write
            lines = result.stderr.decode(errors="replace").splitlines()
            t.check(len(lines) == 1 and lines[0].startswith(TOOL + "standard output: "), "standard error: %r" % lines)
    # Nor does it report success of output that could not be written.
    if t.backend.name != "wine":
        t.case = "check with standard output full"
        result = t.run_tool("check", "listed.dsk", wrap=["bash", "-c", 'exec "$0" "$@" >/dev/full'])
        t.expect_status(result, 2)
        t.expect_stderr_lines(result, TOOL + "standard output: cannot write: No space left on device")
    t.case = "export of an image that does not exist"
    result = t.run_tool("export", "missing.dsk", "new.img")
    t.expect_status(result, 2)
    t.expect_absent("new.img")
    lines = result.stderr.decode(errors="replace").splitlines()
    t.check(len(lines) == 1 and lines[0].startswith(TOOL + "missing.dsk: cannot open: "), "standard error: %r" % lines)
    t.expect_no_stray_files()


@scenario("namespace", "wine")
def usage(t):
    """usage"""
    for args, lines in USAGE:
        t.case = "usage: '%s'" % " ".join(args)
        result = t.run_tool(*args)
        t.expect_status(result, 1)
        t.expect_stdout(result, "")
        t.expect_stderr_lines(result, *lines)

    t.case = "--version"
    result = t.run_tool("--version")
    t.expect_status(result, 0)
    t.expect_stdout(result, e.tool_version())


@scenario("namespace", "wine")
def standard_output(t):
    """standard output a pipe without a reader"""
    # A reader that has gone away gets nothing more, not even why (exit 2); a
    # terminal gets no raw disk (one line, exit 2).
    t.image_of(t.disk("disk.img", 737280), "image.dsk")
    for args in (["info", "image.dsk"], ["export", "image.dsk", "-"]):
        t.case = " ".join(args) + " into a pipe without a reader"
        result = t.run_tool(*args, wrap=["python3", "-c", GONE_READER])
        t.expect_status(result, 2)
        t.expect_stderr_lines(result)
    if t.backend.name != "wine" and shutil.which("script"):
        t.case = "export onto a terminal"
        t.expect_status(t.run_tool("export", "image.dsk", "-", wrap=ON_TERMINAL), 2)
        t.check(t.read("terminal.err") == (TOOL + "standard output: is a terminal; redirect it (> disk.img) or name"
                                           " a file for the raw disk\n").encode(),
                lambda: "standard error: %r" % t.read("terminal.err"))
