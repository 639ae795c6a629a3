#include "deploy/download_mark.h"

#include <windows.h>

#include "framework/afx_string.h"

namespace {

constexpr char kDownloadMarkStream[] = ":Zone.Identifier";

}  // namespace

bool RemoveDownloadMark(const char* filePath) {
    const CString stream = CString(filePath) + kDownloadMarkStream;
    return DeleteFileA(stream) != FALSE;
}
