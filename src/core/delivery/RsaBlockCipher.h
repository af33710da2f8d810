#pragma once

#include "delivery/RsaKey.h"

#include <QByteArray>
#include <QByteArrayView>

// The block format of the delivery files: 5-byte plaintext blocks, each padded into a
// 16-byte PKCS #1 v1.5 type-2 block laid out least significant byte first, c = m^e mod n,
// 16 cipher bytes per block, least significant first.
namespace jx::rsa {

inline constexpr int kPlainBlock = 5;
inline constexpr int kCipherBlock = 16;

// Raw cipher bytes: 16 per started 5 bytes of plaintext, one block for an empty text.
QByteArray encryptBlocks(QByteArrayView plaintext, const RsaKey& publicKey);
// The Base64 text of encryptBlocks.
QByteArray encrypt(QByteArrayView plaintext, const RsaKey& publicKey);

// m = c^d mod n for one block, as 16 bytes least significant first (for tests).
QByteArray decryptBlockRaw(const QByteArray& cipherBlock, const RsaKey& privateKey);
QByteArray decryptBlocks(const QByteArray& cipher, const RsaKey& privateKey);
// Base64 text in, plaintext out; every failure is a jx::Error with the format's text.
QByteArray decrypt(const QByteArray& base64Text, const RsaKey& privateKey);

} // namespace jx::rsa
