// One fuzz input through the duplicate filter of host discovery and the
// folder text's trailing backslash removal, held against reference models.
// The target of this folder's fuzz runs (kFuzzTarget).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "tests/support/fuzz_target.h"

// Byte 0 holds flags (see the source); the rest, split at zero bytes, is a
// list of texts taken in pairs as key path and folder. Returns an empty text
// when everything held, else what went wrong. When removed is given, it
// receives the number of items the filter removed.
std::string CheckDuplicateFilterInput(const uint8_t* data, size_t size, int* removed = nullptr);
