// A fuzz target: one check of one input, held against a reference model and
// invariants. Each target defines kFuzzTarget beside its check; libFuzzer's
// entry (tests/support/fuzz_entry.cpp, built by scripts/fuzz.sh) and the
// test suite's seeded run (tests/support/fuzz_harness.h) run the same check.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct FuzzTarget {
    const char* name;
    // An empty text when every rule held, else what went wrong.
    std::string (*check)(const uint8_t* data, size_t size);
};

// The target a fuzz build holds: one per executable.
extern const FuzzTarget kFuzzTarget;
