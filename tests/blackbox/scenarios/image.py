"""Imaging (-i) as users run it: exact lines and exact image bytes on every
standard capacity, and an existing image that survives every failure."""
import os
import shutil

import expected as e
from namespace import without_leak_checker
from scenario import scenario

ZERO_IMAGE_BYTES = 1505  # the image of an all-zero 1.44 MB disk


def fails_to_create(t, name, **options):
    """-i into NAME is refused after the open; returns the run."""
    result = t.run("-i", "-f", name, a=t.blank("zero.img", 1474560), **options)
    t.expect_stdout(result, e.banner() + e.OPENED + e.not_created(name) + e.CLOSED)
    t.expect_status(result, 2)
    return result


def described(path):
    """Size, mode and owner as `stat -c '%s %a %u:%g'` gives them."""
    if not os.path.exists(path):
        return "no such file"
    info = os.stat(path)
    return "%d %o %d:%d" % (info.st_size, info.st_mode & 0o7777, info.st_uid, info.st_gid)


@scenario("namespace", "pc", params=e.FORMATS)
def image(t, size):
    """image of a {}-byte disk"""
    lines = t.image_of(t.disk("disk.img", size), "expected.dsk")
    name = "image-%d.dsk" % size
    result = t.run("-i", "-f", name, a="disk.img")
    t.expect_stdout(result, e.imaging(e.ALL_FORMATS[size][4], lines))
    t.expect_status(result, 0)
    t.expect_same_bytes("expected.dsk", name)
    t.expect_files(result, name)


@scenario("namespace")
def all_zero(t):
    """all-zero 1.44 MB disk into Image.dsk"""
    t.expect_no_stray_files()  # nothing half-written left by the runs before
    t.expect_status(t.run("-i", a=t.blank("zero.img", 1474560)), 0)
    image = t.read("Image.dsk")
    t.check(len(image) == ZERO_IMAGE_BYTES, lambda: "Image.dsk is %d bytes" % len(image))
    t.check(image[1491:] == bytes.fromhex("0100e105000002000100342a5b3d"), "end record differs")

    # Imaging and rescuing never open the drive for writing: an original stays as it was.
    if not shutil.which("strace"):
        return
    for job in (["-i"], ["-i", "-r"]):
        t.case = "%s opens the drive read-only" % " ".join(job)
        result = t.run(*job, "-f", "Image.dsk", a="zero.img", env=without_leak_checker(),
                       wrap=["strace", "-qq", "-e", "trace=open,openat", "-o", str(t.path("opens"))])
        t.expect_status(result, 0)
        opens = [line for line in t.read("opens").decode().splitlines() if '"/dev/fd0"' in line]
        t.check(any("O_RDONLY" in line for line in opens) and not any("O_RDWR" in line for line in opens),
                lambda: "the drive was opened so: %s" % opens)


@scenario("namespace")
def failures_keep_the_old_image(t):
    """no drive: existing image untouched"""
    t.write("keep.orig", "an earlier image")
    shutil.copy(t.path("keep.orig"), t.path("keep.dsk"))
    t.expect_status(t.run("-i", "-f", "keep.dsk"), 2)
    t.expect_same_bytes("keep.orig", "keep.dsk")

    t.case = "unreadable medium: existing image untouched"
    result = t.run("-i", "-f", "keep.dsk", a=t.blank("odd.img", 5000))
    t.expect_stdout(result, e.banner() + e.OPENED + e.LINES["WRONG_MEDIUM"] + e.LINES["DISK_NOT_READ"] + e.CLOSED)
    t.expect_status(result, 2)
    t.expect_same_bytes("keep.orig", "keep.dsk")
    t.expect_no_stray_files()

    t.case = "missing folder, percent signs printed as they are"
    fails_to_create(t, "no%such%d/dir%s/x.dsk")

    t.case = "a folder as the target"
    t.path("folder.dsk").mkdir()
    fails_to_create(t, "folder.dsk")
    t.check(t.path("folder.dsk").is_dir(), "folder.dsk is gone")
    t.expect_no_stray_files()

    # Another user's world-writable image in a sticky folder (as in /tmp) can
    # be written but not replaced: refused before the disk is read, not after.
    if os.getuid() == 0:
        t.case = "another user's image in a sticky folder"
        t.path(".").chmod(0o711)
        t.path("zero.img").chmod(0o644)
        t.path("sticky").mkdir(0o1777)
        t.path("sticky").chmod(0o1777)
        theirs = t.path(t.write("sticky/theirs.dsk", "their image"))
        os.chown(theirs, 1234, 1234)
        theirs.chmod(0o666)
        result = fails_to_create(t, "sticky/theirs.dsk", wrap=["setpriv", "--reuid=4321", "--regid=4321",
                                                                "--clear-groups"])
        t.check(b"mendarovel: sticky/theirs.dsk: Operation not permitted" in result.stderr.splitlines(),
                lambda: "standard error: %r" % result.stderr)
        t.check(theirs.read_bytes() == b"their image" and os.listdir(t.path("sticky")) == ["theirs.dsk"],
                lambda: "sticky/ holds %s" % os.listdir(t.path("sticky")))

    t.case = "a successful run replaces the old image"
    t.expect_status(t.run("-i", "-f", "keep.dsk", a="zero.img"), 0)
    t.check(t.size("keep.dsk") == ZERO_IMAGE_BYTES, "keep.dsk was not replaced")


@scenario("namespace")
def full_target_disk(t):
    """full target disk"""
    # A full disk while writing: the old image stays, nothing half-written remains.
    t.write("old.dsk", os.urandom(100000))
    small = t.path("small")
    result = t.run("-i", "-f", small / "old.dsk", a=t.disk("busy.img", 1474560),
                   small_fs=("small", "300k", ["old.dsk"]),
                   after="cmp %s/old.dsk %s && echo SAME; ls %s" % (small, t.path("old.dsk"), small))
    after = result.after.decode().splitlines()
    t.check("SAME" in after, lambda: "the old image changed: %s" % after)
    t.check(len([line for line in after if line]) == 2, lambda: "files left on the full disk: %s" % after)
    t.check(e.LINES["IMAGE_NOT_WRITTEN"].encode() + b"\n" in result.stdout + b"\n",
            lambda: "no write failure reported: %r" % result.stdout)
    t.expect_status(result, 2)

    # A rescue's image that does not fit: its write says "failed", the file stays.
    t.case = "full target disk during a rescue"
    t.image_of("busy.img", "listed.dsk", unreadable=[5])
    small = t.path("small-rescue")
    room = "%dk" % (len(t.read("listed.dsk")) // 1024 + 64)
    result = t.run("-i", "-r", "-f", small / "listed.dsk", a="busy.img",
                   small_fs=("small-rescue", room, ["listed.dsk"]),
                   after="cmp %s/listed.dsk %s && echo SAME; ls -A %s" % (small, t.path("listed.dsk"), small))
    t.expect_status(result, 2)
    t.check(result.after.rstrip(b"\n") == b"SAME\nlisted.dsk", lambda: "the full disk holds: %r" % result.after)
    t.check(result.stdout.endswith(("\nWriting image data to file...failed" + e.LINES["IMAGE_NOT_WRITTEN"]
                                    + e.CLOSED).encode()), lambda: "standard output ends: %r" % result.stdout[-200:])


@scenario("namespace")
def special_targets(t):
    """only a regular file is ever replaced"""
    # Anything else is refused before the disk is read and stays as it was. A
    # FIFO must not hang the run.
    os.mkfifo(t.path("pipe.dsk"))
    for target in ("/dev/null", "pipe.dsk"):
        t.case = "%s as the target" % target
        result = fails_to_create(t, target, timeout=20, after="stat -c %%F %s" % target)
        kind = result.after.decode().splitlines()[-1:]
        t.check(kind in (["character special file"], ["fifo"]), lambda: "%s is now a %s" % (target, kind))
    t.case = "a FIFO as the image to restore"
    result = t.run("-d", "-f", "pipe.dsk", a="zero.img", timeout=20)
    t.expect_stdout(result, e.banner() + e.OPENED + e.not_opened("pipe.dsk") + e.CLOSED)
    t.expect_status(result, 2)
    t.expect_no_stray_files()


@scenario("namespace")
def links_and_names(t):
    """a relative link in another folder as the target"""
    # A link stays a link: the file it leads to gets the new image and keeps
    # its mode and owner; a new file gets the mode any new file gets.
    behind = t.path(t.write("behind.dsk", "the image behind the link"))
    behind.chmod(0o604)
    owner = (os.getuid(), os.getgid())
    if owner[0] == 0:  # only root may give a file away
        owner = (1234, 5678)
        os.chown(behind, *owner)
    t.path("links").mkdir()
    os.symlink("../behind.dsk", t.path("links/link.dsk"))
    t.expect_status(t.run("-i", "-f", "links/link.dsk", a=t.blank("zero.img", 1474560)), 0)
    link = t.path("links/link.dsk")
    t.check(link.is_symlink() and os.readlink(link) == "../behind.dsk", "the link was replaced")
    t.check(described(behind) == "%d 604 %d:%d" % (ZERO_IMAGE_BYTES, *owner), lambda: "behind.dsk: " + described(behind))
    t.expect_no_stray_files()

    t.case = "a name of 254 bytes, made with umask 027"
    long = "n" * 250 + ".dsk"
    t.expect_status(t.run("-i", "-f", long, a="zero.img", umask=0o027), 0)
    t.check(described(t.path(long)).startswith("%d 640 " % ZERO_IMAGE_BYTES), lambda: described(t.path(long)))
    t.path(long).unlink(missing_ok=True)
    t.expect_no_stray_files()
