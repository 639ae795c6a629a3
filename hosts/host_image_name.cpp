#include "hosts/host_image_name.h"

#include <string>

#include "framework/afx_mbcs.h"

#ifdef _WIN32
#include <windows.h>
#endif

const char kHostImageName[] = "gcad.exe";

namespace {

#ifdef _WIN32
void FoldInPlace(std::string& text) {
    // The system's own mapping for the ANSI code page, double-byte characters included.
    CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
}
#else
void FoldInPlace(std::string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (afx::IsLeadByte(byte) && i + 1 < text.size()) {
            ++i;  // a whole double-byte character: its trail byte is no letter
        } else if (byte >= 'A' && byte <= 'Z') {
            text[i] = static_cast<char>(byte - 'A' + 'a');
        }
    }
}
#endif

}  // namespace

CString FoldImageNameToLowerCase(const char* imageName) {
    std::string folded(imageName ? imageName : "");
    if (!folded.empty()) FoldInPlace(folded);
    return CString(folded);
}

bool ImageNameIsHost(const char* imageName) {
    const CString target = FoldImageNameToLowerCase(kHostImageName);
    return afx::MbsContains(FoldImageNameToLowerCase(imageName), target);
}
