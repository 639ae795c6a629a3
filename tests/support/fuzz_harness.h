// The test suite's short, repeatable fuzz run of a target: its committed
// corpus replayed, then inputs from a seeded generator that favours the bytes
// the target's rules care about. scripts/fuzz.sh runs libFuzzer for longer.
#pragma once

#include <gtest/gtest.h>

#include <dirent.h>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "tests/support/fuzz_target.h"

namespace fuzz {

using Input = std::vector<uint8_t>;
// What went wrong for one input; empty when every rule held.
using Check = std::function<std::string(const Input&)>;
using Generate = std::function<Input(std::mt19937& random, int index)>;

// A run stops once this many inputs failed: they tell enough.
constexpr int kMaxReportedFailures = 5;

inline Check CheckOf(const FuzzTarget& target) {
    return [&target](const Input& input) { return target.check(input.data(), input.size()); };
}

// Every file of a committed corpus, which holds at least `minimum`.
inline void ExpectCorpusHolds(const char* folder, size_t minimum, const Check& check) {
    std::vector<std::string> files;
    if (DIR* dir = opendir(folder)) {
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") files.push_back(std::string(folder) + "/" + name);
        }
        closedir(dir);
    }
    ASSERT_GE(files.size(), minimum) << "corpus missing: " << folder;
    for (const std::string& file : files) {
        std::ifstream in(file, std::ios::binary);
        const Input data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(check(data), "") << file;
    }
}

// `count` inputs drawn from a generator seeded with `seed`, each checked.
inline void ExpectSeededInputsHold(uint32_t seed, int count, const Generate& generate,
                                   const Check& check) {
    std::mt19937 random(seed);
    int failures = 0;
    int checked = 0;
    const auto start = std::chrono::steady_clock::now();
    for (; checked < count && failures < kMaxReportedFailures; ++checked) {
        const std::string failure = check(generate(random, checked));
        if (!failure.empty()) {
            ++failures;
            ADD_FAILURE() << "input " << checked << ": " << failure;
        }
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("%d inputs in %.2f s (%.0f/s)\n", checked, took.count(), checked / took.count());
}

}  // namespace fuzz
