#include "platform/console.h"
