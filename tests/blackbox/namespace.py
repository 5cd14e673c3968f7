"""The drives as plain files placed at /dev/fd0 and /dev/fd1 in a private
mount namespace: root's own, or as a normal user one inside a user namespace
where the kernel allows those."""
import ctypes
import os
import shutil
import signal
import subprocess
from pathlib import Path

from backend import Backend, Result, SetupError
from checks import Skip

IN_NAMESPACE = Path(__file__).with_name("in_namespace.sh")
# The system tools (mkfs, losetup) live in /usr/sbin and /sbin, which a normal
# user's PATH on Debian lacks.
os.environ["PATH"] += ":/usr/local/sbin:/usr/sbin:/sbin"


class Namespace(Backend):
    name = "namespace"

    def __init__(self):
        self.unshare = ["unshare", "--mount", "--propagation", "private"]
        if os.getuid() != 0:
            self.unshare[1:1] = ["--user", "--map-root-user"]

    def unavailable(self):
        if subprocess.run(self.unshare + ["true"], stderr=subprocess.DEVNULL).returncode != 0:
            return "drives are faked in a private mount namespace, which needs root or unprivileged user namespaces"
        return None

    def program(self, name):
        variable = "MENDAROVEL_IMAGE" if name == "mendarovel-image" else "MENDAROVEL"
        if variable not in os.environ:
            raise SetupError("$%s is not set: the path of the built %s (CMake sets it)" % (variable, name))
        return os.environ[variable]

    def command(self, work, program, args, a=None, b=None, timeout=None, wrap=(), small_fs=None, nodes=()):
        """The command line and environment of a run. wrap: a command the
        program runs under (strace, setpriv...); small_fs: (folder, size,
        seed files) a tmpfs of that size at that folder of the work folder;
        nodes: block devices to make under their own names in /dev."""
        env = {"MV_AFTER_OUT": str(work / "after"), "MV_NODES": " ".join(nodes)}
        if small_fs:
            folder, size, seeds = small_fs
            env.update(MV_SMALL_FS="%s:%s" % (work / folder, size), MV_SEED=" ".join(str(work / s) for s in seeds))
        limit = ["timeout", str(timeout)] if timeout else []
        if program == "mendarovel-image":  # it opens no drive: run as users run it, with the system's /dev,
            # from a shell that reports a signal's end as 128 + its number, as in the namespace
            return ["bash", "-c", '"$@"; exit $?', "tool", *limit, *wrap, self.program(program), *args], env
        return self.unshare + ["bash", str(IN_NAMESPACE), a or "", b or "", *limit, *wrap,
                               self.program(program), *args], env

    def execute(self, work, program, args, a, b, stdin, timeout, env, after=None, umask=-1, **options):
        command, own_env = self.command(work, program, args, a, b, timeout, **options)
        if after:
            own_env["MV_AFTER"] = after
        (work / "after").unlink(missing_ok=True)
        done = subprocess.run(command, cwd=work, input=stdin, stdin=None if stdin else subprocess.DEVNULL,
                              capture_output=True, env={**os.environ, **env, **own_env}, umask=umask)
        if done.returncode == 90:
            raise SetupError("could not set up the drives:\n" + done.stderr.decode(errors="replace"))
        ran_after = work / "after"
        return Result(done.stdout, done.stderr, done.returncode,
                      after=ran_after.read_bytes() if ran_after.exists() else b"")

    def start(self, work, program, args, a=None, stdin=subprocess.DEVNULL, **options):
        """The program started in the background as from a shell's prompt: its
        signals at their defaults, in a session of its own; what it prints goes
        to the files stdout and stderr of the work folder (finish() reads them)."""
        command, env = self.command(work, program, [str(arg) for arg in args], a and os.path.realpath(work / a),
                                    **options)
        with open(work / "stdout", "wb") as out, open(work / "stderr", "wb") as err:
            return subprocess.Popen(command, cwd=work, env={**os.environ, **env}, stdin=stdin, stdout=out, stderr=err,
                                    start_new_session=True, preexec_fn=signals_at_default)

    def finish(self, work, process, timeout=None):
        """What the run start() began printed, once it ended, and its exit status."""
        status = process.wait(timeout)
        if status == 90:
            raise SetupError("could not set up the drives:\n" + (work / "stderr").read_text(errors="replace"))
        return Result((work / "stdout").read_bytes(), (work / "stderr").read_bytes(), status)


def signals_at_default():
    # A command started in the background by a shell, as the test may be, has them ignored.
    for number in (signal.SIGINT, signal.SIGQUIT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(number, signal.SIG_DFL)


def under_strace(*tools):
    """The test runs the program under strace and needs these tools too, or is
    skipped. The leak checker of a sanitizer build cannot run under ptrace;
    the other sanitizers still do."""
    for tool in ("strace", *tools):
        if not shutil.which(tool):
            raise Skip("%s is not installed" % tool)
    os.environ.update(without_leak_checker())


def without_leak_checker():
    """The environment a sanitizer build needs to run under ptrace."""
    return {"ASAN_OPTIONS": ":".join(filter(None, [os.environ.get("ASAN_OPTIONS"), "detect_leaks=0"]))}


def own_mount_namespace():
    """Moves this process into a private mount namespace of its own: mounts made
    in the namespaces started meanwhile (by the tests running beside this one)
    then take no copy of its mounts, which would keep them busy after umount."""
    if ctypes.CDLL(None, use_errno=True).unshare(0x00020000) != 0:  # CLONE_NEWNS
        raise SetupError("unshare: %s" % os.strerror(ctypes.get_errno()))
    subprocess.run(["mount", "--make-rprivate", "/"], check=True)


def program_pid(root):
    """The program among ROOT's descendants (strace's child), or None."""
    name = os.path.basename(os.environ["MENDAROVEL"])[:15]
    queue = [root]
    while queue:
        pid = queue.pop(0)
        try:
            if Path("/proc/%d/comm" % pid).read_text().strip() == name:
                return pid
        except OSError:
            continue
        children = subprocess.run(["pgrep", "-P", str(pid)], capture_output=True, text=True).stdout.split()
        queue += map(int, children)
    return None
