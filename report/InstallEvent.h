#pragma once
// Sending the install events to the statistics service.

#include <string>

#include "report/InstallEventRecord.h"

// Formats the event's record with mac, channel 0 and g_strSubChannel and
// posts it. Fire and forget: blocks the calling thread for up to
// kReportTimeoutSeconds, and the result never reaches the caller.
void ReportInstallEvent(InstallEventCode code, const std::wstring& mac);
