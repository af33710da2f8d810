// Start-up from process start to the main window shown (splash wait set to zero, 10,000
// requests in the database) against opening the data module alone, in one run.

#include "BenchRatio.h"

#include "data/TdtmJX.h"
#include "db/ReferenceData.h"
#include "db/Schema.h"
#include "db/Sqlite.h"
#include "platform/ScriptedPrompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

namespace {

constexpr int kRequests = 10000;

QTemporaryDir& folder()
{
    static QTemporaryDir dir;
    return dir;
}

void buildProgramFolder()
{
    QDir root(folder().path());
    root.mkpath(QStringLiteral("Banco"));
    root.mkpath(QStringLiteral("BIN"));
    root.mkpath(QStringLiteral("run"));
    const QString path = root.filePath(QStringLiteral("Banco/JX.mdb"));
    jx::db::createDatabase(path);
    jx::db::Connection c;
    c.open(path, jx::db::kDatabaseKey);
    c.begin();
    jx::db::Statement address
        = c.prepare(QStringLiteral("INSERT INTO ENDERECO (LOGRADOURO, ID_UF) VALUES ('RUA', 10)"));
    jx::db::Statement request = c.prepare(QStringLiteral(
        "INSERT INTO SOLICITACAO_IE (CNPJ, NOME_EMPRESARIAL, CATEGORIA, ID_ENDERECO_ESTABELECIMENTO, STATUS) "
        "VALUES (?, ?, 1, ?, 'C')"));
    for (int i = 0; i < kRequests; ++i) {
        address.reset();
        address.run();
        request.reset();
        request.bind(1, QStringLiteral("%1").arg(i, 14, 10, QChar(u'0')));
        request.bind(2, QStringLiteral("EMPRESA %1").arg(i));
        request.bind(3, c.lastInsertId());
        request.run();
    }
    c.commit();
}

void BM_ProcessToMainWindow(benchmark::State& state)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("JX_HOME"), folder().path());
    env.insert(QStringLiteral("JX_SPLASH_MS"), QStringLiteral("0"));
    env.insert(QStringLiteral("JX_BENCH_STARTUP"), QStringLiteral("1"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), QDir(folder().path()).filePath(QStringLiteral("run")));
    for (auto _ : state) {
        QProcess jx;
        jx.setProcessEnvironment(env);
        jx.start(QStringLiteral(JX_EXECUTABLE), {});
        jx.waitForFinished(60000);
        if (jx.exitCode() != 0)
            state.SkipWithError("jx did not start");
    }
}
BENCHMARK(BM_ProcessToMainWindow)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_OpenDataModuleAlone(benchmark::State& state)
{
    for (auto _ : state) {
        jx::ScriptedPrompts prompts;
        jx::TdtmDB database(folder().path(), prompts, [] {});
        jx::TdtmJX module(
            database, prompts, [] {}, folder().path());
        benchmark::DoNotOptimize(module.cdsSolicitacaoIE->count());
    }
}
BENCHMARK(BM_OpenDataModuleAlone)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    buildProgramFolder();
    return jxbench::runWithRatios(
        argc, argv, { { "BM_ProcessToMainWindow/iterations:5", "BM_OpenDataModuleAlone/iterations:5" } }, "startup");
}
