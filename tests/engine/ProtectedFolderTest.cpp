// The descriptor the installer gives the folders it makes on the way to the
// product folder, read back through the system, and the folder it makes.
#include "engine/ProtectedFolder.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <tuple>
#include <string>
#include <vector>

#include "tests/archive/ScratchFolder.h"

namespace {

constexpr wchar_t kTrustedInstaller[] = L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
constexpr DWORD kReadExecute = FILE_GENERIC_READ | FILE_GENERIC_EXECUTE;  // 0x1200a9
// Any of these lets its holder change what lies in the folder.
constexpr DWORD kWriting = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA | FILE_WRITE_ATTRIBUTES |
                           FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;

// What a folder an elevated installer makes in C:\Program Files inherits on
// Windows 10, as icacls shows it: each of Program Files' inheritable entries
// split into one for the folder itself and one for what comes below.
constexpr wchar_t kInheritedInProgramFilesSddl[] =
    L"D:AI(A;ID;FA;;;S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464)"
    L"(A;CIIOID;GA;;;S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464)"
    L"(A;ID;FA;;;SY)(A;OICIIOID;GA;;;SY)(A;ID;FA;;;BA)(A;OICIIOID;GA;;;BA)"
    L"(A;ID;0x1200a9;;;BU)(A;OICIIOID;GXGR;;;BU)(A;OICIIOID;GA;;;CO)"
    L"(A;ID;0x1200a9;;;S-1-15-2-1)(A;OICIIOID;GXGR;;;S-1-15-2-1)"
    L"(A;ID;0x1200a9;;;S-1-15-2-2)(A;OICIIOID;GXGR;;;S-1-15-2-2)";

struct Ace {
    std::wstring sid;
    DWORD mask;
    BYTE flags;
    bool operator<(const Ace& other) const
    {
        return std::tie(sid, mask, flags) < std::tie(other.sid, other.mask, other.flags);
    }
    bool operator==(const Ace& other) const { return sid == other.sid && mask == other.mask && flags == other.flags; }
};

std::ostream& operator<<(std::ostream& out, const Ace& ace)
{
    return out << std::string(ace.sid.begin(), ace.sid.end()) << " mask 0x" << std::hex << ace.mask << " flags 0x"
               << static_cast<int>(ace.flags) << std::dec;
}

std::wstring SidText(PSID sid)
{
    LPWSTR text = nullptr;
    if (!::ConvertSidToStringSidW(sid, &text)) return L"?";
    const tn::UniqueLocalMemory owner(text);
    return text;
}

std::wstring SidText(const wchar_t* alias)
{
    PSID sid = nullptr;
    if (!::ConvertStringSidToSidW(alias, &sid)) return L"?";
    const tn::UniqueLocalMemory owner(sid);
    return SidText(sid);
}

// The allowing entries of the descriptor's list, through the system's calls.
std::vector<Ace> AllowedEntries(PSECURITY_DESCRIPTOR descriptor, bool* isProtected)
{
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    EXPECT_TRUE(::GetSecurityDescriptorControl(descriptor, &control, &revision));
    *isProtected = (control & SE_DACL_PROTECTED) != 0;
    BOOL present = FALSE, defaulted = FALSE;
    PACL list = nullptr;
    EXPECT_TRUE(::GetSecurityDescriptorDacl(descriptor, &present, &list, &defaulted));
    std::vector<Ace> entries;
    if (!present || list == nullptr) return entries;
    for (DWORD index = 0; index < list->AceCount; ++index) {
        void* entry = nullptr;
        if (!::GetAce(list, index, &entry)) continue;
        const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(entry);
        EXPECT_EQ(allowed->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
        entries.push_back({SidText(const_cast<DWORD*>(&allowed->SidStart)), allowed->Mask,
                           static_cast<BYTE>(allowed->Header.AceFlags & VALID_INHERIT_FLAGS)});
    }
    return entries;
}

tn::UniqueLocalMemory DescriptorFrom(const wchar_t* sddl)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    EXPECT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr));
    return tn::UniqueLocalMemory(descriptor);
}

enum class Object { TheFolder, FoldersBelow, FilesBelow };

// What sid may do to object, from the allowing entries of descriptor; the
// generic rights mapped as the file system maps them.
DWORD Rights(const std::vector<Ace>& entries, const std::wstring& sid, Object object)
{
    GENERIC_MAPPING mapping = {FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE, FILE_ALL_ACCESS};
    DWORD rights = 0;
    for (const Ace& entry : entries) {
        if (entry.sid != sid) continue;
        const bool applies = object == Object::TheFolder     ? (entry.flags & INHERIT_ONLY_ACE) == 0
                             : object == Object::FoldersBelow ? (entry.flags & CONTAINER_INHERIT_ACE) != 0
                                                              : (entry.flags & OBJECT_INHERIT_ACE) != 0;
        if (!applies) continue;
        DWORD mask = entry.mask;
        ::MapGenericMask(&mask, &mapping);
        rights |= mask;
    }
    return rights;
}

TEST(ProtectedFolderTest, TheDescriptorGivesProgramFilesRightsAndInheritsNothing)
{
    const tn::UniqueLocalMemory descriptor = ProtectedFolderDescriptor();
    ASSERT_TRUE(descriptor);
    bool isProtected = false;
    std::vector<Ace> entries = AllowedEntries(descriptor.get(), &isProtected);
    EXPECT_TRUE(isProtected) << "the folder would take its parent's entries too";

    const BYTE both = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;
    std::vector<Ace> expected = {
        {SidText(L"SY"), FILE_ALL_ACCESS, both},
        {SidText(L"BA"), FILE_ALL_ACCESS, both},
        {kTrustedInstaller, FILE_ALL_ACCESS, CONTAINER_INHERIT_ACE},
        {SidText(L"BU"), kReadExecute, both},
        {L"S-1-15-2-1", kReadExecute, both},
        {L"S-1-15-2-2", kReadExecute, both},
        {SidText(L"CO"), FILE_ALL_ACCESS, both | INHERIT_ONLY_ACE},
    };
    std::sort(entries.begin(), entries.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(entries, expected);

    // Only the system, the administrators and the creator of an object may change anything.
    for (const Ace& entry : entries) {
        if ((entry.mask & kWriting) == 0) continue;
        EXPECT_TRUE(entry.sid == SidText(L"SY") || entry.sid == SidText(L"BA") || entry.sid == kTrustedInstaller ||
                    entry.sid == SidText(L"CO"))
            << entry;
    }

    // Read back as its text, as a reviewer reads it.
    LPWSTR text = nullptr;
    ASSERT_TRUE(::ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor.get(), SDDL_REVISION_1,
                                                                       DACL_SECURITY_INFORMATION, &text, nullptr));
    const tn::UniqueLocalMemory textOwner(text);
    const std::wstring sddl = text;
    std::wcout << L"protected folder: " << sddl << std::endl;
    EXPECT_EQ(sddl.rfind(L"D:P", 0), 0u) << std::string(sddl.begin(), sddl.end());
}

// In Program Files the rights come out as inheritance gives them there: the
// same for everyone, on the folder and on whatever comes below it.
TEST(ProtectedFolderTest, InProgramFilesTheRightsAreWhatInheritanceGives)
{
    const tn::UniqueLocalMemory inherited = DescriptorFrom(kInheritedInProgramFilesSddl);
    const tn::UniqueLocalMemory ours = ProtectedFolderDescriptor();
    ASSERT_TRUE(inherited && ours);
    bool ignored = false;
    const std::vector<Ace> byInheritance = AllowedEntries(inherited.get(), &ignored);
    const std::vector<Ace> protectedEntries = AllowedEntries(ours.get(), &ignored);
    for (const wchar_t* alias : {L"SY", L"BA", L"BU", L"CO", L"WD", L"AU", L"S-1-15-2-1", L"S-1-15-2-2", kTrustedInstaller}) {
        const std::wstring sid = alias[0] == L'S' ? std::wstring(alias) : SidText(alias);
        for (Object object : {Object::TheFolder, Object::FoldersBelow, Object::FilesBelow}) {
            EXPECT_EQ(Rights(protectedEntries, sid, object), Rights(byInheritance, sid, object))
                << std::string(sid.begin(), sid.end()) << " on object " << static_cast<int>(object);
        }
    }
}

TEST(ProtectedFolderTest, MakesANewFolderAndLeavesAnExistingOne)
{
    ScratchFolder scratch;
    const std::wstring folder = scratch.Path(L"Tarnivo");
    EXPECT_TRUE(CreateProtectedFolder(folder));
    EXPECT_NE(::GetFileAttributesW(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_FALSE(CreateProtectedFolder(folder));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_FALSE(CreateProtectedFolder(scratch.Path(L"missing\\Tarnivo")));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

}  // namespace
