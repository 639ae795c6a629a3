// The setup program's boxes belong to the window that is active when they
// appear. Needs the rig's display; runs alone.
#include <gtest/gtest.h>
#include <windows.h>

#include "deploy/package_copy.h"
#include "deploy/package_source.h"
#include "tests/deploy/deploy_test_support.h"

namespace {

using deploy_test::MakeFolder;
using deploy_test::ScopedEnvironmentVariable;
using deploy_test::WriteTextFile;

// The test command always has a display: a window that cannot be made active
// there is a fault of the rig.
constexpr char kNoDisplay[] = "the owner window is not active: no display?";

// A plain top-level window, made active for the test's lifetime.
class ActiveWindow {
public:
    ActiveWindow() {
        m_window = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                   200, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        if (!m_window) return;
        SetForegroundWindow(m_window);
        SetActiveWindow(m_window);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    ~ActiveWindow() {
        if (m_window) DestroyWindow(m_window);
    }
    ActiveWindow(const ActiveWindow&) = delete;
    ActiveWindow& operator=(const ActiveWindow&) = delete;

    HWND Get() const { return m_window; }
    bool IsActive() const { return m_window && GetActiveWindow() == m_window; }

private:
    HWND m_window = nullptr;
};

TEST(BoxOwner, PackageMissingBoxBelongsToTheActiveWindow) {
    const ActiveWindow window;
    ASSERT_TRUE(window.IsActive()) << kNoDisplay;
    const ScopedTempFolder setup;
    BoxRecorder boxes;
    const afx::ScopedMessageBoxResponder responder(boxes);
    CString source;
    EXPECT_FALSE(ResolvePackageSource(setup.Path(), source));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].owner, window.Get());
}

TEST(BoxOwner, CopyFailureBoxBelongsToTheActiveWindow) {
    const ActiveWindow window;
    ASSERT_TRUE(window.IsActive()) << kNoDisplay;
    const ScopedTempFolder temp;
    ASSERT_TRUE(MakeFolder(temp / "Data"));
    ASSERT_TRUE(WriteTextFile(temp / "Data\\module.dll", "m"));
    BoxRecorder boxes(IDIGNORE);
    const afx::ScopedMessageBoxResponder responder(boxes);
    deploy_test::StepCounter progress;
    InstallContext log;
    // The installation folder's parent is missing: the copy fails.
    EXPECT_TRUE(CopyPackageFiles(temp.Path(), temp / "no\\inst", progress, log));
    ASSERT_EQ(boxes.boxes.size(), 2u);  // and its copy in the kept package
    EXPECT_EQ(boxes.boxes[0].owner, window.Get());
}

}  // namespace
