#include "report/ParameterSet.h"

#include <cstring>

#include "report/PercentEncoding.h"

namespace {

template <typename Encoder>
std::string JoinEntries(const ParameterSet& parameters, Encoder encodeValue)
{
    std::string text;
    for (const auto& entry : parameters) {
        if (!text.empty()) text.push_back('&');
        text += entry.first;
        text.push_back('=');
        text += encodeValue(entry.second);
    }
    return text;
}

}  // namespace

bool ByteWiseLess::operator()(const std::string& left, const std::string& right) const
{
    const std::size_t common = left.size() < right.size() ? left.size() : right.size();
    const int order = common == 0 ? 0 : std::memcmp(left.data(), right.data(), common);
    return order != 0 ? order < 0 : left.size() < right.size();
}

ParameterSet ParseParameters(const std::string& text)
{
    ParameterSet parameters;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('&', start);
        if (end == std::string::npos) end = text.size();
        const std::string piece = text.substr(start, end - start);
        // An "=" at index 0 does not end a name: names are never empty.
        const std::size_t equals = piece.size() > 1 ? piece.find('=', 1) : std::string::npos;
        if (equals != std::string::npos) {
            parameters[piece.substr(0, equals)] = piece.substr(equals + 1);
        }
        start = end + 1;
    }
    return parameters;
}

std::string NormalizedString(const ParameterSet& parameters)
{
    return JoinEntries(parameters, EncodeSignValue);
}

std::string FormBody(const ParameterSet& parameters)
{
    return JoinEntries(parameters, UrlEncode);
}
