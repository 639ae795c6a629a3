#include "setup/dialog_scale.h"

#include <algorithm>
#include <iterator>

#include "framework/afx_wnd.h"
#include "resources/resource.h"

namespace {

constexpr const char* kFontFace = "宋体";
// Heights at 96 DPI; the fonts are made for the dialog's DPI.
constexpr int kTitleFontHeight = 14;
constexpr int kTitleFontWeight = 600;
constexpr int kLabelFontHeight = 13;
constexpr int kLabelFontWeight = 400;

// The pictures' resources at 100 %, 150 % and 200 %, and the DPI from which
// each scale is used.
constexpr UINT kLogoBitmaps[] = {IDB_LOGO, IDB_LOGO_150, IDB_LOGO_200};
constexpr UINT kMenuBitmaps[] = {IDB_MENU, IDB_MENU_150, IDB_MENU_200};
constexpr UINT kScaleFromDpi[] = {96, 144, 192};
constexpr int kScaleCount = DialogScale::kPictureScales;
static_assert(std::size(kScaleFromDpi) == kScaleCount && std::size(kLogoBitmaps) == kScaleCount &&
              std::size(kMenuBitmaps) == kScaleCount);

int PictureScaleFor(UINT dpi) {
    int scale = 0;
    while (scale + 1 < kScaleCount && dpi >= kScaleFromDpi[scale + 1]) ++scale;
    return scale;
}

// The template's logo: the one picture control without an id of its own.
CWindow FindLogo(HWND dialog) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const bool picture = (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP;
        if (picture && GetDlgCtrlID(child) != IDC_MENU_PICTURE) return child;
    }
    return nullptr;
}

// Shows a picture's bitmap of the scale in its control, loading it first; a
// picture control takes the size of its bitmap. The bitmap the control
// loaded from the template is nobody's once replaced, and goes.
void ShowPicture(CWindow control, CBitmap* bitmaps, const UINT* ids, int scale) {
    CBitmap& bitmap = bitmaps[scale];
    if (!control || (!bitmap.GetSafeHandle() && !bitmap.LoadBitmap(ids[scale]))) return;
    const auto previous = reinterpret_cast<HGDIOBJ>(control.SendMessage(
        STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap.GetSafeHandle())));
    const bool ours = std::any_of(bitmaps, bitmaps + kScaleCount,
                                  [&](const CBitmap& b) { return b.GetSafeHandle() == previous; });
    if (previous && !ours) ::DeleteObject(previous);
}

BOOL CreateDialogFont(CFont& font, int height, int weight, UINT dpi) {
    return font.CreateFont(afx::ScaleToDpi(height, dpi), 0, 0, 0, weight, FALSE, FALSE, FALSE,
                           ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           DEFAULT_PITCH | FF_DONTCARE, kFontFace);
}

}  // namespace

void DialogScale::Apply(HWND dialog, UINT dpi) {
    CreateDialogFont(m_fontTitle, kTitleFontHeight, kTitleFontWeight, dpi);
    CreateDialogFont(m_fontLabel, kLabelFontHeight, kLabelFontWeight, dpi);
    const int scale = PictureScaleFor(dpi);
    if (scale != m_pictureScale) {
        ShowPicture(FindLogo(dialog), m_logoBitmaps, kLogoBitmaps, scale);
        ShowPicture(GetDlgItem(dialog, IDC_MENU_PICTURE), m_menuBitmaps, kMenuBitmaps, scale);
        m_pictureScale = scale;
    }
    ::InvalidateRect(dialog, nullptr, TRUE);
}
