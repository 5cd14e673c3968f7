"""The Windows programs run through a runner (the Wine loader) as a user runs
them. No drive is linked: a scenario that needs one is not for this back-end."""
import os
import shutil
import subprocess

from backend import Backend, Result, SetupError

# The program's name and the variable that holds its path.
PROGRAMS = {"mendarovel": "MENDAROVEL", "mendarovel-image": "MENDAROVEL_IMAGE"}


class Wine(Backend):
    name = "wine"
    newline = "\r\n"
    drives = False

    def __init__(self):
        self.runner = os.environ.get("MENDAROVEL_RUNNER", "").split()
        self.programs = {name: os.environ.get(variable) for name, variable in PROGRAMS.items()}

    def unavailable(self):
        if not self.runner or not shutil.which(self.runner[0]):
            return "no runner for the Windows programs ($MENDAROVEL_RUNNER names the Wine loader)"
        return None

    def execute(self, work, program, args, a, b, stdin, timeout, env, wrap=()):
        """wrap: a command the runner runs under (one that closes a stream, say)."""
        if a or b:
            raise SetupError("the wine back-end links no drives")
        if not self.programs[program]:
            raise SetupError("$%s names no program" % PROGRAMS[program])
        done = subprocess.run([*wrap, *self.runner, self.programs[program], *args], cwd=work, input=stdin,
                              stdin=None if stdin else subprocess.DEVNULL, capture_output=True,
                              env={**os.environ, **env}, timeout=timeout)
        return Result(done.stdout, done.stderr, done.returncode)
