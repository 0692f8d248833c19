// The statistics client against real receivers on loopback, under Wine.
// run_stat_client_test.py starts one receiver per group of tests (normal,
// gzip, status 500, silent, slow, none, and two hostile ones: a gzip answer
// that inflates to 2 GiB and an endless one), runs this program once per group
// with --gtest_filter and the receiver's address in TN_TEST_STAT_BASE_URL,
// and afterwards checks what the normal receiver stored.

#include <gtest/gtest.h>

// libcurl brings winsock2.h, which must come before windows.h.
#include <curl/curl.h>

#include <windows.h>

#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "app/SubChannel.h"
#include "report/InstallEvent.h"
#include "report/StatBaseUrl.h"
#include "report/StatClient.h"

namespace {

// The driver expects exactly these in the stored events.
const wchar_t kMac[] = L"00-1A-2B-3C-4D-5E";
const wchar_t kSubChannel[] = L"\x5B89\x88C5\x7A0B\x5E8F setup";  // "安装程序 setup"
const char kAccepted[] = "{\"code\": 0, \"message\": \"ok\"}";

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The process's peak working set so far (Wine reads the Linux high-water mark).
std::size_t PeakWorkingSet()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters))) return 0;
    return counters.PeakWorkingSetSize;
}

class ReceiverTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(std::wstring(StatBaseUrl()), L"") << "TN_TEST_STAT_BASE_URL is not set: run through run_stat_client_test.py";
    }

    // Posts a record under a test code and measures the call.
    int PostRecord(std::string& response, const std::wstring& code, double& seconds,
                   const std::wstring& path = L"v1/userop/add")
    {
        const auto start = std::chrono::steady_clock::now();
        const int result = CStatClient::Instance().Post(
            response, 3, path, L"type=0&code=" + code + L"&remark=mac=,channel=0,sub_channel=test,noui=0");
        seconds = SecondsSince(start);
        return result;
    }
};

using NormalReceiver = ReceiverTest;
using GzipReceiver = ReceiverTest;
using ErrorStatusReceiver = ReceiverTest;
using SlowReceiver = ReceiverTest;
using SilentReceiver = ReceiverTest;
using NoReceiver = ReceiverTest;

// A hostile answer: the call ends within the 3-second limit and a little,
// the process's peak grows by far less than the answer, and the kept part
// is the answer's beginning.
class HostileReceiver : public ReceiverTest {
protected:
    void PostAndCheckBounds(const std::wstring& code, int& result, std::string& response)
    {
        const std::size_t peakBefore = PeakWorkingSet();
        ASSERT_NE(peakBefore, 0u);
        double seconds = 0;
        response = "stale";
        result = PostRecord(response, code, seconds);
        // libcurl looks at the clock only between runs of up to 100 reads, which a
        // gzip answer may inflate to 100 MB: about a second under qemu-user.
        EXPECT_LE(seconds, 5.0);
        const std::size_t growth = PeakWorkingSet() - peakBefore;
        EXPECT_LT(growth, std::size_t{16} << 20) << "peak working set grew by " << growth << " bytes";
        EXPECT_EQ(response.size(), CStatClient::kKeptAnswerBytes);
        std::printf("%ls: result %d after %.2f s, peak working set grew by %zu KiB\n", code.c_str(), result,
                    seconds, growth >> 10);
    }
};
using GzipBombReceiver = HostileReceiver;
using EndlessReceiver = HostileReceiver;

TEST_F(NormalReceiver, FourInstallEventsAreSentInOrder)
{
    g_strSubChannel = kSubChannel;
    for (InstallEventCode code : {InstallEventCode::S2_d01, InstallEventCode::S2_d02, InstallEventCode::S2_i04,
                                  InstallEventCode::S2_i05}) {
        const auto start = std::chrono::steady_clock::now();
        ReportInstallEvent(code, kMac);
        EXPECT_LT(SecondsSince(start), 3.0);
    }
}

TEST_F(NormalReceiver, AcceptedPostReturnsZeroWithTheAnswer)
{
    std::string response = "stale";
    double seconds = 0;
    EXPECT_EQ(PostRecord(response, L"T_post", seconds), CURLE_OK);
    EXPECT_EQ(response, kAccepted);
}

TEST_F(NormalReceiver, UnknownPathIsAnAnswerNotAFailure)
{
    std::string response;
    double seconds = 0;
    EXPECT_EQ(PostRecord(response, L"T_unknown_path", seconds, L"v1/userop/none"), CURLE_OK);
    EXPECT_NE(response.find("\"code\": 404"), std::string::npos) << response;
}

TEST_F(NormalReceiver, TwoThreadsPostAtTheSameTime)
{
    std::string first, second;
    int firstResult = -1, secondResult = -1;
    double firstSeconds = 0, secondSeconds = 0;
    std::thread other([&] { firstResult = PostRecord(first, L"T_thread_1", firstSeconds); });
    secondResult = PostRecord(second, L"T_thread_2", secondSeconds);
    other.join();
    EXPECT_EQ(firstResult, CURLE_OK);
    EXPECT_EQ(secondResult, CURLE_OK);
    EXPECT_EQ(first, kAccepted);
    EXPECT_EQ(second, kAccepted);
}

TEST_F(GzipReceiver, CompressedAnswerIsDecodedBeforeItArrives)
{
    std::string response;
    double seconds = 0;
    EXPECT_EQ(PostRecord(response, L"T_gzip", seconds), CURLE_OK);
    EXPECT_EQ(response, kAccepted);
}

TEST_F(ErrorStatusReceiver, Status500ReturnsZeroWithTheErrorPage)
{
    std::string response = "stale";
    double seconds = 0;
    EXPECT_EQ(PostRecord(response, L"T_500", seconds), CURLE_OK);
    EXPECT_NE(response.find("<h1>500 Internal Server Error</h1>"), std::string::npos) << response;
    EXPECT_EQ(response.find("stale"), std::string::npos);
}

TEST_F(SlowReceiver, AnswerWithinTheLimitIsWaitedFor)
{
    std::string response;
    double seconds = 0;
    EXPECT_EQ(PostRecord(response, L"T_slow", seconds), CURLE_OK);
    EXPECT_EQ(response, kAccepted);
    EXPECT_GE(seconds, 1.4);  // the receiver waits 1.5 s before answering
}

TEST_F(SilentReceiver, NoAnswerTimesOutAfterThreeSeconds)
{
    std::string response = "stale";
    double seconds = 0;
    EXPECT_EQ(PostRecord(response, L"T_silent", seconds), CURLE_OPERATION_TIMEDOUT);
    EXPECT_GE(seconds, 2.5);
    EXPECT_LE(seconds, 6.0);
    EXPECT_EQ(response, "");
}

TEST_F(NoReceiver, RefusedConnectionFailsAtOnce)
{
    std::string response = "stale";
    double seconds = 0;
    EXPECT_EQ(PostRecord(response, L"T_refused", seconds), CURLE_COULDNT_CONNECT);
    EXPECT_LT(seconds, 1.5);
    EXPECT_EQ(response, "");

    // A report to nowhere returns just as quickly and without a trace.
    const auto start = std::chrono::steady_clock::now();
    ReportInstallEvent(InstallEventCode::S2_d01, kMac);
    EXPECT_LT(SecondsSince(start), 1.5);
}

TEST_F(GzipBombReceiver, AnswerInflatingToTwoGibibytesIsCutShort)
{
    int result = -1;
    std::string response;
    PostAndCheckBounds(L"T_gzip_bomb", result, response);
    // Inflated to its end within the limit, or cut off by it.
    EXPECT_TRUE(result == CURLE_OK || result == CURLE_OPERATION_TIMEDOUT) << result;
    EXPECT_EQ(response, std::string(CStatClient::kKeptAnswerBytes, '\0'));
}

TEST_F(EndlessReceiver, EndlessAnswerRunsOutOfTime)
{
    int result = -1;
    std::string response;
    PostAndCheckBounds(L"T_endless", result, response);
    EXPECT_EQ(result, CURLE_OPERATION_TIMEDOUT);
    EXPECT_EQ(response, std::string(CStatClient::kKeptAnswerBytes, 'x'));
}

TEST_F(EndlessReceiver, TwoThreadsEachKeepTheirOwnBeginning)
{
    std::string first, second;
    int firstResult = -1, secondResult = -1;
    double firstSeconds = 0, secondSeconds = 0;
    std::thread other([&] { firstResult = PostRecord(first, L"T_endless_1", firstSeconds); });
    secondResult = PostRecord(second, L"T_endless_2", secondSeconds);
    other.join();
    EXPECT_EQ(firstResult, CURLE_OPERATION_TIMEDOUT);
    EXPECT_EQ(secondResult, CURLE_OPERATION_TIMEDOUT);
    EXPECT_EQ(first, std::string(CStatClient::kKeptAnswerBytes, 'x'));
    EXPECT_EQ(second, std::string(CStatClient::kKeptAnswerBytes, 'x'));
}

// libcurl calls it from C frames: nothing may be thrown through them.
static_assert(noexcept(CStatClient::WriteToString(nullptr, 0, 0, nullptr)));

TEST(WriteToString, AppendsEverythingAndReturnsTheCount)
{
    std::string target = "ab";
    char data[] = "cdefgh";
    EXPECT_EQ(CStatClient::WriteToString(data, 3, 2, &target), 6u);
    EXPECT_EQ(target, "abcdefgh");
    EXPECT_EQ(CStatClient::WriteToString(data, 1, 0, &target), 0u);
    EXPECT_EQ(target, "abcdefgh");
}

TEST(WriteToString, KeepsTheAnswersBeginningAndCountsEveryByte)
{
    const std::size_t kept = CStatClient::kKeptAnswerBytes;
    // Chunk sizes that meet the limit exactly, cross it, and start past it.
    const std::vector<std::size_t> chunkSizes = {1, 7, 4096, kept - 1, kept, kept + 1, 100000};
    for (const std::size_t chunkSize : chunkSizes) {
        std::string sent, target;
        for (std::size_t chunk = 0; sent.size() < 3 * kept + 5; ++chunk) {
            std::string data(chunkSize, '\0');
            for (std::size_t i = 0; i < chunkSize; ++i) data[i] = static_cast<char>('a' + (sent.size() + i) % 23);
            sent += data;
            ASSERT_EQ(CStatClient::WriteToString(data.data(), 1, chunkSize, &target), chunkSize) << chunkSize;
        }
        EXPECT_EQ(target, sent.substr(0, kept)) << "chunks of " << chunkSize;
        EXPECT_LE(target.capacity(), 2 * kept) << "chunks of " << chunkSize;
    }

    // A response already at the limit takes nothing more, whatever size and
    // count the library passes.
    std::string full(kept, 'k');
    char data[64] = {};
    EXPECT_EQ(CStatClient::WriteToString(data, 8, 8, &full), 64u);
    EXPECT_EQ(full, std::string(kept, 'k'));
}

}  // namespace
