#!/usr/bin/env bash
# Builds SetUp.exe twice from the same sources, in two fresh build folders
# with different paths, and compares the results byte for byte. Prints both
# SHA-256 sums and "reproducible: yes" or "reproducible: no" (with the first
# differing offset); exits non-zero on a difference.
#   scripts/check-reproducible.sh [folder-a folder-b]   (relative to the repository)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

# Different lengths on purpose: a path that leaks into the image shifts it.
folder_a="${1:-build/repro-a}"
folder_b="${2:-build/repro-b/second}"

build() {
    rm -rf "$1"
    cmake --preset win -B "$1" >/dev/null
    cmake --build "$1" --target SetUp >/dev/null
}

build "$folder_a"
build "$folder_b"

exe_a="$folder_a/setup/SetUp.exe"
exe_b="$folder_b/setup/SetUp.exe"
sha256sum "$exe_a" "$exe_b"
if cmp -s "$exe_a" "$exe_b"; then
    echo "reproducible: yes"
else
    # cmp counts bytes from 1; the offset is from 0.
    first="$(cmp "$exe_a" "$exe_b" | awk '{ sub(",", "", $5); print $5 - 1 }')"
    printf 'first difference at offset %d (0x%x)\n' "$first" "$first"
    echo "reproducible: no"
    exit 1
fi
