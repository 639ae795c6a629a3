#include "tests/chooser/memory_folders.h"

#include "framework/afx_mbcs.h"

namespace {

// The folder that holds `path`: the text before its last backslash (stepping
// over double-byte characters), with the root's backslash kept for "C:\x".
std::string Parent(const std::string& path) {
    const char* text = path.c_str();
    const char* slash = afx::MbsRChr(text, '\\');
    if (!slash) return std::string();
    std::string parent(text, static_cast<size_t>(slash - text));
    if (parent.size() == 2 && parent[1] == ':') parent += '\\';
    return parent;
}

}  // namespace

void MemoryFolders::AddDrive(char letter) {
    m_folders.insert(std::string(1, letter) + ":\\");
}

bool MemoryFolders::Exists(const char* path) {
    m_existsCalls.emplace_back(path);
    return m_folders.count(path) != 0 || m_files.count(path) != 0;
}

void MemoryFolders::CreateFolder(const char* path) {
    m_createCalls.emplace_back(path);
    const std::string folder(path);
    if (m_folders.count(folder) || m_files.count(folder) || m_refused.count(folder)) return;
    if (!m_folders.count(Parent(folder))) return;
    m_folders.insert(folder);
    m_created.push_back(folder);
}
