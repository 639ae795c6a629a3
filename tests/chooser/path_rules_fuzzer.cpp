// libFuzzer entry: any broken rule ends the run with the input saved.
#include <cstdio>
#include <cstdlib>

#include "tests/chooser/path_rules_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string failure = CheckPathRulesInput(data, size);
    if (!failure.empty()) {
        std::fprintf(stderr, "path rules broken: %s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
