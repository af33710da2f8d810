// Verifying 10,000 requests (3 partners, 1 responsible person, addresses and contacts each)
// through ApurarPendencias, against reading the same rows with plain statements, in one run.

#include "BenchDatabase.h"
#include "BenchRatio.h"

#include "data/TdtmJX.h"
#include "db/ReferenceData.h"
#include "db/Schema.h"
#include "db/Sqlite.h"
#include "platform/ScriptedPrompts.h"
#include "verification/Verification.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

namespace {

constexpr int kRequests = 10000;

void BM_VerifyAll(benchmark::State& state)
{
    jx::ScriptedPrompts prompts;
    jx::TdtmDB database(jxbench::folder().path(), prompts, [] {});
    jx::TdtmJX jx(database, prompts, [] {}, jxbench::folder().path());
    jx::Verification verification(jx);
    for (auto _ : state) {
        int errors = 0;
        // A batch (file generation) reads in one transaction, as the baseline's open statement does.
        jx::db::Transaction batch(database.connection());
        for (int v = 0; v < jx.cdsSolicitacaoIE->count(); ++v) {
            jx.cdsSolicitacaoIE->moveTo(v); // the request's details follow
            verification.ApurarPendencias(1);
            errors += verification.errorCount();
        }
        benchmark::DoNotOptimize(errors);
    }
}
BENCHMARK(BM_VerifyAll)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ReadRows(benchmark::State& state)
{
    jx::db::Connection c;
    c.open(jxbench::databasePath(), jx::db::kDatabaseKey);
    for (auto _ : state) {
        qint64 cells = 0;
        auto read = [&cells](jx::db::Statement& s) {
            while (s.step()) {
                for (int col = 0; col < s.columnCount(); ++col)
                    cells += s.value(col).isValid() ? 1 : 0;
            }
        };
        jx::db::Statement requests = c.prepare("SELECT * FROM SOLICITACAO_IE ORDER BY ID_SOLICITACAO");
        jx::db::Statement partners = c.prepare("SELECT * FROM SOLICITACAO_IE_SOCIO WHERE ID_SOLICITACAO = ?");
        jx::db::Statement responsibles = c.prepare("SELECT * FROM SOLICITACAO_IE_RESPONSAVEL WHERE ID_SOLICITACAO = ?");
        jx::db::Statement address = c.prepare("SELECT * FROM ENDERECO WHERE ID_ENDERECO = ?");
        jx::db::Statement contact = c.prepare("SELECT * FROM COMUNICACAO WHERE ID_COMUNICACAO = ?");
        auto byKey = [&](jx::db::Statement& s, const QVariant& key) {
            s.reset();
            s.bind(1, key);
            read(s);
        };
        while (requests.step()) {
            const QVariant id = requests.value(requests.columnNames().indexOf("ID_SOLICITACAO"));
            byKey(address, requests.value(requests.columnNames().indexOf("ID_ENDERECO_ESTABELECIMENTO")));
            byKey(contact, requests.value(requests.columnNames().indexOf("ID_COMUNICACAO_EMPRESA")));
            for (jx::db::Statement* people : { &partners, &responsibles }) {
                people->reset();
                people->bind(1, id);
                while (people->step()) {
                    byKey(address, people->value(people->columnNames().indexOf("ID_ENDERECO")));
                    byKey(contact, people->value(people->columnNames().indexOf("ID_COMUNICACAO")));
                }
            }
        }
        benchmark::DoNotOptimize(cells);
    }
}
BENCHMARK(BM_ReadRows)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    jxbench::createDatabase();
    jxbench::fillRequests(kRequests);
    return jxbench::runWithRatios(
        argc, argv, { { "BM_VerifyAll/iterations:1", "BM_ReadRows/iterations:1" } }, "verification");
}
