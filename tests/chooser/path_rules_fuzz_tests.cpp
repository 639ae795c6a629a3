// A short, repeatable fuzz run of the path rules for the test suite: the
// committed corpus replayed, then inputs from a seeded generator that favours
// the bytes the rules care about. scripts/fuzz.sh runs libFuzzer for longer.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "tests/chooser/path_rules_fuzz.h"
#include "tests/support/fuzz_harness.h"

namespace {

constexpr int kGeneratedInputs = 100000;
constexpr uint32_t kSeed = 20251030;  // any fixed number: the run repeats
constexpr size_t kMinCorpusFiles = 10;
constexpr int kMaxTokens = 40;
constexpr int kLongInputEvery = 1000;  // now and then well past MAX_PATH
constexpr int kLongInputTokens = 400;

// Pieces paths are made of, weighted towards the rules' edge cases: drive
// forms, separators, blanks, reserved characters, GBK characters whose trail
// byte is 0x5C or 0x7C, lone lead bytes and other high bytes.
const std::vector<std::string> kTokens = {
    "C:\\",     "c:\\",     "Z:\\",     "C:",       "1:\\", "\\\\", "\\",   "\\",
    "\\",       "a",        "Setup",    "x.y",      " ",    "\t",   ".",    "\"",
    "*",        "/",        ":",        "<",        ">",    "?",    "|",    "%s",
    "\xD5\x5C", "\x81\x5C", "\xB1\x7C", "\xCE\xC4", "\x81", "\x80", "\xFF", "\xFE",
};

fuzz::Input Generate(std::mt19937& random, int index) {
    fuzz::Input input;
    input.push_back(static_cast<uint8_t>(random()));
    std::uniform_int_distribution<int> token(0, static_cast<int>(kTokens.size()) - 1);
    std::uniform_int_distribution<int> byte(0, 255);
    const int count = index % kLongInputEvery == 0
                          ? kLongInputTokens
                          : std::uniform_int_distribution<int>(0, kMaxTokens)(random);
    // Most inputs start like a path, so the rules get past the drive.
    if (random() % 4 != 0) input.insert(input.end(), {'C', ':', '\\'});
    for (int i = 0; i < count; ++i) {
        if (random() % 16 == 0) {
            input.push_back(static_cast<uint8_t>(byte(random)));
        } else {
            const std::string& piece = kTokens[static_cast<size_t>(token(random))];
            input.insert(input.end(), piece.begin(), piece.end());
        }
    }
    return input;
}

TEST(PathRulesFuzz, CorpusHoldsEveryRule) {
    fuzz::ExpectCorpusHolds(PATH_RULES_CORPUS, kMinCorpusFiles, fuzz::CheckOf(kFuzzTarget));
}

TEST(PathRulesFuzz, SeededInputsHoldEveryRule) {
    fuzz::ExpectSeededInputsHold(kSeed, kGeneratedInputs, Generate, fuzz::CheckOf(kFuzzTarget));
}

}  // namespace
