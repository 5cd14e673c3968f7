#!/usr/bin/python3
"""The drives as floppy disks of an emulated PC (qemu, software emulation):
the program meets the real kernel floppy driver. One boot per run; the work
folder is the guest's /out, and what the guest leaves there comes back.

$VM_DIR holds initrd.gz and kernel, which vm.prepare makes (prepare.sh).

usage: pc.py [--timeout S] FOLDER DISK SCRIPT
  boots with DISK in drive A:, runs the guest shell SCRIPT (`run ARGS` runs
  the program) in a copy of FOLDER and brings the changes back; prints what
  the last run printed and exits with its status (0 when SCRIPT ran none)."""
import gzip
import os
import shlex
import subprocess
import sys
import tarfile
import tempfile
import time
from dataclasses import dataclass, field
from pathlib import Path

from backend import Backend, Result, SetupError

# The floppy formats the emulated drive takes from a disk file's size alone.
SIZES = {737280: "720k", 1474560: "1440k", 2949120: "2880k"}
GUEST_FILES_LIMIT = 16 << 20  # the scratch disk that brings /out back


@dataclass
class Boot(Result):
    """The last run's output, and every run of the boot in `runs`."""
    runs: list = field(default_factory=list)


class PC(Backend):
    name = "pc"

    def __init__(self):
        self.folder = Path(os.environ.get("VM_DIR", ""))

    def unavailable(self):
        if not (self.folder / "initrd.gz").is_file():
            return "the emulated PC is not prepared (vm.prepare says what it misses)"
        return None

    def test_name(self, scenario, *param):
        """vm.NAME, and vm.NAME.FORMAT per disk format; None for a size the
        emulated drive cannot take."""
        if not param:
            return scenario.name
        label = SIZES.get(param[0]) if isinstance(param[0], int) else param[0]
        return label and "%s.%s" % (scenario.name, label)

    def execute(self, work, program, args, a, b, stdin, timeout, env, steps=None, drive="", usb=False,
                faults=None, disks=()):
        """steps: the guest's work, in order: program arguments (a run) or
        shell text (instead of one run of ARGS); drive: options of the floppy
        drives' qemu -drive (",readonly=on"); usb: drive A: is a virtio disk
        the guest makes its /dev/fd0, as a USB floppy drive appears; faults:
        {"a" or "b": (sector, once)} reads of that sector fail; disks: (serial,
        file, failing sector or None) virtio disks besides."""
        if program != "mendarovel" or stdin:
            raise SetupError("the emulated PC runs only the program, without standard input")
        steps = [args] if steps is None else steps
        exports = "".join("export %s=%s\n" % (k, shlex.quote(v)) for k, v in env.items())
        script = exports + ("virtio_as_fd0 disk\n" if usb else "") + "\n".join(
            step if isinstance(step, str) else "run " + " ".join(shlex.quote(str(s)) for s in step) for step in steps)
        with tempfile.TemporaryDirectory(prefix="mendarovel-pc.") as scratch:
            qemu = Qemu(Path(scratch), faults or {})
            for letter, index, path in (("a", 0, a), ("b", 1, b)):
                if usb and letter == "a":
                    qemu.virtio("disk", path, qemu.faults.get("a"))
                elif path or letter == "a":
                    qemu.floppy(letter, index, path, drive)
            for serial, name, sector in disks:
                qemu.virtio(serial, work / name, sector and (sector, False))
            drives = {a, b} | {os.path.realpath(work / name) for _, name, _ in disks}
            sent = [p for p in work.rglob("*") if p.is_file() and os.path.realpath(p) not in drives]
            runs, seconds = boot(self.folder, work, sent, script, qemu.args, 150 + (timeout or 0))
            print("emulated PC ran %.0f s" % seconds)
        last = runs[-1] if runs else Result(b"", b"", 0)
        return Boot(last.stdout, last.stderr, last.status, runs=runs)


class Qemu:
    """qemu's drive arguments; the fault rules are written to SCRATCH."""

    def __init__(self, scratch, faults):
        self.scratch, self.faults, self.args = scratch, faults, []

    def failing(self, name, path, fault):
        if not fault:
            return path
        rules = self.scratch / (name + ".conf")
        rules.write_text('[inject-error]\nevent = "read_aio"\niotype = "read"\nerrno = "5"\nsector = "%d"\n'
                         'once = "%s"\n' % (fault[0], "on" if fault[1] else "off"))
        return "blkdebug:%s:%s" % (rules, path)

    def floppy(self, letter, index, path, options):
        if not path:  # a drive without a disk
            self.args += ["-drive", "if=floppy,index=%d" % index]
            return
        self.args += ["-drive", "file=%s,if=floppy,index=%d,format=raw%s"
                      % (self.failing(letter, path, self.faults.get(letter)), index, options)]

    def virtio(self, serial, path, fault):
        self.args += ["-drive", "file=%s,if=none,id=%s,format=raw,rerror=report,werror=report,cache=none"
                      % (self.failing(serial, path, fault), serial),
                      "-device", "virtio-blk-pci,drive=%s,serial=%s" % (serial, serial)]


def boot(folder, work, sent, script, drives, timeout):
    """Boots with the files SENT of WORK as /out and SCRIPT run there, for at
    most TIMEOUT seconds; brings back what changed under /out and returns the
    runs' Results and the seconds the boot took."""
    with tempfile.TemporaryDirectory(prefix="mendarovel-boot.") as scratch:
        scratch = Path(scratch)
        root = scratch / "root"
        (root / "out").mkdir(parents=True)
        for path in sent:
            (root / "out" / path.relative_to(work)).parent.mkdir(parents=True, exist_ok=True)
            (root / "out" / path.relative_to(work)).write_bytes(path.read_bytes())
        (root / "scenario.sh").write_text(script + "\n")
        listing = subprocess.run(["find", "."], cwd=root, capture_output=True, check=True).stdout
        newc = subprocess.run(["cpio", "-o", "-H", "newc", "--quiet"], cwd=root, input=listing,
                              capture_output=True, check=True).stdout
        # The kernel unpacks concatenated archives in turn: the scenario joins the base.
        (scratch / "boot.gz").write_bytes((folder / "initrd.gz").read_bytes() + gzip.compress(newc, 1))
        with open(scratch / "scratch.img", "wb") as disk:
            disk.truncate(GUEST_FILES_LIMIT)
        started = time.monotonic()
        done = subprocess.run(
            ["timeout", str(timeout), "qemu-system-x86_64", "-m", "256", "-nographic", "-no-reboot",
             "-net", "none", "-kernel", (folder / "kernel").read_text().strip(), "-initrd", str(scratch / "boot.gz"),
             "-append", "console=ttyS0 quiet panic=-1 no_timer_check", "-drive",
             "file=%s,if=none,format=raw,id=scratch" % (scratch / "scratch.img"),
             "-device", "virtio-blk-pci,drive=scratch,serial=scratch", *drives],
            stdin=subprocess.DEVNULL, capture_output=True)
        try:
            results = tarfile.open(scratch / "scratch.img")
            results.extractall(scratch / "back")
        except (tarfile.TarError, OSError):
            console = (done.stdout + done.stderr).decode(errors="replace").splitlines()
            raise SetupError("the emulated PC brought no result back (qemu exit %d); its console:\n%s"
                             % (done.returncode, "\n".join(console[-30:])))
        bring_back(scratch / "back" / "out", work, sent)
        return collected_runs(scratch / "back" / "result"), time.monotonic() - started


def bring_back(back, work, sent):
    """WORK gets what the guest made or changed under /out, and loses what it removed."""
    for path in back.rglob("*") if back.is_dir() else ():
        target = work / path.relative_to(back)
        if path.is_file() and (not target.is_file() or target.read_bytes() != path.read_bytes()):
            target.parent.mkdir(parents=True, exist_ok=True)
            target.write_bytes(path.read_bytes())
    for path in sent:
        if not (back / path.relative_to(work)).exists():
            path.unlink()


def collected_runs(results):
    runs = []
    for number in range(1, 1 + len(list(results.glob("*"))) if results.is_dir() else 1):
        run = results / str(number)
        runs.append(Result((run / "stdout").read_bytes(), (run / "stderr").read_bytes(),
                           int((run / "status").read_text() or 255)))
    return runs


def main(argv):
    timeout = 150
    if argv[:1] == ["--timeout"]:
        timeout, argv = int(argv[1]), argv[2:]
    if len(argv) != 3:
        sys.exit(__doc__.split("\n\n")[2])
    folder, disk, script = Path(argv[0]).resolve(), os.path.realpath(argv[1]), argv[2]
    pc = PC()
    if pc.unavailable():
        sys.exit(pc.unavailable())
    sent = [p for p in folder.rglob("*") if p.is_file() and str(p.resolve()) != disk]
    runs, _ = boot(pc.folder, folder, sent, script, ["-drive", "file=%s,if=floppy,format=raw" % disk], timeout)
    if runs:
        sys.stdout.buffer.write(runs[-1].stdout)
        sys.stderr.buffer.write(runs[-1].stderr)
    return runs[-1].status if runs else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
