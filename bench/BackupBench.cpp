// Backing up 1,000 requests against the routines it is made of called directly (generation,
// encryption, verifier, copy); restoring the 1,000 backup files into an empty database against
// decrypting them and inserting the same rows with plain statements, one transaction a file.

#include "BenchDatabase.h"
#include "BenchRatio.h"

#include "backup/FilingBackup.h"
#include "backup/Restore.h"
#include "backup/RestorePlan.h"
#include "data/TdtmJX.h"
#include "db/ReferenceData.h"
#include "db/Schema.h"
#include "db/Sqlite.h"
#include "delivery/DeliveryCrypto.h"
#include "delivery/FileGeneration.h"
#include "delivery/ManipulaXml.h"
#include "delivery/RsaKey.h"
#include "platform/Files.h"
#include "platform/ScriptedPrompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kRequests = 1000;

QString backupFolder()
{
    return QDir(jxbench::folder().path()).filePath("backup");
}

QString keysFolder()
{
    return QDir(jxbench::folder().path()).filePath("BIN");
}

QList<int> allRows(jx::TdtmJX& jx)
{
    QList<int> rows;
    for (int v = 0; v < jx.cdsSolicitacaoIE->count(); ++v)
        rows << v;
    return rows;
}

void BM_Backup(benchmark::State& state)
{
    jx::ScriptedPrompts prompts;
    jx::TdtmDB database(jxbench::folder().path(), prompts, [] {});
    jx::TdtmJX jx(database, prompts, [] {}, jxbench::folder().path());
    jx.TipoAtual = 1;
    const QList<int> rows = allRows(jx);
    for (auto _ : state) {
        jx::FilingBackup backup(jx, prompts, jxbench::folder().path());
        backup.run(rows, backupFolder());
        state.counters["files"] = double(backup.written().size());
    }
}
BENCHMARK(BM_Backup)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_SameRoutinesDirectly(benchmark::State& state)
{
    jx::ScriptedPrompts prompts;
    jx::TdtmDB database(jxbench::folder().path(), prompts, [] {});
    jx::TdtmJX jx(database, prompts, [] {}, jxbench::folder().path());
    jx.TipoAtual = 1;
    const QList<int> rows = allRows(jx);
    const QString temp = QDir(jxbench::folder().path()).filePath("Temp2");
    const QString target = QDir(jxbench::folder().path()).filePath("direto");
    QDir().mkpath(target);
    for (auto _ : state) {
        const jx::files::ScratchWrites scratch(temp);
        jx::FileGeneration generation(jx, jxbench::folder().path());
        QStringList ids;
        QStringList failures;
        const QStringList files = generation.GerarArquivos(rows, ids, temp, failures);
        jx::DeliveryCrypto crypto(keysFolder(), prompts);
        for (const QString& file : files) {
            crypto.CriptografarArquivo(file);
            jx::xmlfile::GravarVerificador(file, prompts);
            QFile source(file);
            if (source.open(QIODevice::ReadOnly))
                jx::files::replaceContent(QDir(target).filePath(QFileInfo(file).fileName()), source.readAll());
        }
        state.counters["files"] = double(files.size());
    }
}
BENCHMARK(BM_SameRoutinesDirectly)->Unit(benchmark::kMillisecond)->Iterations(1);

// An empty database of its own, for the restores.
struct EmptyProgramFolder {
    QTemporaryDir dir;
    EmptyProgramFolder()
    {
        QDir(dir.path()).mkpath("Banco");
        jx::db::createDatabase(dir.filePath("Banco/JX.mdb"));
    }
};

QStringList backupFiles()
{
    QStringList files;
    for (const QString& name : QDir(backupFolder()).entryList({ "*.xml" }, QDir::Files, QDir::Name))
        files << QDir(backupFolder()).filePath(name);
    return files;
}

void BM_Restore(benchmark::State& state)
{
    const QStringList files = backupFiles();
    for (auto _ : state) {
        state.PauseTiming();
        EmptyProgramFolder empty;
        jx::ScriptedPrompts prompts;
        jx::TdtmDB database(empty.dir.path(), prompts, [] {});
        jx::TdtmJX jx(database, prompts, [] {}, empty.dir.path());
        jx.TipoAtual = 1;
        state.ResumeTiming();
        jx::Restore restore(jx, prompts, empty.dir.path());
        restore.setKeysFolder(keysFolder());
        int restored = 0;
        for (const QString& file : files) {
            try {
                restore.ImportarSolicitacao(file);
                ++restored;
            } catch (const std::exception& e) {
                std::fprintf(stderr, "%s\n", e.what());
            }
        }
        state.counters["files"] = double(restored);
    }
}
BENCHMARK(BM_Restore)->Unit(benchmark::kMillisecond)->Iterations(1);

qint64 insert(jx::db::Connection& c, const char* table, jx::restore::Values values)
{
    QStringList columns;
    QStringList marks;
    for (const auto& [column, value] : values) {
        columns << column;
        marks << QStringLiteral("?");
    }
    jx::db::Statement s = c.prepare(
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(QLatin1String(table), columns.join(u','), marks.join(u',')));
    int i = 1;
    for (const auto& [column, value] : values)
        s.bind(i++, value);
    s.run();
    return c.lastInsertId();
}

void BM_DecryptAndInsert(benchmark::State& state)
{
    const QStringList files = backupFiles();
    for (auto _ : state) {
        state.PauseTiming();
        EmptyProgramFolder empty;
        jx::ScriptedPrompts prompts;
        jx::TdtmDB database(empty.dir.path(), prompts, [] {});
        jx::TdtmJX jx(database, prompts, [] {}, empty.dir.path());
        jx::db::Connection& c = database.connection();
        state.ResumeTiming();
        jx::Restore restore(jx, prompts, empty.dir.path());
        restore.setKeysFolder(keysFolder());
        for (const QString& file : files) {
            using namespace jx::restore;
            const RestorePlan plan
                = parseBackup(restore.decryptedData(file, Kind::Request), Kind::Request);
            jx::db::Transaction transaction(c);
            Values filing = plan.filing;
            filing.emplace_back(QStringLiteral("ID_ENDERECO_ESTABELECIMENTO"), insert(c, "ENDERECO", plan.address->values));
            if (plan.contact)
                filing.emplace_back(QStringLiteral("ID_COMUNICACAO_EMPRESA"), insert(c, "COMUNICACAO", *plan.contact));
            const qint64 key = insert(c, "SOLICITACAO_IE", filing);
            for (const auto* people : { &plan.partners, &plan.responsibles }) {
                for (const Person& p : *people) {
                    Values row = p.values;
                    row.emplace_back(QStringLiteral("ID_SOLICITACAO"), key);
                    if (p.address)
                        row.emplace_back(QStringLiteral("ID_ENDERECO"), insert(c, "ENDERECO", p.address->values));
                    if (p.contact)
                        row.emplace_back(QStringLiteral("ID_COMUNICACAO"), insert(c, "COMUNICACAO", *p.contact));
                    insert(c, people == &plan.partners ? "SOLICITACAO_IE_SOCIO" : "SOLICITACAO_IE_RESPONSAVEL", row);
                }
            }
            transaction.commit();
        }
    }
}
BENCHMARK(BM_DecryptAndInsert)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    jxbench::createDatabase();
    jx::RsaKeyPair::generate().save(keysFolder());
    QDir().mkpath(backupFolder());
    jxbench::fillRequests(kRequests);
    jxbench::completeRequests();
    return jxbench::runWithRatios(argc, argv,
        { { "BM_Backup/iterations:1", "BM_SameRoutinesDirectly/iterations:1" },
            { "BM_Restore/iterations:1", "BM_DecryptAndInsert/iterations:1" } }, "backup");
}
