#!/usr/bin/env bash
# The main job: installs what it needs, builds SetUp.exe, lays out a sample
# package and a sample machine in the rig's Wine prefix, and runs the
# installer on them, over an older version it installs first (an upgrade).
# With a display you work the real dialog; without one the run is driven on
# Xvfb (then a repair and a modify without the package, and the uninstall)
# and screenshots of each state are saved, then the
# dialog as it opens (and its first box) once more at 150 % and 200 % display
# scale and on a system with code page 1252. Wine runs as in the tests:
# through scripts/wine-run, as the rig's unprivileged user when started as
# root.
set -euo pipefail
umask 022  # the Wine user reads the build tree
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

bash scripts/install-deps.sh
echo "== building SetUp.exe"
cmake --preset win >/dev/null
cmake --build --preset win --target SetUp sample_run setup_20250601 >/dev/null

source scripts/rig.sh
work="$root/build/sample"
shots="$work/screenshots"
rm -rf "$shots"
rig_prepare "$work"
args=(--setup "Z:${root//\//\\}\\build\\win\\setup\\SetUp.exe" --work "Z:${work//\//\\}")
# The version the run installs first, to show an upgrade from it.
older=(--older "Z:${root//\//\\}\\build\\win\\setup_20250601\\setup\\SetUp.exe")
driven=""
if [[ -z "${DISPLAY:-}" || -n "${CI:-}" ]]; then
    args+=(--drive "Z:${shots//\//\\}")
    driven=1
fi
rig_start_display
echo "== SetUp.exe: $(stat -c %s build/win/setup/SetUp.exe) bytes"

status=0
sample_run() {
    scripts/wine-run build/win/tools/sample_run.exe "${args[@]}" "$@" | iconv -f GBK -t UTF-8 ||
        status=$?
}
sample_run "${older[@]}"
if [[ -n "$driven" ]]; then
    for dpi in 144 192; do
        echo && echo "== the dialog at $dpi DPI"
        sample_run --look "7-choosing-${dpi}dpi" --dpi "$dpi"
    done
    echo && echo "== the dialog on a system with code page 1252 (English Windows)"
    RIG_LOCALE=en_US.UTF-8 sample_run --look "8-choosing-cp1252"
fi

if [[ -d "$shots" ]]; then
    for bmp in "$shots"/*.bmp; do
        [[ -e "$bmp" ]] || continue
        convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
    done
    echo "== screenshots: $shots"
    ls -1 "$shots"
fi
exit "$status"
