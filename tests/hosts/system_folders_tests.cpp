// Folders no host is installed in, whatever a "Location" says.
#include <gtest/gtest.h>

#include "hosts/system_folders.h"
#include "tests/support/other_names.h"

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
        // Other names of those folders: a short name, a link to them.
        {"C:\\PROGRA~1", true},
        {"C:\\WINDOW~1\\System32", true},
        {"D:\\Link", true},
        {"D:\\Link\\Gstarsoft", false},
    };
    const OtherNames names({{"c:\\progra~1", "c:\\program files"},
                            {"c:\\window~1", "c:\\windows"},
                            {"d:\\link", "c:\\users\\alice"}});
    for (const auto& c : cases) {
        EXPECT_EQ(SystemFolderRefusal(c.folder, system, names) != nullptr, c.refused) << c.folder;
    }
}

}  // namespace
