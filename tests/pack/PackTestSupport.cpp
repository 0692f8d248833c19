#include "tests/pack/PackTestSupport.h"

#include "tests/archive/ArchiveTestSupport.h"
#include "tests/pack/TnPackPaths.h"

#include <algorithm>
#include <cstring>

namespace {

HANDLE InheritableFile(const std::wstring& path)
{
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
}

std::wstring ResourceId(const wchar_t* id)
{
    if (IS_INTRESOURCE(id)) return L"#" + std::to_wstring(reinterpret_cast<uintptr_t>(id));
    return id;
}

struct Enumeration {
    HMODULE module;
    std::map<ResourceKey, std::string>* resources;
    const wchar_t* type;
    const wchar_t* name;
};

BOOL CALLBACK OnLanguage(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language, LONG_PTR context)
{
    auto* enumeration = reinterpret_cast<Enumeration*>(context);
    HRSRC found = FindResourceExW(module, type, name, language);
    const char* data = found ? static_cast<const char*>(LockResource(LoadResource(module, found))) : nullptr;
    (*enumeration->resources)[ResourceKey(ResourceId(type), ResourceId(name), language)] =
        data ? std::string(data, SizeofResource(module, found)) : std::string("<unreadable>");
    return TRUE;
}

BOOL CALLBACK OnName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR context)
{
    EnumResourceLanguagesW(module, type, name, OnLanguage, context);
    return TRUE;
}

BOOL CALLBACK OnType(HMODULE module, LPWSTR type, LONG_PTR context)
{
    EnumResourceNamesW(module, type, OnName, context);
    return TRUE;
}

FILETIME AsFileTime(uint64_t value)
{
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(value);
    time.dwHighDateTime = static_cast<DWORD>(value >> 32);
    return time;
}

std::string RandomBytes(size_t size, uint32_t seed)
{
    std::string out(size, '\0');
    uint32_t state = seed;
    for (char& c : out) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 23);
    }
    return out;
}

}  // namespace

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

std::string Utf8(const std::wstring& text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size, nullptr, nullptr);
    return out;
}

RunResult RunTnPack(const ScratchFolder& scratch, const std::wstring& arguments, const std::wstring& currentFolder)
{
    RunResult run;
    const std::wstring outPath = scratch.Path(L"stdout.txt");
    const std::wstring errPath = scratch.Path(L"stderr.txt");
    HANDLE out = InheritableFile(outPath);
    HANDLE err = InheritableFile(errPath);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    std::wstring commandLine = Quoted(kTnPackPath) + L" " + arguments;
    PROCESS_INFORMATION process{};
    const wchar_t* folder = currentFolder.empty() ? nullptr : currentFolder.c_str();
    if (CreateProcessW(kTnPackPath, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, folder, &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &run.exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(out);
    CloseHandle(err);
    run.out = ReadWholeFile(outPath).value_or("");
    run.err = ReadWholeFile(errPath).value_or("");
    DeleteFileW(outPath.c_str());
    DeleteFileW(errPath.c_str());
    return run;
}

std::wstring ExtendedLength(const std::wstring& path)
{
    return path.compare(0, 4, L"\\\\?\\") == 0 ? path : L"\\\\?\\" + path;
}

bool MakeProduct(const std::wstring& folder, const std::vector<ProductFile>& files)
{
    const std::wstring root = ExtendedLength(folder.back() == L'\\' ? folder : folder + L"\\");
    CreateDirectoryW(root.c_str(), nullptr);
    for (const ProductFile& file : files) {
        // Every folder on the way, then the file or folder itself.
        for (size_t at = file.name.find(L'\\'); at != std::wstring::npos; at = file.name.find(L'\\', at + 1)) {
            CreateDirectoryW((root + file.name.substr(0, at)).c_str(), nullptr);
        }
        const std::wstring path = root + file.name;
        if (file.name.back() == L'\\') continue;
        HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) return false;
        DWORD written = 0;
        bool ok = file.data.empty() ||
                  (WriteFile(handle, file.data.data(), static_cast<DWORD>(file.data.size()), &written, nullptr) &&
                   written == file.data.size());
        const FILETIME modified = AsFileTime(file.modified);
        ok = ok && SetFileTime(handle, &modified, &modified, &modified);
        CloseHandle(handle);
        if (!ok || !SetFileAttributesW(path.c_str(), file.attributes)) return false;
    }
    return true;
}

std::vector<ProductFile> SampleProduct()
{
    std::vector<ProductFile> files = {
        {L"Tarnivo.exe", "MZ the product " + PseudoText(3000, 1)},
        {L"uninstall.exe", "MZ its uninstaller " + PseudoText(2000, 2)},
        {L"empty.txt", ""},
        {L"readonly.txt", "cannot be changed", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY},
        {L"hidden.dat", "not shown", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN},
        {L"system.sys", "system", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_SYSTEM},
        // Larger than one read: deflated piece by piece, and stored from a second reading.
        {L"html\\big.js", PseudoText(6 * 1024 * 1024 + 7, 6)},
        {L"resources.pak", RandomBytes(5 * 1024 * 1024 + 123, 7)},
        {L"html\\\u8BF4\u660E.txt", PseudoText(40000, 3), FILE_ATTRIBUTE_ARCHIVE, kTimeIn2030},  // 说明.txt
        {L"html\\\u56FE\u6807.png", RandomBytes(5000, 4)},                                        // 图标.png
        {L"html\\css\\a.css", PseudoText(700, 5)},
        {L"html\\css\\empty.css", ""},
        {L"empty\\deeper\\deepest\\", ""},
        {L"\u65B0\u7248\\", ""},  // 新版, an empty folder with a name in code page 936
    };
    return files;
}

std::map<ResourceKey, std::string> ReadResources(const std::wstring& program)
{
    std::map<ResourceKey, std::string> resources;
    HMODULE module = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr) return resources;
    Enumeration enumeration{module, &resources, nullptr, nullptr};
    EnumResourceTypesW(module, OnType, reinterpret_cast<LONG_PTR>(&enumeration));
    FreeLibrary(module);
    return resources;
}

std::string ReadProductArchive(const std::wstring& program)
{
    HMODULE module = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr) return std::string();
    std::string bytes;
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(148), L"ZIP");
    if (found != nullptr) {
        const char* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
        if (data != nullptr) bytes.assign(data, SizeofResource(module, found));
    }
    FreeLibrary(module);
    return bytes;
}

bool CopyStub(const std::wstring& path) { return CopyFileW(kStubPath, path.c_str(), FALSE) != FALSE; }

namespace {

// Where the security directory entry of a PE image lies; 0 when it is no image.
size_t SecurityEntryOffset(const std::string& image)
{
    if (image.size() < 64 || image[0] != 'M' || image[1] != 'Z') return 0;
    uint32_t pe = 0;
    std::memcpy(&pe, image.data() + 0x3C, 4);
    if (pe + 24 + 2 > image.size()) return 0;
    uint16_t magic = 0;
    std::memcpy(&magic, image.data() + pe + 24, 2);
    const size_t entry = pe + 24 + (magic == 0x20B ? 112 : 96) + 4 * 8;
    return entry + 8 <= image.size() ? entry : 0;
}

void Put32(std::string* bytes, size_t at, uint32_t value) { std::memcpy(&(*bytes)[at], &value, 4); }

uint32_t Get32(const std::string& bytes, size_t at)
{
    uint32_t value = 0;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

uint16_t Get16(const std::string& bytes, size_t at)
{
    uint16_t value = 0;
    std::memcpy(&value, bytes.data() + at, 2);
    return value;
}

// The file offset of the root resource directory; 0 when there is none.
size_t ResourceRootOffset(const std::string& image)
{
    const size_t security = SecurityEntryOffset(image);
    if (security == 0) return 0;
    const size_t pe = Get32(image, 0x3C);
    const size_t sections = pe + 24 + Get16(image, pe + 20);
    const uint32_t rva = Get32(image, security - 2 * 8);  // the resource table is entry 2
    for (size_t i = 0; i < Get16(image, pe + 6); ++i) {
        const size_t section = sections + 40 * i;
        const uint32_t address = Get32(image, section + 12), rawSize = Get32(image, section + 16);
        if (rva >= address && rva - address < rawSize) return Get32(image, section + 20) + (rva - address);
    }
    return 0;
}

}  // namespace

bool MakeSignedStub(const std::wstring& path, size_t table)
{
    std::string image = ReadWholeFile(kStubPath).value_or("");
    const size_t entry = SecurityEntryOffset(image);
    if (entry == 0) return false;
    const size_t offset = image.size();
    const size_t padded = (table + 7) / 8 * 8;
    image.append(padded, '\xA5');
    Put32(&image, offset, static_cast<uint32_t>(table));
    Put32(&image, offset + 4, 0x00020200u);  // revision 2.0, PKCS#7 signed data
    Put32(&image, entry, static_cast<uint32_t>(offset));
    Put32(&image, entry + 4, static_cast<uint32_t>(padded));
    return WriteWholeFile(path, image);
}

std::pair<uint32_t, uint32_t> SecurityDirectoryOf(const std::wstring& path)
{
    const std::string image = ReadWholeFile(path).value_or("");
    const size_t entry = SecurityEntryOffset(image);
    if (entry == 0) return {0xFFFFFFFFu, 0xFFFFFFFFu};
    uint32_t offset = 0, size = 0;
    std::memcpy(&offset, image.data() + entry, 4);
    std::memcpy(&size, image.data() + entry + 4, 4);
    return {offset, size};
}

bool MakeStubSharingDirectories(const std::wstring& path)
{
    std::string image = ReadWholeFile(kStubPath).value_or("");
    const size_t root = ResourceRootOffset(image);
    if (root == 0) return false;
    const size_t entries = static_cast<size_t>(Get16(image, root + 12)) + Get16(image, root + 14);
    if (entries < 2) return false;
    const size_t last = root + 16 + 8 * (entries - 1);
    // Neither of the last two is the dialog (type 5) or "ZIP": ids follow
    // names, in ascending order, and the stub has types above 5.
    if (Get32(image, last - 8) <= 5) return false;
    Put32(&image, last + 4, Get32(image, last - 8 + 4));
    return WriteWholeFile(path, image);
}
