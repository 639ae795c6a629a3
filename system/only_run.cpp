#include "system/only_run.h"

#include <sddl.h>

#include <utility>

#include "system/folder_security.h"

const char kOnlyRunMutexName[] = "Global\\Torvex-T-ZozerIded-Setup";
const char kOnlyRunNamespacedName[] = "Torvex-T-ZozerIded\\Setup";

namespace {

// The namespace's name for this program (the first part of the mutex's).
constexpr wchar_t kNamespaceAlias[] = L"Torvex-T-ZozerIded";
// Only administrators and the system may open the namespace.
constexpr char kNamespaceSddl[] = "D:(A;;GA;;;BA)(A;;GA;;;SY)";

template <typename Function>
void Resolve(HMODULE module, const char* name, Function* function) {
    *function =
        reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// A boundary descriptor that holds the Administrators group: only a token
// with that group enabled can make a namespace within it.
class AdministratorsBoundary {
public:
    explicit AdministratorsBoundary(const PrivateNamespaceCalls& calls) : m_calls(calls) {
        BYTE sid[SECURITY_MAX_SID_SIZE];
        DWORD size = sizeof(sid);
        if (!CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, sid, &size)) return;
        m_boundary = m_calls.createBoundary(kNamespaceAlias, 0);
        if (m_boundary && !m_calls.addSid(&m_boundary, sid)) {
            m_calls.deleteBoundary(m_boundary);
            m_boundary = nullptr;
        }
    }
    ~AdministratorsBoundary() {
        if (m_boundary) m_calls.deleteBoundary(m_boundary);
    }
    AdministratorsBoundary(const AdministratorsBoundary&) = delete;
    AdministratorsBoundary& operator=(const AdministratorsBoundary&) = delete;

    HANDLE Get() const { return m_boundary; }

private:
    const PrivateNamespaceCalls& m_calls;
    HANDLE m_boundary = nullptr;
};

}  // namespace

bool PrivateNamespaceCalls::Complete() const {
    return createBoundary && addSid && deleteBoundary && createNamespace && openNamespace &&
           closeNamespace;
}

PrivateNamespaceCalls SystemPrivateNamespaceCalls() {
    PrivateNamespaceCalls calls;
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel) return calls;
    Resolve(kernel, "CreateBoundaryDescriptorW", &calls.createBoundary);
    Resolve(kernel, "AddSIDToBoundaryDescriptor", &calls.addSid);
    Resolve(kernel, "DeleteBoundaryDescriptor", &calls.deleteBoundary);
    Resolve(kernel, "CreatePrivateNamespaceW", &calls.createNamespace);
    Resolve(kernel, "OpenPrivateNamespaceW", &calls.openNamespace);
    Resolve(kernel, "ClosePrivateNamespace", &calls.closeNamespace);
    return calls;
}

OnlyRunClaim::~OnlyRunClaim() {
    m_mutex.Reset();
    if (m_namespace) m_closeNamespace(m_namespace, 0);
}

OnlyRunClaim::OnlyRunClaim(OnlyRunClaim&& other) noexcept
    : m_mutex(std::move(other.m_mutex)),
      m_namespace(std::exchange(other.m_namespace, nullptr)),
      m_closeNamespace(other.m_closeNamespace),
      m_plainName(other.m_plainName) {}

OnlyRunClaim ClaimTheOnlyRun(const PrivateNamespaceCalls& calls) {
    OnlyRunClaim claim;
    if (!calls.Complete()) {
        claim.m_plainName = true;
        claim.m_mutex.Reset(CreateMutexA(nullptr, FALSE, kOnlyRunMutexName));
    } else {
        const AdministratorsBoundary boundary(calls);
        const SecurityDescriptorPtr descriptor = [] {
            PSECURITY_DESCRIPTOR made = nullptr;
            ConvertStringSecurityDescriptorToSecurityDescriptorA(kNamespaceSddl, SDDL_REVISION_1,
                                                                 &made, nullptr);
            return SecurityDescriptorPtr(made);
        }();
        if (!boundary.Get() || !descriptor) return claim;
        SECURITY_ATTRIBUTES attributes = {sizeof(attributes), descriptor.get(), FALSE};
        HANDLE space = calls.createNamespace(&attributes, boundary.Get(), kNamespaceAlias);
        // Another run made it and still holds it: the mutex inside tells.
        if (!space && GetLastError() == ERROR_ALREADY_EXISTS) {
            space = calls.openNamespace(boundary.Get(), kNamespaceAlias);
        }
        if (!space) return claim;
        claim.m_namespace = space;
        claim.m_closeNamespace = calls.closeNamespace;
        claim.m_mutex.Reset(CreateMutexA(nullptr, FALSE, kOnlyRunNamespacedName));
    }
    // A name another account created and keeps from us counts as taken too.
    if (claim.m_mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
        claim.m_mutex.Reset();
        SetLastError(ERROR_ALREADY_EXISTS);
    }
    return claim;
}
