"""What every drive back-end offers the scenarios: run a program with drives
A: and B: given as disk files, and hand back what it printed, its exit status
and the files the run left in the test's work folder."""
import os
from dataclasses import dataclass, field
from pathlib import Path


class SetupError(Exception):
    """The back-end could not set up the drives: the test fails, not the program."""


@dataclass
class Result:
    stdout: bytes
    stderr: bytes
    status: int
    files: list = field(default_factory=list)  # names in the work folder the run made or changed
    after: bytes = b""  # what a back-end's after-run command printed, where it has one


class Backend:
    """A place to run the programs. A subclass sets `name`, says in
    unavailable() why it cannot run here (None when it can), and implements
    execute(). Options only one back-end has (the namespace's wrap, after,
    small_fs) are keyword arguments of its execute(): a scenario that uses them
    names only that back-end."""
    name = ""
    newline = "\n"  # the line end of the texts the programs print
    drives = True  # whether a drive given by a= and b= reads and writes as a floppy

    def unavailable(self):
        return None

    def test_name(self, scenario, *param):
        """The CTest name (after the back-end's prefix) that runs the scenario
        for that parameter: by default one test per group of scenarios."""
        return scenario.group

    def run(self, work, program, args, a=None, b=None, stdin=None, timeout=None, env=None, **options):
        """Runs PROGRAM ("mendarovel" or "mendarovel-image") with ARGS in the
        work folder, drive A: and B: being those disk files of it (None: no drive)."""
        before = snapshot(work)
        result = self.execute(work, program, [str(arg) for arg in args], a and os.path.realpath(work / a),
                              b and os.path.realpath(work / b), stdin, timeout, env or {}, **options)
        after = snapshot(work)
        result.files = sorted(name for name, stamp in after.items() if before.get(name) != stamp)
        return result

    def execute(self, work, program, args, a, b, stdin, timeout, env, **options):
        raise NotImplementedError


def snapshot(folder):
    return {str(path.relative_to(folder)): (info.st_mtime_ns, info.st_size)
            for path in Path(folder).rglob("*") for info in [path.lstat()] if not path.is_dir()}
