// Times the per-user stage as a logon runs it, against a program that only
// starts and ends. Windows runs Active Setup's stubs before the desktop
// appears: the stage's time is added to each user's first logon after an
// installation.
//
//   stage_bench <runs> <SetUp.exe> <minimal program> <work folder>
//
// Lays out four host installations for the running user (GstarCAD 2024,
// 2025 and 2026, GstarArch 2025), installs the plug-in silently from a
// sample package, then in turn: the user's traces of the stage cleared (as
// for a user who has not logged on since), UserSetup.exe /ACTIVESETUP timed
// from its start to its end; the minimal program timed the same way.
// Prints each program's median and fastest run. Leaves nothing behind.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_timing.h"
#include "entries/active_setup.h"
#include "tools/driver/sample_machine.h"
#include "tools/driver/ui_driver.h"

namespace {

constexpr DWORD kInstallTimeoutMs = 120000;

const driver::HostEntry kHosts[] = {
    {HKEY_CURRENT_USER, "SOFTWARE\\Gstarsoft\\GstarCAD", "R24\\zh-CN", "C:\\StageBench\\CAD2024"},
    {HKEY_CURRENT_USER, "SOFTWARE\\Gstarsoft\\GstarCAD", "R25\\zh-CN", "C:\\StageBench\\CAD2025"},
    {HKEY_CURRENT_USER, "SOFTWARE\\Gstarsoft\\GstarCAD", "R26\\zh-CN", "C:\\StageBench\\CAD2026"},
    {HKEY_CURRENT_USER, "SOFTWARE\\Gstarsoft\\GstarArch", "R25\\zh-CN", "C:\\StageBench\\Arch2025"},
};

// What the stage does for a user, undone: its record, its stamp, its
// RunOnce value, the hosts' entries and the user's settings file.
void ClearUsersTraces() {
    DeleteUserStageTraces();
    for (const driver::HostEntry& host : kHosts) {
        RegDeleteTreeA(HKEY_CURRENT_USER,
                       (host.productKey + "\\" + host.relativeKey + "\\Applications").c_str());
    }
    char appData[MAX_PATH] = {};
    if (GetEnvironmentVariableA("APPDATA", appData, MAX_PATH)) {
        DeleteFileA((std::string(appData) + "\\Torvex\\Torvex.Ini").c_str());
    }
}

// Milliseconds from the program's start to its end; false when it failed.
bool TimeRun(const std::string& program, const std::string& arguments, double* elapsedMs) {
    driver::Process process;
    const Stopwatch watch;
    if (!process.Start(program, {}, arguments) || !process.WaitForExit()) return false;
    *elapsedMs = watch.ElapsedMs();
    return process.ExitCode() == 0;
}

void Print(int index, const std::vector<double>& samples) {
    std::printf("program=%d median_ms=%.2f min_ms=%.2f\n", index, Median(samples),
                *std::min_element(samples.begin(), samples.end()));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: stage_bench <runs> <SetUp.exe> <minimal program> <work>\n");
        return 2;
    }
    const int runs = ParseRunCount(argv[1]);
    const std::string work = argv[4];
    const std::string package = work + "\\package";
    const std::string installFolder = work + "\\install\\T-ZozerIded";
    driver::SampleMachine machine;
    for (const driver::HostEntry& host : kHosts) machine.AddHost(host);
    machine.RemoveFolderOnExit("C:\\StageBench");
    machine.RemoveFolderOnExit(work);
    driver::Process setup;
    if (!machine.BuildPackage(argv[2], package, {2024, 2025, 2026}) ||
        !setup.Start(package + "\\SetUp.exe", {}, "/VERYSILENT /DIR=\"" + work + "\\install\"") ||
        !setup.WaitForExit(kInstallTimeoutMs) || setup.ExitCode() != 0) {
        std::fprintf(stderr, "the installation failed\n");
        return 1;
    }
    const std::string stage = installFolder + "\\UserSetup.exe";
    std::vector<double> stageSamples;
    std::vector<double> minimalSamples;
    for (int run = 0; run <= runs; ++run) {  // the first of each is a warm-up
        double stageMs = 0;
        double minimalMs = 0;
        ClearUsersTraces();
        if (!TimeRun(stage, "/ACTIVESETUP", &stageMs) || !TimeRun(argv[3], "", &minimalMs)) {
            std::fprintf(stderr, "a run failed\n");
            return 1;
        }
        if (run == 0) continue;
        stageSamples.push_back(stageMs);
        minimalSamples.push_back(minimalMs);
    }
    Print(0, stageSamples);
    Print(1, minimalSamples);
    driver::Process uninstall;
    if (uninstall.Start(installFolder + "\\Uninstall.exe", {}, "/VERYSILENT")) {
        uninstall.WaitForExit(kInstallTimeoutMs);
    }
    return 0;
}
