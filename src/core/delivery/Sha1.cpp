#include "delivery/Sha1.h"

#include "Error.h"

#include <QFile>

#include <openssl/evp.h>

#include <memory>

namespace jx::sha1 {

namespace {

struct CtxDeleter {
    void operator()(EVP_MD_CTX* ctx) const { EVP_MD_CTX_free(ctx); }
};
using Ctx = std::unique_ptr<EVP_MD_CTX, CtxDeleter>;

Ctx newContext()
{
    Ctx ctx(EVP_MD_CTX_new());
    if (!ctx || EVP_DigestInit_ex(ctx.get(), EVP_sha1(), nullptr) != 1)
        throw Error(QStringLiteral("Falha ao iniciar o cálculo do SHA-1."));
    return ctx;
}

QByteArray finish(EVP_MD_CTX* ctx)
{
    unsigned char out[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(ctx, out, &length) != 1)
        throw Error(QStringLiteral("Falha ao calcular o SHA-1."));
    return QByteArray(reinterpret_cast<const char*>(out), int(length));
}

} // namespace

QByteArray digest(const QByteArray& bytes)
{
    Ctx ctx = newContext();
    EVP_DigestUpdate(ctx.get(), bytes.constData(), std::size_t(bytes.size()));
    return finish(ctx.get());
}

QString hexUpper(const QByteArray& bytes)
{
    return QString::fromLatin1(digest(bytes).toHex().toUpper());
}

QString hexUpper(std::initializer_list<QByteArrayView> parts)
{
    Ctx ctx = newContext();
    for (const QByteArrayView part : parts)
        EVP_DigestUpdate(ctx.get(), part.data(), std::size_t(part.size()));
    return QString::fromLatin1(finish(ctx.get()).toHex().toUpper());
}

QString hexUpperOfFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(file.errorString(), path);
    Ctx ctx = newContext();
    char chunk[1024];
    for (;;) {
        const qint64 read = file.read(chunk, sizeof chunk);
        if (read < 0)
            throw Error(file.errorString(), path);
        if (read == 0)
            break;
        EVP_DigestUpdate(ctx.get(), chunk, std::size_t(read));
    }
    return QString::fromLatin1(finish(ctx.get()).toHex().toUpper());
}

} // namespace jx::sha1
