// What the benchmark programs share: a high-resolution stopwatch and the
// median of a set of samples.
#pragma once

#include <windows.h>

#include <vector>

class Stopwatch {
public:
    Stopwatch() { Restart(); }
    void Restart() { QueryPerformanceCounter(&m_start); }
    double ElapsedMs() const;

private:
    LARGE_INTEGER m_start;
};

// The middle sample, or the mean of the two middle ones; 0 for no samples.
double Median(std::vector<double> samples);

// A run count from the command line: at least 1, at most kMaxRuns.
int ParseRunCount(const char* text);
