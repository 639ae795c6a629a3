#include "tests/chooser/memory_folders.h"

void MemoryFolders::AddDrive(char letter) {
    m_folders.insert(std::string(1, letter) + ":\\");
}

bool MemoryFolders::Exists(const char* path) {
    return m_folders.count(path) != 0 || m_files.count(path) != 0;
}

bool MemoryFolders::IsFolder(const char* path) {
    return m_folders.count(path) != 0;
}
