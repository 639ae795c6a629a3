// The resources of the built SetUp.exe, read as data: dialog 141 control by
// control, the language, the manifest, the bitmaps and the icons.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr LANGID kChinesePrc = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
constexpr UINT kGbk = 936;
constexpr WORD kOrdinalMark = 0xFFFF;
constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kEditAtom = 0x0081;
constexpr WORD kStaticAtom = 0x0082;

std::string WindowsPath(const char* unixPath) {
    std::string path = std::string("Z:") + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

class SetupResources : public ::testing::Test {
protected:
    void SetUp() override {
        m_module =
            LoadLibraryExA(WindowsPath(SETUP_EXE_PATH).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_TRUE(m_module) << SETUP_EXE_PATH;
    }
    void TearDown() override {
        if (m_module) FreeLibrary(m_module);
    }
    // The bytes of a resource, empty when there is none.
    std::vector<BYTE> Resource(const char* type, WORD id) const {
        HRSRC found = FindResourceA(m_module, MAKEINTRESOURCEA(id), type);
        if (!found) return {};
        const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(m_module, found)));
        return std::vector<BYTE>(data, data + SizeofResource(m_module, found));
    }
    std::vector<LANGID> Languages(const char* type, WORD id) const {
        std::vector<LANGID> languages;
        EnumResourceLanguagesA(
            m_module, type, MAKEINTRESOURCEA(id),
            [](HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR list) -> BOOL {
                reinterpret_cast<std::vector<LANGID>*>(list)->push_back(language);
                return TRUE;
            },
            reinterpret_cast<LONG_PTR>(&languages));
        return languages;
    }

    HMODULE m_module = nullptr;
};

// Reads the fields of a DLGTEMPLATEEX in order.
class TemplateReader {
public:
    explicit TemplateReader(const std::vector<BYTE>& data) : m_data(data) {}
    template <typename T>
    T Read() {
        T value{};
        if (m_at + sizeof(T) <= m_data.size()) std::memcpy(&value, &m_data[m_at], sizeof(T));
        m_at += sizeof(T);
        return value;
    }
    std::string ReadText() {  // zero-terminated UTF-16, as GBK
        std::wstring text;
        for (WCHAR c = Read<WCHAR>(); c != 0 && m_at <= m_data.size(); c = Read<WCHAR>()) {
            text += c;
        }
        return Gbk(text);
    }
    // A name or ordinal: "#<n>" for an ordinal.
    std::string ReadNameOrOrdinal() {
        const size_t start = m_at;
        if (Read<WORD>() == kOrdinalMark) return "#" + std::to_string(Read<WORD>());
        m_at = start;
        return ReadText();
    }
    void AlignToDword() { m_at = (m_at + 3) & ~size_t{3}; }
    void Skip(size_t bytes) { m_at += bytes; }

private:
    static std::string Gbk(const std::wstring& text) {
        if (text.empty()) return {};
        const int n = WideCharToMultiByte(kGbk, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
        std::string out(static_cast<size_t>(n), '\0');
        WideCharToMultiByte(kGbk, 0, text.c_str(), -1, &out[0], n, nullptr, nullptr);
        out.resize(static_cast<size_t>(n) - 1);
        return out;
    }

    const std::vector<BYTE>& m_data;
    size_t m_at = 0;
};

struct Control {
    int id;
    std::string kind;  // "#128" button, "#129" edit, "#130" static, or a class name
    std::string text;
    int x, y, cx, cy;
    DWORD style;
};

bool operator==(const Control& a, const Control& b) {
    return a.id == b.id && a.kind == b.kind && a.text == b.text && a.x == b.x && a.y == b.y &&
           a.cx == b.cx && a.cy == b.cy && a.style == b.style;
}

std::ostream& operator<<(std::ostream& out, const Control& c) {
    return out << c.id << " " << c.kind << " [" << c.text << "] " << c.x << "," << c.y << ","
               << c.cx << "," << c.cy << " style 0x" << std::hex << c.style << std::dec;
}

const std::string kButton = "#" + std::to_string(kButtonAtom);
const std::string kEdit = "#" + std::to_string(kEditAtom);
const std::string kStatic = "#" + std::to_string(kStaticAtom);

// The system classes by atom, whether the template names or numbers them;
// other class names compare without regard to case.
std::string CanonicalClass(const std::string& kind) {
    const std::pair<const char*, const std::string*> atoms[] = {
        {"Button", &kButton}, {"Edit", &kEdit}, {"Static", &kStatic}};
    for (const auto& [name, atom] : atoms) {
        if (_stricmp(kind.c_str(), name) == 0) return *atom;
    }
    if (_stricmp(kind.c_str(), "msctls_progress32") == 0) return "msctls_progress32";
    return kind;
}

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kCheckBox = kChild | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kPush = kChild | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kCentred = kChild | WS_GROUP | SS_CENTER;
constexpr DWORD kLeft = kChild | WS_GROUP | SS_LEFT;
constexpr DWORD kLine = kChild | SS_ETCHEDHORZ;
constexpr DWORD kPicture = kChild | SS_BITMAP;

TEST_F(SetupResources, Dialog141IsTheSetupDialog) {
    EXPECT_EQ(Languages(MAKEINTRESOURCEA(5), 141), std::vector<LANGID>{kChinesePrc});
    const std::vector<BYTE> data = Resource(MAKEINTRESOURCEA(5), 141);  // RT_DIALOG
    ASSERT_FALSE(data.empty());
    TemplateReader t(data);
    EXPECT_EQ(t.Read<WORD>(), 1);  // DLGTEMPLATEEX
    EXPECT_EQ(t.Read<WORD>(), kOrdinalMark);
    t.Read<DWORD>();  // help id
    EXPECT_EQ(t.Read<DWORD>(), static_cast<DWORD>(WS_EX_CLIENTEDGE));
    EXPECT_EQ(t.Read<DWORD>(), static_cast<DWORD>(DS_SETFONT | DS_MODALFRAME | WS_POPUP |
                                                  WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX));
    const WORD count = t.Read<WORD>();
    EXPECT_EQ(t.Read<short>(), 0);
    EXPECT_EQ(t.Read<short>(), 0);
    EXPECT_EQ(t.Read<short>(), 257);
    EXPECT_EQ(t.Read<short>(), 235);
    EXPECT_EQ(t.ReadNameOrOrdinal(), "");  // no menu
    EXPECT_EQ(t.ReadNameOrOrdinal(), "");  // the standard dialog class
    EXPECT_EQ(t.ReadText(), "T-批打印软件安装");
    EXPECT_EQ(t.Read<WORD>(), 9);  // points
    t.Read<WORD>();                // weight
    t.Read<BYTE>();                // italic
    EXPECT_EQ(t.Read<BYTE>(), 1);  // DEFAULT_CHARSET
    EXPECT_EQ(t.ReadText(), "宋体");

    const std::vector<Control> expected = {
        {1039, kButton, "For 浩辰CAD2023", 7, 88, 74, 10, (kCheckBox & ~WS_VISIBLE) | WS_DISABLED},
        {1040, kButton, "For 浩辰CAD2024", 91, 78, 74, 10, kCheckBox},
        {1041, kButton, "For 浩辰CAD2025", 91, 98, 74, 10, kCheckBox},
        {1042, kButton, "For 浩辰CAD2026", 91, 118, 74, 10, kCheckBox},
        {IDOK, kButton, "安装完成", 97, 166, 63, 14, kPush & ~WS_VISIBLE},
        {IDCANCEL, kButton, "取  消", 160, 214, 50, 14, kPush},
        {1013, kStatic, "Torvex批打印软件 ", 86, 13, 146, 13, kCentred},
        {-1, kStatic, "", 0, 158, 257, 1, kLine},
        {1016, kStatic, "请选择安装组件：", 14, 62, 69, 10, kLeft},
        {-1, kStatic, "", 0, 51, 257, 1, kLine},
        {-1, kStatic, "#147", 32, 5, 43, 43, kPicture},
        {1000, kEdit, "", 13, 185, 179, 12, kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
        {1015, kButton, "浏览...", 199, 183, 51, 13, kPush},
        {1014, "msctls_progress32", "Progress1", 13, 188, 237, 6, WS_CHILD | WS_BORDER},
        {1017, kStatic, "请选择安装路径：", 14, 167, 71, 9, kLeft},
        {-1, kStatic, "", 0, 207, 257, 1, kLine},
        {1021, kStatic, "#151", 23, 73, 211, 80, kPicture & ~WS_VISIBLE},
        {1022, kButton, "安  装", 47, 215, 50, 13, kPush},
        {1023, kStatic, "安装完成！重启CAD，CAD菜单尾会有以下子菜单：", 33, 62, 190, 10,
         kCentred & ~WS_VISIBLE},
        {1018, kStatic, "(%d位版本)", 86, 33, 146, 13, kCentred},
        {1024, kStatic, "注：批打印目前只支持 2024.12.15 以后发布的浩辰CAD版本", 7, 135, 243, 14,
         kCentred | SS_CENTERIMAGE},
        {1025, kStatic, "待浩辰官网上的 2023 / 2024 版本更新后，T-批打印会增加", 7, 21, 229, 14,
         (kLeft | SS_CENTERIMAGE) & ~WS_VISIBLE},
        {1026, kStatic, "对浩辰 2023 / 2024 版本的支持", 7, 37, 229, 14,
         (kLeft | SS_CENTERIMAGE) & ~WS_VISIBLE},
    };
    ASSERT_EQ(count, expected.size());
    for (const Control& want : expected) {
        t.AlignToDword();
        t.Read<DWORD>();  // help id
        EXPECT_EQ(t.Read<DWORD>(), 0u) << want.id << ": no extended style";
        Control got{};
        got.style = t.Read<DWORD>();
        got.x = t.Read<short>();
        got.y = t.Read<short>();
        got.cx = t.Read<short>();
        got.cy = t.Read<short>();
        got.id = static_cast<int>(t.Read<DWORD>());
        got.kind = t.ReadNameOrOrdinal();
        got.text = t.ReadNameOrOrdinal();
        t.Skip(t.Read<WORD>());  // creation data
        got.kind = CanonicalClass(got.kind);
        EXPECT_EQ(got, want);
    }
}

TEST_F(SetupResources, ManifestRequiresAdministratorWithClassicControls) {
    const std::vector<BYTE> data = Resource(MAKEINTRESOURCEA(24), 1);  // RT_MANIFEST
    ASSERT_FALSE(data.empty());
    const std::string manifest(data.begin(), data.end());
    EXPECT_NE(manifest.find("level=\"requireAdministrator\""), std::string::npos);
    EXPECT_NE(manifest.find("uiAccess=\"false\""), std::string::npos);
    EXPECT_EQ(manifest.find("Common-Controls"), std::string::npos);
    EXPECT_EQ(manifest.find("dependency"), std::string::npos);
    EXPECT_NE(manifest.find(">true</dpiAware>"), std::string::npos);
    EXPECT_NE(manifest.find(">PerMonitorV2, System</dpiAwareness>"), std::string::npos);
}

// The per-user stage it carries is the one built, and runs as whoever
// starts it: Active Setup starts it unelevated at each user's logon.
TEST_F(SetupResources, CarriesTheBuiltUserStageWhichRunsAsTheInvokingUser) {
    const std::vector<BYTE> carried = Resource(MAKEINTRESOURCEA(10), 201);  // RT_RCDATA
    const std::string stage = WindowsPath(USER_SETUP_EXE_PATH);
    std::ifstream built(stage, std::ios::binary);
    EXPECT_EQ(carried, std::vector<BYTE>(std::istreambuf_iterator<char>(built), {}));
    const HMODULE module = LoadLibraryExA(stage.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(module);
    const HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    const std::string manifest(
        found ? static_cast<const char*>(LockResource(LoadResource(module, found))) : "",
        found ? SizeofResource(module, found) : 0);
    FreeLibrary(module);
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos) << manifest;
}

// Width, height and bits per pixel of a bitmap resource.
std::vector<int> BitmapShape(const std::vector<BYTE>& data) {
    if (data.size() < sizeof(BITMAPINFOHEADER)) return {};
    BITMAPINFOHEADER header;
    std::memcpy(&header, data.data(), sizeof(header));
    return {header.biWidth, header.biHeight, header.biBitCount};
}

// Width and height of a bitmap as LoadImage makes it; empty when it cannot.
std::vector<int> LoadedSize(HMODULE module, WORD id) {
    const auto bitmap = static_cast<HBITMAP>(
        LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    if (!bitmap) return {};
    BITMAP info{};
    GetObjectW(bitmap, sizeof(info), &info);
    DeleteObject(bitmap);
    return {info.bmWidth, info.bmHeight};
}

TEST_F(SetupResources, BitmapsHaveTheirSizesAndDepthsAtEveryScaleAndLoad) {
    const std::pair<WORD, std::vector<int>> bitmaps[] = {
        {147, {64, 64, 8}},   {148, {96, 96, 8}},   {149, {128, 128, 8}},
        {151, {317, 120, 4}}, {152, {476, 180, 4}}, {153, {634, 240, 4}},
    };
    for (const auto& [id, shape] : bitmaps) {
        EXPECT_EQ(BitmapShape(Resource(MAKEINTRESOURCEA(2), id)), shape) << id;
        // Stored run-length encoded: the loader the dialog uses must take them.
        EXPECT_EQ(LoadedSize(m_module, id), (std::vector<int>{shape[0], shape[1]})) << id;
    }
}

// (size, bits per pixel) of each image of an icon group.
std::set<std::pair<int, int>> IconImages(const std::vector<BYTE>& group) {
    std::set<std::pair<int, int>> images;
    constexpr size_t kHeader = 6;
    constexpr size_t kEntry = 14;
    if (group.size() < kHeader) return images;
    const int count = group[4] | (group[5] << 8);
    for (int i = 0; i < count && kHeader + (i + 1) * kEntry <= group.size(); ++i) {
        const BYTE* e = &group[kHeader + i * kEntry];
        const int size = e[0] ? e[0] : 256;
        images.insert({size, e[6] | (e[7] << 8)});
    }
    return images;
}

TEST_F(SetupResources, IconGroupsHaveTheirImages) {
    const std::set<std::pair<int, int>> program = IconImages(Resource(MAKEINTRESOURCEA(14), 1));
    std::set<std::pair<int, int>> expected;
    for (int size : {48, 32, 16}) {
        for (int bits : {4, 8, 32}) expected.insert({size, bits});
    }
    EXPECT_EQ(program, expected);
    EXPECT_EQ(IconImages(Resource(MAKEINTRESOURCEA(14), 128)),
              (std::set<std::pair<int, int>>{{32, 4}}));
}

}  // namespace
