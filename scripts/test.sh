#!/usr/bin/env bash
# The project's one test command: installs what it needs, builds both
# configurations, runs the native tests under the sanitizers and the Windows
# tests under Wine, and ends with a line "N passed, M failed, K skipped"; a
# skipped test fails the run, which has the display and root every test needs.
# Started as root, it runs Wine as the rig's unprivileged user
# (scripts/wine-env.sh).
set -uo pipefail
umask 022  # the Wine user reads the build tree
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

bash scripts/install-deps.sh || exit 1
source scripts/rig.sh

results="$root/build/test-results"
rm -rf "$results" && mkdir -p "$results/native" "$results/win"

build() {
    cmake --preset "$1" >/dev/null && cmake --build --preset "$1" -- -k 0
}
build native || { echo "native build failed"; echo "0 passed, 1 failed, 0 skipped"; exit 1; }
build win || { echo "Windows build failed"; echo "0 passed, 1 failed, 0 skipped"; exit 1; }

rig_start_display
rig_prepare "$results/win" build/win/e2e-artifacts
scripts/as-wine-user scripts/wine-prefix.sh

GTEST_OUTPUT="xml:$results/native/" ctest --preset native -j2 --output-junit "$results/native.junit.xml"
GTEST_OUTPUT="xml:Z:${results//\//\\}\\win\\" ctest --preset win -j2 --timeout 600 \
    --output-junit "$results/win.junit.xml"

# Screenshots the end-to-end tests took, as PNG test artefacts.
for bmp in build/win/e2e-artifacts/*.bmp; do
    [[ -e "$bmp" ]] && convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done

python3 scripts/summarize-tests.py "$results"
