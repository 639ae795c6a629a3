// One fuzz input through the folder chooser's path rules and the trailing
// backslash removal, held against a reference model and invariants. Shared
// by the libFuzzer target and the seeded run of the test suite (kFuzzTarget).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "tests/support/fuzz_target.h"

// Byte 0 sets up the in-memory file system and the answer to the question
// (see the bits in the source); the rest, up to a zero byte, is the path.
// Returns an empty text when every rule held, else what went wrong.
std::string CheckPathRulesInput(const uint8_t* data, size_t size);
