#pragma once
// Turns a service path and a caller's parameter text into the signed form
// body. The service rebuilds the string-to-sign from the body it receives,
// so every byte here is part of the contract with it. Platform-free; the
// time stamp is passed in.

#include <cstdint>
#include <string>

struct SignedRequest {
    std::string parameterText;  // the caller's parameters with app_key and time_stamp appended
    std::string normalized;     // entries in byte order, values through EncodeSignValue
    std::string stringToSign;   // method & encoded path & UrlEncode(normalized)
    std::string signature;      // Base64 of HMAC-SHA1(stringToSign, secret), 28 characters
    std::string body;           // entries with sign, values through UrlEncode
};

// params: name=value pairs joined by "&", not escaped. timeStamp: seconds
// since 1970-01-01 UTC, written as a signed 32-bit decimal number.
SignedRequest SignRequest(const std::wstring& path, const std::wstring& method, const std::wstring& params,
                          const std::string& appKey, const std::string& appSecret, std::int32_t timeStamp);

inline std::string SignParams(const std::wstring& path, const std::wstring& method, const std::wstring& params,
                              const std::string& appKey, const std::string& appSecret, std::int32_t timeStamp)
{
    return SignRequest(path, method, params, appKey, appSecret, timeStamp).body;
}
