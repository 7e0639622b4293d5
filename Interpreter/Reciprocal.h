// Division by a divisor known when the script is read, without a division instruction:
// the quotient of |n| is |n| * m >> shift, with m and shift chosen for the divisor (the
// round-up method: m = 2^shift / d + 1, shift = 32 + ceil(log2 d)). It is exact for every
// 32-bit n, and a multiplication takes a fraction of the time of a division, which sits
// on the path from one round of a `mod` loop to the next.
#pragma once

#include <bit>
#include <cstdint>

namespace macrolib {

// ceil(log2 d) for d >= 2.
inline int ReciprocalBits(int32_t d) {
    return 32 - std::countl_zero(static_cast<uint32_t>(d - 1));
}

// The part of the reciprocal of d that an instruction keeps beside d: m - 2^32 (m lies
// between 2^32 and 2^33; the shift follows from d). False for a divisor below 2, which
// divides as it is.
inline bool MakeReciprocal(int32_t d, int32_t& low) {
    if (d < 2)
        return false;
    const uint64_t m = (uint64_t{1} << (32 + ReciprocalBits(d))) / static_cast<uint64_t>(d) + 1;
    low = static_cast<int32_t>(static_cast<uint32_t>(m));
    return true;
}

// n div d (toward zero) for d >= 2 and its reciprocal. |n| <= 2^31 and m < 2^33, so the
// product fits 64 bits.
inline int32_t QuotientByReciprocal(int32_t n, int32_t d, int32_t low) {
    const uint32_t magnitude = n < 0 ? 0u - static_cast<uint32_t>(n) : static_cast<uint32_t>(n);
    const uint64_t m = (uint64_t{1} << 32) | static_cast<uint32_t>(low);
    const auto q = static_cast<int32_t>((magnitude * m) >> (32 + ReciprocalBits(d)));  // <= 2^30
    return n < 0 ? -q : q;
}

// n mod d (the sign of n) for the same d.
inline int32_t RemainderByReciprocal(int32_t n, int32_t d, int32_t low) {
    return n - QuotientByReciprocal(n, d, low) * d;
}

}  // namespace macrolib
