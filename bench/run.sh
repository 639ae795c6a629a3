#!/usr/bin/env bash
# Benchmarks of SetUp.exe against its peers, side by side in one run on this
# machine and in one Wine prefix (build/bench-prefix): host discovery against
# "reg query", the package copy against xcopy and cp and against a bare
# CopyFileA loop writing the same bytes, the start to the dialog against a
# minimal dialog program, the per-user stage at a logon against a program
# that starts and ends, and the sizes of SetUp.exe and UserSetup.exe. Prints a table
# of medians, each figure with its target. Figures only: nothing here is a
# test, and a missed target does not fail the run.
#
#   bash bench/run.sh
#
# Every measured process (the Wine server, the programs, xcopy, reg, cp and
# Xvfb when started here) runs on one CPU, BENCH_CPU (default: the last one;
# "none" lets them roam). On a virtual machine a Wine server round trip that
# has to wake an idle virtual CPU costs several times more than one on the
# same CPU, and how often that happens depends on whatever else the machine
# runs: unpinned, the server-bound figures swing by a factor of five between
# runs, pinned they repeat.
#
# Runs per figure can be changed with BENCH_DISCOVERY_RUNS, BENCH_PROCESS_RUNS,
# BENCH_COPY_RUNS, BENCH_STARTUP_RUNS and BENCH_STAGE_RUNS.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

bash scripts/install-deps.sh
export WINEPREFIX="$root/build/bench-prefix"
source scripts/wine-env.sh

build="$root/build/bench-win"
bench="$build/bench"
work="$root/build/bench-work"
last_output="$root/build/bench-last-output.txt"

discovery_runs="${BENCH_DISCOVERY_RUNS:-9}"  # in-process discoveries
process_runs="${BENCH_PROCESS_RUNS:-5}"      # whole discovery processes, each kind in turn
copy_runs="${BENCH_COPY_RUNS:-5}"            # copy rounds, each copier in turn
startup_runs="${BENCH_STARTUP_RUNS:-20}"     # starts of each program (ten left the median 0.05 apart between runs)
stage_runs="${BENCH_STAGE_RUNS:-20}"         # logons, the stage and the minimal program in turn

# The package copy's load: 200 files of 512 KiB, 100 MiB in all.
copy_files=200
copy_file_bytes=524288
# The size goals: SetUp.exe (which carries UserSetup.exe) under 600 KB, the
# per-user stage under 100 KB (decimal: under either reading).
setup_size_limit=600000
stage_size_limit=100000

cpu="${BENCH_CPU:-$(($(nproc) - 1))}"
pin=()
[[ "$cpu" != none ]] && pin=(taskset -c "$cpu")

xvfb_pid=""
cleanup() {
    "$WINESERVER" -k >/dev/null 2>&1 || true
    if [[ -n "$xvfb_pid" ]]; then kill "$xvfb_pid" >/dev/null 2>&1 || true; fi
    rm -rf "$work" "$last_output"
}
trap cleanup EXIT

# Xvfb on the first free display from :98 when there is no display.
start_display() {
    [[ -n "${DISPLAY:-}" ]] && return
    local n=98
    while [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]]; do n=$((n + 1)); done
    "${pin[@]}" Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [[ -e /tmp/.X11-unix/X$n ]] && break; sleep 0.1; done
}

# A Linux path as Wine's drive Z: names it.
winpath() { printf 'Z:%s' "${1//\//\\}"; }

# Milliseconds one whole command takes; its output goes to $last_output.
time_ms() {
    local start end
    start=$(date +%s%N)
    if ! "$@" >"$last_output" 2>&1; then
        echo "failed: $*" >&2
        cat "$last_output" >&2
        return 1
    fi
    end=$(date +%s%N)
    awk -v ns=$((end - start)) 'BEGIN { printf "%.2f", ns / 1e6 }'
}

median() {
    printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 }
        END { if (NR % 2) printf "%.2f", v[(NR + 1) / 2]; else printf "%.2f", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# The number after "<key>=" in a line of a bench program's output.
field() { sed -n "s/.*\\b$1=\\([0-9.]*\\).*/\\1/p" <<<"$2"; }

file_count() { find "$1" -maxdepth 1 -type f | wc -l; }

echo "== building (build/bench-win)"
mkdir -p "$build"
build_log="$build/bench-build.log"
if ! { cmake --preset win -B "$build" &&
    cmake --build "$build" --target SetUp discovery_bench copy_bench minimal_dialog startup_bench \
        minimal_program stage_bench; } \
    >"$build_log" 2>&1; then
    tail -n 40 "$build_log"
    exit 1
fi

start_display
scripts/wine-prefix.sh
# One server for the whole run, on the chosen CPU, so that every process
# starts alike; the prefix's services inherit the CPU from the first client.
"$WINESERVER" -k >/dev/null 2>&1 || true
"${pin[@]}" "$WINESERVER" -p

# 1. Discovery over 10,000 keys against "reg query /s" over the same tree.
echo "== discovery: laying out 10,000 keys under HKCU\\SOFTWARE\\Gstarsoft\\GstarCAD"
"${pin[@]}" "$WINE" "$bench/discovery_bench.exe" build
out=$("${pin[@]}" "$WINE" "$bench/discovery_bench.exe" time "$discovery_runs")
disc_in=$(field median_ms "$out")
disc_samples=()
reg_samples=()
time_ms "${pin[@]}" "$WINE" reg query 'HKCU\SOFTWARE\Gstarsoft' /s >/dev/null  # warm-up
for _ in $(seq "$process_runs"); do
    disc_samples+=("$(time_ms "${pin[@]}" "$WINE" "$bench/discovery_bench.exe" once)")
    reg_samples+=("$(time_ms "${pin[@]}" "$WINE" reg query 'HKCU\SOFTWARE\Gstarsoft' /s)")
done
disc_whole=$(median "${disc_samples[@]}")
reg_whole=$(median "${reg_samples[@]}")
# SetUp.exe starts below on a machine without the tree.
"${pin[@]}" "$WINE" "$bench/discovery_bench.exe" remove

# 2. The package copy against xcopy under Wine and cp on the host.
echo "== package copy: $copy_files files, $((copy_files * copy_file_bytes / 1048576)) MiB"
rm -rf "$work"
mkdir -p "$work/package/Data"
for i in $(seq -f %03g 1 "$copy_files"); do
    head -c "$copy_file_bytes" /dev/urandom >"$work/package/Data/module$i.dll"
done
src="$work/package/Data"
fresh() { rm -rf "$1" && mkdir -p "$1"; }
# One round: each copier in turn into a fresh empty folder. The copy bench
# prints its in-process time; its whole process is timed here like the rest.
copy_round() {
    fresh "$work/ours"
    copy_samples+=("$(time_ms "${pin[@]}" "$WINE" "$bench/copy_bench.exe" package \
        "$(winpath "$work/package")" "$(winpath "$work/ours")")")
    copy_in_samples+=("$(field elapsed_ms "$(<"$last_output")")")
    fresh "$work/floor"
    time_ms "${pin[@]}" "$WINE" "$bench/copy_bench.exe" floor \
        "$(winpath "$work/package")" "$(winpath "$work/floor")" >/dev/null
    floor_samples+=("$(field elapsed_ms "$(<"$last_output")")")
    fresh "$work/xcopy"
    xcopy_samples+=("$(time_ms "${pin[@]}" "$WINE" xcopy /Y /Q "$(winpath "$src")\\*" \
        "$(winpath "$work/xcopy")\\")")
    fresh "$work/cp"
    cp_samples+=("$(time_ms "${pin[@]}" cp "$src"/* "$work/cp/")")
}
copy_round  # warm-up
copy_samples=()
copy_in_samples=()
floor_samples=()
xcopy_samples=()
cp_samples=()
for _ in $(seq "$copy_runs"); do copy_round; done
for copied in ours floor xcopy cp; do
    if [[ $(file_count "$work/$copied") -ne $copy_files ]]; then
        echo "the $copied copy left files out" >&2
        exit 1
    fi
done
copy_in=$(median "${copy_in_samples[@]}")
copy_floor=$(median "${floor_samples[@]}")
copy_whole=$(median "${copy_samples[@]}")
xcopy_whole=$(median "${xcopy_samples[@]}")
cp_whole=$(median "${cp_samples[@]}")
rm -rf "$work"

# 3. The start to the dialog being visible, against a minimal dialog program.
echo "== start to dialog: $startup_runs starts of each program"
out=$("${pin[@]}" "$WINE" "$bench/startup_bench.exe" "$startup_runs" \
    "$(winpath "$build/setup/SetUp.exe")" "$(winpath "$bench/minimal_dialog.exe")")
start_setup=$(field median_ms "$(grep 'program=0' <<<"$out")")
start_minimal=$(field median_ms "$(grep 'program=1' <<<"$out")")
start_setup_min=$(field min_ms "$(grep 'program=0' <<<"$out")")
start_minimal_min=$(field min_ms "$(grep 'program=1' <<<"$out")")

# 4. The per-user stage at a logon, against a program that starts and ends.
echo "== per-user stage: $stage_runs logons of a user with four host installations"
out=$("${pin[@]}" "$WINE" "$bench/stage_bench.exe" "$stage_runs" \
    "$(winpath "$build/setup/SetUp.exe")" "$(winpath "$bench/minimal_program.exe")" 'C:\StageBenchWork')
stage_ms=$(field median_ms "$(grep 'program=0' <<<"$out")")
stage_minimal_ms=$(field median_ms "$(grep 'program=1' <<<"$out")")

# 5. The sizes.
setup_bytes=$(stat -c %s "$build/setup/SetUp.exe")
stage_bytes=$(stat -c %s "$build/peruser/UserSetup.exe")

# The table: ours, the peer, ours / peer, and whether the ratio meets its
# target ("-" for figures shown for comparison only).
row() {
    awk -v name="$1" -v ours="$2" -v peer="$3" -v limit="$4" 'BEGIN {
        ratio = ours / peer
        met = limit == "-" ? "-" : (ratio <= limit ? "yes" : "NO")
        target = limit == "-" ? "-" : sprintf("<= %.2f", limit)
        printf "%-50s %11s %11s %7.2f %9s %4s\n", name, ours, peer, ratio, target, met
    }'
}

echo
echo "Medians; measured processes on CPU $cpu of $(nproc); load average $(cut -d' ' -f1-3 /proc/loadavg), $("$WINE" --version)"
printf "%-50s %11s %11s %7s %9s %4s\n" "Figure (ms unless stated)" "ours" "peer" "ratio" "target" "met"
row "Discovery in-process / reg query /s (process)" "$disc_in" "$reg_whole" 0.3
row "Discovery bench process / reg query /s (process)" "$disc_whole" "$reg_whole" 1.0
row "Copy: CopyPackageFiles / cp (host)" "$copy_in" "$cp_whole" 1.2
row "Copy: CopyPackageFiles / xcopy (process)" "$copy_in" "$xcopy_whole" -
row "Copy: copy bench process / xcopy (process)" "$copy_whole" "$xcopy_whole" -
row "Copy: CopyFileA of the same bytes / cp (host)" "$copy_floor" "$cp_whole" -
row "Copy: CopyPackageFiles / CopyFileA of the same bytes" "$copy_in" "$copy_floor" 1.3
row "Start to dialog: SetUp.exe / minimal dialog" "$start_setup" "$start_minimal" 1.1
row "Start to dialog, fastest of $startup_runs: same" "$start_setup_min" "$start_minimal_min" -
row "Per-user stage at logon / minimal program" "$stage_ms" "$stage_minimal_ms" 1.5
row "Size of SetUp.exe, bytes / 600 KB" "$setup_bytes" "$setup_size_limit" 1.0
row "Size of UserSetup.exe, bytes / 100 KB" "$stage_bytes" "$stage_size_limit" 1.0
