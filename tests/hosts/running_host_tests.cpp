// IsHostRunning against real processes: a dummy copied under host-like and
// other names, one process at a time so every answer is unambiguous.
#include <gtest/gtest.h>
#include <windows.h>
// tlhelp32.h needs windows.h first.
#include <tlhelp32.h>

#include <cctype>
#include <string>

#include "framework/afx_app_name.h"
#include "framework/scoped_handles.h"
#include "hosts/running_host.h"
#include "tests/support/running_dummy.h"
#include "tests/support/temp_folder.h"

namespace {

// Built beside this test.
std::string DummyHostPath() {
    const std::string self = afx::GetModulePath().str();
    return self.substr(0, self.rfind('\\')) + "\\dummy_host.exe";
}

// The image name a process snapshot gives for a process id; empty if absent.
std::string SnapshotImageName(DWORD processId) {
    afx::ScopedKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return std::string();
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot.Get(), &entry); more;
         more = Process32Next(snapshot.Get(), &entry)) {
        if (entry.th32ProcessID == processId) return entry.szExeFile;
    }
    return std::string();
}

class RunningHost : public ::testing::TestWithParam<std::pair<const char*, bool>> {
protected:
    void SetUp() override {
        ASSERT_FALSE(m_folder.Path().IsEmpty());
        // Without this the answers below would say nothing.
        ASSERT_FALSE(IsHostRunning()) << "a host-like process is already running";
    }

    ScopedTempFolder m_folder{"-running-host"};
};

TEST_P(RunningHost, AnswersForTheRunningImageName) {
    const char* fileName = GetParam().first;
    const bool isHost = GetParam().second;
    {
        RunningDummy dummy(DummyHostPath(), m_folder.Path().str(), fileName);
        ASSERT_TRUE(dummy.IsReady()) << fileName << ": " << dummy.Failure();
        // The snapshot really lists the dummy under the name it was given.
        EXPECT_EQ(SnapshotImageName(dummy.Id()), fileName);
        EXPECT_EQ(IsHostRunning(), isHost) << fileName;
    }
    EXPECT_FALSE(IsHostRunning()) << "after " << fileName << " ended";
}

INSTANTIATE_TEST_SUITE_P(ImageNames, RunningHost,
                         ::testing::Values(std::make_pair("gcad.exe", true),
                                           std::make_pair("GCAD.EXE", true),
                                           std::make_pair("oldgcad.exe", true),
                                           std::make_pair("gcad64.exe", false),
                                           std::make_pair("gcad", false)),
                         [](const ::testing::TestParamInfo<RunningHost::ParamType>& info) {
                             std::string name = info.param.first;
                             for (char& c : name) {
                                 if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                             }
                             return name;
                         });

TEST(RunningHostIdle, NoHostAmongTheUsualProcesses) {
    // The prefix's own processes (services, explorer, this test) are no host.
    EXPECT_FALSE(SnapshotImageName(GetCurrentProcessId()).empty());
    EXPECT_FALSE(IsHostRunning());
}

}  // namespace
