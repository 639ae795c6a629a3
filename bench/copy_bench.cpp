// Times one package copy into an empty installation folder, in-process, and
// prints it; bench/run.sh takes the medians over rounds in which xcopy and
// cp copy the same files in turn.
//
//   copy_bench package <setup folder> <installation folder>
//       CopyPackageFiles, as the install command runs it
//   copy_bench floor <setup folder> <installation folder>
//       a bare CopyFileA of each package file, written where the package
//       copy writes it: once into the installation folder and once into the
//       package it keeps there (Data). The platform's floor for the same
//       bytes, which tells the package copy's own work from the platform's
//
// Any failure box is answered Abort and fails the run, as does a copy that
// leaves files out.
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
#include "journal/install_context.h"
#include "record/served_places.h"

namespace {

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

bool CopyPackage(const std::string& setupFolder, const std::string& installFolder, int* steps) {
    AbortingResponder responder;
    const afx::ScopedMessageBoxResponder answering(responder);
    StepCounter progress;
    InstallContext log;
    // As the installation copies: every change written ahead to its journal.
    const CString folder(installFolder.c_str());
    if (!log.journal.CreateFolder(folder) || !log.journal.MakeDurable(folder)) return false;
    const bool copied = CopyPackageFiles(CString(setupFolder.c_str()), folder, progress, log);
    *steps = progress.Steps();
    log.journal.Commit();
    log.journal.Finish(ServedPlaces(folder));
    return copied;
}

bool CopyBare(const std::vector<std::string>& names, const std::string& sourceFolder,
              const std::string& installFolder) {
    const std::string keptFolder = installFolder + "\\" + kPackageDataFolder;
    if (!CreateDirectoryA(keptFolder.c_str(), nullptr)) return false;
    for (const std::string& name : names) {
        const std::string source = sourceFolder + "\\" + name;
        for (const std::string& folder : {installFolder, keptFolder}) {
            const std::string destination = folder + "\\" + name;
            if (!CopyFileA(source.c_str(), destination.c_str(), FALSE)) return false;
        }
    }
    return true;
}

int Usage() {
    std::fprintf(stderr, "usage: copy_bench package|floor <setup folder> <installation folder>\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) return Usage();
    const std::string mode = argv[1];
    const std::string setupFolder = argv[2];
    const std::string installFolder = argv[3];
    const std::string sourceFolder = setupFolder + "\\" + kPackageDataFolder;
    const std::vector<std::string> names = FileNamesIn(sourceFolder);
    if (!FileNamesIn(installFolder).empty()) {
        std::fprintf(stderr, "the installation folder is not empty\n");
        return 1;
    }

    int steps = 0;
    bool copied = false;
    const Stopwatch watch;
    if (mode == "package") {
        copied = CopyPackage(setupFolder, installFolder, &steps);
    } else if (mode == "floor") {
        copied = CopyBare(names, sourceFolder, installFolder);
    } else {
        return Usage();
    }
    const double elapsedMs = watch.ElapsedMs();

    const size_t installed = FileNamesIn(installFolder).size();
    if (!copied || installed != names.size()) {
        std::fprintf(stderr, "the copy failed: %zu of %zu files\n", installed, names.size());
        return 1;
    }
    std::printf("files=%zu steps=%d elapsed_ms=%.2f\n", installed, steps, elapsedMs);
    return 0;
}
