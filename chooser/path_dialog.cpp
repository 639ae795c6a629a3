#include "chooser/path_dialog.h"

#include <algorithm>
#include <cstring>

#include "chooser/path_rules_win32.h"
#include "framework/afx_mbcs.h"
#include "framework/afx_msgbox.h"
#include "framework/afx_unicode.h"

namespace {

// Children of the shell's classic browse dialog.
constexpr int kFolderTreeId = 14145;
constexpr int kStatusTextId = 14147;

constexpr UINT kBrowseFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
constexpr DWORD kEditStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kEditExStyle = WS_EX_CLIENTEDGE;
constexpr LONG kEditHeight = 23;
constexpr LONG kEditGap = 4;     // between the edit box and the tree below it
constexpr LONG kEditMargin = 8;  // where there is no tree to align with

constexpr int kConfirmed = 1;
constexpr int kCancelled = -1;

// Cuts a lead byte left alone at the end by a read cut short.
void DropSplitCharacter(char* text) {
    for (char* p = text; *p; p += afx::MbsCharLength(p)) {
        if (!p[1] && afx::IsLeadByte(static_cast<unsigned char>(*p))) {
            *p = '\0';
            return;
        }
    }
}

}  // namespace

BEGIN_MESSAGE_MAP(CPathDialogSub, CWnd)
ON_BN_CLICKED(IDOK, &CPathDialogSub::OnOkClicked)
ON_EN_CHANGE(IDC_FOLDER_EDIT, &CPathDialogSub::OnPathEditChange)
END_MESSAGE_MAP()

void CPathDialogSub::ReadEditText() {
    char* path = m_pPathDialog->m_szPath;
    path[0] = '\0';
    CString text;
    GetDlgItem(IDC_FOLDER_EDIT).GetWindowText(text, afx::TextOrigin::System);
    const size_t length = std::min(static_cast<size_t>(text.GetLength()), size_t{MAX_PATH - 1});
    std::memcpy(path, text.GetString(), length);
    path[length] = '\0';
    DropSplitCharacter(path);
}

void CPathDialogSub::OnPathEditChange() {
    ReadEditText();
    SendMessage(BFFM_ENABLEOK, 0, m_pPathDialog->m_szPath[0] != '\0');
}

void CPathDialogSub::OnOkClicked() {
    ReadEditText();
    if (ConfirmFolderPath(m_pPathDialog->m_szPath) != 0) {
        if (HWND edit = ::GetDlgItem(m_hWnd, IDC_FOLDER_EDIT)) ::SetFocus(edit);
        return;
    }
    m_pPathDialog->m_bSucceeded = 1;
    ::EndDialog(m_hWnd, IDOK);
}

CPathDialog::CPathDialog(const afx::UiText& caption, const afx::UiText& prompt,
                         const char* initialFolder, CWnd* parent)
    : m_caption(afx::ToWide(caption)),
      m_prompt(afx::ToWide(prompt)),
      m_pszInitialFolder(initialFolder),
      m_szPath{},
      m_bi{},
      m_hBrowseWnd(nullptr),
      m_hOwner(parent ? parent->m_hWnd : afx::GetSafeOwner()),
      m_bSucceeded(0) {
    m_bi.hwndOwner = m_hOwner;
    m_bi.pidlRoot = nullptr;        // the desktop
    m_bi.pszDisplayName = nullptr;  // a buffer of the run, set by RunModal
    m_bi.lpszTitle = m_prompt.c_str();
    m_bi.ulFlags = kBrowseFlags;
    m_bi.lpfn = &BrowseCallback;
    m_bi.lParam = reinterpret_cast<LPARAM>(this);
    m_bi.iImage = 0;
    m_sub.m_pPathDialog = this;
}

int CPathDialog::RunModal() {
    IMalloc* allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator)) || !allocator) return kCancelled;

    wchar_t displayName[MAX_PATH] = {};
    m_bi.lParam = reinterpret_cast<LPARAM>(this);
    m_bi.lpfn = &BrowseCallback;
    m_bi.pszDisplayName = displayName;
    m_bSucceeded = 0;
    if (LPITEMIDLIST item = SHBrowseForFolderW(&m_bi)) allocator->Free(item);
    allocator->Release();
    m_bi.pszDisplayName = nullptr;  // the buffer ends with this run
    return m_bSucceeded ? kConfirmed : kCancelled;
}

int CALLBACK CPathDialog::BrowseCallback(HWND hWnd, UINT message, LPARAM lParam, LPARAM data) {
    auto* self = reinterpret_cast<CPathDialog*>(data);
    switch (message) {
        case BFFM_INITIALIZED:
            self->OnBrowseInitialized(hWnd);
            break;
        case BFFM_SELCHANGED:
            self->OnSelectionChanged(hWnd, reinterpret_cast<LPCITEMIDLIST>(lParam));
            break;
        default:
            break;
    }
    return 0;
}

void CPathDialog::OnBrowseInitialized(HWND hWnd) {
    m_hBrowseWnd = hWnd;
    if (!m_caption.empty()) SetWindowTextW(hWnd, m_caption.c_str());
    m_sub.SubclassWindow(hWnd);
    if (HWND status = GetDlgItem(hWnd, kStatusTextId)) ShowWindow(status, SW_HIDE);

    const RECT rect = EditBoxRect(hWnd);
    HWND edit = CreateWindowExW(kEditExStyle, L"EDIT", L"", kEditStyle, rect.left, rect.top,
                                rect.right - rect.left, rect.bottom - rect.top, hWnd, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    if (edit) {
        SetWindowLongPtrW(edit, GWLP_ID, IDC_FOLDER_EDIT);
        ShowWindow(edit, SW_SHOW);
        SendMessageW(edit, WM_SETFONT, SendMessageW(hWnd, WM_GETFONT, 0, 0), TRUE);
    }

    std::wstring initial;
    if (m_pszInitialFolder) {
        initial = afx::ToWide(m_pszInitialFolder, CP_ACP);
    } else {
        wchar_t currentFolder[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, currentFolder);
        initial = currentFolder;
    }
    SendMessageW(hWnd, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(initial.c_str()));
}

RECT CPathDialog::EditBoxRect(HWND hWnd) const {
    RECT rect = {};
    if (HWND tree = GetDlgItem(hWnd, kFolderTreeId)) {
        RECT treeRect = {};
        GetWindowRect(tree, &treeRect);
        rect = {treeRect.left, treeRect.top - kEditGap - kEditHeight, treeRect.right,
                treeRect.top - kEditGap};
        MapWindowPoints(nullptr, hWnd, reinterpret_cast<LPPOINT>(&rect), 2);
        return rect;
    }
    GetClientRect(hWnd, &rect);
    return {kEditMargin, kEditMargin, rect.right - kEditMargin, kEditMargin + kEditHeight};
}

void CPathDialog::OnSelectionChanged(HWND hWnd, LPCITEMIDLIST item) {
    wchar_t path[MAX_PATH] = {};
    // Only a drive-letter folder can be the result: network and virtual
    // items disable OK. The path goes into the edit box as it is; a name the
    // ANSI code page cannot hold is refused when it is read from there.
    const bool usable = item && SHGetPathFromIDListW(item, path) && path[1] == L':';
    if (!usable) path[0] = L'\0';
    SendMessageW(hWnd, BFFM_ENABLEOK, 0, usable ? TRUE : FALSE);
    SendMessageW(hWnd, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(path));
    if (HWND edit = GetDlgItem(hWnd, IDC_FOLDER_EDIT)) SetWindowTextW(edit, path);
}
