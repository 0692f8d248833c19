// Fuzzes the lenient UTF-8 decoder and request signing with properties the
// service relies on: every unit survives the round trip, and the body alone
// always lets the receiver rebuild the normalized string and the signature.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "report/ParameterSet.h"
#include "report/RequestSigning.h"
#include "report/TextConversion.h"

namespace {

void Require(bool condition)
{
    if (!condition) std::abort();
}

int HexValue(char digit)
{
    if (digit >= '0' && digit <= '9') return digit - '0';
    if (digit >= 'A' && digit <= 'F') return digit - 'A' + 10;
    return -1;
}

// The receiver's view of a body value: only copied characters and %XX.
std::string PercentDecode(const std::string& text)
{
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '%') {
            Require(i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0);
            bytes.push_back(static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2])));
            i += 2;
        } else {
            Require((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '.' ||
                    c == '_' || c == '-');
            bytes.push_back(c);
        }
    }
    return bytes;
}

void CheckDecoder(const std::string& bytes)
{
    const std::wstring units = Utf8ToUtf16(bytes);
    Require(units.size() <= bytes.size());
    // Whatever came out converts back to the same units.
    Require(Utf8ToUtf16(Utf16ToUtf8(units)) == units);
}

void CheckSigning(const std::uint8_t* data, std::size_t size)
{
    if (size < 4) return;
    std::int32_t timeStamp;
    std::memcpy(&timeStamp, data, sizeof(timeStamp));
    std::wstring params;
    for (std::size_t i = 4; i + 1 < size; i += 2) params.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));

    const SignedRequest request = SignRequest(L"v1/userop/add", L"POST", params, "key", "secret", timeStamp);
    Require(request.signature.size() == 28 && request.signature[27] == '=');

    ParameterSet received;
    for (const auto& entry : ParseParameters(request.body)) received[entry.first] = PercentDecode(entry.second);
    Require(received.at("sign") == request.signature);
    Require(received.at("app_key") == "key");
    Require(received.at("time_stamp") == std::to_string(timeStamp));
    received.erase("sign");
    Require(NormalizedString(received) == request.normalized);
    Require(SignParams(L"v1/userop/add", L"POST", params, "key", "secret", timeStamp) == request.body);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CheckDecoder(std::string(reinterpret_cast<const char*>(data), size));
    CheckSigning(data, size);
    return 0;
}
