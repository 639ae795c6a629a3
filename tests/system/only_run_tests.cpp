// The machine's one run against Wine's real objects, and the way to it
// where the system has private namespaces, which Wine 8 has not.
#include <gtest/gtest.h>
#include <windows.h>

#include "system/only_run.h"

namespace {

bool g_administratorsBound = false;

TEST(OnlyRun, ASecondClaimIsRefusedWhileTheFirstIsHeld) {
    {
        const OnlyRunClaim first = ClaimTheOnlyRun();
        ASSERT_TRUE(first) << GetLastError();
        EXPECT_TRUE(first.IsPlainName()) << "Wine 8 has no private namespaces";
        const OnlyRunClaim second = ClaimTheOnlyRun();
        EXPECT_FALSE(second);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    }
    EXPECT_TRUE(ClaimTheOnlyRun()) << "it goes with the claim";
}

TEST(OnlyRun, ANamespaceThatCannotBeMadeNeverSendsTheClaimToThePlainName) {
    static int boundary;
    PrivateNamespaceCalls calls;
    calls.createBoundary = [](LPCWSTR, ULONG) -> HANDLE { return &boundary; };
    calls.addSid = [](HANDLE*, PSID sid) -> BOOL {
        g_administratorsBound = IsWellKnownSid(sid, WinBuiltinAdministratorsSid);
        return TRUE;
    };
    calls.deleteBoundary = [](HANDLE) {};
    calls.createNamespace = [](LPSECURITY_ATTRIBUTES, LPVOID, LPCWSTR) -> HANDLE {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    };
    calls.openNamespace = [](LPVOID, LPCWSTR) -> HANDLE { return nullptr; };
    calls.closeNamespace = [](HANDLE, ULONG) -> BOOLEAN { return TRUE; };
    const OnlyRunClaim claim = ClaimTheOnlyRun(calls);
    EXPECT_FALSE(claim);
    EXPECT_FALSE(claim.IsPlainName());
    EXPECT_TRUE(g_administratorsBound);
    EXPECT_TRUE(ClaimTheOnlyRun(PrivateNamespaceCalls())) << "the plain name was left alone";
}

}  // namespace
