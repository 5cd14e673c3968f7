"""The checks every black-box test makes: each one counted, each failure
printed with the case it belongs to, and a work folder per test."""
import difflib
import os
import shutil
import tempfile
from pathlib import Path


class Skip(Exception):
    """This back-end or machine cannot run the test; the message says why."""


class Checks:
    def __init__(self):
        self.work = Path(tempfile.mkdtemp(prefix="mendarovel-test."))
        self.count = self.failures = 0
        self.case = "setup"

    def close(self):
        # A test may leave a folder its own user cannot enter (a sticky one, say).
        shutil.rmtree(self.work, onerror=lambda *_: None)

    def path(self, name):
        return self.work / name

    def check(self, ok, why):
        """One check: counted, and when it fails, WHY (a text or a callable) printed."""
        self.count += 1
        if not ok:
            self.failures += 1
            print("FAIL [%s]: %s" % (self.case, why() if callable(why) else why))
        return ok

    def expect_status(self, result, status):
        self.check(result.status == status, lambda: "exit status %d, expected %d; standard error: %r"
                   % (result.status, status, result.stderr[-500:]))

    def expect_stdout(self, result, text):
        """The whole standard output, byte for byte."""
        want = text.encode() if isinstance(text, str) else text
        self.check(result.stdout == want, lambda: "standard output differs:\n" + short_diff(want, result.stdout))

    def expect_stderr_lines(self, result, *lines):
        """The whole standard error, these lines."""
        want = "".join(line + "\n" for line in lines).encode()
        self.check(result.stderr == want, lambda: "standard error differs:\n" + short_diff(want, result.stderr))

    def expect_same_bytes(self, expected, actual):
        want, actual = self.path(expected).read_bytes(), self.path(actual)
        have = actual.read_bytes() if actual.exists() else None

        def why():
            if have is None:
                return "%s does not exist" % actual.name
            at = next((i for i, (x, y) in enumerate(zip(want, have)) if x != y), min(len(want), len(have)))
            return "%s differs from %s at byte %d (%d and %d bytes)" % (actual.name, expected, at, len(have), len(want))
        self.check(want == have, why)

    def expect_files(self, result, *names):
        """The run made or changed exactly these files of the work folder."""
        self.check(result.files == sorted(names), lambda: "files made or changed: %s" % result.files)

    def expect_absent(self, *names):
        for name in names:
            self.check(not os.path.lexists(self.path(name)), "%s should not exist" % name)

    def expect_no_stray_files(self, folder="."):
        """No half-written image (the program's temporary .mv* files) was left behind."""
        stray = [str(p) for p in self.path(folder).rglob(".mv*")]
        self.check(not stray, lambda: "stray file %s" % stray[0])

    def summary(self):
        return "%d checks, %d failed" % (self.count, self.failures)


def short_diff(want, have):
    """The differing lines, control characters escaped, at most a dozen."""
    def lines(data):
        return [repr(line)[2:-1] for line in data.splitlines(keepends=True)]
    diff = list(difflib.unified_diff(lines(want), lines(have), "expected", "actual", n=1, lineterm=""))
    return "\n".join(diff[:14] + (["..."] if len(diff) > 14 else []))
