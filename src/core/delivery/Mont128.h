#pragma once

#include <QByteArray>

#include <optional>

namespace jx::rsa {

// Modular exponentiation for odd moduli of at most 128 bits, in Montgomery form on two
// 64-bit limbs. The delivery key is 128 bits and a file holds thousands of blocks, so this
// replaces general big-number calls on the hot path.
class Mont128 {
public:
    using u128 = unsigned __int128;

    // Empty when the modulus is even, zero, or longer than 16 bytes.
    static std::optional<Mont128> create(const QByteArray& modulusLittleEndian, const QByteArray& exponentLittleEndian);

    // base^exponent mod n; the base is reduced modulo n first.
    u128 power(u128 base) const;

    static u128 fromLittleEndian(const unsigned char* bytes, int length);
    static void toLittleEndian(u128 value, unsigned char out[16]);

private:
    Mont128() = default;
    u128 multiply(u128 a, u128 b) const;

    u128 m_n = 0;
    u128 m_nPrime = 0; // -n^-1 mod 2^128
    u128 m_rModN = 0; // 2^128 mod n: Montgomery one
    u128 m_r2ModN = 0; // 2^256 mod n
    QByteArray m_exponent;
    int m_exponentBits = 0;
};

} // namespace jx::rsa
