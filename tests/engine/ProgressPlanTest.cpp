// The extraction display shows every value 0 to 99 once, each only after the
// entry that completes the next per cent.
#include "engine/ProgressPlan.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The value shown and the entry after which it is shown, as the worker's loop does it.
std::vector<int> EntryShowingEachValue(int count)
{
    std::vector<int> entryOf;
    int shown = 0;
    for (int index = 0; index < count; ++index) {
        for (const int target = PercentCompleteAfterEntry(index, count); shown < target; ++shown) entryOf.push_back(index);
    }
    return entryOf;
}

TEST(ProgressPlan, ShowsEachValueOnceAfterItsEntry)
{
    for (int count : {1, 3, 4, 99, 100, 101, 150, 3162, 65535}) {
        SCOPED_TRACE(count);
        const std::vector<int> entryOf = EntryShowingEachValue(count);
        ASSERT_EQ(entryOf.size(), 100u);
        for (int value = 0; value < 100; ++value) {
            // Value k needs (k + 1) per cent of the entries written, and no more than that.
            const int entry = entryOf[value];
            EXPECT_GE(100LL * (entry + 1), (value + 1LL) * count);
            if (entry > 0) {
                EXPECT_LT(100LL * entry, (value + 1LL) * count);
            }
        }
    }
}

TEST(ProgressPlan, KnownBursts)
{
    const std::vector<int> four = EntryShowingEachValue(4);
    EXPECT_EQ(four[0], 0);
    EXPECT_EQ(four[24], 0);
    EXPECT_EQ(four[25], 1);
    EXPECT_EQ(four[75], 3);
    EXPECT_EQ(four[99], 3);
    // The shipped archive: 0 appears after entry 32 (index 31).
    EXPECT_EQ(EntryShowingEachValue(3162)[0], 31);
}

}  // namespace
