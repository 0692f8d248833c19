#include "report/InstallEvent.h"

#include "app/SubChannel.h"
#include "report/StatClient.h"

void ReportInstallEvent(InstallEventCode code, const std::wstring& mac)
{
    std::string response;
    // A report never changes the installation: its result and answer are dropped.
    (void)CStatClient::Instance().Post(response, kReportTimeoutSeconds, kReportPath,
                                       FormatInstallEventRecord(code, mac, g_strSubChannel));
}
