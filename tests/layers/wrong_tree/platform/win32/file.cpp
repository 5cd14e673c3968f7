#include "platform/console.h"
#include "platform/posix/volume_path.h"
