"""The Windows programs run through a runner (the Wine loader) as a user runs
them. Drive A: is a disk file linked into the Wine prefix ($WINEPREFIX, which
must have no drive A: of its own) for the length of a run or a block."""
import contextlib
import os
import shutil
import subprocess

from backend import Backend, Result, SetupError
from stalled_console import StalledConsole

# The program's name and the variable that holds its path.
PROGRAMS = {"mendarovel": "MENDAROVEL", "mendarovel-image": "MENDAROVEL_IMAGE"}


class Wine(Backend):
    name = "wine"
    newline = "\r\n"
    drives = False  # Wine answers no geometry request on a linked drive: it neither reads nor writes

    def __init__(self):
        self.runner = os.environ.get("MENDAROVEL_RUNNER", "").split()
        self.programs = {name: os.environ.get(variable) for name, variable in PROGRAMS.items()}

    def unavailable(self):
        if not self.runner or not shutil.which(self.runner[0]):
            return "no runner for the Windows programs ($MENDAROVEL_RUNNER names the Wine loader)"
        return None

    def command(self, program, args):
        if not self.programs[program]:
            raise SetupError("$%s names no program" % PROGRAMS[program])
        return [*self.runner, self.programs[program], *args]

    @contextlib.contextmanager
    def drive_a(self, disk):
        """Drive A: is DISK (a path) within the block; None links nothing."""
        link = os.path.join(os.environ.get("WINEPREFIX", ""), "dosdevices", "a::")
        if disk is None or (os.path.islink(link) and os.readlink(link) == disk):  # already held
            yield
            return
        if not os.environ.get("WINEPREFIX") or os.path.lexists(link):
            raise SetupError("drive A: needs a Wine prefix ($WINEPREFIX) without one of its own")
        os.symlink(disk, link)
        try:
            yield
        finally:
            os.remove(link)

    def execute(self, work, program, args, a, b, stdin, timeout, env, wrap=()):
        """wrap: a command the runner runs under (one that closes a stream, say)."""
        if b:
            raise SetupError("the wine back-end links no drive B:")
        with self.drive_a(a):
            done = subprocess.run([*wrap, *self.command(program, args)], cwd=work, input=stdin,
                                  stdin=None if stdin else subprocess.DEVNULL, capture_output=True,
                                  env={**os.environ, **env}, timeout=timeout or 60)
        return Result(done.stdout, done.stderr, done.returncode)

    def stall(self, work, args, printed):
        """Starts the program behind a console that stops taking output once it
        has printed PRINTED (see StalledConsole); drive A: as drive_a() holds it."""
        return StalledConsole(self.command("mendarovel", args), work, printed.replace("\n", self.newline).encode())
