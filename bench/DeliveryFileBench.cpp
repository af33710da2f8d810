// Stamping plus encrypting delivery files with an 8 KiB data section, against the floor of
// that work: the SHA-1 of the file's bytes, the format's RSA blocks of its data section through
// the same Mont128 routine, and one atomic rewrite of a file of the sealed size (temporary
// file, synced, renamed over the old one, as QSaveFile does for the program).

#include "BenchRatio.h"

#include "delivery/ManipulaXml.h"
#include "delivery/Mont128.h"
#include "delivery/RsaBlockCipher.h"
#include "delivery/RsaKey.h"
#include "platform/Files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

#include <openssl/evp.h>
#include <openssl/rand.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kFiles = 1000;

const jx::RsaKeyPair& keys()
{
    static const jx::RsaKeyPair pair = jx::RsaKeyPair::generate();
    return pair;
}

QString dataText()
{
    QString text;
    int i = 0;
    while (text.size() < 8192)
        text += QStringLiteral("<socio><nome>SOCIO NUMERO %1 DA SILVA</nome><cpf>52998224725</cpf></socio>\r\n")
                    .arg(i++);
    return QStringLiteral("<socios>\r\n") + text + QStringLiteral("</socios>\r\n");
}

QByteArray plainBytes()
{
    jx::TInfCabecalho header;
    header.tipo_identificador = QStringLiteral("CNPJ");
    header.identificador = QStringLiteral("11222333000181");
    header.tipo_arquivo = QStringLiteral("6");
    header.versao_programa_gerador = QStringLiteral("1.00.01");
    header.data_inicial = header.data_final = QDate(2005, 3, 7);
    header.indicativo_substituicao = QStringLiteral("N");
    return jx::xmlfile::fileBytes(header, dataText());
}

QString fileName(const QTemporaryDir& dir, int i)
{
    return dir.filePath(QString::number(i) + QStringLiteral(".xml"));
}

// Fresh plain files, written the plain way: their writing is not what is measured.
void writeFiles(const QTemporaryDir& dir, const QByteArray& bytes)
{
    for (int i = 0; i < kFiles; ++i) {
        QFile f(fileName(dir, i));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "não foi possível gravar %s\n", qPrintable(f.fileName()));
            std::exit(1);
        }
    }
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "não foi possível ler %s\n", qPrintable(path));
        std::exit(1);
    }
    return f.readAll();
}

// The blocks of the format (5 plain bytes, a zero, 8 filler bytes from the system's source,
// the type) raised to the public exponent.
unsigned char rsaBlocks(const jx::rsa::Mont128& key, const char* plain, qsizetype length, QByteArray& cipher)
{
    const qsizetype blocks = (length + 4) / 5;
    cipher.resize(blocks * 16);
    static unsigned char filler[4096];
    qsizetype used = sizeof filler;
    unsigned char seen = 0;
    auto* out = reinterpret_cast<unsigned char*>(cipher.data());
    for (qsizetype b = 0; b < blocks; ++b) {
        if (used + 8 > qsizetype(sizeof filler)) {
            RAND_bytes(filler, sizeof filler);
            used = 0;
        }
        unsigned char block[16] {};
        const int k = int(std::min<qsizetype>(5, length - b * 5));
        for (int i = 0; i < k; ++i)
            block[i] = static_cast<unsigned char>(plain[b * 5 + i]);
        for (int i = 0; i < 8; ++i)
            block[k + 1 + i] = static_cast<unsigned char>(1 + filler[used + i] % 253);
        used += 8;
        block[14] = 0x02;
        jx::rsa::Mont128::toLittleEndian(key.power(jx::rsa::Mont128::fromLittleEndian(block, 16)), out + b * 16);
        seen ^= out[b * 16];
    }
    return seen;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const jx::RsaKey& publicKey = keys().publicKey;
    const std::optional<jx::rsa::Mont128> mont = jx::rsa::Mont128::create(publicKey.modulus, publicKey.exponent);
    if (!mont)
        return 1;

    const QByteArray plain = plainBytes();
    // What the program writes for each file: the baseline writes as many bytes.
    const QByteArray sealed = jx::xmlfile::sealedBytes(plain, publicKey, QStringLiteral("modelo"));

    jxbench::Pair pair;
    pair.name = "delivery_file.StampAndEncrypt";
    pair.aim = 2;
    pair.prepare = [&] { writeFiles(dir, plain); };
    // As the diskette and backup runs seal a file: encrypted, then stamped, in memory; then
    // written once.
    pair.measured = [&] {
        for (int i = 0; i < kFiles; ++i) {
            const QString file = fileName(dir, i);
            jx::files::replaceContent(file, jx::xmlfile::sealedBytes(readFile(file), publicKey, file));
        }
    };
    pair.baseline = [&] {
        QByteArray cipher;
        unsigned seen = 0;
        for (int i = 0; i < kFiles; ++i) {
            const QString file = fileName(dir, i);
            const QByteArray bytes = readFile(file);
            unsigned char digest[EVP_MAX_MD_SIZE];
            unsigned int length = 0;
            EVP_Digest(bytes.constData(), size_t(bytes.size()), digest, &length, EVP_sha1(), nullptr);
            const qsizetype from = bytes.indexOf("<dados>") + 7;
            const qsizetype to = bytes.indexOf("</dados>", from);
            seen += rsaBlocks(*mont, bytes.constData() + from, to - from, cipher) + digest[0];
            QSaveFile out(file);
            if (!out.open(QIODevice::WriteOnly) || out.write(sealed) != sealed.size() || !out.commit()) {
                std::fprintf(stderr, "não foi possível gravar %s\n", qPrintable(file));
                std::exit(1);
            }
        }
        benchmark::DoNotOptimize(seen);
    };
    jxbench::runPair(pair);

    // RSA blocks per second, for the record.
    const QByteArray data(8192, 'x');
    const jxbench::Times t = jxbench::timeOnce([&] {
        for (int i = 0; i < 100; ++i)
            benchmark::DoNotOptimize(jx::rsa::encryptBlocks(data, publicKey));
    });
    std::printf("RSA: %.2f M blocos/s\n", 100.0 * double((data.size() + 4) / 5) / t.cpuMs / 1e3);
    return 0;
}
