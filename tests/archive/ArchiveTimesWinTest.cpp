// The platform-free calendar arithmetic agrees with the system's own
// conversion, which the reader uses at the edge.
#include "engine/ArchiveTimes.h"
#include "engine/ArchiveTimes_win.h"
#include "tests/archive/ArchiveTestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(ArchiveTimesWin, SystemConversionMatchesTheCalendarArithmetic)
{
    const CivilTime cases[] = {
        {1980, 1, 1, 0, 0, 0},    {2021, 5, 4, 11, 17, 26}, {2020, 2, 29, 23, 59, 58}, {2000, 2, 29, 12, 0, 0},
        {2107, 12, 31, 23, 59, 58}, {2038, 1, 19, 3, 14, 8},  {1601, 1, 1, 0, 0, 0},
        // Not valid times: both refuse them. (Days past a month's end, such
        // as 2021-02-29, Windows refuses too but Wine rolls over, so they
        // are left to the native test of the arithmetic.)
        {2021, 0, 4, 0, 0, 0},    {2021, 13, 4, 0, 0, 0},   {2021, 5, 0, 0, 0, 0},    {2021, 5, 4, 24, 0, 0},
        {2021, 5, 4, 0, 60, 0},   {2021, 5, 4, 0, 0, 60},   {2021, 5, 4, 0, 0, 62},   {1600, 12, 31, 0, 0, 0},
    };
    for (const CivilTime& time : cases) {
        uint64_t arithmetic = 0;
        uint64_t system = 0;
        const bool arithmeticValid = CivilTimeToFileTime(time, &arithmetic);
        const bool systemValid = LocalCivilTimeToUtc(time, &system);
        EXPECT_EQ(arithmeticValid, systemValid) << time.year << "-" << time.month << "-" << time.day << " "
                                                << time.hour << ":" << time.minute << ":" << time.second;
        if (arithmeticValid && systemValid) {
            EXPECT_EQ(DosUtc(arithmetic), system) << time.year;
        }
    }
}

}  // namespace
