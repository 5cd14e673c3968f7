#pragma once
#include "console/console_log.h"
