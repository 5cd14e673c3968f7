"""Live progress as users see it: on a terminal it shows on standard error
while a slow drive is read and leaves the screen exactly as the lines alone
would; standard output is the same bytes whatever standard error is."""
import os
import re
import shlex
import subprocess
import time

from namespace import under_strace
from scenario import scenario

LIVE = re.compile(r"^Reading data\.\.\. +[1-9][0-9]?% cyl [0-9]+ head [12], 0 skipped, [0-9]+:[0-9]{2}$", re.M)


def in_pty(t, stdout, *args, term="xterm", wrap=()):
    """The program with standard error on a pseudo-terminal and standard
    output into the file STDOUT; the terminal's bytes go to typescript."""
    command, env = t.backend.command(t.work, "mendarovel", args, a=str(t.path("disk.img")), wrap=wrap)
    return subprocess.run(["script", "-qfec", shlex.join(command) + " >" + stdout, "typescript"], cwd=t.work,
                          env={**os.environ, **env, "TERM": term}, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL).returncode


@scenario("namespace")
def progress(t):
    """standard error not a terminal: nothing on it"""
    under_strace("script", "tmux")  # the slow drive is the program under strace
    t.disk("disk.img", 1474560)
    result = t.run("-i", "-f", "plain.dsk", a="disk.img")
    t.expect_status(result, 0)
    t.write("reference", result.stdout)
    t.check(not result.stderr, lambda: "standard error holds %r" % result.stderr[:64])

    t.case = "standard error on a terminal: standard output unchanged, progress drawn and erased"
    status = in_pty(t, "pty-stdout", "-i", "-f", "pty.dsk")
    t.check(status == 0, "exit status %d, expected 0" % status)
    t.expect_same_bytes("reference", "pty-stdout")
    t.expect_same_bytes("plain.dsk", "pty.dsk")
    screen = t.read("typescript")
    t.check(b"   0% cyl 1 head 1, 0 skipped, 0:00" in screen, "no progress on the terminal")
    t.check(b"\x1b[K" in screen, "the progress was never erased")

    t.case = "a dumb terminal gets no progress"
    in_pty(t, "dumb-stdout", "-i", "-f", "dumb.dsk", term="dumb")
    t.expect_same_bytes("reference", "dumb-stdout")
    screen = t.read("typescript")
    t.check(b"% cyl" not in screen and b"\b" not in screen, "progress on a dumb terminal")

    # A slow drive: the tracer holds every sector read for 2 ms, so the 2880
    # sectors of the disk take several seconds, as a real drive's would.
    t.case = "live progress on a slow drive, then the screen of the lines alone"
    command, env = t.backend.command(t.work, "mendarovel", ["-i", "-f", "slow.dsk"], a=str(t.path("disk.img")), wrap=[
        "strace", "-f", "-qq", "-o", "/dev/null", "-e", "trace=pread64", "-e", "inject=pread64:delay_exit=2000"])
    tmux = ["tmux", "-L", "mendarovel-e2e-%d" % os.getpid()]
    subprocess.run(tmux + ["-f", "/dev/null", "new-session", "-d", "-x", "100", "-y", "30", "-c", str(t.work),
                           shlex.join(command) + "; echo $? >slow-status; tmux wait-for -S done; sleep 60"],
                   env={**os.environ, **env, "TERM": "xterm"}, check=True)
    try:
        live = screen = ""
        for _ in range(300):  # past the first drawing: the figures move while the drive is read
            screen = subprocess.run(tmux + ["capture-pane", "-p"], capture_output=True, text=True).stdout
            live = "\n".join(LIVE.findall(screen))
            if live:
                break
            time.sleep(0.1)
        t.check(live, lambda: "no live progress seen; screen: " + screen)
        subprocess.run(["timeout", "120"] + tmux + ["wait-for", "done"])
        final = subprocess.run(tmux + ["capture-pane", "-p"], capture_output=True, text=True).stdout.rstrip("\n")
    finally:
        subprocess.run(tmux + ["kill-server"], stderr=subprocess.DEVNULL)
    status = t.read("slow-status").strip() if t.path("slow-status").exists() else b"none"
    t.check(status == b"0", lambda: "exit status %s" % status.decode())
    expected = t.read("reference").decode().rstrip("\n")
    t.check(final == expected, lambda: "final screen differs:\n%s\n--- expected\n%s" % (final, expected))
    t.expect_same_bytes("plain.dsk", "slow.dsk")
    print("seen while reading: " + live)
