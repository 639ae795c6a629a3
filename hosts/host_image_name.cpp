#include "hosts/host_image_name.h"

#include <string>

#include "framework/afx_mbcs.h"

#ifdef _WIN32
#include <windows.h>
#endif

const char kHostImageName[] = "gcad.exe";

CString FoldImageNameToLowerCase(const char* imageName) {
    std::string folded(imageName ? imageName : "");
#ifdef _WIN32
    // The system's own mapping for the ANSI code page, double-byte characters included.
    if (!folded.empty()) CharLowerBuffA(&folded[0], static_cast<DWORD>(folded.size()));
#else
    folded = afx::MbsFoldCase(folded.c_str());
#endif
    return CString(folded);
}

bool ImageNameIsHost(const char* imageName) {
    const CString target = FoldImageNameToLowerCase(kHostImageName);
    return afx::MbsContains(FoldImageNameToLowerCase(imageName), target);
}
