#pragma once
#include "platform/console.h"
#include "image/disk_file.h"
