// bcrypt: libcurl's random source.
#include "framework/SystemImports.h"

#include <bcrypt.h>

namespace {
// What the system answers for a library it cannot find.
constexpr ULONG kDllNotFound = 0xC0000135;
}

extern "C" {
TN_SYSTEM_IMPORT(L"bcrypt.dll", kDllNotFound, NTSTATUS, BCryptGenRandom,
                 (BCRYPT_ALG_HANDLE algorithm, PUCHAR buffer, ULONG size, ULONG flags),
                 (algorithm, buffer, size, flags))
}
