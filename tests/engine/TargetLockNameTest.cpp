// The target folder's lock name: the same for every spelling of one folder
// (separators and case folded beforehand), different for other folders.
#include "engine/TargetLockName.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(TargetLockName, OneNamePerFolder)
{
    const std::wstring name = TargetLockName(L"C:\\PROGRAM FILES\\TARNIVO");
    for (const wchar_t* same : {L"C:/PROGRAM FILES/TARNIVO", L"C:\\PROGRAM FILES\\TARNIVO\\", L"C:\\\\PROGRAM FILES//TARNIVO\\/",
                                L"C:/PROGRAM FILES\\TARNIVO///"}) {
        EXPECT_EQ(TargetLockName(same), name) << testing::PrintToString(std::wstring(same));
    }
    for (const wchar_t* other : {L"C:\\PROGRAM FILES\\TARNIVO2", L"C:\\PROGRAM FILES", L"D:\\PROGRAM FILES\\TARNIVO",
                                 L"C:\\PROGRAM FILES\\TARNIVO\\BIN", L"\"C:\\PROGRAM FILES\\TARNIVO\"", L""}) {
        EXPECT_NE(TargetLockName(other), name) << testing::PrintToString(std::wstring(other));
    }
}

TEST(TargetLockName, FitsAnObjectNameWhateverTheFolder)
{
    // Object names may not hold "\" beyond a namespace prefix, and stay below 260 units.
    for (const std::wstring& folder : {std::wstring(32767, L'A'), std::wstring(L"C:\\A\\B\\C"), std::wstring(L"\\\\?\\C:\\X")}) {
        const std::wstring name = TargetLockName(folder);
        EXPECT_EQ(name.find(L'\\'), std::wstring::npos);
        EXPECT_EQ(name.size(), TargetLockName(L"X").size());
        EXPECT_LT(name.size(), 260u);
    }
}

}  // namespace
