// Fuzzes the lenient UTF-8 decoder and request signing against a second,
// independent statement of the contract written here: its own cutter, its
// own encoders and its own byte order, working on the caller's UTF-16 units.
// A wrong cutter, encoder or order in the code under test breaks the
// equality of the normalized string, the string-to-sign or the body.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "report/Base64.h"
#include "report/HmacSha1.h"
#include "report/RequestSigning.h"
#include "report/TextConversion.h"
#include "tests/support/FuzzInput.h"

namespace {

void Require(bool condition)
{
    if (!condition) std::abort();
}

// Units as the fuzzer builds them: 16 bits each, in a 32-bit wchar_t here.
using Units = std::wstring;

bool IsLetterOrDigit(unsigned unit)
{
    return (unit >= '0' && unit <= '9') || (unit >= 'A' && unit <= 'Z') || (unit >= 'a' && unit <= 'z');
}

std::string Escape(unsigned byte)
{
    static const char kHex[] = "0123456789ABCDEF";
    return {'%', kHex[(byte >> 4) & 15], kHex[byte & 15]};
}

// One unit's own UTF-8 form: one, two or three bytes, surrogates included.
std::string UnitBytes(unsigned unit)
{
    if (unit < 0x80) return std::string(1, static_cast<char>(unit));
    if (unit < 0x800) return {static_cast<char>(0xC0 | (unit >> 6)), static_cast<char>(0x80 | (unit & 0x3F))};
    return {static_cast<char>(0xE0 | (unit >> 12)), static_cast<char>(0x80 | ((unit >> 6) & 0x3F)),
            static_cast<char>(0x80 | (unit & 0x3F))};
}

std::string Bytes(const Units& units)
{
    std::string bytes;
    for (const wchar_t unit : units) bytes += UnitBytes(static_cast<unsigned>(unit));
    return bytes;
}

std::string ByteWiseEscaped(const std::string& bytes)
{
    std::string text;
    for (const char c : bytes) {
        const unsigned byte = static_cast<unsigned char>(c);
        text += IsLetterOrDigit(byte) || byte == '.' || byte == '_' || byte == '-' ? std::string(1, c) : Escape(byte);
    }
    return text;
}

std::string SignEscaped(const Units& value)
{
    std::string text;
    for (const wchar_t character : value) {
        const unsigned unit = static_cast<unsigned>(character);
        if (IsLetterOrDigit(unit) || unit == '!' || unit == '*' || unit == '(' || unit == ')') {
            text.push_back(static_cast<char>(unit));
        } else {
            for (const char byte : UnitBytes(unit)) text += Escape(static_cast<unsigned char>(byte));
        }
    }
    return text;
}

// Per-unit UTF-8 keeps the order of the units, so comparing units as
// unsigned 16-bit values is comparing the names' bytes.
using Expected = std::map<Units, Units>;

Expected CutAsTheServiceExpects(const Units& params, const std::string& key, std::int32_t timeStamp)
{
    Units text = params;
    if (!text.empty()) text += L'&';
    text += L"app_key=";
    for (const char c : key) text += static_cast<wchar_t>(c);
    text += L"&time_stamp=";
    for (const char c : std::to_string(timeStamp)) text += static_cast<wchar_t>(c);

    Expected cut;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(L'&', start);
        if (end == Units::npos) end = text.size();
        const Units piece = text.substr(start, end - start);
        const std::size_t equals = piece.size() > 1 ? piece.find(L'=', 1) : Units::npos;
        if (equals != Units::npos) cut[piece.substr(0, equals)] = piece.substr(equals + 1);
        start = end + 1;
    }
    cut.erase(L"sign");
    return cut;
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
    const Units params = tn::test::UnitsFromBytes(data + 4, size - 4);

    const std::string key = "key", secret = "secret";
    const SignedRequest request = SignRequest(L"v1/userop/add", L"POST", params, key, secret, timeStamp);

    const Expected expected = CutAsTheServiceExpects(params, key, timeStamp);
    std::string normalized, body;
    bool signWritten = false;
    for (const auto& [name, value] : expected) {
        if (!signWritten && Units(L"sign") < name) {
            body += (body.empty() ? "" : "&") + std::string("sign=") + ByteWiseEscaped(request.signature);
            signWritten = true;
        }
        normalized += (normalized.empty() ? "" : "&") + Bytes(name) + "=" + SignEscaped(value);
        body += (body.empty() ? "" : "&") + Bytes(name) + "=" + ByteWiseEscaped(Bytes(value));
    }
    if (!signWritten) body += (body.empty() ? "" : "&") + std::string("sign=") + ByteWiseEscaped(request.signature);

    Require(request.normalized == normalized);
    Require(request.stringToSign == "POST&v1%2Fuserop%2Fadd&" + ByteWiseEscaped(normalized));
    Require(request.body == body);
    // HMAC-SHA1 and Base64 have their own published test vectors; here the
    // signature must be theirs for the string-to-sign rebuilt above.
    Require(request.signature == Base64Encode(HmacSha1(request.stringToSign, secret)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CheckDecoder(std::string(reinterpret_cast<const char*>(data), size));
    CheckSigning(data, size);
    return 0;
}
