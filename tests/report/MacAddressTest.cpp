// The MAC address text from fixed adapter records: one call with the
// 3,240-byte buffer, empty on any failure (no adapter, more records than fit),
// the first record only, upper-case hex joined by "-".
#include "report/MacAddressFromAdapters.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

struct Adapter {
    unsigned char address[8];
    UINT addressLength;
};

// What the fake call saw and answers; one fake at a time.
struct FakeAdapterList {
    ULONG result = ERROR_SUCCESS;
    ULONG sizeNeeded = 0;
    std::vector<Adapter> adapters;
    int calls = 0;
    ULONG sizeGiven = 0;
};
FakeAdapterList g_fake;

ULONG WINAPI FakeGetAdaptersInfo(PIP_ADAPTER_INFO buffer, PULONG size)
{
    ++g_fake.calls;
    g_fake.sizeGiven = *size;
    if (g_fake.result != ERROR_SUCCESS) {
        if (g_fake.sizeNeeded != 0) *size = g_fake.sizeNeeded;
        return g_fake.result;
    }
    // Records chained in the caller's buffer, as the system lays them out.
    for (size_t i = 0; i < g_fake.adapters.size(); ++i) {
        IP_ADAPTER_INFO& record = buffer[i];
        std::memset(&record, 0, sizeof(record));
        std::memcpy(record.Address, g_fake.adapters[i].address, sizeof(record.Address));
        record.AddressLength = g_fake.adapters[i].addressLength;
        record.Next = i + 1 < g_fake.adapters.size() ? &buffer[i + 1] : nullptr;
    }
    return ERROR_SUCCESS;
}

TEST(MacAddressFromAdapterList, FormatsTheFirstRecordAfterOneCall)
{
    const struct {
        const char* what;
        std::vector<Adapter> adapters;
        const wchar_t* text;
    } cases[] = {
        {"one adapter", {{{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}, 6}}, L"00-1A-2B-3C-4D-5E"},
        {"lower digits come out upper-case", {{{0xAB, 0xCD, 0xEF, 0x0A, 0xB0, 0xFF}, 6}}, L"AB-CD-EF-0A-B0-FF"},
        {"only the first of three", {{{1, 2, 3, 4, 5, 6}, 6}, {{7, 8, 9, 10, 11, 12}, 6}, {{13, 14, 15, 16, 17, 18}, 6}},
         L"01-02-03-04-05-06"},
        // The length is not consulted: six bytes are written whatever it says.
        {"an eight-byte address", {{{0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80}, 8}}, L"10-20-30-40-50-60"},
        {"an address length of 0", {{{0xFE, 0xDC, 0xBA, 0x98, 0x76, 0x54}, 0}}, L"FE-DC-BA-98-76-54"},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.what);
        g_fake = FakeAdapterList();
        g_fake.adapters = row.adapters;
        EXPECT_EQ(MacAddressFromAdapterList(&FakeGetAdaptersInfo), row.text);
        EXPECT_EQ(g_fake.calls, 1);
        EXPECT_EQ(g_fake.sizeGiven, 3240u);
    }
}

TEST(MacAddressFromAdapterList, AnyFailureGivesEmptyTextWithoutASecondCall)
{
    const struct {
        const char* what;
        ULONG result;
        ULONG sizeNeeded;
    } cases[] = {
        {"no adapter", ERROR_NO_DATA, 0},
        {"more records than fit", ERROR_BUFFER_OVERFLOW, 6 * 648},
        {"not supported", ERROR_NOT_SUPPORTED, 0},
        {"file not found", ERROR_FILE_NOT_FOUND, 0},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.what);
        g_fake = FakeAdapterList();
        g_fake.result = row.result;
        g_fake.sizeNeeded = row.sizeNeeded;
        g_fake.adapters = {{{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}, 6}};
        EXPECT_EQ(MacAddressFromAdapterList(&FakeGetAdaptersInfo), L"");
        EXPECT_EQ(g_fake.calls, 1);
    }
}

}  // namespace
