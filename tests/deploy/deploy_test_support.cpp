#include "tests/deploy/deploy_test_support.h"

#include "framework/afx_error.h"

#include <string>

#include "framework/scoped_handles.h"

namespace deploy_test {

std::string CopyErrorText(const char* destination, DWORD error) {
    return std::string("拷贝文件 ") + destination + " 失败（错误 " + std::to_string(error) + "：" +
           AfxErrorText(static_cast<HRESULT>(error)).str() + "）。";
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

void PackageFixture::SetUp() {
    ASSERT_TRUE(MakeFolder(temp / "pkg"));
    ASSERT_TRUE(MakeFolder(data));
    ASSERT_TRUE(MakeFolder(appData));
}

void PackageFixture::AddPackageFile(const char* name, const std::string& content) {
    ASSERT_TRUE(WriteTextFile(data + "\\" + name, content));
}

}  // namespace deploy_test
