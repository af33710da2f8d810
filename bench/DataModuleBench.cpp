// Opening the data module on a database of 100,000 requests (2 partners, 1 responsible
// person, addresses and contact rows each) against a raw SQLCipher read of the same rows;
// and applying 10,000 inserted rows against raw bound inserts in one transaction.

#include "BenchRatio.h"

#include "data/TdtmJX.h"
#include "db/ReferenceData.h"
#include "db/Schema.h"
#include "db/Sqlite.h"
#include "platform/ScriptedPrompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

constexpr int kRequests = 100000;
constexpr int kInserts = 10000;

QTemporaryDir& folder()
{
    static QTemporaryDir dir;
    return dir;
}

QString databasePath()
{
    return QDir(folder().path()).filePath(QStringLiteral("Banco/JX.mdb"));
}

void buildDatabase()
{
    QDir(folder().path()).mkpath(QStringLiteral("Banco"));
    QDir(folder().path()).mkpath(QStringLiteral("BIN"));
    jx::db::createDatabase(databasePath());
    jx::db::Connection c;
    c.open(databasePath(), jx::db::kDatabaseKey);
    c.begin();
    jx::db::Statement address = c.prepare(
        QStringLiteral("INSERT INTO ENDERECO (LOCALIDADE, CEP, BAIRRO, TIPO_LOGRADOURO, LOGRADOURO, NUMERO, ID_UF) "
                       "VALUES ('CIDADE', '70000123', 'CENTRO', 1, 'DAS FLORES', '100', 10)"));
    jx::db::Statement contact = c.prepare(
        QStringLiteral("INSERT INTO COMUNICACAO (TELEFONE, EMAIL) VALUES ('6133334444', 'contato@empresa.com.br')"));
    jx::db::Statement request = c.prepare(QStringLiteral(
        "INSERT INTO SOLICITACAO_IE (CNPJ, NOME_EMPRESARIAL, CATEGORIA, LOCALIZACAO, VINCULO, INSCRICAO_UNICA, "
        "SUBSTITUTO_TRIBUTARIO, ID_ENDERECO_ESTABELECIMENTO, ID_COMUNICACAO_EMPRESA, ID_NATUREZA_JURIDICA, "
        "ID_CNAEF_PRINCIPAL, DATACRIACAO, DATASOLICITACAOIE, STATUS) VALUES (?, ?, 1, 1, 1, 'N', 'N', ?, ?, 2062, "
        "1147, '2005-03-07 10:00:00', '2005-03-07 10:30:00', 'C')"));
    jx::db::Statement partner = c.prepare(QStringLiteral(
        "INSERT INTO SOLICITACAO_IE_SOCIO (ID_SOLICITACAO, ID_ENDERECO, ID_COMUNICACAO, IDENTIFICACAO, "
        "TIPO_IDENTIFICACAO, ID_CARGO, PARTICIPACAO, RESPONSAVEL_MASTER) VALUES (?, ?, ?, '52998224725', 4, 49, 50, "
        "'N')"));
    jx::db::Statement responsible = c.prepare(QStringLiteral(
        "INSERT INTO SOLICITACAO_IE_RESPONSAVEL (ID_SOLICITACAO, ID_ENDERECO, ID_COMUNICACAO, IDENTIFICACAO, "
        "DATA_INICIO, ID_FUNCAO) VALUES (?, ?, ?, '12345678909', '2005-01-01', 1)"));
    auto newAddress = [&] {
        address.reset();
        address.run();
        return c.lastInsertId();
    };
    auto newContact = [&] {
        contact.reset();
        contact.run();
        return c.lastInsertId();
    };
    for (int i = 0; i < kRequests; ++i) {
        request.reset();
        request.bind(1, QStringLiteral("%1").arg(i, 14, 10, QChar(u'0')));
        request.bind(2, QStringLiteral("EMPRESA NUMERO %1 LTDA").arg(i));
        request.bind(3, newAddress());
        request.bind(4, newContact());
        request.run();
        const qint64 id = c.lastInsertId();
        for (int p = 0; p < 2; ++p) {
            partner.reset();
            partner.bind(1, id);
            partner.bind(2, newAddress());
            partner.bind(3, newContact());
            partner.run();
        }
        responsible.reset();
        responsible.bind(1, id);
        responsible.bind(2, newAddress());
        responsible.bind(3, newContact());
        responsible.run();
    }
    c.commit();
}

// The statements the module runs when it opens, read raw: prepare, step, every column.
void rawReadOfTheModulesRows(jx::db::Connection& c)
{
    QStringList queries;
    for (const char* table : { "LOCALIDADE", "UF", "LOGRADOURO", "COMPLEMENTO", "VINCULO", "TIPO_IDENTIFICACAO",
             "REGIME_RECOLHIMENTO", "FORMA_COMERCIALIZACAO", "SITUACAO_ESPECIAL", "UNIDADE_AUXILIAR", "CNAEF",
             "NATUREZA_JURIDICA", "IDENTIFICADOR_CRC", "CONVENIO_PROTOCOLO" })
        queries << jx::db::referenceQuery(QLatin1String(table));
    queries << QStringLiteral("SELECT * FROM ENDERECO ORDER BY ID_ENDERECO")
            << QStringLiteral("SELECT * FROM COMUNICACAO ORDER BY ID_COMUNICACAO")
            << QStringLiteral("SELECT * FROM SOLICITACAO_IE ORDER BY ID_SOLICITACAO")
            << QStringLiteral("SELECT * FROM SOLICITACAO_CONTAB ORDER BY ID_SOLICITACAO_CONTABILISTA")
            << QStringLiteral("SELECT * FROM SOLICITACAO_IE_SOCIO WHERE ID_SOLICITACAO = 1")
            << QStringLiteral("SELECT * FROM SOLICITACAO_IE_RESPONSAVEL WHERE ID_SOLICITACAO = 1")
            << QStringLiteral("SELECT * FROM ENDERECO WHERE ID_ENDERECO = 1")
            << QStringLiteral("SELECT * FROM COMUNICACAO WHERE ID_COMUNICACAO = 1");
    for (const QString& sql : queries) {
        jx::db::Statement s = c.prepare(sql);
        const int columns = s.columnCount();
        while (s.step()) {
            for (int col = 0; col < columns; ++col)
                benchmark::DoNotOptimize(s.value(col));
        }
    }
}

void openDataModule()
{
    jx::ScriptedPrompts prompts;
    jx::TdtmDB database(folder().path(), prompts, [] {});
    jx::TdtmJX module(database, prompts, [] {}, folder().path());
    module.cdsSolicitacaoIE->first();
    benchmark::DoNotOptimize(module.cdsSolicitacaoIE->value("CNPJ"));
}

void rawReadSameRows()
{
    jx::db::Connection c;
    c.open(databasePath(), jx::db::kDatabaseKey);
    rawReadOfTheModulesRows(c);
}

qint64 statusKiB(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(qsizetype(qstrlen(key))).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

// The peak resident memory the open module adds, against the database file's size: the peak
// is reset to the current resident set first (clear_refs), so the building of the database
// does not count.
void reportMemory()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    const bool reset = clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
    clear.close();
    const qint64 before = statusKiB("VmRSS:");
    {
        jx::ScriptedPrompts prompts;
        jx::TdtmDB database(folder().path(), prompts, [] {});
        jx::TdtmJX module(database, prompts, [] {}, folder().path());
        benchmark::DoNotOptimize(module.cdsSolicitacaoIE->count());
    }
    const qint64 peak = statusKiB("VmHWM:");
    const double fileKiB = double(QFileInfo(databasePath()).size()) / 1024.0;
    std::printf("data module: peak resident memory +%lld KiB for %d requests, database file %.0f KiB%s\n",
        peak - before, kRequests, fileKiB, reset ? "" : " (peak not reset: the figure includes the set-up)");
    jxbench::printRatio("data_module.peak_memory_per_file", double(peak - before) / fileKiB, 2.0);
}

void BM_ApplyInserts(benchmark::State& state)
{
    jx::ScriptedPrompts prompts;
    jx::TdtmDB database(folder().path(), prompts, [] {});
    jx::TdtmJX module(
        database, prompts, [] {}, folder().path());
    jx::data::RecordSet& contacts = *module.cdsSolicitacaoIEComun;
    for (auto _ : state) {
        state.PauseTiming();
        database.beginTransaction();
        for (int i = 0; i < kInserts; ++i) {
            contacts.append();
            contacts.setValue(QStringLiteral("TELEFONE"), QStringLiteral("6133334444"));
            contacts.setValue(QStringLiteral("EMAIL"), QStringLiteral("contato@empresa.com.br"));
            contacts.post();
        }
        state.ResumeTiming();
        module.apply(contacts, 0, false);
        state.PauseTiming();
        database.rollbackTransaction();
        module.openSet(contacts);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ApplyInserts)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_RawInserts(benchmark::State& state)
{
    jx::db::Connection c;
    c.open(databasePath(), jx::db::kDatabaseKey);
    for (auto _ : state) {
        c.begin();
        jx::db::Statement insert = c.prepare(QStringLiteral("INSERT INTO COMUNICACAO (TELEFONE, EMAIL) VALUES (?, ?)"));
        for (int i = 0; i < kInserts; ++i) {
            insert.reset();
            insert.bind(1, QStringLiteral("6133334444"));
            insert.bind(2, QStringLiteral("contato@empresa.com.br"));
            insert.run();
        }
        state.PauseTiming();
        c.rollback();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RawInserts)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    buildDatabase();
    reportMemory();
    jxbench::runPair({ "data_module.open_100000", 1.3, openDataModule, rawReadSameRows });
    return jxbench::runWithRatios(
        argc, argv, { { "BM_ApplyInserts/iterations:3", "BM_RawInserts/iterations:3" } }, "data_module");
}
