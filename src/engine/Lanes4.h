#pragma once
// Four lanes of floats or ints (SSE on x86-64; the compiler splits them where
// there is nothing wider). Callers have each lane do the float operations one
// item at a time would, so the bits come out the same.
#include <cmath>
#include <cstdint>
#include <cstring>
#if defined(__SSE__)
#include <xmmintrin.h>
#endif

using Floats4 = float __attribute__((vector_size(16)));
using Ints4 = int32_t __attribute__((vector_size(16)));

inline Floats4 Load4(const float* p)
{
    Floats4 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
inline Ints4 Load4(const int32_t* p)
{
    Ints4 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
template <typename V, typename T>
inline void Store4(T* p, V v)
{
    std::memcpy(p, &v, sizeof v);
}
inline Floats4 Splat4(float f)
{
    return Floats4{f, f, f, f};
}
// Lanes of `a` where the mask is set, of `b` elsewhere.
inline Floats4 Select4(Ints4 mask, Floats4 a, Floats4 b)
{
    return reinterpret_cast<Floats4>((reinterpret_cast<Ints4>(a) & mask) | (reinterpret_cast<Ints4>(b) & ~mask));
}
// One bit per lane whose mask is set, lane 0 lowest.
inline unsigned Bits4(Ints4 mask)
{
#if defined(__SSE__)
    return static_cast<unsigned>(_mm_movemask_ps(reinterpret_cast<__m128>(mask)));
#else
    return (mask[0] & 1u) | (mask[1] & 2u) | (mask[2] & 4u) | (mask[3] & 8u);
#endif
}
// The sum of the lanes, in two pairwise steps.
inline int32_t Sum4(Ints4 v)
{
    v += __builtin_shufflevector(v, v, 2, 3, 0, 1);
    v += __builtin_shufflevector(v, v, 1, 0, 3, 2);
    return v[0];
}
// The correctly rounded root of each lane, as std::sqrt gives it.
inline Floats4 Sqrt4(Floats4 v)
{
#if defined(__SSE__)
    return reinterpret_cast<Floats4>(_mm_sqrt_ps(reinterpret_cast<__m128>(v)));
#else
    return Floats4{std::sqrt(v[0]), std::sqrt(v[1]), std::sqrt(v[2]), std::sqrt(v[3])};
#endif
}
