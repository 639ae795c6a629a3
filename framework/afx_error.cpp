#include "framework/afx_error.h"

#include "framework/afx_msgbox.h"

namespace {

constexpr DWORD kTextCapacity = 1024;
constexpr UINT kReportStyle = MB_OK | MB_ICONSTOP;

}  // namespace

CString AfxErrorText(HRESULT hr) {
    char buffer[kTextCapacity] = {};
    DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                       static_cast<DWORD>(hr), 0, buffer, kTextCapacity, nullptr);
    while (length > 0 && (buffer[length - 1] == '\r' || buffer[length - 1] == '\n')) --length;
    if (length == 0) {
        CString text;
        text.Format("0x%08lX", static_cast<unsigned long>(hr));
        return text;
    }
    return CString(buffer, static_cast<int>(length));
}

void AfxReportError(HRESULT hr) {
    AfxMessageBox(afx::UiText::System(AfxErrorText(hr)), kReportStyle);
}
