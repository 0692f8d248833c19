#pragma once
// The folder the installer offers when the user has not chosen one; tn-pack
// measures every path of a product against it.

constexpr wchar_t kDefaultInstallFolder[] = L"C:\\Program Files\\Tarnivo";
