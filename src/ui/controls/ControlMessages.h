#pragma once

// The controls use the system's window messages with their fixed numbers.

#include "device/WindowMessages.h"
