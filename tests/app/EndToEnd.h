// The end-to-end harness lives in tests/support; this name stays for tests written before.
#pragma once

#include "tests/support/EndToEnd.h"
