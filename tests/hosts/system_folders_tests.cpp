// Folders no host is installed in, whatever a "Location" says.
#include <gtest/gtest.h>

#include "hosts/system_folders.h"

namespace {

TEST(SystemFolderRefusal, RefusesWhatWouldPutModulesIntoTheSystem) {
    SystemFolders system;
    system.windows = {"C:\\Windows"};
    system.exactRoots = {"C:\\Program Files", "C:\\Users", "C:\\Users\\alice"};
    const struct {
        const char* folder;
        bool refused;
    } cases[] = {
        {"C:\\Windows", true},
        {"c:\\windows\\System32", true},
        {"C:\\Windows\\..\\Windows\\Fonts", true},
        {"D:\\", true},
        {"\\\\server\\share", true},
        {"C:\\Program Files", true},
        {"C:\\Users\\", true},
        {"C:\\Users\\Alice", true},
        {"C:\\Program Files\\Gstarsoft\\GstarCAD2025", false},
        {"C:\\Users\\alice\\AppData\\Local\\GstarCAD", false},
        {"C:\\WindowsApps\\x", false},
        {"D:\\CAD", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SystemFolderRefusal(c.folder, system) != nullptr, c.refused) << c.folder;
    }
}

}  // namespace
