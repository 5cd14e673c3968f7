#include "image_tool/tool_commands.h"
#include "task/copy_thread.h"
