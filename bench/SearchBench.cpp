// A partial search over 100,000 requests (the selection of the keys, the re-marking and the
// reordering of the browser's set) against the bare SQL selection of the same keys.

#include "BenchDatabase.h"
#include "BenchRatio.h"

#include "data/TdtmJX.h"
#include "db/ReferenceData.h"
#include "db/Schema.h"
#include "db/Sqlite.h"
#include "platform/ScriptedPrompts.h"
#include "search/Search.h"

#include <QCoreApplication>
#include <QDir>
#include <QSet>
#include <QTemporaryDir>

namespace {

constexpr int kRequests = 100000;

void fill()
{
    jx::db::Connection c;
    c.open(jxbench::databasePath(), jx::db::kDatabaseKey);
    c.begin();
    jx::db::Statement insert
        = c.prepare("INSERT INTO SOLICITACAO_IE (CNPJ, NOME_EMPRESARIAL, STATUS, CATEGORIA) VALUES (?, ?, 'C', 1)");
    for (int i = 1; i <= kRequests; ++i) {
        insert.reset();
        insert.bind(1, QStringLiteral("%1").arg(i, 14, 10, QLatin1Char('0')));
        // One in ten is a SILVA.
        insert.bind(2, i % 10 == 0 ? QStringLiteral("COMERCIO SILVA %1 LTDA").arg(i) : QStringLiteral("EMPRESA %1").arg(i));
        insert.run();
    }
    c.commit();
}

void BM_PartialSearch(benchmark::State& state)
{
    jx::ScriptedPrompts prompts;
    jx::TdtmDB database(jxbench::folder().path(), prompts, [] {});
    jx::TdtmJX jx(database, prompts, [] {}, jxbench::folder().path());
    jx::Search search(jx, *jx.cdsSolicitacaoIE, "SOLICITACAO_IE", "ID_SOLICITACAO");
    for (auto _ : state) {
        const auto outcome = search.confirm("Nome Empresarial", "SILVA", jx::Search::Form::Partial, false);
        benchmark::DoNotOptimize(outcome);
    }
    state.counters["matches"] = double(search.matchingRows().size());
}
BENCHMARK(BM_PartialSearch)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SelectKeys(benchmark::State& state)
{
    jx::db::Connection c;
    c.open(jxbench::databasePath(), jx::db::kDatabaseKey);
    for (auto _ : state) {
        jx::db::Statement s
            = c.prepare("SELECT ID_SOLICITACAO FROM SOLICITACAO_IE WHERE NOME_EMPRESARIAL LIKE ? ESCAPE '\\'");
        s.bind(1, QStringLiteral("%SILVA%"));
        QSet<QString> keys;
        while (s.step())
            keys.insert(s.value(0).toString());
        benchmark::DoNotOptimize(keys);
    }
}
BENCHMARK(BM_SelectKeys)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    jxbench::createDatabase();
    fill();
    return jxbench::runWithRatios(argc, argv, { { "BM_PartialSearch/iterations:3", "BM_SelectKeys/iterations:3" } }, "search");
}
