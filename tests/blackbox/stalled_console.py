"""A console that stops taking output: the program's standard output is a pipe
of one page, filled beforehand so that exactly `before` more bytes fit. The
program then stalls in the first write after those bytes, as it would behind
a terminal that is paused, with everything it did up to there done and held
(open files, its job under way), until release() drains the pipe.

Linux never splits a write of a page or less across a full pipe and never
merges one into a page that a read has begun, so the stall point is exact."""
import fcntl
import os
import struct
import subprocess
import termios
import time

F_SETPIPE_SZ = 1031
PAGE = 4096


class StalledConsole:
    def __init__(self, command, cwd, before):
        self.read_end, write_end = os.pipe()
        size = fcntl.fcntl(write_end, F_SETPIPE_SZ, PAGE)
        if len(before) >= size:
            raise ValueError("the output before the stall does not fit one page")
        self.filler = size - len(before)
        os.write(write_end, b"#" * self.filler)
        self.size = size
        self.process = subprocess.Popen(command, cwd=cwd, stdin=subprocess.DEVNULL, stdout=write_end,
                                        stderr=subprocess.DEVNULL)
        os.close(write_end)

    def queued(self):
        answer = fcntl.ioctl(self.read_end, termios.FIONREAD, b"\0\0\0\0")
        return struct.unpack("i", answer)[0]

    def wait_stalled(self, timeout=30.0):
        """True once the program has written up to the stall point and is still running."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if self.process.poll() is not None:
                return False
            if self.queued() >= self.size:
                return True
            time.sleep(0.01)
        return False

    def release(self, timeout=60.0):
        """Drains the pipe until the program ends: (its output after the filler, exit code)."""
        chunks = []
        try:
            while True:
                chunk = os.read(self.read_end, 65536)
                if not chunk:
                    break
                chunks.append(chunk)
            status = self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            status = self.process.wait()
        finally:
            os.close(self.read_end)
        return b"".join(chunks)[self.filler:], status

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
        self.release()
