// Times each program from its start to its first dialog being visible,
// then closes the dialog as a user would.
//
//   startup_bench <runs> <program>...
//
// One warm-up start per program, then the timed starts taken in turn, one
// program after another, so that a slow spell of the machine falls on all
// of them alike. Prints, per program in order, the median and the fastest
// start (the latter least blurred by whatever else the machine runs).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_timing.h"
#include "tools/driver/ui_driver.h"

namespace {

// Dialogs are found by polling the top-level windows at this interval.
constexpr DWORD kPollIntervalMs = 1;
constexpr double kShowTimeoutMs = 20000.0;
constexpr DWORD kCloseTimeoutMs = 10000;

// Milliseconds from the start of the program to its dialog being visible;
// false when it never showed one.
bool TimeToDialog(const std::string& program, double* elapsedMs) {
    driver::Process process;
    const Stopwatch watch;
    if (!process.Start(program)) {
        std::fprintf(stderr, "cannot start %s (error %lu)\n", program.c_str(), GetLastError());
        return false;
    }
    HWND dialog = nullptr;
    while (!(dialog = driver::FindDialog(process.Id(), nullptr))) {
        if (!process.IsRunning() || watch.ElapsedMs() > kShowTimeoutMs) {
            std::fprintf(stderr, "%s showed no dialog\n", program.c_str());
            return false;
        }
        Sleep(kPollIntervalMs);
    }
    *elapsedMs = watch.ElapsedMs();
    driver::Close(dialog);
    // A program that does not close leaves the next start a busier machine.
    if (!process.WaitForExit(kCloseTimeoutMs)) process.Kill();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: startup_bench <runs> <program>...\n");
        return 2;
    }
    const int runs = ParseRunCount(argv[1]);
    const std::vector<std::string> programs(argv + 2, argv + argc);
    std::vector<std::vector<double>> samples(programs.size());
    double elapsedMs = 0.0;
    for (const std::string& program : programs) {
        if (!TimeToDialog(program, &elapsedMs)) return 1;  // warm-up
    }
    for (int run = 0; run < runs; ++run) {
        for (size_t i = 0; i < programs.size(); ++i) {
            if (!TimeToDialog(programs[i], &elapsedMs)) return 1;
            samples[i].push_back(elapsedMs);
        }
    }
    for (size_t i = 0; i < programs.size(); ++i) {
        const double fastest = *std::min_element(samples[i].begin(), samples[i].end());
        std::printf("program=%zu runs=%d median_ms=%.2f min_ms=%.2f\n", i, runs, Median(samples[i]),
                    fastest);
    }
    return 0;
}
