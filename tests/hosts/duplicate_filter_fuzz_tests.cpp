// A short, repeatable fuzz run of the duplicate filter for the test suite:
// seeded lists drawn from a small alphabet, so that texts collide often and
// differ only in letter case or inside double-byte characters. scripts/fuzz.sh
// duplicates runs libFuzzer on the same checks for longer.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "tests/hosts/duplicate_filter_fuzz.h"
#include "tests/support/fuzz_harness.h"

namespace {

constexpr int kGeneratedInputs = 50000;
constexpr uint32_t kSeed = 20251030;  // any fixed number: the run repeats
constexpr int kMaxItems = 24;
constexpr int kMaxTokensPerText = 3;

// Letters in both cases and the bytes beside 'A'..'Z' ('@', '[', '`', '{');
// backslashes; GBK characters with trail bytes 0x5C, 'A' and 'a'; a lead
// byte standing alone; bytes that lead nothing.
const std::vector<std::string> kTokens = {
    "K",        "k",        "R24",      "r24",      "C:", "c:",   "\\",   "\\",
    "a",        "A",        "z",        "Z",        "@",  "[",    "`",    "{",
    "\x81\x5C", "\xD5\x5C", "\x81\x41", "\x81\x61", "浩", "\xBA", "\x80", "\xFF",
};

fuzz::Input Generate(std::mt19937& random, int) {
    fuzz::Input input;
    input.push_back(static_cast<uint8_t>(random()));
    std::uniform_int_distribution<int> token(0, static_cast<int>(kTokens.size()) - 1);
    std::uniform_int_distribution<int> tokensPerText(0, kMaxTokensPerText);
    // Two texts per item, and now and then one more: a key without a folder.
    const int texts = 2 * std::uniform_int_distribution<int>(0, kMaxItems)(random) +
                      static_cast<int>(random() % 2);
    for (int t = 0; t < texts; ++t) {
        if (t > 0) input.push_back(0);
        for (int n = tokensPerText(random); n > 0; --n) {
            const std::string& piece = kTokens[static_cast<size_t>(token(random))];
            input.insert(input.end(), piece.begin(), piece.end());
        }
    }
    return input;
}

TEST(DuplicateFilterFuzz, SeededListsMatchTheModel) {
    int withRemovals = 0;
    fuzz::ExpectSeededInputsHold(kSeed, kGeneratedInputs, Generate, [&](const fuzz::Input& input) {
        int removed = 0;
        const std::string failure = CheckDuplicateFilterInput(input.data(), input.size(), &removed);
        if (removed > 0) ++withRemovals;
        return failure;
    });
    std::printf("%d with removals\n", withRemovals);
    // The alphabet is small on purpose: most lists must hold duplicates, and
    // some none, or the run says little about the filter.
    EXPECT_GT(withRemovals, kGeneratedInputs / 2);
    EXPECT_LT(withRemovals, kGeneratedInputs);
}

}  // namespace
