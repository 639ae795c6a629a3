#!/usr/bin/env bash
# Builds SetUp.exe twice from the same sources, in two fresh build folders
# with different paths, and compares the results byte for byte. Prints both
# SHA-256 sums and "reproducible: yes" or "reproducible: no" (with the first
# differing offset); exits non-zero on a difference.
#   scripts/check-reproducible.sh [folder-a folder-b]   (relative to the repository)
#
# Every build is signed (cmake/signing.cmake), and a signature is never
# reproducible: a throwaway certificate is new in each build folder, and a
# release's time stamp is new at each signing. So the images are compared
# with their signatures removed (osslsigncode remove-signature). SetUp.exe
# carries the signed UserSetup.exe, whose signature is part of the image
# compared: both builds sign with one key, the first build's throwaway one
# unless SETUP_SIGN_PFX names another, at one signing time (SOURCE_DATE_EPOCH,
# by default the last commit's), so the stage is signed alike in both.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

# Different lengths on purpose: a path that leaks into the image shifts it.
folder_a="${1:-build/repro-a}"
folder_b="${2:-build/repro-b/second}"
export SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}"

build() {
    rm -rf "$1"
    cmake --preset win -B "$1" >/dev/null
    cmake --build "$1" --target SetUp >/dev/null
}

build "$folder_a"
if [[ -z "${SETUP_SIGN_PFX:-}" ]]; then
    export SETUP_SIGN_PFX="$root/$folder_a/signing/test-signing.pfx"
    export SETUP_SIGN_PASSWORD_FILE="$root/$folder_a/signing/test-signing.password"
    export SETUP_SIGN_CA_FILE="$root/$folder_a/signing/test-signing.crt"
fi
build "$folder_b"

unsigned() {
    local image="$1/setup/SetUp.exe" out="$1/SetUp.unsigned.exe"
    osslsigncode remove-signature -in "$image" -out "$out" >/dev/null
    echo "$out"
}
exe_a="$(unsigned "$folder_a")"
exe_b="$(unsigned "$folder_b")"
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
