#include "tools/driver/ui_driver.h"

#include <tlhelp32.h>  // after windows.h, which it needs

#include <algorithm>
#include <cstring>
#include <map>

namespace driver {

namespace {

constexpr int kMessageBoxTextId = 0xFFFF;
constexpr UINT kGbk = 936;
constexpr const char* kDesktopKey = "Control Panel\\Desktop";
constexpr const char* kLogPixels = "LogPixels";
constexpr int kBmpBitsPerPixel = 24;
constexpr WORD kBmpMagic = 0x4D42;  // "BM"

struct FindContext {
    DWORD processId;
    const char* caption;
    const std::vector<HWND>* known;
    bool wantMessageBox;
    HWND found;
};

BOOL CALLBACK FindWindowProc(HWND window, LPARAM param) {
    auto* ctx = reinterpret_cast<FindContext*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != ctx->processId || !IsWindowVisible(window)) return TRUE;
    if (ClassName(window) != "#32770") return TRUE;
    if (ctx->wantMessageBox) {
        if (std::find(ctx->known->begin(), ctx->known->end(), window) != ctx->known->end())
            return TRUE;
        if (!GetDlgItem(window, kMessageBoxTextId)) return TRUE;
    } else if (ctx->caption && Text(window) != ctx->caption) {
        return TRUE;
    }
    ctx->found = window;
    return FALSE;
}

HWND FindProcessWindow(FindContext ctx, DWORD timeoutMs) {
    WaitUntil(
        [&] {
            ctx.found = nullptr;
            EnumWindows(FindWindowProc, reinterpret_cast<LPARAM>(&ctx));
            return ctx.found != nullptr;
        },
        timeoutMs);
    return ctx.found;
}

// An environment block: the current one with the overrides applied.
std::string MakeEnvironment(const std::vector<std::pair<std::string, std::string>>& env) {
    std::map<std::string, std::string> vars;  // sorted, as Windows expects
    char* block = GetEnvironmentStringsA();
    for (const char* p = block; *p; p += std::strlen(p) + 1) {
        const char* eq = std::strchr(p + 1, '=');  // skip "=C:" style entries' first '='
        if (!eq) continue;
        vars[std::string(p, eq)] = eq + 1;
    }
    FreeEnvironmentStringsA(block);
    for (const auto& [name, value] : env) {
        for (auto it = vars.begin(); it != vars.end();) {
            it = (_stricmp(it->first.c_str(), name.c_str()) == 0) ? vars.erase(it) : std::next(it);
        }
        if (!value.empty()) vars[name] = value;
    }
    std::string out;
    for (const auto& [name, value] : vars) out += name + "=" + value + '\0';
    out += '\0';
    return out;
}

}  // namespace

Process::~Process() {
    Kill();
}

bool Process::Start(const std::string& exePath,
                    const std::vector<std::pair<std::string, std::string>>& env,
                    const std::string& arguments, const std::string& workingFolder) {
    Kill();
    const std::string folder =
        workingFolder.empty() ? exePath.substr(0, exePath.find_last_of('\\')) : workingFolder;
    std::string commandLine = "\"" + exePath + "\"";
    if (!arguments.empty()) commandLine += " " + arguments;
    std::string environment = MakeEnvironment(env);
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(exePath.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0,
                        env.empty() ? nullptr : &environment[0], folder.c_str(), &si, &pi)) {
        return false;
    }
    CloseHandle(pi.hThread);
    m_process = pi.hProcess;
    m_id = pi.dwProcessId;
    return true;
}

bool Process::Adopt(DWORD processId) {
    Kill();
    m_process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION,
                            FALSE, processId);
    m_id = m_process ? processId : 0;
    return m_process != nullptr;
}

bool Process::WaitForExit(DWORD timeoutMs) {
    return m_process && WaitForSingleObject(m_process, timeoutMs) == WAIT_OBJECT_0;
}

DWORD Process::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (m_process) GetExitCodeProcess(m_process, &code);
    return code;
}

std::string Process::ImagePath() const {
    char path[MAX_PATH];
    DWORD size = MAX_PATH;
    return m_process && QueryFullProcessImageNameA(m_process, 0, path, &size)
               ? std::string(path, size)
               : std::string();
}

bool Process::IsRunning() const {
    return m_process && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT;
}

void Process::Kill() {
    if (!m_process) return;
    if (IsRunning()) {
        TerminateProcess(m_process, 1);
        WaitForSingleObject(m_process, kDefaultTimeoutMs);
    }
    CloseHandle(m_process);
    m_process = nullptr;
    m_id = 0;
}

DWORD WaitForChildProcess(DWORD parentId, DWORD timeoutMs) {
    DWORD child = 0;
    WaitUntil(
        [&] {
            HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
            if (snapshot == INVALID_HANDLE_VALUE) return false;
            PROCESSENTRY32 entry{};
            entry.dwSize = sizeof(entry);
            for (BOOL more = Process32First(snapshot, &entry); more && !child;
                 more = Process32Next(snapshot, &entry)) {
                if (entry.th32ParentProcessID == parentId) child = entry.th32ProcessID;
            }
            CloseHandle(snapshot);
            return child != 0;
        },
        timeoutMs);
    return child;
}

HWND FindDialog(DWORD processId, const char* caption) {
    FindContext ctx{processId, caption, nullptr, false, nullptr};
    EnumWindows(FindWindowProc, reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

HWND WaitForDialog(DWORD processId, const char* caption, DWORD timeoutMs) {
    return FindProcessWindow({processId, caption, nullptr, false, nullptr}, timeoutMs);
}

HWND WaitForMessageBox(DWORD processId, const std::vector<HWND>& known, DWORD timeoutMs) {
    return FindProcessWindow({processId, nullptr, &known, true, nullptr}, timeoutMs);
}

std::string MessageBoxText(HWND box) {
    return ItemText(box, kMessageBoxTextId);
}

bool WaitForInput(HWND box, DWORD timeoutMs) {
    const auto takesInput = [&] {
        if (!IsWindow(box)) return false;
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            if (_stricmp(ClassName(child).c_str(), "Button") == 0 && !IsWindowEnabled(child)) {
                return false;
            }
        }
        return true;
    };
    return WaitUntil([&] { return takesInput() || !IsWindow(box); }, timeoutMs) && takesInput();
}

bool WaitForIdle(HWND window, DWORD timeoutMs) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &ignored) != 0;
}

bool WaitForClose(HWND window, DWORD timeoutMs) {
    return WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, timeoutMs);
}

std::wstring WideText(HWND window) {
    if (!window) return std::wstring();
    const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT got =
        SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(got));
    return text;
}

std::string Text(HWND window) {
    const std::wstring wide = WideText(window);
    if (wide.empty()) return std::string();
    const int n = WideCharToMultiByte(kGbk, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr,
                                      0, nullptr, nullptr);
    std::string text(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(kGbk, 0, wide.c_str(), static_cast<int>(wide.size()), &text[0], n, nullptr,
                        nullptr);
    return text;
}

std::string ItemText(HWND dialog, int id) {
    return Text(GetDlgItem(dialog, id));
}

bool IsItemVisible(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    return item && (GetWindowLongA(item, GWL_STYLE) & WS_VISIBLE) != 0;
}

bool IsItemEnabled(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    return item && IsWindowEnabled(item);
}

int ItemCheck(HWND dialog, int id) {
    return static_cast<int>(SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0));
}

RECT WindowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

std::string ClassName(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

void Click(HWND dialog, int id) {
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void SetItemText(HWND dialog, int id, const char* text) {
    const int n = MultiByteToWideChar(kGbk, 0, text, -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(n > 0 ? n : 1), L'\0');
    MultiByteToWideChar(kGbk, 0, text, -1, &wide[0], n);
    SetItemText(dialog, id, wide.c_str());
}

void SetItemText(HWND dialog, int id, const wchar_t* text) {
    SendMessageW(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void PressKey(HWND target, UINT virtualKey) {
    const UINT scan = MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC);
    PostMessageA(target, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
    PostMessageA(target, WM_KEYUP, virtualKey, 1 | (scan << 16) | 0xC0000000u);
}

void Close(HWND window) {
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

bool SaveScreenshot(HWND window, const std::string& bmpPath) {
    const RECT r = WindowRect(window);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    if (width <= 0 || height <= 0) return false;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = kBmpBitsPerPixel;
    info.bmiHeader.biCompression = BI_RGB;
    const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
    const DWORD imageSize = stride * static_cast<DWORD>(height);

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        ok = BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY) != FALSE;
        GdiFlush();
        SelectObject(memory, old);
    }
    if (ok) {
        BITMAPFILEHEADER file{};
        file.bfType = kBmpMagic;
        file.bfOffBits = sizeof(file) + sizeof(info.bmiHeader);
        file.bfSize = file.bfOffBits + imageSize;
        HANDLE out = CreateFileA(bmpPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        ok = out != INVALID_HANDLE_VALUE &&
             WriteFile(out, &file, sizeof(file), &written, nullptr) &&
             WriteFile(out, &info.bmiHeader, sizeof(info.bmiHeader), &written, nullptr) &&
             WriteFile(out, bits, imageSize, &written, nullptr);
        if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
    }
    if (bitmap) DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

ScopedDisplayDpi::ScopedDisplayDpi(DWORD dpi) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0,
                        KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return;
    }
    DWORD size = sizeof(m_previous);
    DWORD type = 0;
    m_hadValue = RegQueryValueExA(key, kLogPixels, nullptr, &type,
                                  reinterpret_cast<BYTE*>(&m_previous), &size) == ERROR_SUCCESS &&
                 type == REG_DWORD;
    m_set = RegSetValueExA(key, kLogPixels, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                           sizeof(dpi)) == ERROR_SUCCESS;
    RegCloseKey(key);
}

ScopedDisplayDpi::~ScopedDisplayDpi() {
    HKEY key = nullptr;
    if (!m_set ||
        RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) {
        return;
    }
    if (m_hadValue) {
        RegSetValueExA(key, kLogPixels, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&m_previous),
                       sizeof(m_previous));
    } else {
        RegDeleteValueA(key, kLogPixels);
    }
    RegCloseKey(key);
}

}  // namespace driver
