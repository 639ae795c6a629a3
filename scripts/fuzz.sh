#!/usr/bin/env bash
# Coverage-guided fuzzing with libFuzzer (clang, ASan, UBSan).
#   scripts/fuzz.sh [seconds]              the folder chooser's path rules and
#                                          the trailing backslash removal
#   scripts/fuzz.sh duplicates [seconds]   host discovery's duplicate filter and
#                                          the folder text's backslash removal
# Default 300 seconds. New inputs collect in build/fuzz/<target>-corpus (the
# path rules in build/fuzz/corpus); a failing input is written to build/fuzz/
# and the run stops. Copy path rule inputs worth keeping into
# tests/chooser/fuzz_corpus, where the test suite replays them.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
target=path_rules
if [[ "${1:-}" == duplicates ]]; then
    target=duplicates
    shift
fi
seconds="${1:-300}"
out="$root/build/fuzz"
mkdir -p "$out"

build() {
    # The sources under test are compiled in, so that libFuzzer sees their coverage.
    clang++ -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
        -Wall -Wextra -Werror -I"$root" -o "$@" \
        "$root/text/path_text.cpp" \
        "$root/framework/afx_string.cpp" \
        "$root/framework/afx_mbcs.cpp" \
        "$root/framework/afx_ui_text.cpp"
}

if [[ "$target" == duplicates ]]; then
    build "$out/duplicate_filter_fuzzer" \
        "$root/tests/support/fuzz_entry.cpp" \
        "$root/tests/hosts/duplicate_filter_fuzz.cpp" \
        "$root/hosts/duplicate_filter.cpp"
    mkdir -p "$out/duplicates-corpus"
    cd "$out"
    # Up to 4 KB: well over a hundred short texts, as many as the check takes.
    exec ./duplicate_filter_fuzzer -max_total_time="$seconds" -max_len=4096 \
        -print_final_stats=1 duplicates-corpus
fi

build "$out/path_rules_fuzzer" \
    "$root/tests/support/fuzz_entry.cpp" \
    "$root/tests/chooser/path_rules_fuzz.cpp" \
    "$root/tests/chooser/memory_folders.cpp" \
    "$root/chooser/path_rules.cpp"
mkdir -p "$out/corpus"
cd "$out"
# Inputs up to 1 KB: well past the 259 bytes the edit box passes on.
exec ./path_rules_fuzzer -max_total_time="$seconds" -max_len=1024 -print_final_stats=1 \
    -dict="$root/tests/chooser/path_rules.dict" corpus "$root/tests/chooser/fuzz_corpus"
