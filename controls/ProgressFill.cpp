#include "controls/ProgressFill.h"

#include <algorithm>
#include <cstdint>

int ProgressFillWidth(int clientWidth, int lower, int upper, int pos)
{
    if (upper <= lower || clientWidth <= 0) return 0;
    // 64 bits: a 32-bit range times the width would overflow 32.
    const int64_t span = static_cast<int64_t>(upper) - lower;
    const int64_t done = std::clamp<int64_t>(static_cast<int64_t>(pos) - lower, 0, span);
    return static_cast<int>(static_cast<int64_t>(clientWidth) * done / span);
}
