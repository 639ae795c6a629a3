// libFuzzer entry: any broken rule ends the run with the input saved.
#include <cstdio>
#include <cstdlib>

#include "tests/hosts/duplicate_filter_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string failure = CheckDuplicateFilterInput(data, size);
    if (!failure.empty()) {
        std::fprintf(stderr, "duplicate filter broken: %s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
