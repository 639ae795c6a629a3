// Times the package copy: CopyPackageFiles from a package's setup folder
// into an installation folder, emptied (untimed) before every copy. Beside
// it, in turn, the platform's floor: a bare CopyFileA of each package file,
// which tells the copy's own per-file work from the platform's copy.
//
//   copy_bench time <setup folder> <installation folder> <runs>
//       one warm-up of each, then the timed copies; prints the medians
//   copy_bench once <setup folder> <installation folder>
//       one package copy into the folder as it is: for timing the process
//
// Any failure box is answered Abort and fails the run.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_timing.h"
#include "deploy/package_copy.h"
#include "deploy/progress_sink.h"
#include "framework/afx_msgbox.h"
#include "framework/scoped_handles.h"

namespace {

constexpr char kPackageDataFolder[] = "\\Data";

class StepCounter : public ProgressSink {
public:
    void StepIt() override { ++m_steps; }
    int Steps() const { return m_steps; }

private:
    int m_steps = 0;
};

// A failing copy must end the run, not wait for a user.
class AbortingResponder : public afx::MessageBoxResponder {
public:
    int Answer(HWND, const char* text, const char*, UINT) override {
        std::fprintf(stderr, "box: %s\n", text);
        return IDABORT;
    }
};

bool IsDotEntry(const char* name) {
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

// The names of the files directly in a folder; the package has no subfolders.
std::vector<std::string> FileNamesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    const afx::ScopedFindHandle listing(FindFirstFileA((folder + "\\*").c_str(), &entry));
    if (!listing) return names;
    do {
        if (!IsDotEntry(entry.cFileName) && !(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(entry.cFileName);
    } while (FindNextFileA(listing.Get(), &entry));
    return names;
}

// Leaves an empty installation folder, as a first installation finds it.
bool EmptyFolder(const std::string& folder) {
    for (const std::string& name : FileNamesIn(folder)) {
        if (!DeleteFileA((folder + "\\" + name).c_str())) return false;
    }
    CreateDirectoryA(folder.c_str(), nullptr);
    return GetFileAttributesA(folder.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class CopyTimer {
public:
    CopyTimer(const std::string& setupFolder, const std::string& installFolder)
        : m_setupFolder(setupFolder.c_str()),
          m_installFolder(installFolder),
          m_sourceFolder(setupFolder + kPackageDataFolder),
          m_names(FileNamesIn(m_sourceFolder)) {}

    // The package copy as the install command runs it.
    bool TimePackageCopy(double* elapsedMs) {
        if (!EmptyFolder(m_installFolder)) return Fail("cannot empty the installation folder");
        StepCounter progress;
        const Stopwatch watch;
        const bool copied =
            CopyPackageFiles(m_setupFolder, CString(m_installFolder.c_str()), progress);
        *elapsedMs = watch.ElapsedMs();
        m_lastSteps = progress.Steps();
        return copied || Fail("the package copy failed");
    }

    // The same files, one CopyFileA each and nothing else.
    bool TimeBareCopy(double* elapsedMs) {
        if (!EmptyFolder(m_installFolder)) return Fail("cannot empty the installation folder");
        const Stopwatch watch;
        for (const std::string& name : m_names) {
            const std::string source = m_sourceFolder + "\\" + name;
            const std::string destination = m_installFolder + "\\" + name;
            if (!CopyFileA(source.c_str(), destination.c_str(), FALSE))
                return Fail("a copy failed");
        }
        *elapsedMs = watch.ElapsedMs();
        return true;
    }

    size_t PackageFiles() const { return m_names.size(); }
    size_t InstalledFiles() const { return FileNamesIn(m_installFolder).size(); }
    int LastSteps() const { return m_lastSteps; }

private:
    static bool Fail(const char* what) {
        std::fprintf(stderr, "%s\n", what);
        return false;
    }

    const CString m_setupFolder;
    const std::string m_installFolder;
    const std::string m_sourceFolder;
    const std::vector<std::string> m_names;
    int m_lastSteps = 0;
};

int TimeCopies(CopyTimer& timer, int runs) {
    double elapsedMs = 0.0;
    if (!timer.TimeBareCopy(&elapsedMs) || !timer.TimePackageCopy(&elapsedMs)) return 1;
    std::vector<double> packageSamples;
    std::vector<double> bareSamples;
    for (int run = 0; run < runs; ++run) {
        if (!timer.TimeBareCopy(&elapsedMs)) return 1;
        bareSamples.push_back(elapsedMs);
        if (!timer.TimePackageCopy(&elapsedMs)) return 1;
        packageSamples.push_back(elapsedMs);
    }
    // The package copy is checked last, so that a copy that left files out
    // cannot pass for a fast one.
    if (timer.InstalledFiles() != timer.PackageFiles()) {
        std::fprintf(stderr, "the package copy installed %zu of %zu files\n",
                     timer.InstalledFiles(), timer.PackageFiles());
        return 1;
    }
    std::printf("files=%zu steps=%d runs=%d median_ms=%.2f floor_median_ms=%.2f\n",
                timer.InstalledFiles(), timer.LastSteps(), runs, Median(packageSamples),
                Median(bareSamples));
    return 0;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: copy_bench time <setup folder> <installation folder> <runs>\n"
                 "       copy_bench once <setup folder> <installation folder>\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return Usage();
    const std::string command = argv[1];
    AbortingResponder responder;
    const afx::ScopedMessageBoxResponder answering(responder);

    if (command == "time" && argc == 5) {
        CopyTimer timer(argv[2], argv[3]);
        return TimeCopies(timer, ParseRunCount(argv[4]));
    }
    if (command == "once" && argc == 4) {
        StepCounter progress;
        return CopyPackageFiles(CString(argv[2]), CString(argv[3]), progress) ? 0 : 1;
    }
    return Usage();
}
