// Decodes a fuzzer's byte string into the arguments of library calls. Every read succeeds:
// past the end the reader hands out zeros, so a target never has to test for exhaustion
// before each argument, only to stop its loop when Empty().
#ifndef RVN_FUZZ_BYTEREADER_H
#define RVN_FUZZ_BYTEREADER_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <type_traits>

class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : m_p(data), m_n(size) {}

    bool Empty() const { return m_n == 0; }
    size_t Left() const { return m_n; }

    uint8_t Byte() {
        if (m_n == 0)
            return 0;
        --m_n;
        return *m_p++;
    }

    // lo ... hi inclusive (hi - lo below 65536).
    int Range(int lo, int hi) {
        const unsigned span = static_cast<unsigned>(hi - lo) + 1u;
        const unsigned v = span <= 256u ? Byte() : (static_cast<unsigned>(Byte()) << 8 | Byte());
        return lo + static_cast<int>(v % span);
    }

    // sizeof(T) bytes, the first the most significant, taken as the bits of a T.
    template <class T>
    T Raw() {
        using Bits = std::conditional_t<sizeof(T) == 4, uint32_t, uint64_t>;
        static_assert(sizeof(T) == sizeof(Bits), "a 4- or 8-byte type");
        Bits v = 0;
        for (size_t i = 0; i < sizeof(T); ++i)
            v = static_cast<Bits>(v << 8 | Byte());
        T r;
        std::memcpy(&r, &v, sizeof r);
        return r;
    }

    // An index or count as a caller might pass it: mostly near the valid range (-2 ... 13),
    // sometimes the extremes of int.
    int Index() {
        const uint8_t b = Byte();
        if (b < 240)
            return static_cast<int>(b % 16) - 2;
        switch (b % 4) {
            case 0:
                return std::numeric_limits<int>::min();
            case 1:
                return std::numeric_limits<int>::max();
            case 2:
                return -1 - static_cast<int>(Byte());
            default:
                return Raw<int32_t>();
        }
    }

    // A coordinate: mostly a small grid value (multiples of 0.5 in -8 ... 7.5), so that
    // points coincide and lines meet; sometimes a value near the tolerances, a special value
    // (signed zeros, NaN, infinities, extremes) or raw bits.
    double Real() {
        const uint8_t b = Byte();
        if (b < 160)
            return (static_cast<int>(b % 32) - 16) * 0.5;
        if (b < 192)
            return (static_cast<int>(b % 32) - 16) * 0.5 + (static_cast<int>(Byte()) - 128) * 1e-7;
        if (b < 224) {
            static const double kSpecial[] = {0.0,
                                              -0.0,
                                              std::numeric_limits<double>::quiet_NaN(),
                                              std::numeric_limits<double>::infinity(),
                                              -std::numeric_limits<double>::infinity(),
                                              std::numeric_limits<double>::max(),
                                              -std::numeric_limits<double>::max(),
                                              std::numeric_limits<double>::min(),
                                              std::numeric_limits<double>::denorm_min(),
                                              1e-3,
                                              9.99e-4,
                                              1e-6,
                                              1e300,
                                              -1e300,
                                              1e154,
                                              0.1};
            return kSpecial[b % 16];
        }
        return Raw<double>();
    }

    // Up to maxLen bytes, the length taken from the input.
    std::string Text(size_t maxLen) {
        const size_t len = Byte();
        return Take(len < maxLen ? len : maxLen);
    }

    // Everything not read yet.
    std::string Rest() { return Take(m_n); }

private:
    std::string Take(size_t len) {
        if (len > m_n)
            len = m_n;
        std::string s(reinterpret_cast<const char*>(m_p), len);
        m_p += len;
        m_n -= len;
        return s;
    }

    const uint8_t* m_p;
    size_t m_n;
};

// A broken invariant is a finding: report it and abort so that libFuzzer keeps the input.
#define FUZZ_CHECK(cond)                                                                      \
    do {                                                                                      \
        if (!(cond)) {                                                                        \
            std::fprintf(stderr, "%s:%d: invariant failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                     \
        }                                                                                     \
    } while (0)

#endif  // RVN_FUZZ_BYTEREADER_H
