// Generating 1,000 request files (3 partners and 1 responsible person each, plain and
// unstamped: layout, header, envelope and the XML library's pass) against writing the same
// bytes to the same folder the same way (a temporary file renamed over the old one).

#include "BenchDatabase.h"
#include "BenchRatio.h"

#include "data/TdtmJX.h"
#include "db/ReferenceData.h"
#include "db/Schema.h"
#include "db/Sqlite.h"
#include "delivery/FileGeneration.h"
#include "delivery/RsaKey.h"
#include "platform/Files.h"
#include "platform/ScriptedPrompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

constexpr int kRequests = 1000;

QString outFolder()
{
    return QDir(jxbench::folder().path()).filePath("saida");
}

void BM_Generate(benchmark::State& state)
{
    jx::ScriptedPrompts prompts;
    jx::TdtmDB database(jxbench::folder().path(), prompts, [] {});
    jx::TdtmJX jx(database, prompts, [] {}, jxbench::folder().path());
    jx.TipoAtual = 1;
    jx::FileGeneration generation(jx, jxbench::folder().path());
    for (auto _ : state) {
        jx::db::Transaction batch(database.connection());
        for (int v = 0; v < jx.cdsSolicitacaoIE->count(); ++v) {
            jx.cdsSolicitacaoIE->moveTo(v); // the request's details follow
            // The file names carry the creation moment, the same for all here: one per request.
            generation.GerarArquivoEntrega(QDir(outFolder()).filePath(QStringLiteral("JXS%1.xml").arg(v)));
        }
    }
}
BENCHMARK(BM_Generate)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_WriteSameBytes(benchmark::State& state)
{
    QList<QPair<QString, QByteArray>> files;
    for (const QString& name : QDir(outFolder()).entryList(QDir::Files)) {
        QFile f(QDir(outFolder()).filePath(name));
        if (f.open(QIODevice::ReadOnly))
            files.append({ f.fileName(), f.readAll() });
    }
    for (auto _ : state) {
        for (const auto& [name, bytes] : files)
            jx::files::replaceContent(name, bytes);
    }
    state.counters["files"] = double(files.size());
}
BENCHMARK(BM_WriteSameBytes)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    jxbench::createDatabase();
    QDir(jxbench::folder().path()).mkpath("saida");
    jx::RsaKeyPair::generate().save(QDir(jxbench::folder().path()).filePath("BIN"));
    jxbench::fillRequests(kRequests);
    return jxbench::runWithRatios(argc, argv, { { "BM_Generate/iterations:1", "BM_WriteSameBytes/iterations:1" } }, "generation");
}
