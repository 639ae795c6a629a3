// Which folder texts name a place independent of the current folder and
// drive: the rule for host folders read from the registry and for the
// installation folder the user types.
#include <gtest/gtest.h>

#include "text/path_text.h"

namespace {

TEST(IsAbsolutePath, DriveLetterAndUncPathsAreAbsolute) {
    for (const char* path : {"C:\\Torvex", "c:\\", "D:\\Tools\\", "\\\\server\\share",
                             "\\\\server\\share\\GstarCAD", "C:\\..\\x"}) {
        EXPECT_TRUE(IsAbsolutePath(path)) << path;
    }
}

TEST(IsAbsolutePath, TextsTheCurrentFolderOrDriveWouldCompleteAreNot) {
    for (const char* path :
         {"", "relname", "..\\..\\x", ".", "ab", "C:", "C:foo", "\\", "\\Torvex", "1:\\x", "\\\\",
          "\\\\server", "\\\\server\\", "\\\\\\share", "\\\\.\\C:\\x", "\\\\?\\C:\\x"}) {
        EXPECT_FALSE(IsAbsolutePath(path)) << path;
    }
    EXPECT_FALSE(IsAbsolutePath(nullptr));
}

TEST(IsAbsolutePath, AWildcardNamesNoOnePlace) {
    // "?" is also what a folder name the ANSI code page cannot hold reads as
    // from the edit box: it must be refused, not become some other folder.
    for (const char* path : {"C:\\Torvex\\?", "C:\\Tor*", "\\\\server\\share?"}) {
        EXPECT_FALSE(IsAbsolutePath(path)) << path;
    }
}

TEST(IsAbsolutePath, ATrailByteBackslashDoesNotEndAServerName) {
    // 乗 is 0x81 0x5C: read byte by byte, "\\乗x" would pass for a server
    // "\x81" with a share "x".
    EXPECT_FALSE(IsAbsolutePath("\\\\\x81\x5Cx"));
    EXPECT_TRUE(IsAbsolutePath("\\\\\x81\x5C\\share"));
}

}  // namespace
