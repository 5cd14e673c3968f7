#!/usr/bin/python3
"""Reads Wine's own trace of the win32 tests that write to and read from drive
A: (a dosdevices link to a file) and checks that the volume was locked on
the handle before its first transfer, and not dismounted once the lock was
granted. Wine grants the lock without doing anything, so its effect cannot be
seen; the trace is the only witness of the order.

usage: claim_order_check.py WINE TEST_EXE
  TEST_EXE  test_platform_win32.exe; MENDAROVEL_WINE_DRIVE_A must name the
            file behind drive A: (see linked_drive_test.cpp)
"""
import os
import re
import subprocess
import sys

FSCTL_LOCK_VOLUME = 0x90018
FSCTL_DISMOUNT_VOLUME = 0x90020

OPEN_A = re.compile(r"trace:file:NtCreateFile handle=\S+ .*name=L\"\\\\\?\?\\\\A:\"")
CONTROL = re.compile(r"trace:file:DeviceIoControl \(0*([0-9a-f]+),([0-9a-f]+),")
TRANSFER = re.compile(r"trace:file:(NtReadFile|NtWriteFile) \(0x([0-9a-f]+),")


def calls_on_drive_a(trace):
    """The control codes and transfers on the first handle opened on A:, in order."""
    calls, handle, opened = [], None, False
    for line in trace.splitlines():
        if not opened:
            opened = bool(OPEN_A.search(line))
            continue
        control = CONTROL.search(line)
        if control and (handle is None or int(control.group(1), 16) == handle):
            handle = int(control.group(1), 16)
            calls.append(int(control.group(2), 16))
            continue
        transfer = TRANSFER.search(line)
        if transfer and handle is not None and int(transfer.group(2), 16) == handle:
            calls.append(transfer.group(1))
    return calls


def check(wine, test_exe, test, first_transfer):
    env = dict(os.environ, WINEDEBUG="trace+file")
    done = subprocess.run([wine, test_exe, "--gtest_filter=" + test], env=env, stdin=subprocess.DEVNULL,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)
    calls = calls_on_drive_a(done.stderr.decode("latin-1"))
    problems = []
    if done.returncode != 0:
        problems.append("the test failed:\n" + done.stdout.decode("latin-1"))
    transfers = [c for c in calls if isinstance(c, str)]
    if not transfers or transfers[0] != first_transfer:
        problems.append("the first transfer is not %s: %r" % (first_transfer, calls[:8]))
    elif calls.index(transfers[0]) == 0 or calls[0] != FSCTL_LOCK_VOLUME:
        problems.append("no lock before the first transfer: %r" % calls[:8])
    if FSCTL_DISMOUNT_VOLUME in calls:
        problems.append("dismounted although the lock was granted: %r" % calls[:8])
    if problems:
        print("FAIL %s\n%s" % (test, "\n".join(problems)))
        return False
    print("ok   %s: %s" % (test, ", ".join(c if isinstance(c, str) else "FSCTL %#x" % c
                                           for c in calls[:3])))
    return True


def main():
    wine, test_exe = sys.argv[1:]
    results = [check(wine, test_exe, "LinkedDriveTest.WrittenSectorsLandInTheFileBehindTheDrive", "NtWriteFile"),
               check(wine, test_exe, "LinkedDriveTest.ReadsTheSectorAtItsPlace", "NtReadFile")]
    return 0 if all(results) else 1


if __name__ == "__main__":
    sys.exit(main())
