#!/usr/bin/python3
"""The layer check passes on our tree and catches every kind of wrong include
in a small tree made wrong on purpose, so that a check that cannot fail would
fail here."""
import subprocess
import sys
from pathlib import Path

HERE = Path(__file__).resolve().parent
CHECK = HERE.parents[1] / "scripts" / "check-layers"
EXPECTED = """platform/file.h:2: #include "console/console_log.h"
platform/win32/file.cpp:2: #include "platform/posix/volume_path.h"
image/image_reader.h:2: #include "floppy/disk_image.h"
console/console_log.h:3: #include "image/disk_file.h"
floppy/disk_reader.h:3: #include "task/copy_thread.h"
app/main.cpp:1: #include "image_tool/tool_commands.h"
platform/console.h: no platform/win32/console.cpp
platform/file.h: no platform/posix/file.cpp
"""

failures = 0
if subprocess.run([CHECK]).returncode != 0:
    print("FAIL: the source tree breaks its layers")
    failures += 1
wrong = subprocess.run([CHECK, HERE / "wrong_tree"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
if wrong.returncode != 1 or wrong.stdout != EXPECTED:
    print("FAIL: on the wrong tree, status %d and:\n%s" % (wrong.returncode, wrong.stdout))
    failures += 1
sys.exit(1 if failures else 0)
