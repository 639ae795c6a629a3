#!/usr/bin/env bash
# Coverage-guided fuzzing of the folder chooser's path rules and the trailing
# backslash removal with libFuzzer (clang, ASan, UBSan).
#   scripts/fuzz.sh [seconds]      default 300
# New inputs collect in build/fuzz/corpus; a failing input is written to
# build/fuzz/ and the run stops. Copy inputs worth keeping into
# tests/chooser/fuzz_corpus, where the test suite replays them.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-300}"
out="$root/build/fuzz"
mkdir -p "$out/corpus"

# The sources under test are compiled in, so that libFuzzer sees their coverage.
clang++ -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    -Wall -Wextra -Werror -I"$root" -o "$out/path_rules_fuzzer" \
    "$root/tests/chooser/path_rules_fuzzer.cpp" \
    "$root/tests/chooser/path_rules_fuzz.cpp" \
    "$root/tests/chooser/memory_folders.cpp" \
    "$root/chooser/path_rules.cpp" \
    "$root/text/path_text.cpp" \
    "$root/framework/afx_string.cpp" \
    "$root/framework/afx_mbcs.cpp"

cd "$out"
# Inputs up to 1 KB: well past the 259 bytes the edit box passes on.
exec ./path_rules_fuzzer -max_total_time="$seconds" -max_len=1024 -print_final_stats=1 \
    -dict="$root/tests/chooser/path_rules.dict" corpus "$root/tests/chooser/fuzz_corpus"
