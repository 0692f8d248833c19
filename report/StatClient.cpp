#include "report/StatClient.h"

#include <cstdint>
#include <ctime>
#include <memory>

#include <curl/curl.h>

#include "report/RequestSigning.h"
#include "report/StatBaseUrl.h"
#include "report/StatCredentials.h"
#include "report/TextConversion.h"

namespace {

struct CurlEasyCleanup {
    void operator()(CURL* transfer) const { curl_easy_cleanup(transfer); }
};
using CurlEasyHandle = std::unique_ptr<CURL, CurlEasyCleanup>;

// libcurl's smallest receive buffer.
constexpr long kReceiveBufferBytes = 1024;

}  // namespace

CStatClient& CStatClient::Instance()
{
    // Created by the first report, before any second thread can report; its
    // destructor runs as an exit handler and frees the three strings.
    static CStatClient client;
    return client;
}

CStatClient::CStatClient()
    : m_appKey(Utf16ToUtf8(kStatAppKey)),
      m_appSecret(Utf16ToUtf8(kStatAppSecret)),
      m_baseUrl(Utf16ToUtf8(StatBaseUrl()))
{
}

std::string CStatClient::SignParams(const std::wstring& path, const std::wstring& method,
                                    const std::wstring& params) const
{
    // Read once per request; the service expects a signed 32-bit number.
    const std::int32_t timeStamp = static_cast<std::int32_t>(std::time(nullptr));
    return ::SignParams(path, method, params, m_appKey, m_appSecret, timeStamp);
}

int CStatClient::Post(std::string& response, int timeoutSeconds, const std::wstring& path,
                      const std::wstring& params) const
{
    // libcurl keeps pointers to the URL and the body, not copies: both are
    // declared before the handle so they outlive it.
    const std::string url = m_baseUrl + "/" + Utf16ToUtf8(path);
    const std::string body = SignParams(path, L"POST", params);

    // Without a handle every call below fails harmlessly and perform returns
    // libcurl's error code; nothing is sent.
    CurlEasyHandle transfer(curl_easy_init());
    curl_easy_setopt(transfer.get(), CURLOPT_POST, 1L);
    curl_easy_setopt(transfer.get(), CURLOPT_ACCEPT_ENCODING, "gzip");
    curl_easy_setopt(transfer.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(transfer.get(), CURLOPT_POSTFIELDS, body.c_str());
    curl_easy_setopt(transfer.get(), CURLOPT_POSTFIELDSIZE, static_cast<long>(body.size()));
    curl_easy_setopt(transfer.get(), CURLOPT_TIMEOUT_MS, static_cast<long>(timeoutSeconds) * 1000L);
    curl_easy_setopt(transfer.get(), CURLOPT_WRITEFUNCTION, &CStatClient::WriteToString);
    response.clear();
    curl_easy_setopt(transfer.get(), CURLOPT_WRITEDATA, &response);
    // libcurl looks at the clock only after up to 100 reads in a row, and a
    // gzip answer inflates up to a thousandfold: with its default 16 KiB
    // reads that is 1.6 GB between looks, seconds past the limit. Reads of
    // the smallest size keep that to about 100 MB.
    curl_easy_setopt(transfer.get(), CURLOPT_BUFFERSIZE, kReceiveBufferBytes);
    return static_cast<int>(curl_easy_perform(transfer.get()));
}

std::size_t CStatClient::WriteToString(char* data, std::size_t size, std::size_t count, void* target) noexcept
{
    // Whatever is dropped or fails here, the whole chunk counts as taken, so
    // the transfer and its result code stay as they would be.
    const std::size_t received = size * count;
    std::string& response = *static_cast<std::string*>(target);
    if (response.size() < kKeptAnswerBytes) {
        const std::size_t room = kKeptAnswerBytes - response.size();
        try {
            response.append(data, received < room ? received : room);
        } catch (...) {
            // Out of memory for at most 16 KiB: the answer is never read.
        }
    }
    return received;
}
