#pragma once
// The texts of the extraction display, in the install and the update wording.

#include <string>

struct ProgressWording {
    const wchar_t* runningPrefix;
    const wchar_t* endText;
};

inline constexpr ProgressWording kInstallWording = {L"安装中. . .    ", L"安装已完成    100%"};
inline constexpr ProgressWording kUpdateWording = {L"版本更新中. . .    ", L"更新已完成    100%"};

// The running text for percentage k: the prefix, k in decimal, then "%".
inline std::wstring RunningProgressText(const ProgressWording& wording, int percent)
{
    return wording.runningPrefix + std::to_wstring(percent) + L"%";
}
