// One setup or uninstall of the plug-in at a time on the whole machine.
//
// The claim is a mutex. Where Windows has private namespaces (every version
// this program runs on; Wine 8 has none), it lives in one bounded by the
// Administrators group, which no other account can make or enter, so an
// ordinary user cannot take it first and keep every setup out. Where there
// are none it is the plain global name, which anyone could take first: a
// run then ends with 1618, never with more.
#pragma once

#include <windows.h>

#include "framework/scoped_handles.h"

// The plain name, in the global namespace: every session of the machine
// sees it.
extern const char kOnlyRunMutexName[];
// The mutex inside the Administrators' namespace, as the log names it.
extern const char kOnlyRunNamespacedName[];

// Kernel32's private-namespace functions as this system has them, looked up
// when the program runs: Wine 8 exports none of them but
// CreateBoundaryDescriptorW, a stub, and calling a function it does not
// export ends the process.
struct PrivateNamespaceCalls {
    decltype(&CreateBoundaryDescriptorW) createBoundary = nullptr;
    decltype(&AddSIDToBoundaryDescriptor) addSid = nullptr;
    decltype(&DeleteBoundaryDescriptor) deleteBoundary = nullptr;
    decltype(&CreatePrivateNamespaceW) createNamespace = nullptr;
    decltype(&OpenPrivateNamespaceW) openNamespace = nullptr;
    decltype(&ClosePrivateNamespace) closeNamespace = nullptr;

    // All of them are there: the system has private namespaces.
    bool Complete() const;
};
PrivateNamespaceCalls SystemPrivateNamespaceCalls();

// The machine's one run, held for as long as the claim is.
class OnlyRunClaim {
public:
    OnlyRunClaim() = default;
    ~OnlyRunClaim();
    OnlyRunClaim(OnlyRunClaim&& other) noexcept;
    OnlyRunClaim& operator=(OnlyRunClaim&&) = delete;
    OnlyRunClaim(const OnlyRunClaim&) = delete;
    OnlyRunClaim& operator=(const OnlyRunClaim&) = delete;

    explicit operator bool() const { return m_mutex.IsValid(); }
    // True when the claim is the plain global name (no private namespaces).
    bool IsPlainName() const { return m_plainName; }

private:
    friend OnlyRunClaim ClaimTheOnlyRun(const PrivateNamespaceCalls& calls);

    afx::ScopedKernelHandle m_mutex;
    HANDLE m_namespace = nullptr;
    decltype(&ClosePrivateNamespace) m_closeNamespace = nullptr;
    bool m_plainName = false;
};

// Claims the machine's one run; an empty claim, with GetLastError() set
// (ERROR_ALREADY_EXISTS: another setup or uninstall runs, or somebody holds
// the plain name), when it cannot. The namespace is used whenever `calls`
// are complete: a namespace that cannot be made or entered never sends the
// claim back to the plain name.
OnlyRunClaim ClaimTheOnlyRun(const PrivateNamespaceCalls& calls = SystemPrivateNamespaceCalls());
