#pragma once

#include <sys/types.h>

namespace tessaro {

// The process's file-mode creation mask, read without changing it where the system
// allows, so files other threads create meanwhile keep their normal permissions.
mode_t processUmask();

}
