#include "tests/deploy/deploy_test_support.h"

#include <atomic>
#include <string>

#include "framework/scoped_handles.h"

namespace deploy_test {

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

std::string UniqueName() {
    static std::atomic<int> counter{0};
    return std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
}

}  // namespace

ScopedTempFolder::ScopedTempFolder(const std::string& suffix) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    m_path.Format("%sdeploy-%s%s", temp, UniqueName().c_str(), suffix.c_str());
    CreateDirectoryA(m_path, nullptr);
}

ScopedTempFolder::~ScopedTempFolder() {
    DeleteTree(LongPath(m_path));
}

CString ScopedTempFolder::operator/(const char* relative) const {
    CString path;
    path.Format("%s\\%s", m_path.GetString(), relative);
    return path;
}

bool MakeFolder(const char* path) {
    return CreateDirectoryA(path, nullptr) != FALSE;
}

bool WriteTextFile(const char* path, const std::string& content) {
    const afx::ScopedKernelHandle file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written,
                     nullptr) &&
           written == content.size();
}

std::string ReadTextFile(const char* path) {
    const afx::ScopedKernelHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return "<missing>";
    std::string content;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
        content.append(buffer, read);
    }
    return content;
}

bool IsReadOnly(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

bool ExistsAnyLength(const char* path) {
    return GetFileAttributesW(LongPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> ListFolder(const char* folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    const afx::ScopedFindHandle search(FindFirstFileA(CString(folder) + "\\*.*", &entry));
    if (!search) return names;
    do {
        names.push_back(entry.cFileName);
    } while (FindNextFileA(search.Get(), &entry));
    return names;
}

ScopedEnvironmentVariable::ScopedEnvironmentVariable(const char* name, const char* value)
    : m_name(name) {
    const DWORD size = GetEnvironmentVariableA(name, nullptr, 0);
    if (size > 0) {
        std::string old(size, '\0');
        const DWORD length = GetEnvironmentVariableA(name, &old[0], size);
        old.resize(length);
        m_old = old;
        m_hadValue = true;
    }
    SetEnvironmentVariableA(name, value);
}

ScopedEnvironmentVariable::~ScopedEnvironmentVariable() {
    SetEnvironmentVariableA(m_name.c_str(), m_hadValue ? m_old.c_str() : nullptr);
}

int BoxRecorder::Answer(HWND owner, const char* text, const char* caption, UINT type) {
    boxes.push_back({owner, text ? text : "", caption ? caption : "", type});
    const int index = static_cast<int>(boxes.size()) - 1;
    return handler ? handler(index, boxes.back()) : m_defaultAnswer;
}

void PackageFixture::SetUp() {
    ASSERT_TRUE(MakeFolder(temp / "pkg"));
    ASSERT_TRUE(MakeFolder(data));
    ASSERT_TRUE(MakeFolder(appData));
}

void PackageFixture::AddPackageFile(const char* name, const std::string& content) {
    ASSERT_TRUE(WriteTextFile(data + "\\" + name, content));
}

}  // namespace deploy_test
