#include "engine/registration/Registration.h"

#include <windows.h>

#include "app/SubChannel.h"
#include "engine/registration/UninstallValues.h"
#include "framework/Handles.h"

void WriteUninstallEntry(const std::wstring& folder)
{
    const std::vector<UninstallValue> values = UninstallValues(folder, g_strSubChannel);
    // No view flag: each key lands where the installer's own process sees it.
    for (const wchar_t* keyPath : kUninstallKeyPaths) {
        tn::UniqueHKey key;
        if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                              key.put(), nullptr) != ERROR_SUCCESS) {
            continue;  // without administrator rights, say: the other key is still tried
        }
        for (const UninstallValue& value : values) {
            // Two bytes a character, without the terminator.
            (void)::RegSetValueExW(key.get(), value.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.data.c_str()),
                                   static_cast<DWORD>(value.data.size() * sizeof(wchar_t)));
        }
    }
}
