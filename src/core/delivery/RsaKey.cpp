#include "delivery/RsaKey.h"

#include "Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <openssl/bn.h>

#include <filesystem>
#include <memory>
#include <system_error>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace jx {

namespace {

[[noreturn]] void invalidAsymmetric()
{
    throw Error(QString::fromLatin1(kInvalidAsymmetricKeyText));
}

class Reader {
public:
    explicit Reader(const QByteArray& data)
        : m_data(data)
    {
    }

    unsigned char byte()
    {
        if (m_pos >= m_data.size())
            invalidAsymmetric();
        return static_cast<unsigned char>(m_data[m_pos++]);
    }

    unsigned tag()
    {
        const unsigned char first = byte();
        unsigned number = first & 0x1F;
        if (number == 31) {
            number = 0;
            unsigned char next = 0;
            int count = 0;
            do {
                next = byte();
                if (++count > 4)
                    invalidAsymmetric(); // no tag of ours needs more than 28 bits
                number = (number << 7) | (next & 0x7F);
            } while (next & 0x80);
        }
        return number;
    }

    qsizetype length()
    {
        const unsigned char first = byte();
        qsizetype value = first;
        if (first >= 0x80) {
            const int count = first - 0x80;
            if (count == 0 || count > 4)
                invalidAsymmetric();
            value = 0;
            for (int i = 0; i < count; ++i)
                value = (value << 8) | byte();
        }
        if (value > left())
            invalidAsymmetric();
        return value;
    }

    QByteArray bytes(qsizetype count)
    {
        if (count > left())
            invalidAsymmetric();
        const QByteArray out = m_data.mid(m_pos, count);
        m_pos += count;
        return out;
    }

    qsizetype left() const { return m_data.size() - m_pos; }

private:
    const QByteArray& m_data;
    qsizetype m_pos = 0;
};

QByteArray readInteger(Reader& reader)
{
    if (reader.tag() != 2)
        invalidAsymmetric();
    QByteArray content = reader.bytes(reader.length());
    // The format's own rule: a leading 0x00 before a byte above 0x80 is not part of the number.
    if (content.size() >= 2 && content[0] == '\0' && static_cast<unsigned char>(content[1]) > 0x80)
        content.remove(0, 1);
    return content;
}

bool isZero(const QByteArray& number)
{
    for (const char c : number) {
        if (c != '\0')
            return false;
    }
    return true;
}

QByteArray encodeLength(qsizetype length)
{
    if (length < 0x80)
        return QByteArray(1, char(length));
    QByteArray bytes;
    for (qsizetype v = length; v > 0; v >>= 8)
        bytes.prepend(char(v & 0xFF));
    return char(0x80 + bytes.size()) + bytes;
}

QByteArray encodeInteger(const QByteArray& littleEndian)
{
    return QByteArray(1, '\x02') + encodeLength(littleEndian.size()) + littleEndian;
}

struct BnDeleter {
    void operator()(BIGNUM* bn) const { BN_clear_free(bn); }
};
using Bn = std::unique_ptr<BIGNUM, BnDeleter>;
struct CtxDeleter {
    void operator()(BN_CTX* ctx) const { BN_CTX_free(ctx); }
};

QByteArray littleEndian(const BIGNUM* bn)
{
    QByteArray out(BN_num_bytes(bn), '\0');
    BN_bn2lebinpad(bn, reinterpret_cast<unsigned char*>(out.data()), int(out.size()));
    return out;
}

// A number whose encoding starts 0x00 followed by a byte above 0x80 would be read back
// wrongly by the format's rule; such keys are drawn again.
bool encodesSafely(const QByteArray& number)
{
    return !(number.size() >= 2 && number[0] == '\0' && static_cast<unsigned char>(number[1]) > 0x80);
}

} // namespace

RsaKey RsaKey::parse(const QByteArray& fileBytes)
{
    if (fileBytes.size() > kMaxFileSize)
        invalidAsymmetric();
    Reader reader(fileBytes);
    if (reader.tag() != 16)
        throw Error(QString::fromLatin1(kInvalidRsaKeyText));
    reader.length();
    RsaKey key;
    key.modulus = readInteger(reader);
    key.exponent = readInteger(reader);
    if (isZero(key.modulus))
        invalidAsymmetric();
    return key;
}

RsaKey RsaKey::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(file.errorString() + QStringLiteral(": ") + path);
    // One byte past the limit is enough to know the file is too large.
    const QByteArray bytes = file.read(kMaxFileSize + 1);
    const RsaKey key = parse(bytes);
    key.requireUsable();
    return key;
}

int RsaKey::modulusBits() const
{
    // Least significant byte first: the top byte is the last non-zero one.
    for (qsizetype i = modulus.size() - 1; i >= 0; --i) {
        const auto byte = static_cast<unsigned char>(modulus[i]);
        if (byte != 0) {
            int bits = int(i) * 8;
            for (unsigned v = byte; v != 0; v >>= 1)
                ++bits;
            return bits;
        }
    }
    return 0;
}

void RsaKey::requireUsable() const
{
    // A 16-byte cipher block only round-trips under a modulus of exactly 128 bits; a
    // smaller one would lose data while reporting success.
    if (modulusBits() != kModulusBits || isZero(exponent))
        throw Error(QString::fromUtf8(kKeySizeText));
}

QByteArray RsaKey::serialize() const
{
    const QByteArray body = encodeInteger(modulus) + encodeInteger(exponent);
    return QByteArray(1, '\x30') + encodeLength(body.size()) + body;
}

RsaKeyPair RsaKeyPair::generate()
{
    std::unique_ptr<BN_CTX, CtxDeleter> ctx(BN_CTX_new());
    Bn p(BN_new()), q(BN_new()), n(BN_new()), e(BN_new()), d(BN_new()), phi(BN_new());
    Bn p1(BN_new()), q1(BN_new());
    if (!ctx || !p || !q || !n || !e || !d || !phi || !p1 || !q1)
        throw Error(QStringLiteral("Falha ao gerar o par de chaves."));
    BN_set_word(e.get(), 65537);
    for (int attempt = 0; attempt < 1000; ++attempt) {
        // 64-bit primes with their top two bits set give a modulus of exactly 128 bits.
        if (!BN_generate_prime_ex(p.get(), 64, 0, nullptr, nullptr, nullptr)
            || !BN_generate_prime_ex(q.get(), 64, 0, nullptr, nullptr, nullptr))
            continue;
        if (BN_cmp(p.get(), q.get()) == 0)
            continue;
        BN_mul(n.get(), p.get(), q.get(), ctx.get());
        BN_sub(p1.get(), p.get(), BN_value_one());
        BN_sub(q1.get(), q.get(), BN_value_one());
        BN_mul(phi.get(), p1.get(), q1.get(), ctx.get());
        if (BN_num_bits(n.get()) != 128 || !BN_mod_inverse(d.get(), e.get(), phi.get(), ctx.get()))
            continue;
        RsaKeyPair pair;
        pair.publicKey = { littleEndian(n.get()), littleEndian(e.get()) };
        pair.privateKey = { littleEndian(n.get()), littleEndian(d.get()) };
        if (encodesSafely(pair.publicKey.modulus) && encodesSafely(pair.privateKey.exponent))
            return pair;
    }
    throw Error(QStringLiteral("Falha ao gerar o par de chaves."));
}

namespace {

// A key written whole under a temporary name in the folder; removed unless handed on.
std::unique_ptr<QTemporaryFile> stagedKey(const QDir& folder, const char* name, const QByteArray& bytes)
{
    auto file
        = std::make_unique<QTemporaryFile>(folder.filePath(QString::fromLatin1(name) + QStringLiteral(".XXXXXX")));
    bool written = file->open() && file->write(bytes) == bytes.size() && file->flush();
    // A temporary file is the owner's alone; key files are read as files made the usual way are.
    written = written
        && file->setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
            | QFileDevice::ReadOther);
#ifdef Q_OS_UNIX
    // The rename must not put the name over blocks a power cut never wrote.
    written = written && ::fsync(file->handle()) == 0;
#endif
    if (!written)
        throw Error(
            QStringLiteral("Não foi possível gravar a chave %1: %2")
                .arg(QDir::toNativeSeparators(folder.filePath(QString::fromLatin1(name))), file->errorString()));
    file->close();
    return file;
}

bool moveOver(const QString& from, const QString& to, QString& reason)
{
    std::error_code ec;
    std::filesystem::rename(
        std::filesystem::path(from.toStdU16String()), std::filesystem::path(to.toStdU16String()), ec);
    reason = QString::fromLocal8Bit(ec.message());
    return !ec;
}

bool occupied(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

bool RsaKeyPair::folderHoldsKeys(const QString& folder)
{
    const QDir dir(folder);
    return occupied(dir.filePath(QString::fromLatin1(kPublicKeyFile)))
        || occupied(dir.filePath(QString::fromLatin1(kPrivateKeyFile)));
}

QString RsaKeyPair::keysExistText(const QString& folder)
{
    return QStringLiteral("A pasta %1 já tem uma chave (%2 ou %3); nada foi gravado. Os arquivos criptografados com a "
                          "chave atual só podem ser abertos com ela.")
        .arg(QDir::toNativeSeparators(folder), QString::fromLatin1(kPublicKeyFile),
            QString::fromLatin1(kPrivateKeyFile));
}

void RsaKeyPair::save(const QString& folder, bool replace) const
{
    if (!replace && folderHoldsKeys(folder))
        throw Error(keysExistText(folder));
    if (!QDir().mkpath(folder))
        throw Error(QStringLiteral("Não foi possível criar a pasta %1.").arg(QDir::toNativeSeparators(folder)));
    const QDir dir(folder);
    const QString publicPath = dir.filePath(QString::fromLatin1(kPublicKeyFile));
    const QString privatePath = dir.filePath(QString::fromLatin1(kPrivateKeyFile));
    const auto newPublic = stagedKey(dir, kPublicKeyFile, publicKey.serialize());
    const auto newPrivate = stagedKey(dir, kPrivateKeyFile, privateKey.serialize());

    // Two names cannot change in one step: the old public key is kept in memory, to be put
    // back when the private one cannot take its name.
    QFile oldPublicFile(publicPath);
    const bool hadPublic = oldPublicFile.open(QIODevice::ReadOnly);
    const QByteArray oldPublic = hadPublic ? oldPublicFile.read(RsaKey::kMaxFileSize + 1) : QByteArray();
    oldPublicFile.close();
    QString reason;
    if (!moveOver(newPublic->fileName(), publicPath, reason))
        throw Error(
            QStringLiteral("Não foi possível gravar a chave %1: %2").arg(QDir::toNativeSeparators(publicPath), reason));
    newPublic->setAutoRemove(false);
    if (!moveOver(newPrivate->fileName(), privatePath, reason)) {
        if (hadPublic) {
            QString ignored;
            const auto restored = stagedKey(dir, kPublicKeyFile, oldPublic);
            if (moveOver(restored->fileName(), publicPath, ignored))
                restored->setAutoRemove(false);
        } else {
            QFile::remove(publicPath);
        }
        throw Error(QStringLiteral("Não foi possível gravar a chave %1: %2")
                        .arg(QDir::toNativeSeparators(privatePath), reason));
    }
    newPrivate->setAutoRemove(false);
}

} // namespace jx
