#include "tests/support/temp_folder.h"

#include <windows.h>

#include <atomic>

#include "framework/scoped_handles.h"

namespace {

// The wide functions take paths of any length behind this prefix.
constexpr wchar_t kLongPathPrefix[] = L"\\\\?\\";

std::wstring Wide(const char* text) {
    const int size = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (size <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], size);
    wide.resize(static_cast<size_t>(size) - 1);
    return wide;
}

std::wstring LongPath(const char* path) {
    return kLongPathPrefix + Wide(path);
}

void DeleteTree(const std::wstring& path) {
    WIN32_FIND_DATAW entry;
    const afx::ScopedFindHandle search(FindFirstFileW((path + L"\\*").c_str(), &entry));
    if (search) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = path + L"\\" + name;
            SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                DeleteTree(child);
            } else {
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(search.Get(), &entry));
    }
    RemoveDirectoryW(path.c_str());
}

}  // namespace

ScopedTempFolder::ScopedTempFolder(const std::string& suffix) {
    static std::atomic<int> counter{0};
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    // Always a folder of its own, made now: Wine gives process ids out again,
    // and a folder an earlier test process could not remove (killed, or a
    // file still held) would otherwise be taken over with what it holds.
    do {
        m_path.Format("%stest-%lu-%d%s", temp, GetCurrentProcessId(), counter++, suffix.c_str());
    } while (!CreateDirectoryA(m_path, nullptr) && GetLastError() == ERROR_ALREADY_EXISTS);
}

ScopedTempFolder::~ScopedTempFolder() {
    DeleteTree(LongPath(m_path));
}

CString ScopedTempFolder::operator/(const char* relative) const {
    CString path;
    path.Format("%s\\%s", m_path.GetString(), relative);
    return path;
}

CString ShortNameOf(const CString& path) {
    char name[MAX_PATH] = {};
    return GetShortPathNameA(path, name, MAX_PATH) ? CString(name) : CString();
}

bool ExistsAnyLength(const char* path) {
    return GetFileAttributesW(LongPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}
