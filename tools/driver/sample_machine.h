// A sample machine for end-to-end runs: host installations (folders and
// registry entries under both roots) and a setup package beside a copy of
// SetUp.exe. Everything it adds is removed when it goes, unless kept.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace driver {

// Windows form of a Unix path that Wine maps through drive Z:.
std::string WindowsPathOf(const std::string& unixPath);

bool WriteTextFile(const std::string& path, const std::string& content);
std::string ReadTextFile(const std::string& path);
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
// Removes a folder tree (read-only files included); missing is fine.
void RemoveTree(const std::string& path);
// Creates every missing level of a folder path.
bool CreateFolders(const std::string& path);

struct HostEntry {
    HKEY root;                // HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE
    std::string productKey;   // e.g. "SOFTWARE\\Gstarsoft\\GstarCAD"
    std::string relativeKey;  // below the product key, e.g. "R25\\zh-CN"
    std::string folder;       // the "Location" data
};

class SampleMachine {
public:
    SampleMachine() = default;
    ~SampleMachine();
    SampleMachine(const SampleMachine&) = delete;
    SampleMachine& operator=(const SampleMachine&) = delete;

    // Registers a host installation and, when makeFolder, creates its folder
    // (with a "Fonts" subfolder when withFonts).
    void AddHost(const HostEntry& entry, bool makeFolder = true, bool withFonts = true);

    // Lays out a package: the given SetUp.exe copied into packageFolder and a
    // "Data" folder beside it holding every file the package table names
    // (host modules for hostModuleYears only), a subfolder, and extraFiles
    // further placeholder files.
    bool BuildPackage(const std::string& setupExe, const std::string& packageFolder,
                      const std::vector<int>& hostModuleYears = {2023, 2024}, int extraFiles = 0);

    // Removes host keys and everything the setup may have written: the
    // vendor key and the plug-in's key under both roots, the Programs and
    // Features and Active Setup entries, the stage's RunOnce value, and the
    // given folders.
    void RemoveFolderOnExit(const std::string& folder) { m_folders.push_back(folder); }
    void Keep() { m_keep = true; }
    void Clean();

    const std::vector<HostEntry>& Hosts() const { return m_hosts; }

private:
    std::vector<HostEntry> m_hosts;
    std::vector<std::string> m_folders;
    bool m_keep = false;
};

// The names of the package's files, as a package ships them.
const std::vector<std::string>& PackageFileNames();

// Registry reads for checking what the setup wrote under HKEY_CURRENT_USER.
bool KeyExists(HKEY root, const std::string& path);
// Names of a key's values and of its subkeys in enumeration order; empty
// when the key is missing.
std::vector<std::string> ValueNames(HKEY root, const std::string& path);
std::vector<std::string> SubKeyNames(HKEY root, const std::string& path);
// A REG_SZ value's text; false for another type or data without its terminator.
bool ReadString(HKEY root, const std::string& path, const char* name, std::string* value);
// A REG_DWORD value of exactly four bytes.
bool ReadDword(HKEY root, const std::string& path, const char* name, DWORD* value);
// A value's type and data exactly as stored; false when it cannot be read.
bool ReadValue(HKEY root, const std::string& path, const char* name, DWORD* type,
               std::string* data);
// Every key below the key (itself included) and its values with their types
// and data, a line each, in enumeration order; empty when the key is missing.
std::string DumpKey(HKEY root, const std::string& path);

}  // namespace driver
