#include "report/InstallEventRecord.h"

namespace {

const wchar_t* FormatFor(InstallEventCode code)
{
    switch (code) {
    case InstallEventCode::S2_d01:
        return L"type=0&code=S2_d01&remark=mac=%s,channel=%d,sub_channel=%s,noui=0";
    case InstallEventCode::S2_d02:
        return L"type=0&code=S2_d02&remark=mac=%s,channel=%d,sub_channel=%s,noui=0";
    case InstallEventCode::S2_i04:
        return L"type=0&code=S2_i04&remark=mac=%s,channel=%d,sub_channel=%s,noui=0";
    case InstallEventCode::S2_i05:
        return L"type=0&code=S2_i05&remark=mac=%s,channel=%d,sub_channel=%s,noui=0";
    }
    return L"";
}

}  // namespace

std::wstring FormatInstallEventRecord(InstallEventCode code, const std::wstring& mac, const std::wstring& subChannel)
{
    // Filled by hand rather than through swprintf, whose "%s" means a narrow
    // string on some C libraries and a wide one on others.
    const std::wstring texts[] = {mac, subChannel};
    std::size_t nextText = 0;
    std::wstring record;
    for (const wchar_t* cursor = FormatFor(code); *cursor != L'\0'; ++cursor) {
        if (cursor[0] == L'%' && cursor[1] == L's') {
            record += texts[nextText++];
            ++cursor;
        } else if (cursor[0] == L'%' && cursor[1] == L'd') {
            record += std::to_wstring(kReportChannel);
            ++cursor;
        } else {
            record.push_back(*cursor);
        }
    }
    return record;
}
