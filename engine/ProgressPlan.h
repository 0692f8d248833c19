#pragma once
// Progress arithmetic of the extraction display: by entry count, every value
// from 0 to 99 once, in rising order. Platform-free.

#include <cstdint>

// The percentage that is complete once entry index (from 0) of count entries
// has been written: (100 × (index + 1)) / count, truncating. The display
// shows every value below it that it has not shown yet.
inline int32_t PercentCompleteAfterEntry(int32_t index, int32_t count)
{
    return (100 * (index + 1)) / count;
}
