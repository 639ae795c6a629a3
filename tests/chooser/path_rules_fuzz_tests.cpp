// A short, repeatable fuzz run of the path rules for the test suite: the
// committed corpus replayed, then inputs from a seeded generator that favours
// the bytes the rules care about. scripts/fuzz.sh runs libFuzzer for longer.
#include <gtest/gtest.h>

#include <dirent.h>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "tests/chooser/path_rules_fuzz.h"

namespace {

constexpr int kGeneratedInputs = 100000;
constexpr uint32_t kSeed = 20251030;
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

std::vector<uint8_t> Generate(std::mt19937& random, int index) {
    std::vector<uint8_t> input;
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

std::vector<std::string> CorpusFiles() {
    std::vector<std::string> files;
    DIR* dir = opendir(PATH_RULES_CORPUS);
    if (!dir) return files;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            files.push_back(std::string(PATH_RULES_CORPUS) + "/" + name);
    }
    closedir(dir);
    return files;
}

TEST(PathRulesFuzz, CorpusHoldsEveryRule) {
    const std::vector<std::string> files = CorpusFiles();
    ASSERT_GE(files.size(), 10u) << "corpus missing: " << PATH_RULES_CORPUS;
    for (const std::string& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
        EXPECT_EQ(CheckPathRulesInput(data.data(), data.size()), "") << file;
    }
}

TEST(PathRulesFuzz, SeededInputsHoldEveryRule) {
    std::mt19937 random(kSeed);
    int failures = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kGeneratedInputs && failures < 5; ++i) {
        const std::vector<uint8_t> input = Generate(random, i);
        const std::string failure = CheckPathRulesInput(input.data(), input.size());
        if (!failure.empty()) {
            ++failures;
            ADD_FAILURE() << "input " << i << ": " << failure;
        }
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("%d inputs in %.2f s (%.0f/s)\n", kGeneratedInputs, took.count(),
                kGeneratedInputs / took.count());
}

}  // namespace
