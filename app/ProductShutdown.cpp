#include "app/ProductShutdown.h"

std::wstring RelaunchPath(const std::wstring& modulePath, const std::wstring& exeName)
{
    const std::wstring::size_type separator = modulePath.rfind(L'\\');
    const std::wstring folder = separator == std::wstring::npos ? std::wstring() : modulePath.substr(0, separator + 1);
    return folder + exeName + L".exe";
}

namespace {

void RelaunchIfItself(ProcessSystem& system, const std::wstring& commandLine, const std::wstring& exeName)
{
    const std::wstring modulePath = system.ModulePath();
    const std::wstring path = RelaunchPath(modulePath, exeName);
    if (!modulePath.empty() && system.NamesSameFile(path, modulePath)) system.Relaunch(path, commandLine);
}

template <typename BeforeFirst>
int EndEveryCopy(ProcessSystem& system, BeforeFirst beforeFirst)
{
    int count = 0;
    ProcessEntry entry;
    for (bool more = system.FirstProcess(&entry); more; more = system.NextProcess(&entry)) {
        if (!system.IsProductName(entry.exeFile)) continue;
        if (count == 0) beforeFirst();
        system.EndProcess(entry.processId);
        ++count;  // whether or not it could really be ended
    }
    if (count > 0) system.Wait(kProductShutdownWaitMs);
    return count;
}

}  // namespace

int EndRunningProduct(ProcessSystem& system, const std::wstring& commandLine, const std::wstring& exeName)
{
    // A command line with a bar comes from a full installation that someone
    // already started on purpose: no second installer for it.
    const bool relaunch = commandLine.find(L'|') == std::wstring::npos;
    return EndEveryCopy(system, [&] {
        if (relaunch) RelaunchIfItself(system, commandLine, exeName);
    });
}

int EndRunningCopies(ProcessSystem& system)
{
    return EndEveryCopy(system, [] {});
}
