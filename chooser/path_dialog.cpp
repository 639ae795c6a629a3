#include "chooser/path_dialog.h"

#include "chooser/path_rules_win32.h"
#include "framework/afx_mbcs.h"
#include "framework/afx_msgbox.h"

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
    if (HWND edit = ::GetDlgItem(m_hWnd, IDC_FOLDER_EDIT)) ::GetWindowTextA(edit, path, MAX_PATH);
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

CPathDialog::CPathDialog(const char* caption, const char* prompt, const char* initialFolder,
                         CWnd* parent)
    : m_pszCaption(caption),
      m_pszInitialFolder(initialFolder),
      m_szPath{},
      m_bi{},
      m_hBrowseWnd(nullptr),
      m_hOwner(parent ? parent->m_hWnd : afx::GetSafeOwner()),
      m_bSucceeded(0) {
    m_bi.hwndOwner = m_hOwner;
    m_bi.pidlRoot = nullptr;        // the desktop
    m_bi.pszDisplayName = nullptr;  // a buffer of the run, set by RunModal
    m_bi.lpszTitle = prompt;
    m_bi.ulFlags = kBrowseFlags;
    m_bi.lpfn = &BrowseCallback;
    m_bi.lParam = reinterpret_cast<LPARAM>(this);
    m_bi.iImage = 0;
    m_sub.m_pPathDialog = this;
}

int CPathDialog::RunModal() {
    IMalloc* allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator)) || !allocator) return kCancelled;

    char displayName[MAX_PATH] = {};
    m_bi.lParam = reinterpret_cast<LPARAM>(this);
    m_bi.lpfn = &BrowseCallback;
    m_bi.pszDisplayName = displayName;
    m_bSucceeded = 0;
    if (LPITEMIDLIST item = SHBrowseForFolderA(&m_bi)) allocator->Free(item);
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
    if (m_pszCaption) SetWindowTextA(hWnd, m_pszCaption);
    m_sub.SubclassWindow(hWnd);
    if (HWND status = GetDlgItem(hWnd, kStatusTextId)) ShowWindow(status, SW_HIDE);

    const RECT rect = EditBoxRect(hWnd);
    HWND edit = CreateWindowExA(kEditExStyle, "EDIT", "", kEditStyle, rect.left, rect.top,
                                rect.right - rect.left, rect.bottom - rect.top, hWnd, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    if (edit) {
        SetWindowLongPtrA(edit, GWLP_ID, IDC_FOLDER_EDIT);
        ShowWindow(edit, SW_SHOW);
        SendMessageA(edit, WM_SETFONT, SendMessageA(hWnd, WM_GETFONT, 0, 0), TRUE);
    }

    char currentFolder[MAX_PATH] = {};
    const char* initial = m_pszInitialFolder;
    if (!initial) {
        GetCurrentDirectoryA(MAX_PATH, currentFolder);
        initial = currentFolder;
    }
    SendMessageA(hWnd, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(initial));
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
    char path[MAX_PATH] = {};
    // Only a drive-letter folder can be the result: network and virtual
    // items disable OK.
    const bool usable = item && SHGetPathFromIDListA(item, path) && path[1] == ':';
    if (!usable) path[0] = '\0';
    SendMessageA(hWnd, BFFM_ENABLEOK, 0, usable ? TRUE : FALSE);
    SendMessageA(hWnd, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(path));
    if (HWND edit = GetDlgItem(hWnd, IDC_FOLDER_EDIT)) SetWindowTextA(edit, path);
}
