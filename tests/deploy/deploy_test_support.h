// What the deployment tests share beside tests/support: files on Wine's real
// file system, the environment, a step counter and a package fixture.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "deploy/progress_sink.h"
#include "framework/afx_string.h"
#include "journal/install_context.h"
#include "tests/support/box_recorder.h"
#include "tests/support/temp_folder.h"

namespace deploy_test {

bool MakeFolder(const char* path);
bool WriteTextFile(const char* path, const std::string& content);
// The content, or "<missing>" when the file cannot be read.
std::string ReadTextFile(const char* path);
bool IsReadOnly(const char* path);
// Names of a folder's entries in the order a directory search yields them.
std::vector<std::string> ListFolder(const char* folder);
// The box of a copy that failed for another reason than a file in use: the
// destination whole and Windows' error.
std::string CopyErrorText(const char* destination, DWORD error);

// Sets or removes an environment variable and puts the old value back.
class ScopedEnvironmentVariable {
public:
    ScopedEnvironmentVariable(const char* name, const char* value);  // null removes it
    ~ScopedEnvironmentVariable();
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

private:
    std::string m_name;
    std::string m_old;
    bool m_hadValue = false;
};

class StepCounter : public ProgressSink {
public:
    void StepIt() override { ++steps; }
    int steps = 0;
};

// A package in "<temp>\pkg\Data" and APPDATA pointing at "<temp>\appdata",
// with the user's answers recorded and the progress steps counted.
class PackageFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void AddPackageFile(const char* name, const std::string& content);

    ScopedTempFolder temp;
    const CString setup = temp / "pkg";
    const CString data = temp / "pkg\\Data";
    const CString appData = temp / "appdata";
    ScopedEnvironmentVariable appDataVariable{"APPDATA", appData};
    BoxRecorder boxes;
    afx::ScopedMessageBoxResponder responder{boxes};
    StepCounter progress;
    InstallContext log;
};

}  // namespace deploy_test
