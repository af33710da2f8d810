#pragma once

#include <QByteArray>
#include <QString>

namespace jx {

// One half of the program's 128-bit RSA key pair: modulus and exponent, each kept least
// significant byte first as in the key files.
struct RsaKey {
    QByteArray modulus;
    QByteArray exponent;

    // The key-file layout: SEQUENCE { INTEGER modulus, INTEGER exponent }, tags and lengths
    // in the usual definite form, INTEGER contents least significant byte first.
    // Throws jx::Error "Invalid RSA Key" / "Invalid Asymmetric Key".
    static RsaKey parse(const QByteArray& fileBytes);
    // Reads and parses a key file; a missing or unreadable file fails with the file
    // system's message, a key that cannot serve the 128-bit blocks with kKeySizeText.
    static RsaKey load(const QString& path);
    QByteArray serialize() const;

    int modulusBits() const;
    // Throws kKeySizeText unless the key can encrypt the 16-byte blocks without loss.
    void requireUsable() const;

    static constexpr qsizetype kMaxFileSize = 4097;
    static constexpr int kModulusBits = 128;
};

struct RsaKeyPair {
    RsaKey publicKey;
    RsaKey privateKey;

    // A fresh pair: two 64-bit primes, public exponent 65537.
    static RsaKeyPair generate();
    // Writes PublicKey.dat and PrivateKey.dat into the folder (created when missing). A folder
    // holding either file is refused (keysExistText) unless replace: files encrypted with the
    // old pair open with it only. Both files are written whole under temporary names before
    // either takes its name, so a failure leaves the old pair as it was. Throws jx::Error.
    void save(const QString& folder, bool replace = false) const;
    // The folder holds PublicKey.dat or PrivateKey.dat (or something under either name).
    static bool folderHoldsKeys(const QString& folder);
    static QString keysExistText(const QString& folder);
};

inline constexpr char kInvalidRsaKeyText[] = "Invalid RSA Key";
inline constexpr char kInvalidAsymmetricKeyText[] = "Invalid Asymmetric Key";
inline constexpr char kKeySizeText[] = "Chave RSA inválida: o módulo da chave deve ter 128 bits.";
inline constexpr char kPublicKeyFile[] = "PublicKey.dat";
inline constexpr char kPrivateKeyFile[] = "PrivateKey.dat";

} // namespace jx
