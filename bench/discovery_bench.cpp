// Times host discovery over the benchmark's vendor tree (vendor_tree.h) in
// the real HKEY_CURRENT_USER, which Wine's "reg query" lists for comparison.
//
//   discovery_bench build       lays the tree out
//   discovery_bench remove      removes the vendor key
//   discovery_bench once        one discovery: for timing the whole process
//   discovery_bench time <n>    one warm-up, then n timed discoveries
//
// Every discovery is checked against the tree: a wrong count fails the run.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "bench/bench_timing.h"
#include "bench/vendor_tree.h"
#include "hosts/host_discovery.h"

namespace {

// One discovery on a fresh record, as the setup program runs it; false when
// it did not find every installation of the tree.
bool DiscoverOnce(double* elapsedMs) {
    const Stopwatch watch;
    const FoundHosts registry = DiscoverHostInstallations();
    *elapsedMs = watch.ElapsedMs();
    int found = 0;
    for (HostRelease release : kHostReleases) found += registry.GetHostCount(release);
    if (found != kVendorTreeInstallations) {
        std::fprintf(stderr, "discovery found %d installations, the tree holds %d\n", found,
                     kVendorTreeInstallations);
        return false;
    }
    return true;
}

int TimeDiscovery(int runs) {
    double elapsedMs = 0.0;
    if (!DiscoverOnce(&elapsedMs)) return 1;  // warm-up
    std::vector<double> samples;
    for (int run = 0; run < runs; ++run) {
        if (!DiscoverOnce(&elapsedMs)) return 1;
        samples.push_back(elapsedMs);
    }
    std::printf("keys=%d installations=%d runs=%d median_ms=%.2f\n", kVendorTreeKeyCount,
                kVendorTreeInstallations, runs, Median(samples));
    return 0;
}

int Usage() {
    std::fprintf(stderr, "usage: discovery_bench build | remove | once | time <runs>\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const char* command = argv[1];
    if (std::strcmp(command, "build") == 0) return BuildVendorTree() ? 0 : 1;
    if (std::strcmp(command, "remove") == 0) return RemoveVendorTree() ? 0 : 1;
    if (std::strcmp(command, "once") == 0) {
        double elapsedMs = 0.0;
        return DiscoverOnce(&elapsedMs) ? 0 : 1;
    }
    if (std::strcmp(command, "time") == 0) return TimeDiscovery(ParseRunCount(argv[2]));
    return Usage();
}
