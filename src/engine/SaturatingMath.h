#pragma once
#include <cstdint>
#include <limits>

// Sums of counts read from files: a hostile number stops at the limit instead
// of wrapping round (undefined behaviour for signed integers).
inline int32_t SaturatingAdd(int32_t a, int32_t b)
{
    const int64_t sum = static_cast<int64_t>(a) + b;
    if (sum > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (sum < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(sum);
}
