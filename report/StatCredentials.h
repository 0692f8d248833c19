#pragma once
// The statistics service's application key and secret, built into every
// installer. The key travels in clear as app_key; the secret is only ever
// the HMAC key and never leaves the program. Platform-free.

inline constexpr wchar_t kStatAppKey[] = L"NkRbTeVwPqMsXaC";
inline constexpr wchar_t kStatAppSecret[] = L"Hq4TzW8nRc2VbK6mYx1PdL9sJf3GaE7u";
