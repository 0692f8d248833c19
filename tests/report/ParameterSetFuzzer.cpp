// The request-parameter cutter on any bytes, against laws that define it
// without its loop: a text is pieces joined by "&"; one piece gives one entry
// exactly when an "=" follows its first byte, and the entry's name, "=" and
// value spell the piece; cutting a + "&" + b is cutting a, then b's entries
// replacing a's. Then the set's order, and its two written forms cut back
// into the same names.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "report/ParameterSet.h"
#include "report/PercentEncoding.h"

namespace {

void Require(bool condition)
{
    if (!condition) std::abort();
}

bool UnsignedLess(const std::string& left, const std::string& right)
{
    return std::lexicographical_compare(left.begin(), left.end(), right.begin(), right.end(),
                                        [](char a, char b) { return static_cast<unsigned char>(a) < static_cast<unsigned char>(b); });
}

int HexValue(char digit)
{
    if (digit >= '0' && digit <= '9') return digit - '0';
    if (digit >= 'A' && digit <= 'F') return digit - 'A' + 10;
    return -1;  // lower case is never written
}

// A body value back to its bytes; false when it is not all copied
// characters and "%XX" escapes.
bool PercentDecode(const std::string& text, std::string* bytes)
{
    bytes->clear();
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '%') {
            if (at + 2 >= text.size()) return false;
            const int high = HexValue(text[at + 1]), low = HexValue(text[at + 2]);
            if (high < 0 || low < 0) return false;
            bytes->push_back(static_cast<char>(high * 16 + low));
            at += 2;
        } else if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '.' ||
                   c == '_' || c == '-') {
            bytes->push_back(c);
        } else {
            return false;
        }
    }
    return true;
}

void CheckPiece(const std::string& piece)
{
    const ParameterSet set = ParseParameters(piece);
    const bool named = piece.size() > 1 && piece.find('=', 1) != std::string::npos;
    Require(set.size() == (named ? 1u : 0u));
    if (!named) return;
    const auto& [name, value] = *set.begin();
    Require(!name.empty() && name.find('=', 1) == std::string::npos);
    Require(name + "=" + value == piece);
}

void CheckJoin(const std::string& left, const std::string& right)
{
    ParameterSet expected = ParseParameters(left);
    for (const auto& [name, value] : ParseParameters(right)) expected[name] = value;
    Require(ParseParameters(left + "&" + right) == expected);
}

void CheckSet(const ParameterSet& set)
{
    // Strictly rising by unsigned bytes, a prefix first.
    const std::string* previous = nullptr;
    for (const auto& [name, value] : set) {
        Require(name.find('&') == std::string::npos && value.find('&') == std::string::npos);
        if (previous != nullptr) Require(UnsignedLess(*previous, name));
        previous = &name;
    }

    // The set's own "name=value" pieces cut back into the same set.
    std::string plain;
    for (const auto& [name, value] : set) plain += (plain.empty() ? "" : "&") + name + "=" + value;
    Require(ParseParameters(plain) == set);

    // The body: the same names in the same order, values that decode back.
    const ParameterSet body = ParseParameters(FormBody(set));
    Require(body.size() == set.size());
    auto original = set.begin();
    for (const auto& [name, encoded] : body) {
        std::string decoded;
        Require(name == original->first);
        Require(PercentDecode(encoded, &decoded) && decoded == original->second);
        ++original;
    }

    // The normalized string: the same names, each value through the
    // sign encoder, which leaves no "&" or "=" to cut at.
    const ParameterSet normalized = ParseParameters(NormalizedString(set));
    Require(normalized.size() == set.size());
    original = set.begin();
    for (const auto& [name, encoded] : normalized) {
        Require(name == original->first && encoded == EncodeSignValue(original->second));
        Require(encoded.find_first_of("&=") == std::string::npos);
        ++original;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);

    std::size_t start = 0;
    for (std::size_t end; (end = text.find('&', start)) != std::string::npos; start = end + 1) {
        CheckPiece(text.substr(start, end - start));
    }
    CheckPiece(text.substr(start));

    // Any place to join at, chosen by the input's length and first byte.
    const std::size_t cut = size == 0 ? 0 : (data[0] * 131u + size) % (size + 1);
    CheckJoin(text.substr(0, cut), text.substr(cut));

    CheckSet(ParseParameters(text));
    return 0;
}
