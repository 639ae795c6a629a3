// SetUp.exe on a display at 200 %: the pictures are the ones drawn for that
// scale, in full, and no two controls overlap.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/e2e/e2e_fixture.h"

namespace e2e {
namespace {

constexpr DWORD kDpi = 192;
// The pictures at 200 %.
constexpr SIZE kLogoSize = {128, 128};
constexpr SIZE kMenuSize = {634, 240};

struct Control {
    int id;
    HWND window;
    RECT rect;  // in the dialog's client area
};

// Every control of the dialog with its place.
std::vector<Control> Controls(HWND dialog) {
    std::vector<Control> controls;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT rect = driver::WindowRect(child);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        controls.push_back({GetDlgCtrlID(child), child, rect});
    }
    return controls;
}

bool IsPicture(HWND window) {
    return (GetWindowLongA(window, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP;
}

SIZE SizeOf(const RECT& r) {
    return {r.right - r.left, r.bottom - r.top};
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

TEST_F(SetupTest, AtTwiceTheScaleThePicturesAreTheirLargeOnesAndNothingOverlaps) {
    const driver::ScopedDisplayDpi dpi(kDpi);  // read by SetUp.exe as it starts
    ASSERT_TRUE(dpi.IsSet());
    AddHost(2025);
    HWND dialog = Launch();
    ASSERT_TRUE(dialog);
    RECT client{};
    GetClientRect(dialog, &client);

    int pictures = 0;
    for (const Control& c : Controls(dialog)) {
        if (!IsPicture(c.window)) continue;
        ++pictures;
        // A picture control takes the size of its bitmap.
        const SIZE expected = c.id == kMenuPicture ? kMenuSize : kLogoSize;
        EXPECT_EQ(SizeOf(c.rect).cx, expected.cx) << c.id;
        EXPECT_EQ(SizeOf(c.rect).cy, expected.cy) << c.id;
        EXPECT_TRUE(Inside(c.rect, client)) << c.id << ": cut by the dialog's edge";
    }
    EXPECT_EQ(pictures, 2);

    // The controls shown now, then those of the completion layout (the same
    // places, other controls shown).
    const std::vector<int> completion = {kTitle,          kEdition,     -1,
                                         kCompletionText, kMenuPicture, kDone};
    for (const bool completed : {false, true}) {
        std::vector<Control> shown;
        for (const Control& c : Controls(dialog)) {
            const bool inCompletion =
                std::find(completion.begin(), completion.end(), c.id) != completion.end();
            if (completed ? inCompletion : IsWindowVisible(c.window) != FALSE) shown.push_back(c);
        }
        for (size_t i = 0; i < shown.size(); ++i) {
            for (size_t j = i + 1; j < shown.size(); ++j) {
                RECT common{};
                EXPECT_FALSE(IntersectRect(&common, &shown[i].rect, &shown[j].rect))
                    << shown[i].id << " overlaps " << shown[j].id
                    << (completed ? " (completed)" : "");
            }
        }
    }
    Screenshot(dialog, "dialog-choosing-192dpi");
}

}  // namespace
}  // namespace e2e
