#!/usr/bin/env bash
# The layer check passes on our tree and catches every kind of wrong include
# in a small tree made wrong on purpose, so that a check that cannot fail
# would fail here.
set -u
here=$(cd "$(dirname "$0")" && pwd)
check=$here/../../scripts/check-layers
failures=0

if ! "$check"; then
  echo "FAIL: the source tree breaks its layers"
  failures=$((failures + 1))
fi

expected='platform/file.h:2: #include "console/console_log.h"
platform/win32/file.cpp:2: #include "platform/posix/volume_path.h"
image/image_reader.h:2: #include "floppy/disk_image.h"
console/console_log.h:3: #include "image/disk_file.h"
floppy/disk_reader.h:3: #include "task/copy_thread.h"
app/main.cpp:1: #include "image_tool/tool_commands.h"
platform/console.h: no platform/win32/console.cpp
platform/file.h: no platform/posix/file.cpp'
actual=$("$check" "$here/wrong_tree" 2>/dev/null)
status=$?
if [[ $status != 1 || $actual != "$expected" ]]; then
  echo "FAIL: on the wrong tree, status $status and:"
  echo "$actual"
  failures=$((failures + 1))
fi
((failures == 0))
