#include "system/file_identity.h"

#include <windows.h>

#include <string>
#include <vector>

#include "framework/afx_unicode.h"
#include "framework/scoped_handles.h"
#include "text/path_text.h"

namespace {

// The prefix GetFinalPathNameByHandleW puts before a local path, and the
// one before a network share ("\\?\UNC\server\share").
constexpr wchar_t kLocalPrefix[] = L"\\\\?\\";
constexpr wchar_t kUncPrefix[] = L"\\\\?\\UNC\\";

// Opened for nothing but its identity and its name: no right to the
// content, every sharing allowed, a folder as well as a file.
afx::ScopedKernelHandle OpenForIdentity(const char* path) {
    const std::wstring wide = afx::ToWide(path, CP_ACP);
    return afx::ScopedKernelHandle(
        CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

bool FinalPathOfHandle(HANDLE handle, CString* finalPath) {
    std::vector<wchar_t> name(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetFinalPathNameByHandleW(handle, name.data(), static_cast<DWORD>(name.size()),
                                      FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) return false;
        if (length < name.size()) break;
        name.resize(length + 1);
    }
    std::wstring text(name.data());
    if (text.compare(0, wcslen(kUncPrefix), kUncPrefix) == 0) {
        text = L"\\\\" + text.substr(wcslen(kUncPrefix));
    } else if (text.compare(0, wcslen(kLocalPrefix), kLocalPrefix) == 0) {
        text = text.substr(wcslen(kLocalPrefix));
    }
    CString narrow;
    return afx::FromWide(text.c_str(), CP_ACP, &narrow) && NormalizePath(narrow, finalPath);
}

}  // namespace

bool FinalPathOf(const char* path, CString* finalPath) {
    CString normal;
    if (!NormalizePath(path, &normal)) return false;
    // The names below the deepest existing folder, nearest first.
    std::vector<CString> missing;
    for (CString level = normal;;) {
        const afx::ScopedKernelHandle handle = OpenForIdentity(level);
        if (handle) {
            if (!FinalPathOfHandle(handle.Get(), finalPath)) return false;
            for (auto name = missing.rbegin(); name != missing.rend(); ++name) {
                CString folder = *finalPath;
                StripAnyTrailingBackslash(folder);  // a drive root "C:\"
                *finalPath = JoinPath(folder, *name);
            }
            return true;
        }
        const CString parent = ParentFolder(level);
        if (parent.IsEmpty() || AsFolderPath(parent) == level) return false;
        missing.push_back(FileNameOf(level));
        level = AsFolderPath(parent);
    }
}

bool IsSameObject(const char* a, const char* b) {
    const afx::ScopedKernelHandle first = OpenForIdentity(a);
    const afx::ScopedKernelHandle second = OpenForIdentity(b);
    BY_HANDLE_FILE_INFORMATION infoA = {};
    BY_HANDLE_FILE_INFORMATION infoB = {};
    return first && second && GetFileInformationByHandle(first.Get(), &infoA) &&
           GetFileInformationByHandle(second.Get(), &infoB) &&
           infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber &&
           infoA.nFileIndexHigh == infoB.nFileIndexHigh &&
           infoA.nFileIndexLow == infoB.nFileIndexLow;
}

namespace {

class FinalPathKeys : public PlaceKeys {
public:
    bool KeyOf(const char* path, CString* key) const override {
        CString finalPath;
        return CanonicalPath(FinalPathOf(path, &finalPath) ? finalPath.GetString() : path, key);
    }
};

}  // namespace

const PlaceKeys& FileSystemPlaceKeys() {
    static const FinalPathKeys keys;
    return keys;
}

bool IsSamePlace(const char* a, const char* b) {
    CString keyA;
    CString keyB;
    const PlaceKeys& keys = FileSystemPlaceKeys();
    return keys.KeyOf(a, &keyA) && keys.KeyOf(b, &keyB) && keyA == keyB;
}
