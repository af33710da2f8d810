// Generating 1,000 request files (3 partners and 1 responsible person each, plain and
// unstamped: layout, header, envelope and the XML library's pass) against writing the same
// bytes to the same folder the same way (a temporary file, synced, renamed over the old one).

#include "BenchDatabase.h"
#include "BenchRatio.h"

#include "data/TdtmJX.h"
#include "db/ReferenceData.h"
#include "db/Schema.h"
#include "db/Sqlite.h"
#include "delivery/FileGeneration.h"
#include "delivery/RsaKey.h"
#include "platform/ScriptedPrompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kRequests = 1000;

QString outFolder()
{
    return QDir(jxbench::folder().path()).filePath("saida");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    jxbench::createDatabase();
    QDir(jxbench::folder().path()).mkpath("saida");
    jx::RsaKeyPair::generate().save(QDir(jxbench::folder().path()).filePath("BIN"));
    jxbench::fillRequests(kRequests);

    jx::ScriptedPrompts prompts;
    jx::TdtmDB database(jxbench::folder().path(), prompts, [] {});
    jx::TdtmJX jx(database, prompts, [] {}, jxbench::folder().path());
    jx.TipoAtual = 1;
    jx::FileGeneration generation(jx, jxbench::folder().path());

    QList<QPair<QString, QByteArray>> files;
    jxbench::Pair pair;
    pair.name = "generation.Generate";
    pair.aim = 2;
    pair.measured = [&] {
        jx::db::Transaction batch(database.connection());
        for (int v = 0; v < jx.cdsSolicitacaoIE->count(); ++v) {
            jx.cdsSolicitacaoIE->moveTo(v); // the request's details follow
            // The file names carry the creation moment, the same for all here: one per request.
            generation.GerarArquivoEntrega(QDir(outFolder()).filePath(QStringLiteral("JXS%1.xml").arg(v)));
        }
    };
    // The same bytes written the way the generation writes them: a temporary file, synced,
    // renamed over the old one.
    pair.baseline = [&] {
        if (files.isEmpty()) {
            for (const QString& name : QDir(outFolder()).entryList(QDir::Files)) {
                QFile f(QDir(outFolder()).filePath(name));
                if (f.open(QIODevice::ReadOnly))
                    files.append({ f.fileName(), f.readAll() });
            }
        }
        for (const auto& [name, bytes] : std::as_const(files)) {
            QSaveFile out(name);
            if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
                std::fprintf(stderr, "não foi possível gravar %s\n", qPrintable(name));
                std::exit(1);
            }
        }
    };
    jxbench::runPair(pair);
    std::printf("arquivos: %d\n", int(files.size()));
    return files.size() == kRequests ? 0 : 1;
}
