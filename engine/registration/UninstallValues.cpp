#include "engine/registration/UninstallValues.h"

#include "engine/ProductFiles.h"
#include "report/InstallEventRecord.h"

std::vector<UninstallValue> UninstallValues(const std::wstring& folder, const std::wstring& subChannel)
{
    return {
        {L"DisplayIcon", folder + kProductProgramFile},
        {L"DisplayName", L"Tarnivo2.0"},
        {L"Publisher", L"Ostrevan"},
        // Without quotes, as the entry has always been written.
        {L"UninstallString", folder + kProductUninstallerFile},
        {L"CHANNEL", std::to_wstring(kReportChannel)},
        {L"SUBCHANNEL", subChannel},
        {L"NOUI", L"0"},
    };
}
