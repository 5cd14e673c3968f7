"""A floppy whose file system is mounted is imaged, but never written behind
the file system's back; once unmounted it is written as usual."""
import os
import shutil
import subprocess
import time

import expected as e
from backend import SetupError
from checks import Skip
from namespace import own_mount_namespace
from scenario import scenario


def system(*command):
    """A setup command's output; its failure fails the test."""
    done = subprocess.run(command, capture_output=True, text=True)
    if done.returncode:
        raise SetupError("%s: %s" % (" ".join(command), done.stderr.strip()))
    return done.stdout.strip()


def wait_free(device):
    """Waits up to 5 s until the kernel grants an exclusive open of the device:
    the namespaces of earlier runs may take a moment to let go of their mounts."""
    for _ in range(50):
        try:
            return os.close(os.open(device, os.O_RDONLY | os.O_EXCL))
        except OSError:
            time.sleep(0.1)


@scenario("namespace")
def mounted(t):
    """imaging a mounted floppy"""
    if os.getuid() != 0:
        raise Skip("mounting a loop device needs root")
    own_mount_namespace()
    t.blank("disk.img", 1474560)
    system("mkfs.ext2", "-q", "-F", str(t.path("disk.img")))
    shutil.copy(t.path("disk.img"), t.path("disk.orig"))
    try:
        loop = system("losetup", "-f", "--show", str(t.path("disk.img")))
    except SetupError:
        raise Skip("no loop device here")
    mounts, loops = [], [loop]
    try:
        t.path("mnt").mkdir()
        system("mount", "-o", "ro", loop, str(t.path("mnt")))
        mounts.append(t.path("mnt"))
        with_mount(t, loop, mounts, loops)
    finally:
        for mount in reversed(mounts):
            subprocess.run(["umount", str(mount)], stderr=subprocess.DEVNULL)
        for device in reversed(loops):
            subprocess.run(["losetup", "-d", device], stderr=subprocess.DEVNULL)


def with_mount(t, loop, mounts, loops):
    # The drive is a loop device, so the kernel sees it mounted.
    t.expect_status(t.run("-i", "-f", "other.dsk", a=t.disk("other.img", 1474560)), 0)
    t.expect_status(t.run("-i", "-f", "mounted.dsk", a=loop), 0)
    t.check(t.size("mounted.dsk"), "no image of the mounted floppy")

    busy = (e.banner() + e.OPENED + e.READ_IMAGE + t.expansion("other.dsk", "other.img") + e.QUERIED + e.INSERTED[2]
            + e.refused_write("Device or resource busy") + e.CLOSED)
    t.case = "writing a mounted floppy is refused at once"
    result = t.run("-d", "-f", "other.dsk", a=loop)
    t.expect_stdout(result, busy)
    t.expect_status(result, 2)
    t.expect_same_bytes("disk.orig", "disk.img")

    # Mounted through a loop device stacked on the drive: the drive itself is
    # not claimed by anyone, the loop device over it is. The stacked devices
    # keep their names in the program's /dev.
    t.case = "writing a floppy mounted through a stacked loop device is refused"
    shutil.copy(t.path("disk.orig"), t.path("stacked.img"))
    loops.append(system("losetup", "-f", "--show", str(t.path("stacked.img"))))
    loops.append(system("losetup", "-f", "--show", loops[1]))
    t.path("mnt-stacked").mkdir()
    system("mount", "-o", "ro", loops[2], str(t.path("mnt-stacked")))
    mounts.append(t.path("mnt-stacked"))
    result = t.run("-d", "-f", "other.dsk", a=loops[1], nodes=loops[1:])
    t.expect_stdout(result, busy)
    t.expect_status(result, 2)
    t.expect_same_bytes("disk.orig", "stacked.img")

    t.case = "once unmounted, the same image is written"
    system("umount", str(mounts.pop(0)))
    wait_free(loop)
    t.expect_status(t.run("-d", "-f", "other.dsk", a=loop), 0)
    t.expect_same_bytes("other.img", "disk.img")
