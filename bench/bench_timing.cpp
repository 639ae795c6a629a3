#include "bench/bench_timing.h"

#include <algorithm>
#include <cstdlib>

namespace {

// More samples than this only lengthen a run; medians settle far earlier.
constexpr int kMaxRuns = 1000;
constexpr double kMsPerSecond = 1000.0;

}  // namespace

double Stopwatch::ElapsedMs() const {
    LARGE_INTEGER now;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - m_start.QuadPart) * kMsPerSecond /
           static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> samples) {
    if (samples.empty()) return 0.0;
    std::sort(samples.begin(), samples.end());
    const size_t middle = samples.size() / 2;
    if (samples.size() % 2 != 0) return samples[middle];
    return (samples[middle - 1] + samples[middle]) / 2.0;
}

int ParseRunCount(const char* text) {
    const long runs = text ? std::strtol(text, nullptr, 10) : 0;
    return static_cast<int>(std::clamp(runs, 1L, static_cast<long>(kMaxRuns)));
}
