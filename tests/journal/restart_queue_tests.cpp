// The queue of the next restart on Wine's real file system and a sandboxed
// registry: a place under any of its names (a short name, another case, a
// folder above it) is that place, the plug-in's own deletions are known
// under any name and remembered until the restart only, and no file is
// refused once the run's one check has passed.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "entries/plugin_key.h"
#include "framework/afx_unicode.h"
#include "journal/install_journal.h"
#include "journal/pending_restart.h"
#include "record/record_fields.h"
#include "record/served_places.h"
#include "tests/support/scratch_registry.h"
#include "tests/support/temp_folder.h"
#include "text/path_text.h"
#include "tools/driver/sample_machine.h"

namespace {

constexpr wchar_t kSessionManagerKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";

CString ShortNameOf(const CString& path) {
    char name[MAX_PATH] = {};
    return GetShortPathNameA(path, name, MAX_PATH) ? CString(name) : CString();
}

// The queue's name of a path, as MoveFileEx gives it.
std::wstring Nt(const CString& path) {
    return L"\\??\\" + afx::ToWide(path, CP_ACP);
}

// A list of strings of a value below HKEY_LOCAL_MACHINE, as REG_MULTI_SZ.
bool SetStrings(const wchar_t* key, const wchar_t* value,
                const std::vector<std::wstring>& strings) {
    std::wstring data;
    for (const std::wstring& text : strings) data.append(text).push_back(L'\0');
    data.push_back(L'\0');
    return RegSetKeyValueW(HKEY_LOCAL_MACHINE, key, value, REG_MULTI_SZ, data.data(),
                           static_cast<DWORD>(data.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
}

class RestartQueueTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(registry.IsReady());
        ASSERT_TRUE(driver::CreateFolders(install.str()));
        ASSERT_TRUE(driver::CreateFolders(ParentFolder(module).str()));
        ASSERT_TRUE(driver::WriteTextFile(module.str(), "module"));
        ASSERT_TRUE(driver::WriteTextFile(source.str(), "new"));
    }
    // Work another program queued: source and target of each operation.
    static bool QueueAsAnotherProgram(const std::vector<std::wstring>& strings) {
        return SetStrings(kSessionManagerKey, L"PendingFileRenameOperations", strings);
    }

    ScratchRegistryRoots registry;
    ScopedTempFolder temp;
    const CString install = temp / "Program Files Of Torvex\\T-ZozerIded";
    const CString module = temp / "Host Of The Plug-In\\GCAD2024P.dll";
    const CString source = temp / "package.dll";
    RunLog log;
};

TEST_F(RestartQueueTest, WorkOnWhatTheRunWritesUnderAnyNameOrOnAFolderAboveItCounts) {
    const CString shortInstall = ShortNameOf(install);
    const CString shortModule = ShortNameOf(module);
    ASSERT_NE(shortInstall, install);
    std::string upper = module.str();
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    const struct {
        std::vector<std::wstring> queued;
        bool counts;
    } cases[] = {
        {{Nt(shortModule), L""}, true},
        {{Nt(CString(upper)), L""}, true},
        {{Nt(shortInstall), L"!" + Nt(temp / "elsewhere")}, true},
        {{Nt(ShortNameOf(temp / "Program Files Of Torvex")), L""}, true},
        {{Nt(ShortNameOf(ParentFolder(module))), Nt(temp / "moved")}, true},
        {{Nt(temp / "other.dll"), L"!" + Nt(shortInstall + "\\Data\\x.dll")}, true},
        {{Nt(temp / "Host Of The Plug-In\\other.dll"), L""}, false},
        {{Nt(temp / "Program Files Of Torvex\\beside"), L""}, false},
    };
    const WrittenPlaces written{{install}, {module}};
    for (const auto& c : cases) {
        ASSERT_TRUE(QueueAsAnotherProgram(c.queued));
        CString named;
        afx::FromWide(c.queued[0].c_str(), CP_ACP, &named);
        EXPECT_EQ(RestartQueue().FirstOtherOn(written).IsEmpty(), !c.counts) << named.str();
    }
}

TEST_F(RestartQueueTest, ThePlugInsOwnDeletionIsKnownUnderAnyNameAndRememberedUntilTheRestart) {
    ServedPlaces places(install);
    places.AddHost(ParentFolder(module), "H\\");
    ASSERT_TRUE(QueueDeletionAtRestart(ShortNameOf(module), places));
    RestartQueue queue;
    EXPECT_TRUE(queue.FirstOtherOn({{install}, {module}}).IsEmpty());
    EXPECT_TRUE(queue.HoldsOwnDeletionOf(module));
    // In a volatile key (which may hold no lasting one), never in the
    // plug-in's own, which outlives the restart.
    EXPECT_FALSE(driver::KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Torvex"));
    afx::ScopedRegKey lasting;
    EXPECT_EQ(
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, CString(kRestartMemoryKey) + "\\lasting", 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_READ, nullptr, lasting.Receive(), nullptr),
        ERROR_CHILD_MUST_BE_VOLATILE);
    ASSERT_TRUE(queue.TakeOutOwnDeletion(module));
    EXPECT_FALSE(RestartQueue().HoldsOwnDeletionOf(module));
    ForgetDeletionsNoLongerQueued();
    EXPECT_FALSE(driver::KeyExists(HKEY_LOCAL_MACHINE, kRestartMemoryKey));
}

TEST_F(RestartQueueTest, TheMemoryAnEarlierVersionKeptForGoodMovesIntoTheVolatileOne) {
    // Queued by the plug-in, one carried out since by a restart.
    ASSERT_TRUE(QueueAsAnotherProgram({Nt(module), L""}));
    std::string remembered;
    for (const CString& path : {module, temp / "gone.dll"})
        AppendLine(remembered, {EscapeField(path)});
    ASSERT_TRUE(WritePluginValue(HKEY_LOCAL_MACHINE, kQueuedDeletionsValue, CString(remembered)));
    TakeOverEarlierRestartMemory();
    EXPECT_FALSE(driver::KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Torvex"));
    EXPECT_TRUE(RestartQueue().HoldsOwnDeletionOf(module));
    wchar_t memory[MAX_PATH] = {};
    DWORD size = sizeof(memory);
    ASSERT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, afx::ToWide(kRestartMemoryKey, CP_ACP).c_str(),
                           L"QueuedDeletions", RRF_RT_REG_MULTI_SZ, nullptr, memory, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(size, (Nt(module).size() + 2) * sizeof(wchar_t)) << "what is no longer queued goes";
}

TEST_F(RestartQueueTest, AFileIsNeverRefusedForWorkTheRunsOneCheckWeighedBefore) {
    ASSERT_TRUE(QueueAsAnotherProgram({Nt(module), L""}));
    InstallJournal journal(log);
    EXPECT_TRUE(journal.InstallFile(source, module));
    EXPECT_EQ(driver::ReadTextFile(module.str()), "new");
}

}  // namespace
