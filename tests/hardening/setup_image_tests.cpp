// The built SetUp.exe, and the UserSetup.exe it carries, read as files:
// which libraries they import, how the loader may place them, that nothing
// of the build machine or build time is left in them, and their version
// information. (Their signatures: signature_tests in CMakeLists.txt.)
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "run/product.h"
#include "run/product_version.h"
#include "tests/hardening/pe_image.h"

namespace {

// The libraries SetUp.exe may import: the core system libraries, each a
// KnownDLL on Windows, which the loader maps from the system folder whatever
// lies beside the program, even before WinMain can restrict the search.
// Everything else (the common controls, the shell) is loaded on first use.
const char* const kSystemLibraries[] = {
    "advapi32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll", "user32.dll",
};

constexpr size_t kMaxImageBytes = 1024 * 1024;
constexpr ULONGLONG kFourGigabytes = 0x100000000ULL;

std::string WindowsPath(const std::string& unixPath) {
    std::string path = "Z:" + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

bool IsSystemLibrary(const std::string& name) {
    return std::any_of(std::begin(kSystemLibraries), std::end(kSystemLibraries),
                       [&](const char* known) { return _stricmp(known, name.c_str()) == 0; });
}

std::string SystemFolder() {
    char folder[MAX_PATH];
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    return length && length < MAX_PATH ? std::string(folder, length) : std::string();
}

bool Contains(const std::vector<BYTE>& bytes, const std::string& text) {
    return std::search(bytes.begin(), bytes.end(), text.begin(), text.end()) != bytes.end();
}

class SetupImage : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override { ASSERT_TRUE(m_image.Valid()) << GetParam(); }

    hardening::PeImage m_image{WindowsPath(GetParam())};
};

INSTANTIATE_TEST_SUITE_P(Programs, SetupImage,
                         ::testing::Values(SETUP_EXE_PATH, USER_SETUP_EXE_PATH));

TEST_P(SetupImage, IsA64BitWindowsProgram) {
    EXPECT_EQ(m_image.FileHeader().Machine, IMAGE_FILE_MACHINE_AMD64);
    EXPECT_TRUE(m_image.FileHeader().Characteristics & IMAGE_FILE_EXECUTABLE_IMAGE);
    EXPECT_FALSE(m_image.FileHeader().Characteristics & IMAGE_FILE_DLL);
    EXPECT_EQ(m_image.OptionalHeader().Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
}

TEST_P(SetupImage, ImportsOnlySystemLibraries) {
    bool complete = false;
    const std::vector<std::string> imported = m_image.ImportedLibraries(&complete);
    ASSERT_TRUE(complete) << "the import table runs off the file";
    ASSERT_FALSE(imported.empty());
    const std::string systemFolder = SystemFolder();
    ASSERT_FALSE(systemFolder.empty());
    for (const std::string& name : imported) {
        EXPECT_TRUE(IsSystemLibrary(name)) << name << " is not a known system library";
        const std::string path = systemFolder + "\\" + name;
        EXPECT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES) << path;
    }
}

TEST_P(SetupImage, LoadsAtARandomHighAddressWithNoExecutableData) {
    const WORD flags = m_image.OptionalHeader().DllCharacteristics;
    EXPECT_TRUE(flags & IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE);
    EXPECT_TRUE(flags & IMAGE_DLLCHARACTERISTICS_HIGH_ENTROPY_VA);
    EXPECT_TRUE(flags & IMAGE_DLLCHARACTERISTICS_NX_COMPAT);
    // High-entropy placement needs a preferred base above 4 GB.
    EXPECT_GE(m_image.OptionalHeader().ImageBase, kFourGigabytes);
}

TEST_P(SetupImage, KeepsItsRelocationsSoTheLoaderCanMoveIt) {
    EXPECT_FALSE(m_image.FileHeader().Characteristics & IMAGE_FILE_RELOCS_STRIPPED);
    const IMAGE_DATA_DIRECTORY relocations = m_image.Directory(IMAGE_DIRECTORY_ENTRY_BASERELOC);
    ASSERT_GT(relocations.Size, sizeof(IMAGE_BASE_RELOCATION));
    // Every block lies within the directory and holds at least one entry.
    DWORD at = 0;
    while (at < relocations.Size) {
        IMAGE_BASE_RELOCATION block{};
        ASSERT_TRUE(m_image.ReadAt(relocations.VirtualAddress + at, &block)) << "block at " << at;
        ASSERT_GT(block.SizeOfBlock, sizeof(block)) << "block at " << at;
        ASSERT_LE(block.SizeOfBlock, relocations.Size - at) << "block at " << at;
        at += block.SizeOfBlock;
    }
}

TEST_P(SetupImage, HasNoSectionBothWritableAndExecutable) {
    for (const IMAGE_SECTION_HEADER& section : m_image.Sections()) {
        const std::string name(
            reinterpret_cast<const char*>(section.Name),
            strnlen(reinterpret_cast<const char*>(section.Name), IMAGE_SIZEOF_SHORT_NAME));
        EXPECT_FALSE((section.Characteristics & IMAGE_SCN_MEM_WRITE) &&
                     (section.Characteristics & IMAGE_SCN_MEM_EXECUTE))
            << name;
    }
}

// Two builds of the same sources must give the same bytes: no link time, no
// time in the resources, no debug directory, no path of the build machine.
TEST_P(SetupImage, CarriesNoBuildTimeAndNoBuildPath) {
    EXPECT_EQ(m_image.FileHeader().TimeDateStamp, 0u);

    const IMAGE_DATA_DIRECTORY resources = m_image.Directory(IMAGE_DIRECTORY_ENTRY_RESOURCE);
    IMAGE_RESOURCE_DIRECTORY root{};
    ASSERT_TRUE(m_image.ReadAt(resources.VirtualAddress, &root));
    EXPECT_EQ(root.TimeDateStamp, 0u);

    EXPECT_EQ(m_image.Directory(IMAGE_DIRECTORY_ENTRY_DEBUG).Size, 0u);

    for (const std::string& path : {std::string(SOURCE_DIR), std::string(BINARY_DIR)}) {
        EXPECT_FALSE(Contains(m_image.Bytes(), path)) << path;
        EXPECT_FALSE(Contains(m_image.Bytes(), WindowsPath(path))) << WindowsPath(path);
    }
}

// What inventory tools, file rules and the Details tab read: the product's
// names and the one version the title shows, as 2025.10.30.0.
TEST_P(SetupImage, CarriesTheProductsVersionInformation) {
    const std::string path = WindowsPath(GetParam());
    std::vector<BYTE> info(GetFileVersionInfoSizeA(path.c_str(), nullptr) + 1);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
    const auto value = [&](const std::string& name) {  // in code page 936, as the program's texts
        const std::string block = "\\StringFileInfo\\080404b0\\" + name;
        char* text = nullptr;
        UINT length = 0;
        const bool found =
            VerQueryValueA(info.data(), block.c_str(), reinterpret_cast<void**>(&text), &length);
        return std::string(found ? text : "");
    };
    const SetupVersionParts version = SplitSetupVersion(kSetupVersion);
    const std::string number = std::to_string(version.year) + "." + std::to_string(version.month) +
                               "." + std::to_string(version.day) + ".0";
    const std::pair<const char*, std::string> strings[] = {
        {"CompanyName", kProductPublisher},
        {"ProductName", kProductDisplayName},
        {"FileVersion", number},
        {"ProductVersion", number},
        {"OriginalFilename", path.substr(path.rfind('\\') + 1)}};
    for (const auto& [name, expected] : strings) EXPECT_EQ(value(name), expected) << name;
    EXPECT_EQ(value("FileDescription").rfind(kProductDisplayName, 0), 0u);
    EXPECT_NE(value("LegalCopyright").find("Torvex"), std::string::npos);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &size));
    EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(version.month, version.year)));
    EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(MAKELONG(0, version.day)));
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
}

TEST_P(SetupImage, StaysUnderOneMegabyte) {
    EXPECT_LT(m_image.Bytes().size(), kMaxImageBytes);
}

}  // namespace
