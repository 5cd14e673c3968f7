#pragma once
#include "floppy/disk_image.h"
#include "platform/file.h"
