// Validation of UTF-8 at memory speed. A portable loop runs through ASCII eight bytes at a
// time and through the common two- and three-byte characters without a table; x86-64
// processors with AVX2 (asked once, at the first call) check 64 bytes at a time instead:
// an ASCII block costs one test, and any other block is checked 32 bytes at a time by
// classifying each pair of neighbouring bytes with three table lookups (the high half of
// the first byte, its low half, the high half of the second) whose common bits name the
// faults a pair can show, plus a test that the third and fourth bytes of three- and
// four-byte characters are continuation bytes and nothing else is.
#include "textutil/Utf8.h"

#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__) || defined(_M_X64)
#define VARLIN_UTF8_AVX2 1
#include <immintrin.h>
#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
#define VARLIN_TARGET_AVX2
#else
#define VARLIN_TARGET_AVX2 __attribute__((target("avx2")))
#endif
#endif

namespace varlin {

bool IsValidUtf8Portable(const char* data, std::size_t size, bool* multibyte) {
    bool sawMultibyte = false;
    std::size_t i = 0;
    while (i < size) {
        if (i + 8 <= size) {  // ASCII eight bytes at a time, then straight to the first other
            std::uint64_t word;
            std::memcpy(&word, data + i, 8);
            const std::uint64_t high = word & 0x8080808080808080ULL;
            if (high == 0) {
                i += 8;
                continue;
            }
            if constexpr (std::endian::native == std::endian::little) i += static_cast<std::size_t>(std::countr_zero(high) / 8);
        }
        const auto c = static_cast<unsigned char>(data[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        // Two-byte characters (Latin, Greek, Cyrillic ...) are the common case.
        if (c >= 0xC2 && c <= 0xDF && i + 1 < size && (static_cast<unsigned char>(data[i + 1]) & 0xC0) == 0x80) {
            sawMultibyte = true;
            i += 2;
            continue;
        }
        // Three-byte characters without the lead bytes E0 and ED, whose second byte is bounded.
        if (c >= 0xE1 && c <= 0xEF && c != 0xED && i + 2 < size &&
            ((static_cast<unsigned char>(data[i + 1]) & 0xC0) | ((static_cast<unsigned char>(data[i + 2]) & 0xC0) >> 2)) ==
                0xA0) {
            sawMultibyte = true;
            i += 3;
            continue;
        }
        const int n = Utf8SequenceLength(data + i, size - i);
        if (n == 0) {
            if (multibyte) *multibyte = false;
            return false;
        }
        sawMultibyte = true;
        i += n;
    }
    if (multibyte) *multibyte = sawMultibyte;
    return true;
}

#ifdef VARLIN_UTF8_AVX2
namespace {

// The faults a pair of neighbouring bytes can show; a pair is at fault when the three
// lookups share a bit. Two continuation bytes in a row are no fault of the pair but must
// be the third or fourth byte of a character, so that bit is compared with that test.
constexpr char kTooShort = 1 << 0;      // a lead byte without a continuation byte
constexpr char kTooLong = 1 << 1;       // a continuation byte after ASCII
constexpr char kOverlong3 = 1 << 2;     // E0 80..9F
constexpr char kTooLarge = 1 << 3;      // F4 90..BF, F5..FF 90..BF
constexpr char kSurrogate = 1 << 4;     // ED A0..BF
constexpr char kOverlong2 = 1 << 5;     // C0, C1
constexpr char kFirstRow = 1 << 6;      // F0 80..8F (overlong), F5..FF 80..8F (too large)
constexpr char kTwoConts = char(0x80);  // two continuation bytes
constexpr char kAnyFirst = kTooShort | kTooLong | kTwoConts;
constexpr char kHighFirst = kAnyFirst | kTooLarge | kFirstRow;

#define VARLIN_FIRST_HIGH                                                                                  \
    kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTwoConts, kTwoConts, \
        kTwoConts, kTwoConts, kTooShort | kOverlong2, kTooShort, kTooShort | kOverlong3 | kSurrogate,      \
        kTooShort | kTooLarge | kFirstRow
#define VARLIN_FIRST_LOW                                                                                   \
    kAnyFirst | kOverlong2 | kOverlong3 | kFirstRow, kAnyFirst | kOverlong2, kAnyFirst, kAnyFirst,         \
        kAnyFirst | kTooLarge, kHighFirst, kHighFirst, kHighFirst, kHighFirst, kHighFirst, kHighFirst,     \
        kHighFirst, kHighFirst, kHighFirst | kSurrogate, kHighFirst, kHighFirst
#define VARLIN_SECOND_HIGH                                                                              \
    kTooShort, kTooShort, kTooShort, kTooShort, kTooShort, kTooShort, kTooShort, kTooShort,            \
        kTooLong | kOverlong2 | kTwoConts | kOverlong3 | kFirstRow,                                     \
        kTooLong | kOverlong2 | kTwoConts | kOverlong3 | kTooLarge,                                     \
        kTooLong | kOverlong2 | kTwoConts | kSurrogate | kTooLarge,                                     \
        kTooLong | kOverlong2 | kTwoConts | kSurrogate | kTooLarge, kTooShort, kTooShort, kTooShort, kTooShort

struct Avx2State {
    __m256i previous;    // the 32 bytes before
    __m256i faults;      // any bit set: invalid
    __m256i unfinished;  // the previous block ended inside a character
};

VARLIN_TARGET_AVX2 inline void CheckAvx2(Avx2State& s, __m256i bytes) {
    const __m256i firstHigh = _mm256_setr_epi8(VARLIN_FIRST_HIGH, VARLIN_FIRST_HIGH);
    const __m256i firstLow = _mm256_setr_epi8(VARLIN_FIRST_LOW, VARLIN_FIRST_LOW);
    const __m256i secondHigh = _mm256_setr_epi8(VARLIN_SECOND_HIGH, VARLIN_SECOND_HIGH);
    const __m256i nibble = _mm256_set1_epi8(0x0F);
    // The bytes 1, 2 and 3 places back, across the two halves and from the block before.
    const __m256i across = _mm256_permute2x128_si256(s.previous, bytes, 0x21);
    const __m256i back1 = _mm256_alignr_epi8(bytes, across, 15);
    const __m256i back2 = _mm256_alignr_epi8(bytes, across, 14);
    const __m256i back3 = _mm256_alignr_epi8(bytes, across, 13);
    const __m256i pair = _mm256_and_si256(
        _mm256_and_si256(_mm256_shuffle_epi8(firstHigh, _mm256_and_si256(_mm256_srli_epi16(back1, 4), nibble)),
                         _mm256_shuffle_epi8(firstLow, _mm256_and_si256(back1, nibble))),
        _mm256_shuffle_epi8(secondHigh, _mm256_and_si256(_mm256_srli_epi16(bytes, 4), nibble)));
    // Third bytes follow E0..FF two places back, fourth bytes F0..FF three places back.
    const __m256i third = _mm256_subs_epu8(back2, _mm256_set1_epi8(char(0xE0 - 0x80)));
    const __m256i fourth = _mm256_subs_epu8(back3, _mm256_set1_epi8(char(0xF0 - 0x80)));
    const __m256i mustContinue = _mm256_and_si256(_mm256_or_si256(third, fourth), _mm256_set1_epi8(kTwoConts));
    s.faults = _mm256_or_si256(s.faults, _mm256_xor_si256(mustContinue, pair));
    // A lead byte in the last three places whose character the block does not finish.
    const __m256i lastLeads = _mm256_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
                                               -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, char(0xEF),
                                               char(0xDF), char(0xBF));
    s.unfinished = _mm256_subs_epu8(bytes, lastLeads);
    s.previous = bytes;
}

VARLIN_TARGET_AVX2 bool IsValidUtf8Avx2(const char* data, std::size_t size, bool* multibyte) {
    Avx2State s{_mm256_setzero_si256(), _mm256_setzero_si256(), _mm256_setzero_si256()};
    bool sawHigh = false;
    std::size_t i = 0;
    for (; i + 64 <= size; i += 64) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + i));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + i + 32));
        if (_mm256_movemask_epi8(_mm256_or_si256(a, b)) == 0) {
            s.faults = _mm256_or_si256(s.faults, s.unfinished);
            s.unfinished = _mm256_setzero_si256();
            s.previous = b;
            continue;
        }
        sawHigh = true;
        CheckAvx2(s, a);
        CheckAvx2(s, b);
        if (!_mm256_testz_si256(s.faults, s.faults)) break;  // a text in another code table ends early
    }
    if (i < size && _mm256_testz_si256(s.faults, s.faults)) {
        // The rest, followed by zeros: a character cut at the end meets ASCII and fails.
        alignas(32) char rest[64] = {};
        std::memcpy(rest, data + i, size - i);
        const __m256i a = _mm256_load_si256(reinterpret_cast<const __m256i*>(rest));
        const __m256i b = _mm256_load_si256(reinterpret_cast<const __m256i*>(rest + 32));
        sawHigh = sawHigh || _mm256_movemask_epi8(_mm256_or_si256(a, b)) != 0;
        CheckAvx2(s, a);
        CheckAvx2(s, b);
    }
    s.faults = _mm256_or_si256(s.faults, s.unfinished);
    const bool valid = _mm256_testz_si256(s.faults, s.faults) != 0;
    if (multibyte) *multibyte = valid && sawHigh;
    return valid;
}

bool HasAvx2() {
#if defined(_MSC_VER) && !defined(__clang__)
    int info[4];
    __cpuid(info, 0);
    if (info[0] < 7) return false;
    __cpuid(info, 1);
    const bool osSavesAvx = (info[2] & (1 << 27)) != 0 && (info[2] & (1 << 28)) != 0 && (_xgetbv(0) & 6) == 6;
    if (!osSavesAvx) return false;
    __cpuidex(info, 7, 0);
    return (info[1] & (1 << 5)) != 0;
#else
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
#endif
}

}  // namespace
#endif

bool IsValidUtf8(const char* data, std::size_t size, bool* multibyte) {
#ifdef VARLIN_UTF8_AVX2
    static const bool avx2 = HasAvx2();
    if (avx2) return IsValidUtf8Avx2(data, size, multibyte);
#endif
    return IsValidUtf8Portable(data, size, multibyte);
}

}  // namespace varlin
