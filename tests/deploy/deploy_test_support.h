// What the deployment tests share: scoped temporary folders on Wine's real
// file system, a box recorder and a step counter (the registry sandbox is
// tests/support/scratch_registry.h).
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "deploy/install_journal.h"
#include "deploy/progress_sink.h"
#include "framework/afx_msgbox.h"
#include "framework/afx_string.h"

namespace deploy_test {

// A fresh folder below the temporary folder, removed with all its content
// (read-only files and paths beyond MAX_PATH included) at the end of scope.
class ScopedTempFolder {
public:
    // The suffix ends the folder's name; it may hold GBK text.
    explicit ScopedTempFolder(const std::string& suffix = "");
    ~ScopedTempFolder();
    ScopedTempFolder(const ScopedTempFolder&) = delete;
    ScopedTempFolder& operator=(const ScopedTempFolder&) = delete;

    const CString& Path() const { return m_path; }
    // The folder, a backslash and the relative path.
    CString operator/(const char* relative) const;

private:
    CString m_path;
};

bool MakeFolder(const char* path);
bool WriteTextFile(const char* path, const std::string& content);
// The content, or "<missing>" when the file cannot be read.
std::string ReadTextFile(const char* path);
bool IsReadOnly(const char* path);
// Existence through the wide functions, for paths beyond MAX_PATH.
bool ExistsAnyLength(const char* path);
// Names of a folder's entries in the order a directory search yields them.
std::vector<std::string> ListFolder(const char* folder);

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

struct ShownBox {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};

// Records every box and answers it: through the handler when one is set
// (given the box's number from 0), else with the default answer.
class BoxRecorder : public afx::MessageBoxResponder {
public:
    explicit BoxRecorder(int defaultAnswer = IDOK) : m_defaultAnswer(defaultAnswer) {}
    int Answer(HWND owner, const char* text, const char* caption, UINT type) override;

    std::function<int(int index, const ShownBox& box)> handler;
    std::vector<ShownBox> boxes;

private:
    int m_defaultAnswer;
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
    InstallLog log;
};

}  // namespace deploy_test
