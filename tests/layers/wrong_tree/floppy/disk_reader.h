#pragma once
#include "floppy/disk_geometry.h"
#include "task/copy_thread.h"
