// The shipped program's resources, read back from TNInstaller.exe the way
// the system reads them: the manifest's execution level, the icon, the
// archive's type, id and language, and dialog 102 byte for byte as the
// window is laid out (styles, rectangles, font, classes, ids, texts).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class ProgramResources : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        wchar_t self[MAX_PATH] = {};
        ::GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring program = self;
        program = program.substr(0, program.find_last_of(L'\\')) + L"\\TNInstaller.exe";
        s_module = ::LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    static void TearDownTestSuite()
    {
        if (s_module != nullptr) ::FreeLibrary(s_module);
    }

    static std::string Bytes(const wchar_t* type, const wchar_t* name, WORD language)
    {
        HRSRC found = ::FindResourceExW(s_module, type, name, language);
        if (found == nullptr) return {};
        const char* data = static_cast<const char*>(::LockResource(::LoadResource(s_module, found)));
        return std::string(data, ::SizeofResource(s_module, found));
    }

    static inline HMODULE s_module = nullptr;
};

constexpr WORD kChinesePrc = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);  // 2052

// Reads a DLGTEMPLATEEX field by field.
class TemplateReader {
public:
    explicit TemplateReader(const std::string& bytes) : m_bytes(bytes) {}
    template <typename T>
    T Read()
    {
        T value{};
        if (m_position + sizeof(T) <= m_bytes.size()) memcpy(&value, m_bytes.data() + m_position, sizeof(T));
        m_position += sizeof(T);
        return value;
    }
    // A name or an ordinal: "#n" for an ordinal.
    std::wstring ReadNameOrOrdinal()
    {
        const WORD first = Read<WORD>();
        if (first == 0xFFFF) return L"#" + std::to_wstring(Read<WORD>());
        std::wstring text;
        for (WORD unit = first; unit != 0; unit = Read<WORD>()) text.push_back(static_cast<wchar_t>(unit));
        return text;
    }
    void AlignToDword() { m_position = (m_position + 3) & ~size_t(3); }
    void Skip(size_t count) { m_position += count; }

private:
    const std::string& m_bytes;
    size_t m_position = 0;
};

// Predefined classes may be stored by their ordinal.
std::wstring ClassName(const std::wstring& stored)
{
    if (stored == L"#128") return L"BUTTON";
    if (stored == L"#129") return L"EDIT";
    if (stored == L"#130") return L"STATIC";
    std::wstring upper = stored;
    for (wchar_t& c : upper) c = static_cast<wchar_t>(towupper(c));
    return upper == L"STATIC" || upper == L"EDIT" ? upper : stored;
}

TEST_F(ProgramResources, ManifestRequiresAdministrator)
{
    ASSERT_NE(s_module, nullptr);
    const std::string manifest = Bytes(MAKEINTRESOURCEW(24), MAKEINTRESOURCEW(1), kChinesePrc);
    EXPECT_NE(manifest.find("level=\"requireAdministrator\""), std::string::npos);
    EXPECT_NE(manifest.find("uiAccess=\"false\""), std::string::npos);
}

TEST_F(ProgramResources, IconAndArchiveAreWhereTheProgramLooks)
{
    ASSERT_NE(s_module, nullptr);
    EXPECT_FALSE(Bytes(RT_GROUP_ICON, MAKEINTRESOURCEW(128), kChinesePrc).empty());
    const std::string archive = Bytes(L"ZIP", MAKEINTRESOURCEW(148), kChinesePrc);
    ASSERT_GE(archive.size(), 22u);
    EXPECT_EQ(archive.compare(archive.size() - 22, 4, "PK\x05\x06"), 0) << "ends in its end record";
}

TEST_F(ProgramResources, TheBannerIsGif147)
{
    ASSERT_NE(s_module, nullptr);
    const std::string banner = Bytes(L"GIF", MAKEINTRESOURCEW(147), kChinesePrc);
    ASSERT_GE(banner.size(), 13u);
    EXPECT_EQ(banner.compare(0, 6, "GIF89a"), 0);
    EXPECT_EQ(static_cast<unsigned char>(banner[6]) | (static_cast<unsigned char>(banner[7]) << 8), 479)
        << "the banner's width sets the window's";
}

TEST_F(ProgramResources, MainWindowTemplateIsAsDesigned)
{
    ASSERT_NE(s_module, nullptr);
    const std::string bytes = Bytes(RT_DIALOG, MAKEINTRESOURCEW(102), kChinesePrc);
    ASSERT_FALSE(bytes.empty());
    TemplateReader reader(bytes);
    EXPECT_EQ(reader.Read<WORD>(), 1);       // extended template
    EXPECT_EQ(reader.Read<WORD>(), 0xFFFF);
    reader.Read<DWORD>();                    // help id
    EXPECT_EQ(reader.Read<DWORD>(), 0x00040020u);
    EXPECT_EQ(reader.Read<DWORD>(), 0x90000048u);
    const WORD count = reader.Read<WORD>();
    EXPECT_EQ(count, 11);
    const short frame[] = {reader.Read<short>(), reader.Read<short>(), reader.Read<short>(), reader.Read<short>()};
    EXPECT_EQ(std::vector<short>(frame, frame + 4), (std::vector<short>{0, 0, 332, 209}));
    EXPECT_EQ(reader.ReadNameOrOrdinal(), L"");  // no menu
    EXPECT_EQ(reader.ReadNameOrOrdinal(), L"");  // no class
    EXPECT_EQ(reader.ReadNameOrOrdinal(), L"");  // empty title
    EXPECT_EQ(reader.Read<WORD>(), 9);
    reader.Read<WORD>();
    reader.Read<BYTE>();
    reader.Read<BYTE>();
    EXPECT_EQ(reader.ReadNameOrOrdinal(), L"MS Shell Dlg");

    struct Control {
        DWORD id;
        const wchar_t* className;
        const wchar_t* text;
        DWORD style;
        DWORD exStyle;
        short x, y, width, height;
    } const expected[] = {
        {1003, L"STATIC", L"", 0x50000204, WS_EX_TRANSPARENT, 0, 0, 331, 107},
        {1004, L"STATIC", L"安装中. . .", 0x50020000, 0, 31, 170, 84, 8},
        {1005, L"msctls_progress32", L"", 0x50800000, 0, 29, 149, 269, 7},
        {1010, L"STATIC", L"立即安装", 0x50020100, 0, 103, 119, 98, 20},
        {1009, L"STATIC", L"Static", 0x50020100, 0, 18, 191, 19, 8},
        {1007, L"STATIC", L"同意并阅读", 0x50020000, 0, 43, 191, 42, 8},
        {1008, L"STATIC", L"软件许可协议", 0x50020100, 0, 90, 191, 45, 8},
        {1006, L"MfcEditBrowse", L"", 0x50810080, 0, 29, 146, 269, 14},
        {1017, L"STATIC", L"Static", 0x50020100, 0, 301, 3, 8, 8},
        {1018, L"STATIC", L"Static", 0x50020100, 0, 316, 3, 8, 8},
        {1016, L"STATIC", L"Static", 0x50020000, 0, 6, 6, 28, 8},
    };
    for (const Control& control : expected) {
        SCOPED_TRACE(control.id);
        reader.AlignToDword();
        reader.Read<DWORD>();  // help id
        EXPECT_EQ(reader.Read<DWORD>(), control.exStyle);
        EXPECT_EQ(reader.Read<DWORD>(), control.style);
        EXPECT_EQ(reader.Read<short>(), control.x);
        EXPECT_EQ(reader.Read<short>(), control.y);
        EXPECT_EQ(reader.Read<short>(), control.width);
        EXPECT_EQ(reader.Read<short>(), control.height);
        EXPECT_EQ(reader.Read<DWORD>(), control.id);
        EXPECT_EQ(ClassName(reader.ReadNameOrOrdinal()), control.className);
        EXPECT_EQ(reader.ReadNameOrOrdinal(), control.text);
        reader.Skip(reader.Read<WORD>());
    }
}

TEST_F(ProgramResources, FolderBoxGetsItsBrowseMode)
{
    ASSERT_NE(s_module, nullptr);
    const std::string data = Bytes(MAKEINTRESOURCEW(240), MAKEINTRESOURCEW(102), kChinesePrc);
    ASSERT_GE(data.size(), 10u);
    WORD controlId = 0, message = 0;
    memcpy(&controlId, data.data(), 2);
    memcpy(&message, data.data() + 2, 2);
    EXPECT_EQ(controlId, 1006);
    EXPECT_EQ(message, 0x037C) << "the framework's control-initialisation message";
    EXPECT_NE(data.find("<MFCEditBrowse_Mode>1</MFCEditBrowse_Mode>"), std::string::npos);
}

}  // namespace
