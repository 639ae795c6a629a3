#include "run/running_account.h"

#include <windows.h>
// after windows.h, which it builds on
#include <sddl.h>

#include <cstring>
#include <vector>

#include "framework/scoped_handles.h"

bool IsServiceAccountSid(const char* sid) {
    static const char* const kServiceSids[] = {"S-1-5-18", "S-1-5-19", "S-1-5-20"};
    static const char kVirtualServicePrefix[] = "S-1-5-80-";
    for (const char* service : kServiceSids) {
        if (sid && std::strcmp(sid, service) == 0) return true;
    }
    return sid && std::strncmp(sid, kVirtualServicePrefix, sizeof(kVirtualServicePrefix) - 1) == 0;
}

RunningAccount CurrentAccount() {
    RunningAccount account;
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return account;
    const afx::ScopedKernelHandle token(raw);
    DWORD size = 0;
    GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size > 0 && GetTokenInformation(token.Get(), TokenUser, buffer.data(), size, &size)) {
        const PSID sid = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
        char* text = nullptr;
        if (ConvertSidToStringSidA(sid, &text)) {
            account.sid = text;
            LocalFree(text);
        }
        char name[256];
        char domain[256];
        DWORD nameSize = sizeof(name);
        DWORD domainSize = sizeof(domain);
        SID_NAME_USE use;
        if (LookupAccountSidA(nullptr, sid, name, &nameSize, domain, &domainSize, &use)) {
            account.name.Format("%s\\%s", domain, name);
        }
    }
    TOKEN_ELEVATION elevation = {};
    DWORD elevationSize = sizeof(elevation);
    account.elevated = GetTokenInformation(token.Get(), TokenElevation, &elevation,
                                           sizeof(elevation), &elevationSize) &&
                       elevation.TokenIsElevated != 0;
    return account;
}
