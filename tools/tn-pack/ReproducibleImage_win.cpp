#include "tools/tn-pack/ReproducibleImage_win.h"

#include "tools/tn-pack/MappedFile.h"
#include "tools/tn-pack/ReproducibleImage.h"

#include <windows.h>

namespace {

std::wstring ErrorText() { return L"(error " + std::to_wstring(GetLastError()) + L")"; }

}  // namespace

PackOutcome MakeReproducible(const std::wstring& path, const std::wstring& stub)
{
    std::optional<ImageStamps> stamps;
    {
        CMappedFile original;
        if (!original.Open(stub, false)) return PackOutcome::Fail(L"cannot read " + stub + L" " + ErrorText());
        stamps = ReadImageStamps(original.data(), original.size());
    }
    if (!stamps) return PackOutcome::Fail(stub + L" has no resource section");
    CMappedFile output;
    if (!output.Open(path, true)) return PackOutcome::Fail(L"cannot open " + path + L" " + ErrorText());
    if (!ApplyImageStamps(output.data(), output.size(), *stamps)) {
        return PackOutcome::Fail(path + L" has no resource section after the update");
    }
    if (!output.Flush()) return PackOutcome::Fail(L"cannot write " + path + L" " + ErrorText());
    return PackOutcome::Done();
}
