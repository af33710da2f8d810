#include "delivery/Mont128.h"

#include <QRandomGenerator>

#include <openssl/bn.h>

#include <gtest/gtest.h>

using jx::rsa::Mont128;

namespace {

QByteArray randomBytes(int count)
{
    QByteArray bytes(count, '\0');
    for (char& b : bytes)
        b = char(QRandomGenerator::global()->bounded(256));
    return bytes;
}

// The reference: OpenSSL's general modular exponentiation.
QByteArray reference(const QByteArray& base, const QByteArray& exponent, const QByteArray& modulus)
{
    auto le = [](const QByteArray& b) {
        return BN_lebin2bn(reinterpret_cast<const unsigned char*>(b.constData()), int(b.size()), nullptr);
    };
    BIGNUM *x = le(base), *e = le(exponent), *n = le(modulus), *r = BN_new();
    BN_CTX* ctx = BN_CTX_new();
    BN_mod_exp(r, x, e, n, ctx);
    QByteArray out(16, '\0');
    BN_bn2lebinpad(r, reinterpret_cast<unsigned char*>(out.data()), 16);
    BN_free(x), BN_free(e), BN_free(n), BN_free(r), BN_CTX_free(ctx);
    return out;
}

} // namespace

TEST(Mont128, AgreesWithGeneralExponentiation)
{
    for (int round = 0; round < 400; ++round) {
        // Moduli of every length up to 16 bytes, odd, with the top byte sometimes all ones so
        // that the carry out of 128 bits is exercised.
        const int length = 1 + round % 16;
        QByteArray modulus = randomBytes(length);
        modulus[0] = char(modulus[0] | 1);
        if (round % 3 == 0)
            modulus[length - 1] = char(0xFF);
        if (modulus == QByteArray(1, '\x01'))
            continue;
        const QByteArray exponent = round % 2 ? QByteArray::fromHex("010001") : randomBytes(16);
        const auto engine = Mont128::create(modulus, exponent);
        ASSERT_TRUE(engine.has_value());
        const QByteArray base = randomBytes(16);
        unsigned char out[16];
        Mont128::toLittleEndian(
            engine->power(Mont128::fromLittleEndian(reinterpret_cast<const unsigned char*>(base.constData()), 16)),
            out);
        EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(out), 16), reference(base, exponent, modulus))
            << "rodada " << round;
    }
}

TEST(Mont128, RefusesModuliItCannotServe)
{
    EXPECT_FALSE(Mont128::create(QByteArray::fromHex("02"), QByteArray::fromHex("03")).has_value());
    EXPECT_FALSE(Mont128::create(QByteArray::fromHex("0000"), QByteArray::fromHex("03")).has_value());
    EXPECT_FALSE(Mont128::create(QByteArray(17, '\x01'), QByteArray::fromHex("03")).has_value());
    EXPECT_TRUE(Mont128::create(QByteArray::fromHex("0300000000"), QByteArray::fromHex("03")).has_value());
}
