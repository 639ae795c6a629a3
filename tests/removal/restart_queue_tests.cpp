// The restart's queue on Wine's real file system, the registry sandboxed:
// a place under any of its names or below a folder queued is that place.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "framework/afx_unicode.h"
#include "journal/install_journal.h"
#include "record/served_places.h"
#include "removal/restart_queue.h"
#include "tests/support/scratch_registry.h"
#include "tests/support/temp_folder.h"
#include "text/path_text.h"
#include "tools/driver/sample_machine.h"

namespace {

std::wstring Nt(const CString& path) {
    return L"\\??\\" + afx::ToWide(path, CP_ACP);
}

// Another program's work: source and target of each operation.
bool Queue(const std::vector<std::wstring>& strings) {
    std::wstring data;
    for (const std::wstring& text : strings) data.append(text).push_back(L'\0');
    return RegSetKeyValueW(HKEY_LOCAL_MACHINE,
                           L"SYSTEM\\CurrentControlSet\\Control\\Session Manager",
                           L"PendingFileRenameOperations", REG_MULTI_SZ, data.c_str(),
                           static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) == 0;
}

struct RestartQueueTest : ::testing::Test {
    void SetUp() override {
        ASSERT_TRUE(registry.IsReady() && driver::CreateFolders(install.str()) &&
                    driver::CreateFolders(host.str()) &&
                    driver::WriteTextFile(module.str(), "module"));
    }
    ScratchRegistryRoots registry;
    ScopedTempFolder temp;
    const CString install = temp / "Program Files Of Torvex\\T-ZozerIded";
    const CString host = temp / "Host Of The Plug-In";
    const CString module = host + "\\GCAD2024P.dll";
};

TEST_F(RestartQueueTest, WorkOnWhatTheRunWritesUnderAnyNameOrOnAFolderAboveItCounts) {
    const CString shortInstall = ShortNameOf(install);
    const struct {
        std::vector<std::wstring> queued;
        bool counts;
    } cases[] = {
        {{Nt(ShortNameOf(module)), L""}, true},
        {{Nt(shortInstall), L"!" + Nt(temp / "elsewhere")}, true},
        {{Nt(ShortNameOf(temp / "Program Files Of Torvex")), L""}, true},
        {{Nt(ShortNameOf(host)), Nt(temp / "moved")}, true},
        {{Nt(temp / "x.dll"), L"!" + Nt(shortInstall + "\\Data\\x.dll")}, true},
        {{Nt(host + "\\other.dll"), L""}, false},
        {{Nt(temp / "Program Files Of Torvex\\beside"), L""}, false},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Queue(c.queued));
        EXPECT_EQ(RestartQueue().FirstOtherOn({{install}, {module}}).IsEmpty(), !c.counts)
            << &c - cases;
    }
    // Weighed once by the run's check, it never refuses a file.
    ASSERT_TRUE(Queue({Nt(module + ".new"), L""}));
    RunLog log;
    InstallJournal journal(log);
    EXPECT_TRUE(journal.InstallFile(module, module + ".new"));
}

TEST_F(RestartQueueTest, ThePlugInsOwnDeletionIsKnownUnderAnyNameAndRememberedUntilTheRestart) {
    ServedPlaces places(install);
    places.AddHost(host, "H\\");
    ASSERT_TRUE(QueueDeletionAtRestart(ShortNameOf(module), places));
    RestartQueue queue;
    EXPECT_TRUE(queue.FirstOtherOn({{install}, {module}}).IsEmpty());
    EXPECT_TRUE(queue.HoldsOwnDeletionOf(module));
    // A volatile key (which holds no lasting one), not the plug-in's.
    EXPECT_FALSE(driver::KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Torvex"));
    afx::ScopedRegKey lasting;
    EXPECT_EQ(
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, CString(kRestartMemoryKey) + "\\x", 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_READ, nullptr, lasting.Receive(), nullptr),
        ERROR_CHILD_MUST_BE_VOLATILE);
    ASSERT_TRUE(queue.TakeOutOwnDeletion(module));
    ForgetDeletionsNoLongerQueued();
    EXPECT_FALSE(driver::KeyExists(HKEY_LOCAL_MACHINE, kRestartMemoryKey));
}

}  // namespace
