#pragma once
// The signed request client for the maker's statistics service: one per
// process, created on first use, read-only afterwards, so two threads may
// Post at the same time.

#include <cstddef>
#include <string>

class CStatClient {
public:
    static CStatClient& Instance();

    // Signs params, POSTs them to the base address + "/" + path and waits for
    // the transfer, up to timeoutSeconds. Returns libcurl's result code (0
    // when the transfer completed, whatever the HTTP status); response is
    // emptied, then holds whatever body arrived.
    int Post(std::string& response, int timeoutSeconds, const std::wstring& path, const std::wstring& params) const;

    // The signed form body for one request, time-stamped now.
    std::string SignParams(const std::wstring& path, const std::wstring& method, const std::wstring& params) const;

    // The most of an answer that is kept. The answer is never parsed, and a
    // small compressed or endless one must not grow the process until a
    // 32-bit installer runs out of memory.
    static constexpr std::size_t kKeptAnswerBytes = 16 * 1024;

    // libcurl's write callback: appends to the std::string at target until it
    // holds kKeptAnswerBytes, drops the rest, and never stops the transfer.
    // Called from libcurl's C frames, so no exception leaves it.
    static std::size_t WriteToString(char* data, std::size_t size, std::size_t count, void* target) noexcept;

    CStatClient(const CStatClient&) = delete;
    CStatClient& operator=(const CStatClient&) = delete;

private:
    CStatClient();

    // UTF-8 bytes, fixed when the client is created.
    std::string m_appKey;
    std::string m_appSecret;
    std::string m_baseUrl;
};
