// The folder chooser: the shell's classic browse-for-folder dialog with an
// edit box added above the folder tree. The text of that edit box, once the
// path rules confirm it, is the result. The dialog is the shell's Unicode
// one: its caption and prompt read right on any system, and the folder is
// read in the ANSI code page only when it leaves the edit box.
#pragma once

#include <windows.h>
// after windows.h, which it builds on
#include <shlobj.h>

#include <string>

#include "framework/afx_string.h"
#include "framework/afx_ui_text.h"
#include "framework/afx_wnd.h"

class CPathDialog;

// The edit box the chooser adds to the browse window.
constexpr int IDC_FOLDER_EDIT = 14148;

// Subclasses the browse window while it is open: its OK button and the
// added edit box's changes reach the chooser instead of the shell.
class CPathDialogSub : public CWnd {
public:
    CPathDialogSub() = default;
    ~CPathDialogSub() override = default;

    CPathDialog* m_pPathDialog = nullptr;  // the owner, set by its constructor

protected:
    // Accepts the typed folder once the path rules confirm it; otherwise the
    // dialog stays open with the focus in the edit box.
    void OnOkClicked();
    // OK is enabled exactly while the edit box holds text.
    void OnPathEditChange();

    DECLARE_MESSAGE_MAP()

private:
    // The edit box's text into the path buffer in the ANSI code page: at most
    // MAX_PATH - 1 bytes, never ending in half a double-byte character; a
    // character the code page cannot hold reads as '?', which the path rules
    // refuse.
    void ReadEditText();
};

class CPathDialog {
public:
    // The initial folder (a path, or null for the current folder) is
    // borrowed and must outlive the object; an empty caption leaves the
    // shell's own. Without a parent the owner is the framework's safe owner.
    CPathDialog(const afx::UiText& caption, const afx::UiText& prompt, const char* initialFolder,
                CWnd* parent = nullptr);

    // 1 when the user confirmed a folder; -1 when they cancelled or the shell
    // allocator is unavailable (no dialog is shown then).
    virtual int RunModal();
    // The confirmed folder, exactly as typed; read it after RunModal returned 1.
    CString GetFolderPath() const { return CString(m_szPath); }

    // The shell's callback; data is the CPathDialog. Always 0.
    static int CALLBACK BrowseCallback(HWND hWnd, UINT message, LPARAM lParam, LPARAM data);

private:
    friend class CPathDialogSub;

    void OnBrowseInitialized(HWND hWnd);
    void OnSelectionChanged(HWND hWnd, LPCITEMIDLIST item);
    RECT EditBoxRect(HWND hWnd) const;

    std::wstring m_caption;
    std::wstring m_prompt;
    const char* m_pszInitialFolder;
    char m_szPath[MAX_PATH];
    BROWSEINFOW m_bi;
    HWND m_hBrowseWnd;
    HWND m_hOwner;
    int m_bSucceeded;
    CPathDialogSub m_sub;
};
