// The installation folder's permissions: what the program asks for, read
// back from the descriptor it builds and from the calls that apply it (Wine
// keeps no descriptors on files, so the folder itself cannot tell); and the
// machine's one run.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h, which they build on
#include <sddl.h>

#include <map>
#include <string>
#include <vector>

#include "system/folder_security.h"
#include "tests/support/temp_folder.h"
#include "tests/support/unix_link.h"
#include "tools/driver/sample_machine.h"

namespace {

using driver::CreateFolders;
using driver::WriteTextFile;

// Anything that lets a holder change a file, its permissions or its owner.
constexpr ACCESS_MASK kChangeRights = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA |
                                      FILE_WRITE_ATTRIBUTES | FILE_DELETE_CHILD | DELETE |
                                      WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;
constexpr BYTE kInheritedByAll = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;

bool SidIs(PSID sid, WELL_KNOWN_SID_TYPE type) {
    return IsWellKnownSid(sid, type) != FALSE;
}

TEST(InstallFolderSecurity, OnlySystemAndAdministratorsMayChangeAnything) {
    const SecurityDescriptorPtr descriptor = BuildInstallFolderSecurity();
    ASSERT_TRUE(descriptor);

    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    ASSERT_TRUE(GetSecurityDescriptorOwner(descriptor.get(), &owner, &defaulted));
    EXPECT_TRUE(SidIs(owner, WinBuiltinAdministratorsSid));

    char* sddl = nullptr;
    ASSERT_TRUE(ConvertSecurityDescriptorToStringSecurityDescriptorA(
        descriptor.get(), SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &sddl, nullptr));
    const std::string dacl = sddl;
    LocalFree(sddl);
    EXPECT_EQ(dacl.rfind("D:P", 0), 0u) << dacl << ": not protected from what is above it";

    BOOL present = FALSE;
    PACL acl = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor.get(), &present, &acl, &defaulted));
    ASSERT_TRUE(present && acl) << "a null DACL grants everyone everything";
    bool usersMayRead = false;
    for (DWORD i = 0; i < acl->AceCount; ++i) {
        void* raw = nullptr;
        ASSERT_TRUE(GetAce(acl, i, &raw));
        const auto* ace = static_cast<const ACCESS_ALLOWED_ACE*>(raw);
        ASSERT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE) << dacl;
        EXPECT_EQ(ace->Header.AceFlags & kInheritedByAll, kInheritedByAll) << dacl;
        PSID sid = const_cast<DWORD*>(&ace->SidStart);
        if (SidIs(sid, WinLocalSystemSid) || SidIs(sid, WinBuiltinAdministratorsSid)) {
            EXPECT_EQ(ace->Mask & FILE_ALL_ACCESS, static_cast<ACCESS_MASK>(FILE_ALL_ACCESS));
        } else if (SidIs(sid, WinBuiltinUsersSid)) {
            EXPECT_EQ(ace->Mask & kChangeRights, 0u) << dacl;
            usersMayRead =
                (ace->Mask & FILE_GENERIC_READ) == FILE_GENERIC_READ && (ace->Mask & FILE_EXECUTE);
        } else {
            ADD_FAILURE() << dacl << ": entry " << i << " is for someone else";
        }
    }
    EXPECT_TRUE(usersMayRead) << dacl;
}

// What the protection applies to which entry, as owner and DACL in SDDL
// ("P": protected from what is above; "+": inherits from above), and the
// links it removes, each removed as Windows removes a link, target untouched.
class RecordedCalls : public ProtectionCalls {
public:
    DWORD SetSecurity(const char* path, SECURITY_INFORMATION what, PSID owner, PACL dacl) override {
        SECURITY_DESCRIPTOR descriptor;
        char* sddl = nullptr;
        if (InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
            SetSecurityDescriptorOwner(&descriptor, owner, FALSE) &&
            SetSecurityDescriptorDacl(&descriptor, TRUE, dacl, FALSE) &&
            ConvertSecurityDescriptorToStringSecurityDescriptorA(
                &descriptor, SDDL_REVISION_1,
                OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &sddl, nullptr)) {
            applied[path] = std::string(sddl) +
                            (what & PROTECTED_DACL_SECURITY_INFORMATION ? " P" : "") +
                            (what & UNPROTECTED_DACL_SECURITY_INFORMATION ? " +" : "");
            LocalFree(sddl);
        }
        return ProtectionCalls::SetSecurity(path, what, owner, dacl);
    }
    bool RemoveLink(const char* path) override {
        removedLinks.push_back(path);
        return linksGo;
    }

    bool linksGo = true;
    std::map<std::string, std::string> applied;
    std::vector<std::string> removedLinks;
};

TEST(InstallFolderSecurity, AppliesToAFolderAndWhatIsAlreadyInIt) {
    ScopedTempFolder temp;
    const std::string folder = (temp / "T-ZozerIded").str();
    ASSERT_TRUE(CreateFolders(folder + "\\sub"));
    ASSERT_TRUE(WriteTextFile(folder + "\\TX_ZozerIded2023.GRX", "planted"));
    ASSERT_TRUE(WriteTextFile(folder + "\\sub\\x.dll", "planted"));
    RecordedCalls calls;
    EXPECT_EQ(ProtectInstallFolder(folder.c_str(), calls), FolderProtection::Applied)
        << GetLastError();
    const std::string inherited = "O:BAD: +";
    EXPECT_EQ(calls.applied,
              (std::map<std::string, std::string>{
                  {folder, "O:BAD:(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU) P"},
                  {folder + "\\TX_ZozerIded2023.GRX", inherited},
                  {folder + "\\sub", inherited},
                  {folder + "\\sub\\x.dll", inherited}}));
}

TEST(InstallFolderSecurity, ALinkInsideIsRemovedNeverFollowed) {
    ScopedTempFolder temp;
    const CString folder = temp / "T-ZozerIded";
    ASSERT_TRUE(CreateFolders((folder + "\\sub").str()));
    ASSERT_TRUE(CreateFolders((temp / "target").str()));
    ASSERT_TRUE(WriteTextFile((temp / "target\\keep.txt").str(), "someone's"));
    ASSERT_TRUE(MakeUnixLink((folder + "\\sub").str(), "../../target", "planted"));
    // Wine removes a link only through its target: the calls stand in for Windows'.
    for (const bool linksGo : {true, false}) {
        RecordedCalls calls;
        calls.linksGo = linksGo;
        EXPECT_EQ(ProtectInstallFolder(folder, calls),
                  linksGo ? FolderProtection::Applied : FolderProtection::Failed);
        EXPECT_EQ(calls.removedLinks, std::vector<std::string>{(folder + "\\sub\\planted").str()});
        // The folder and "sub": nothing through the link, nor the link itself.
        EXPECT_EQ(calls.applied.size(), 2u);
    }
    EXPECT_TRUE(RemoveUnixLink((folder + "\\sub").str(), "planted"));
    EXPECT_TRUE(driver::FileExists((temp / "target\\keep.txt").str()));
}

}  // namespace
