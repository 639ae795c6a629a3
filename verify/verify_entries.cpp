#include "verify/verify_entries.h"

#include <windows.h>

#include <algorithm>
#include <initializer_list>
#include <utility>

#include "deploy/registration_table.h"
#include "entries/active_setup.h"
#include "entries/uninstall_entry.h"
#include "framework/afx_mbcs.h"
#include "hosts/found_hosts.h"
#include "record/install_record.h"
#include "run/product.h"
#include "system/file_identity.h"
#include "system/reg_ops.h"
#include "text/path_text.h"
#include "verify/findings.h"

namespace {

constexpr char kMachineRoot[] = "HKEY_LOCAL_MACHINE\\";
constexpr char kUserRoot[] = "HKEY_CURRENT_USER\\";
// A longer loader is none an installation wrote.
constexpr DWORD kLoaderTextSize = 1024;

using NumberValue = std::pair<const char*, DWORD>;

bool HasNumber(HKEY key, const NumberValue& value) {
    DWORD data = 0;
    DWORD size = sizeof(data);
    return RegGetValueA(key, nullptr, value.first, RRF_RT_REG_DWORD, nullptr, &data, &size) ==
               ERROR_SUCCESS &&
           data == value.second;
}

// Compared as text: the value is the user's, and a path of theirs is never
// asked of the file system (a share's name would have the machine sign in).
bool LoadsFrom(HKEY key, const CString& loader) {
    char text[kLoaderTextSize] = {};
    DWORD size = sizeof(text) - 1;
    return RegGetValueA(key, nullptr, kValueLoader, RRF_RT_REG_SZ, nullptr, text, &size) ==
               ERROR_SUCCESS &&
           IsSamePath(text, loader);
}

// One of the plug-in's entries below a host profile, against the loader and
// numbers an installation gives it.
Verdict JudgeEntry(HKEY profile, const CString& name, const CString& loader,
                   std::initializer_list<NumberValue> numbers) {
    afx::ScopedRegKey entry;
    const LONG opened = OpenKeyNotThroughLinks(profile, name, KEY_QUERY_VALUE, &entry);
    if (opened == ERROR_CANT_ACCESS_FILE) return Verdict::ThroughLink;
    if (opened != ERROR_SUCCESS) return Verdict::Missing;
    if (!LoadsFrom(entry.Get(), loader)) return Verdict::NamesOther;
    for (const NumberValue& number : numbers) {
        if (!HasNumber(entry.Get(), number)) return Verdict::NamesOther;
    }
    return Verdict::AsInstalled;
}

void VerifyHostEntries(const CString& installFolder, const ServedHost& host, Findings& findings) {
    ModuleNumbers numbers;
    if (!GetModuleNumbers(host.year, &numbers)) return;
    afx::ScopedRegKey profile;
    const LONG opened = OpenKeyNotThroughLinks(HKEY_CURRENT_USER, host.key, KEY_READ, &profile);
    if (opened == ERROR_CANT_ACCESS_FILE) {
        findings.Note(Verdict::ThroughLink, kUserRoot + host.key);
        return;
    }
    if (opened != ERROR_SUCCESS) {
        findings.Note(Verdict::NoProfile, kUserRoot + host.key);
        return;
    }
    const CString main = MainEntryKeyName(host.year);
    findings.Note(JudgeEntry(profile.Get(), main, MainLoaderPath(installFolder, numbers.main),
                             {{kValueManaged, kMainManaged}}),
                  kUserRoot + host.key + main);
    const CString companion = CompanionEntryKeyName(host.year);
    findings.Note(
        JudgeEntry(profile.Get(), companion, CompanionLoaderPath(host.folder, numbers.companion),
                   {{kValueLoadCtrls, kCompanionLoadCtrls}, {kValueManaged, kCompanionManaged}}),
        kUserRoot + host.key + companion);
}

}  // namespace

std::vector<ServedHost> FindServedHosts(const InstallRecord& record, const FoundHosts& hosts,
                                        Findings& findings) {
    std::vector<ServedHost> served;
    for (const InstallRecord::Release& recorded : record.releases) {
        HostRelease release;
        if (!HostReleaseFromYear(recorded.year, &release)) continue;
        const size_t before = served.size();
        const int count = std::min(hosts.GetHostCount(release),
                                   hosts.hostKeys[HostReleaseIndex(release)].GetSize());
        for (int i = 0; i < count; ++i) {
            const CString& folder = hosts.GetHostFolder(release, i);
            if (IsSamePlace(folder, recorded.hostFolder)) {
                served.push_back({recorded.year, folder, hosts.GetHostKey(release, i)});
            }
        }
        if (served.size() == before) findings.Note(Verdict::HostNotFound, recorded.hostFolder);
    }
    return served;
}

void VerifyMachineEntries(const CString& installFolder, Findings& findings) {
    const CString entryFolder = ReadInstalledFolder();
    findings.Note(entryFolder.IsEmpty()                     ? Verdict::Missing
                  : IsSamePlace(entryFolder, installFolder) ? Verdict::AsInstalled
                                                            : Verdict::NamesOther,
                  kMachineRoot + CString(kUninstallEntryKey));
    CString command;
    CString version;
    const CString stage =
        UserStageCommand(JoinPath(installFolder, kUserStageName), kStartedByActiveSetup);
    findings.Note(!ReadActiveSetupEntry(&command, &version) ? Verdict::Missing
                  : afx::MbsICmp(command, stage) == 0       ? Verdict::AsInstalled
                                                            : Verdict::NamesOther,
                  kMachineRoot + CString(kActiveSetupKey));
}

void VerifyAccountEntries(const CString& installFolder, const std::vector<ServedHost>& hosts,
                          Findings& findings) {
    for (const ServedHost& host : hosts) VerifyHostEntries(installFolder, host, findings);
}
