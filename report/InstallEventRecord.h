#pragma once
// The four install events and the record each one sends. Platform-free.

#include <string>

enum class InstallEventCode { S2_d01, S2_d02, S2_i04, S2_i05 };

inline constexpr wchar_t kReportPath[] = L"v1/userop/add";
// Every report carries channel 0; the uninstall entry stores the same.
inline constexpr int kReportChannel = 0;
// Each report blocks its thread at most this long.
inline constexpr int kReportTimeoutSeconds = 3;

// The event's format string filled with mac, kReportChannel and
// subChannel, nothing escaped: the signing step cuts it into type, code and
// remark, where remark runs from "mac=" to the next "&" or the end.
std::wstring FormatInstallEventRecord(InstallEventCode code, const std::wstring& mac, const std::wstring& subChannel);
