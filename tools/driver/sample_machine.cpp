#include "tools/driver/sample_machine.h"

#include <cstdio>
#include <cstring>

namespace driver {

namespace {

constexpr const char* kVendorKey = "SOFTWARE\\Gstarsoft";
// Where an installation enters itself in Programs and Features.
constexpr const char* kUninstallEntryKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Torvex T-ZozerIded";
// The plug-in's own key: under HKLM the record's copy and an installation
// under way, under HKCU the per-user stage's record.
constexpr const char* kPluginKey = "SOFTWARE\\Torvex";
// The memory of the deletions the plug-in queued for the next restart.
constexpr const char* kRestartMemoryKey = "SOFTWARE\\Torvex T-ZozerIded restart";
// The per-user stage's Active Setup entry (HKLM) and a user's stamp (HKCU).
constexpr const char* kActiveSetupKey =
    "SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\"
    "{7A479842-ED53-4AAD-8FC6-E7C0EB678373}";
constexpr const char* kRunOnceKey = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr const char* kRunOnceValue = "Torvex T-ZozerIded";

}  // namespace

std::string WindowsPathOf(const std::string& unixPath) {
    std::string out = "Z:" + unixPath;
    for (char& c : out) {
        if (c == '/') c = '\\';
    }
    return out;
}

bool WriteTextFile(const std::string& path, const std::string& content) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok =
        WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(h);
    return ok && written == content.size();
}

std::string ReadTextFile(const std::string& path) {
    std::string content;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return content;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(h, buffer, sizeof(buffer), &got, nullptr) && got) content.append(buffer, got);
    CloseHandle(h);
    return content;
}

bool FileExists(const std::string& path) {
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

void RemoveTree(const std::string& path) {
    if (path.empty() || !FolderExists(path)) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
        return;
    }
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((path + "\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..") continue;
            RemoveTree(path + "\\" + name);
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryA(path.c_str());
}

bool CreateFolders(const std::string& path) {
    for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1)) {
        CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    }
    CreateDirectoryA(path.c_str(), nullptr);
    return FolderExists(path);
}

SampleMachine::~SampleMachine() {
    if (!m_keep) Clean();
}

void SampleMachine::AddHost(const HostEntry& entry, bool makeFolder, bool withFonts) {
    const std::string key = entry.productKey + "\\" + entry.relativeKey;
    HKEY h = nullptr;
    if (RegCreateKeyExA(entry.root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h,
                        nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(h, "Location", 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(entry.folder.c_str()),
                       static_cast<DWORD>(entry.folder.size() + 1));
        RegCloseKey(h);
    }
    if (makeFolder) {
        std::string folder = entry.folder;
        if (!folder.empty() && folder.back() == '\\') folder.pop_back();
        CreateFolders(withFonts ? folder + "\\Fonts" : folder);
        m_folders.push_back(folder);
    }
    m_hosts.push_back(entry);
}

const std::vector<std::string>& PackageFileNames() {
    static const std::vector<std::string> names = {
        "TX_ZozerIded2023.grx", "TX_ZozerIded2026.grx", "itextsharp.dll", "Torvex_EN.shx",
        "Torvex_HZ.shx",        "Torvex.prt5",          "Torvex.Ini",
    };
    return names;
}

bool SampleMachine::BuildPackage(const std::string& setupExe, const std::string& packageFolder,
                                 const std::vector<int>& hostModuleYears, int extraFiles) {
    const std::string data = packageFolder + "\\Data";
    if (!CreateFolders(data + "\\docs")) return false;
    if (!CopyFileA(setupExe.c_str(), (packageFolder + "\\SetUp.exe").c_str(), FALSE)) return false;
    bool ok = WriteTextFile(data + "\\docs\\readme.txt", "not part of the installation\r\n");
    for (const std::string& name : PackageFileNames()) {
        ok = ok && WriteTextFile(data + "\\" + name, "sample " + name + "\r\n");
    }
    for (int year : hostModuleYears) {
        const std::string name = "GCAD" + std::to_string(year) + "P.dll";
        ok = ok && WriteTextFile(data + "\\" + name, "sample " + name + "\r\n");
    }
    for (int i = 0; i < extraFiles; ++i) {
        char name[32];
        std::snprintf(name, sizeof(name), "extra%03d.dat", i);
        ok = ok && WriteTextFile(data + "\\" + name, std::string("sample ") + name + "\r\n");
    }
    return ok;
}

void SampleMachine::Clean() {
    RegDeleteTreeA(HKEY_CURRENT_USER, kVendorKey);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kVendorKey);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kUninstallEntryKey);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kPluginKey);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kRestartMemoryKey);
    RegDeleteTreeA(HKEY_CURRENT_USER, kPluginKey);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kActiveSetupKey);
    RegDeleteTreeA(HKEY_CURRENT_USER, kActiveSetupKey);
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunOnceKey, kRunOnceValue);
    for (const std::string& folder : m_folders) RemoveTree(folder);
    m_folders.clear();
    m_hosts.clear();
}

bool KeyExists(HKEY root, const std::string& path) {
    HKEY h = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    RegCloseKey(h);
    return true;
}

namespace {

// Names of a key's values or subkeys in enumeration order; empty when the key is missing.
template <typename Enumerate>
std::vector<std::string> NamesIn(HKEY root, const std::string& path, Enumerate enumerate) {
    std::vector<std::string> names;
    HKEY h = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return names;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD size = sizeof(name);
        if (enumerate(h, i, name, &size) != ERROR_SUCCESS) break;
        names.emplace_back(name, size);
    }
    RegCloseKey(h);
    return names;
}

}  // namespace

bool ReadValue(HKEY root, const std::string& path, const char* name, DWORD* type,
               std::string* data) {
    HKEY h = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    DWORD size = 0;
    LONG status = RegQueryValueExA(h, name, nullptr, type, nullptr, &size);
    data->assign(size, '\0');
    if (status == ERROR_SUCCESS && size > 0) {
        status =
            RegQueryValueExA(h, name, nullptr, type, reinterpret_cast<BYTE*>(&(*data)[0]), &size);
    }
    RegCloseKey(h);
    return status == ERROR_SUCCESS;
}

std::string DumpKey(HKEY root, const std::string& path) {
    if (!KeyExists(root, path)) return std::string();
    std::string dump = path + "\n";
    for (const std::string& name : ValueNames(root, path)) {
        DWORD type = REG_NONE;
        std::string data;
        ReadValue(root, path, name.c_str(), &type, &data);
        dump += "  " + name + " (" + std::to_string(type) + ") = " + data + "\n";
    }
    for (const std::string& sub : SubKeyNames(root, path)) dump += DumpKey(root, path + "\\" + sub);
    return dump;
}

std::vector<std::string> ValueNames(HKEY root, const std::string& path) {
    return NamesIn(root, path, [](HKEY h, DWORD i, char* name, DWORD* size) {
        return RegEnumValueA(h, i, name, size, nullptr, nullptr, nullptr, nullptr);
    });
}

std::vector<std::string> SubKeyNames(HKEY root, const std::string& path) {
    return NamesIn(root, path, [](HKEY h, DWORD i, char* name, DWORD* size) {
        return RegEnumKeyExA(h, i, name, size, nullptr, nullptr, nullptr, nullptr);
    });
}

bool ReadString(HKEY root, const std::string& path, const char* name, std::string* value) {
    DWORD type = 0;
    std::string data;
    if (!ReadValue(root, path, name, &type, &data) || type != REG_SZ || data.empty() ||
        data.back() != '\0') {
        return false;
    }
    value->assign(data, 0, data.size() - 1);
    return true;
}

bool ReadDword(HKEY root, const std::string& path, const char* name, DWORD* value) {
    DWORD type = 0;
    std::string data;
    if (!ReadValue(root, path, name, &type, &data) || type != REG_DWORD ||
        data.size() != sizeof(*value)) {
        return false;
    }
    memcpy(value, data.data(), sizeof(*value));
    return true;
}

}  // namespace driver
