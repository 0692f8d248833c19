#include "report/RequestSigning.h"

#include "report/Base64.h"
#include "report/HmacSha1.h"
#include "report/ParameterSet.h"
#include "report/PercentEncoding.h"
#include "report/TextConversion.h"

SignedRequest SignRequest(const std::wstring& path, const std::wstring& method, const std::wstring& params,
                          const std::string& appKey, const std::string& appSecret, std::int32_t timeStamp)
{
    SignedRequest request;

    std::string upperMethod = Utf16ToUtf8(method);
    for (char& byte : upperMethod) {
        if (byte >= 'a' && byte <= 'z') byte = static_cast<char>(byte - 'a' + 'A');
    }
    const std::string encodedPath = UrlEncode(Utf16ToUtf8(path));

    // The client's own app_key and time_stamp come last, so they win over
    // the caller's.
    request.parameterText = Utf16ToUtf8(params);
    if (!request.parameterText.empty()) request.parameterText.push_back('&');
    request.parameterText += "app_key=" + appKey + "&time_stamp=" + std::to_string(timeStamp);

    ParameterSet parameters = ParseParameters(request.parameterText);
    parameters.erase("sign");

    request.normalized = NormalizedString(parameters);
    request.stringToSign = upperMethod + "&" + encodedPath + "&" + UrlEncode(request.normalized);
    request.signature = Base64Encode(HmacSha1(request.stringToSign, appSecret));

    parameters["sign"] = request.signature;
    request.body = FormBody(parameters);
    return request;
}
