// libFuzzer's entry for every fuzz target: a broken rule ends the run, and
// libFuzzer saves the input.
#include <cstdio>
#include <cstdlib>

#include "tests/support/fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string failure = kFuzzTarget.check(data, size);
    if (!failure.empty()) {
        std::fprintf(stderr, "%s broken: %s\n", kFuzzTarget.name, failure.c_str());
        std::abort();
    }
    return 0;
}
