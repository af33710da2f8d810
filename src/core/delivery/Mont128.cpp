#include "delivery/Mont128.h"

#include <cstdint>

namespace jx::rsa {

namespace {

using u128 = Mont128::u128;
using u64 = std::uint64_t;

struct Wide {
    u128 lo;
    u128 hi;
};

Wide multiplyWide(u128 a, u128 b)
{
    const u64 a0 = u64(a), a1 = u64(a >> 64);
    const u64 b0 = u64(b), b1 = u64(b >> 64);
    const u128 p00 = u128(a0) * b0;
    const u128 p01 = u128(a0) * b1;
    const u128 p10 = u128(a1) * b0;
    const u128 p11 = u128(a1) * b1;
    const u128 mid = (p00 >> 64) + u64(p01) + u64(p10);
    return { u128(u64(p00)) | (mid << 64), p11 + (p01 >> 64) + (p10 >> 64) + (mid >> 64) };
}

// (2a) mod n for a < n, without losing the bit that may leave 128 bits.
u128 doubleMod(u128 a, u128 n)
{
    const bool carry = (a >> 127) != 0;
    const u128 doubled = a << 1;
    return (carry || doubled >= n) ? doubled - n : doubled;
}

} // namespace

std::optional<Mont128> Mont128::create(const QByteArray& modulus, const QByteArray& exponent)
{
    qsizetype length = modulus.size();
    while (length > 0 && modulus[length - 1] == '\0')
        --length;
    if (length == 0 || length > 16 || (modulus[0] & 1) == 0)
        return std::nullopt;
    Mont128 m;
    m.m_n = fromLittleEndian(reinterpret_cast<const unsigned char*>(modulus.constData()), int(length));
    if (m.m_n == 1)
        return std::nullopt;
    // Newton's iteration doubles the correct low bits each round: 3 -> 192.
    u128 inverse = m.m_n;
    for (int i = 0; i < 7; ++i)
        inverse *= 2 - m.m_n * inverse;
    m.m_nPrime = u128(0) - inverse;
    m.m_rModN = (u128(0) - m.m_n) % m.m_n;
    u128 r2 = m.m_rModN;
    for (int i = 0; i < 128; ++i)
        r2 = doubleMod(r2, m.m_n);
    m.m_r2ModN = r2;
    m.m_exponent = exponent;
    m.m_exponentBits = int(exponent.size()) * 8;
    while (m.m_exponentBits > 0
        && ((static_cast<unsigned char>(exponent[(m.m_exponentBits - 1) / 8]) >> ((m.m_exponentBits - 1) % 8)) & 1)
            == 0)
        --m.m_exponentBits;
    return m;
}

u128 Mont128::multiply(u128 a, u128 b) const
{
    const Wide t = multiplyWide(a, b);
    const u128 k = t.lo * m_nPrime;
    const Wide kn = multiplyWide(k, m_n);
    // t + k*n is divisible by 2^128; keep its high half and the carry out of it.
    const u128 lo = t.lo + kn.lo;
    const u128 carryLo = lo < t.lo ? 1 : 0;
    const u128 hi = t.hi + kn.hi;
    const bool carryHi = hi < t.hi;
    const u128 sum = hi + carryLo;
    const bool carry = carryHi || sum < hi;
    return (carry || sum >= m_n) ? sum - m_n : sum;
}

u128 Mont128::power(u128 base) const
{
    const u128 x = multiply(base % m_n, m_r2ModN);
    u128 result = m_rModN;
    for (int bit = m_exponentBits - 1; bit >= 0; --bit) {
        result = multiply(result, result);
        if ((static_cast<unsigned char>(m_exponent[bit / 8]) >> (bit % 8)) & 1)
            result = multiply(result, x);
    }
    return multiply(result, 1);
}

u128 Mont128::fromLittleEndian(const unsigned char* bytes, int length)
{
    u128 value = 0;
    for (int i = length - 1; i >= 0; --i)
        value = (value << 8) | bytes[i];
    return value;
}

void Mont128::toLittleEndian(u128 value, unsigned char out[16])
{
    for (int i = 0; i < 16; ++i) {
        out[i] = static_cast<unsigned char>(value & 0xFF);
        value >>= 8;
    }
}

} // namespace jx::rsa
