// Stamping plus encrypting delivery files with an 8 KiB data section, against the floor of
// hashing the same bytes with libcrypto and rewriting the same files; and RSA blocks per
// second.

#include "BenchRatio.h"

#include "delivery/ManipulaXml.h"
#include "delivery/RsaBlockCipher.h"
#include "delivery/RsaKey.h"
#include "platform/ScriptedPrompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <openssl/evp.h>

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

void writeFiles(const QTemporaryDir& dir)
{
    jx::TInfCabecalho header;
    header.tipo_identificador = QStringLiteral("CNPJ");
    header.identificador = QStringLiteral("11222333000181");
    header.tipo_arquivo = QStringLiteral("6");
    header.versao_programa_gerador = QStringLiteral("1.00.01");
    header.data_inicial = header.data_final = QDate(2005, 3, 7);
    header.indicativo_substituicao = QStringLiteral("N");
    static const QString data = dataText();
    for (int i = 0; i < kFiles; ++i)
        jx::xmlfile::GerarArquivoXML(dir.filePath(QString::number(i) + QStringLiteral(".xml")), header, data);
}

void BM_StampAndEncrypt(benchmark::State& state)
{
    QTemporaryDir dir;
    jx::ScriptedPrompts prompts;
    for (auto _ : state) {
        state.PauseTiming();
        writeFiles(dir);
        state.ResumeTiming();
        for (int i = 0; i < kFiles; ++i) {
            const QString file = dir.filePath(QString::number(i) + QStringLiteral(".xml"));
            jx::xmlfile::CriptografarDados(file, keys().publicKey);
            jx::xmlfile::GravarVerificador(file, prompts);
        }
    }
}
BENCHMARK(BM_StampAndEncrypt)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_HashAndRewrite(benchmark::State& state)
{
    QTemporaryDir dir;
    for (auto _ : state) {
        state.PauseTiming();
        writeFiles(dir);
        state.ResumeTiming();
        for (int i = 0; i < kFiles; ++i) {
            QFile file(dir.filePath(QString::number(i) + QStringLiteral(".xml")));
            file.open(QIODevice::ReadOnly);
            const QByteArray bytes = file.readAll();
            file.close();
            unsigned char digest[EVP_MAX_MD_SIZE];
            unsigned int length = 0;
            EVP_Digest(bytes.constData(), size_t(bytes.size()), digest, &length, EVP_sha1(), nullptr);
            benchmark::DoNotOptimize(digest);
            file.open(QIODevice::WriteOnly | QIODevice::Truncate);
            file.write(bytes);
            file.close();
        }
    }
}
BENCHMARK(BM_HashAndRewrite)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_RsaBlocks(benchmark::State& state)
{
    const QByteArray plain(8192, 'x');
    const qint64 blocks = (plain.size() + 4) / 5;
    for (auto _ : state)
        benchmark::DoNotOptimize(jx::rsa::encryptBlocks(plain, keys().publicKey));
    state.SetItemsProcessed(state.iterations() * blocks);
}
BENCHMARK(BM_RsaBlocks);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return jxbench::runWithRatios(
        argc, argv, { { "BM_StampAndEncrypt/iterations:3", "BM_HashAndRewrite/iterations:3" } }, "delivery_file");
}
