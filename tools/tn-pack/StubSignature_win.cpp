#include "tools/tn-pack/StubSignature_win.h"

#include "framework/Handles.h"
#include "tools/tn-pack/MappedFile.h"
#include "tools/tn-pack/StubSignature.h"

#include <windows.h>

namespace {

std::wstring ErrorText() { return L"(error " + std::to_wstring(GetLastError()) + L")"; }

}  // namespace

PackOutcome RemoveStubSignature(const std::wstring& path)
{
    std::optional<size_t> unsignedLength;
    {
        CMappedFile copy;
        if (!copy.Open(path, true)) return PackOutcome::Fail(L"cannot open " + path + L" " + ErrorText());
        unsignedLength = ClearStubSignature(copy.data(), copy.size());
        if (!unsignedLength) return PackOutcome::Fail(path + L" changed: its signature is not where the stub's was");
        if (!copy.Flush()) return PackOutcome::Fail(L"cannot write " + path + L" " + ErrorText());
    }
    // Only once unmapped: a mapped file cannot be made shorter.
    tn::UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(*unsignedLength);
    if (!file || !SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) || !SetEndOfFile(file.get())) {
        return PackOutcome::Fail(L"cannot cut the signature off " + path + L" " + ErrorText());
    }
    return PackOutcome::Done();
}
