#include "Error.h"
#include "delivery/Base64.h"
#include "delivery/RsaBlockCipher.h"
#include "delivery/RsaKey.h"
#include "delivery/Sha1.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <openssl/rsa.h>

#include <algorithm>
#include <functional>

#include <gtest/gtest.h>

#include "../support/TestFiles.h"

using namespace jxtest;

using namespace jx;

namespace {

const RsaKeyPair& keys()
{
    static const RsaKeyPair pair = RsaKeyPair::generate();
    return pair;
}

// OpenSSL's own PKCS #1 v1.5 type-2 check, on the block in the standard big-endian order.
int opensslUnpad(const QByteArray& bigEndianBlock, unsigned char* out, int outSize)
{
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    return RSA_padding_check_PKCS1_type_2(out, outSize,
        reinterpret_cast<const unsigned char*>(bigEndianBlock.constData()), int(bigEndianBlock.size()),
        int(bigEndianBlock.size()));
#pragma GCC diagnostic pop
}

} // namespace

TEST(Sha1, Fips180Vectors)
{
    EXPECT_EQ(sha1::hexUpper("abc"), QStringLiteral("A9993E364706816ABA3E25717850C26C9CD0D89D"));
    EXPECT_EQ(sha1::hexUpper("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
        QStringLiteral("84983E441C3BD26EBAAE4AA1F95129E5E54670F1"));
    EXPECT_EQ(sha1::hexUpper(QByteArray(1000000, 'a')), QStringLiteral("34AA973CD4C4DAA4F61EEB2BDBAD27316534016F"));
}

TEST(Sha1, FileDigestAcrossChunkBoundaries)
{
    QTemporaryDir dir;
    for (const int size : { 0, 1023, 1024, 1025, 5000 }) {
        const QByteArray bytes(size, 'x');
        QFile file(dir.filePath("f"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        EXPECT_EQ(sha1::hexUpperOfFile(file.fileName()), sha1::hexUpper(bytes)) << size;
    }
    EXPECT_FALSE(errorOf([&] { sha1::hexUpperOfFile(dir.filePath("nao-existe")); }).isEmpty());
}

TEST(Base64, Rfc4648Vectors)
{
    const std::pair<QByteArray, QByteArray> vectors[] = {
        { "", "" },
        { "f", "Zg==" },
        { "fo", "Zm8=" },
        { "foo", "Zm9v" },
        { "foob", "Zm9vYg==" },
        { "fooba", "Zm9vYmE=" },
        { "foobar", "Zm9vYmFy" },
    };
    for (const auto& [plain, encoded] : vectors) {
        EXPECT_EQ(base64::encode(plain), encoded);
        EXPECT_EQ(base64::decode(encoded), plain);
    }
    const QByteArray all = [] {
        QByteArray b;
        for (int i = 0; i < 256; ++i)
            b += char(i);
        return b;
    }();
    EXPECT_EQ(base64::decode(base64::encode(all)), all);
}

TEST(Base64, StrictDecoderRefusesForeignCharacters)
{
    for (const QByteArray& bad : { QByteArray("Zm9v YmFy"), QByteArray("Zm9v\r\n"), QByteArray("Zm9-"),
             QByteArray("Zm9v{mFy"), QByteArray("Zm=v"), QByteArray("Z"), QByteArray("Zm9vY") }) {
        EXPECT_EQ(errorOf([&] { base64::decode(bad); }), QStringLiteral("Invalid Base64 Character")) << bad.constData();
    }
}

TEST(RsaBlocks, CountsFollowFiveBytePlaintextBlocks)
{
    for (const int k : { 1, 2, 7 }) {
        EXPECT_EQ(rsa::encryptBlocks(QByteArray(5 * k, 'a'), keys().publicKey).size(), 16 * k);
        EXPECT_EQ(rsa::encryptBlocks(QByteArray(5 * k + 1, 'a'), keys().publicKey).size(), 16 * (k + 1));
    }
    EXPECT_EQ(rsa::encryptBlocks({}, keys().publicKey).size(), 16);
    EXPECT_EQ(rsa::encrypt({}, keys().publicKey).size(), 24);
    // 4 * ceil(16 * blocks / 3) Base64 characters.
    EXPECT_EQ(rsa::encrypt(QByteArray(11, 'x'), keys().publicKey).size(), 4 * ((16 * 3 + 2) / 3));
}

TEST(RsaBlocks, EveryBlockDecryptsToItsPlaintextWithSoundPadding)
{
    QByteArray plain;
    for (int i = 0; i < 503; ++i)
        plain += char(i * 7);
    const QByteArray cipher = rsa::encryptBlocks(plain, keys().publicKey);
    ASSERT_EQ(cipher.size(), 16 * 101);
    for (int b = 0; b < 101; ++b) {
        const QByteArray m = rsa::decryptBlockRaw(cipher.mid(16 * b, 16), keys().privateKey);
        const QByteArray expected = plain.mid(5 * b, 5);
        const int k = int(expected.size());
        ASSERT_EQ(m.size(), 15); // B[15] is 0x00, B[14] the block type
        EXPECT_EQ(m.left(k), expected);
        EXPECT_EQ(m[k], '\0');
        EXPECT_EQ(m[14], '\x02');
        for (int i = k + 1; i < 14; ++i) {
            const auto filler = static_cast<unsigned char>(m[i]);
            EXPECT_TRUE(filler >= 1 && filler <= 253) << int(filler);
        }
        // Byte-reversed, the block is a standard PKCS #1 v1.5 type-2 block.
        // (The plaintext comes out reversed, as it sits least significant first.)
        QByteArray bigEndian = m + QByteArray(1, '\0');
        std::reverse(bigEndian.begin(), bigEndian.end());
        unsigned char out[16];
        const int length = opensslUnpad(bigEndian, out, sizeof out);
        ASSERT_EQ(length, k);
        QByteArray unpadded(reinterpret_cast<const char*>(out), length);
        std::reverse(unpadded.begin(), unpadded.end());
        EXPECT_EQ(unpadded, expected);
    }
    EXPECT_EQ(rsa::decryptBlocks(cipher, keys().privateKey), plain);
}

TEST(RsaBlocks, SameTextEncryptsDifferentlyEachTime)
{
    const QByteArray plain = "<dados>mesmo texto</dados>";
    const QByteArray a = rsa::encrypt(plain, keys().publicKey);
    const QByteArray b = rsa::encrypt(plain, keys().publicKey);
    EXPECT_NE(a, b);
    EXPECT_EQ(rsa::decrypt(a, keys().privateKey), plain);
    EXPECT_EQ(rsa::decrypt(b, keys().privateKey), plain);
}

TEST(RsaBlocks, DecryptionFailuresCarryTheFormatsTexts)
{
    const RsaKey& priv = keys().privateKey;
    EXPECT_EQ(errorOf([&] { rsa::decrypt("****", priv); }), QStringLiteral("Invalid Base64 Character"));
    // Blocks built by hand and encrypted with the raw public operation (d undoes e).
    auto sealed = [&](QByteArray m) {
        m.resize(16, '\0');
        const RsaKey pub = keys().publicKey;
        return rsa::decryptBlockRaw(m, pub).leftJustified(16, '\0');
    };
    QByteArray small(10, '\x05');
    EXPECT_EQ(errorOf([&] { rsa::decryptBlocks(sealed(small), priv); }),
        QStringLiteral("RSA decoding error: Block too small"));
    QByteArray badType(15, '\x05');
    badType[14] = '\x03';
    EXPECT_EQ(errorOf([&] { rsa::decryptBlocks(sealed(badType), priv); }),
        QStringLiteral("RSA decoding error: Invalid block type"));
    QByteArray noSeparator(15, '\x05');
    noSeparator[14] = '\x02';
    EXPECT_EQ(errorOf([&] { rsa::decryptBlocks(sealed(noSeparator), priv); }),
        QStringLiteral("RSA decoding error: Invalid block format"));
}

TEST(KeyFile, IntegerLeadingZeroRule)
{
    // SEQUENCE { INTEGER 00 81 05, INTEGER 01 00 01 }
    const QByteArray dropped = QByteArray::fromHex("300a"
                                                   "0203008105"
                                                   "0203010001");
    EXPECT_EQ(RsaKey::parse(dropped).modulus, QByteArray::fromHex("8105"));
    const QByteArray kept = QByteArray::fromHex("300a"
                                                "0203008005"
                                                "0203010001");
    EXPECT_EQ(RsaKey::parse(kept).modulus, QByteArray::fromHex("008005"));
    EXPECT_EQ(RsaKey::parse(kept).exponent, QByteArray::fromHex("010001"));
}

TEST(KeyFile, LongFormsOfTagAndLength)
{
    // A high tag number form for the SEQUENCE (0x3F 0x10 = tag 16) and long lengths.
    const QByteArray key = QByteArray::fromHex("3f10"
                                               "810a"
                                               "02810305ab01"
                                               "0203010001");
    const RsaKey parsed = RsaKey::parse(key);
    EXPECT_EQ(parsed.modulus, QByteArray::fromHex("05ab01"));
    EXPECT_EQ(RsaKey::parse(keys().publicKey.serialize()).modulus, keys().publicKey.modulus);
    EXPECT_EQ(RsaKey::parse(keys().privateKey.serialize()).exponent, keys().privateKey.exponent);
}

TEST(KeyFile, MalformedKeysAreRefused)
{
    const QString rsa = QStringLiteral("Invalid RSA Key");
    const QString asym = QStringLiteral("Invalid Asymmetric Key");
    EXPECT_EQ(errorOf([] { RsaKey::parse(QByteArray::fromHex("310a0203008105")); }), rsa);
    EXPECT_EQ(errorOf([] { RsaKey::parse(QByteArray::fromHex("300a0403008105")); }), asym); // not INTEGER
    EXPECT_EQ(errorOf([] { RsaKey::parse(QByteArray::fromHex("300a02ff")); }), asym); // length too long
    EXPECT_EQ(errorOf([] { RsaKey::parse(QByteArray::fromHex("300502030081")); }), asym); // content cut short
    EXPECT_EQ(errorOf([] { RsaKey::parse(QByteArray::fromHex("3006020105")); }), asym); // exponent missing
    EXPECT_EQ(errorOf([] { RsaKey::parse(QByteArray()); }), asym);
    EXPECT_EQ(errorOf([] { RsaKey::parse(QByteArray::fromHex("3f")); }), asym);
}

TEST(KeyFile, SizeLimitIs4097Bytes)
{
    QTemporaryDir dir;
    const QByteArray key = keys().publicKey.serialize();
    // Bytes after the exponent are ignored, which lets the file reach the limit.
    QFile at(dir.filePath("limite.dat"));
    ASSERT_TRUE(at.open(QIODevice::WriteOnly));
    at.write(key + QByteArray(4097 - key.size(), '\0'));
    at.close();
    EXPECT_EQ(RsaKey::load(at.fileName()).modulus, keys().publicKey.modulus);

    QFile over(dir.filePath("grande.dat"));
    ASSERT_TRUE(over.open(QIODevice::WriteOnly));
    over.write(key + QByteArray(4098 - key.size(), '\0'));
    over.close();
    EXPECT_EQ(errorOf([&] { RsaKey::load(over.fileName()); }), QStringLiteral("Invalid Asymmetric Key"));
    EXPECT_FALSE(errorOf([&] { RsaKey::load(dir.filePath("ausente.dat")); }).isEmpty());
}

TEST(KeyFile, GeneratedPairSavesAndWorks)
{
    QTemporaryDir dir;
    const RsaKeyPair pair = RsaKeyPair::generate();
    EXPECT_EQ(pair.publicKey.modulus.size(), 16);
    pair.save(dir.path());
    const RsaKey pub = RsaKey::load(dir.filePath("PublicKey.dat"));
    const RsaKey priv = RsaKey::load(dir.filePath("PrivateKey.dat"));
    EXPECT_EQ(rsa::decrypt(rsa::encrypt("Habilitação", pub), priv), QByteArray("Habilitação"));
}
