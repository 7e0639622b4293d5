// Division by a divisor known when the script is read, without a division instruction:
// the quotient of |n| is |n| * m >> shift, with m and shift chosen for the divisor (the
// round-up method: m = 2^shift / d + 1, shift = 32 + ceil(log2 d)). It is exact for every
// 32-bit n, and a multiplication takes a fraction of the time of a division, which sits
// on the path from one round of a `mod` loop to the next.
#pragma once

#include <bit>
#include <cstdint>

namespace macrolib {

// The reciprocal of d as an instruction keeps it: m - 2^32 (m lies between 2^32 and
// 2^33) and the shift. False for a divisor below 2, which divides as it is.
inline bool MakeReciprocal(int32_t d, int32_t& low, uint8_t& shift) {
    if (d < 2)
        return false;
    const int bits = 32 - std::countl_zero(static_cast<uint32_t>(d - 1));   // ceil(log2 d)
    const uint64_t m = (uint64_t{1} << (32 + bits)) / static_cast<uint64_t>(d) + 1;
    low = static_cast<int32_t>(static_cast<uint32_t>(m));
    shift = static_cast<uint8_t>(32 + bits);
    return true;
}

// n div d (toward zero) for the d the reciprocal was made of. |n| <= 2^31 and m < 2^33,
// so the product fits 64 bits.
inline int32_t QuotientByReciprocal(int32_t n, int32_t low, uint8_t shift) {
    const uint32_t magnitude = n < 0 ? 0u - static_cast<uint32_t>(n) : static_cast<uint32_t>(n);
    const uint64_t m = (uint64_t{1} << 32) | static_cast<uint32_t>(low);
    const auto q = static_cast<int32_t>((magnitude * m) >> shift);   // at most 2^30
    return n < 0 ? -q : q;
}

// n mod d (the sign of n) for the same d.
inline int32_t RemainderByReciprocal(int32_t n, int32_t d, int32_t low, uint8_t shift) {
    return n - QuotientByReciprocal(n, low, shift) * d;
}

}  // namespace macrolib
