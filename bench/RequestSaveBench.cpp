// Saving a request with both addresses and contact data, as the save routine does it, against
// the raw statements that save issues, in one run; and the same save into a database that
// already holds 10,000 requests, against the save into an empty one: a save must not grow
// with the tables.

#include "BenchRatio.h"

#include "data/TdtmJX.h"
#include "db/ReferenceData.h"
#include "db/Schema.h"
#include "db/Sqlite.h"
#include "platform/ScriptedPrompts.h"
#include "platform/StateRegistrationCheck.h"
#include "requests/RequestLifecycle.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>

namespace {

QTemporaryDir& folder()
{
    static QTemporaryDir dir;
    return dir;
}

QTemporaryDir& fullFolder()
{
    static QTemporaryDir dir;
    return dir;
}

constexpr int kStoredRequests = 10000;

QString cnpjFor(int i)
{
    const QString base = QStringLiteral("%1").arg(i, 12, 10, QChar(u'0'));
    // Check digits computed as the CNPJ rule wants them.
    const int w1[] = { 5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2 };
    const int w2[] = { 6, 5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2 };
    int s = 0;
    for (int k = 0; k < 12; ++k)
        s += (base[k].unicode() - '0') * w1[k];
    const int d1 = 11 - s % 11 >= 10 ? 0 : 11 - s % 11;
    s = 0;
    for (int k = 0; k < 12; ++k)
        s += (base[k].unicode() - '0') * w2[k];
    s += d1 * 2;
    const int d2 = 11 - s % 11 >= 10 ? 0 : 11 - s % 11;
    return base + QString::number(d1) + QString::number(d2);
}

void type(jx::data::RecordSet& a)
{
    a.setValue("CEP", "70000123");
    a.setValue("ID_UF", 10);
    a.setValue("LOCALIDADE", "CIDADE");
    a.setValue("TIPO_LOGRADOURO", 1);
    a.setValue("LOGRADOURO", "DAS FLORES");
    a.setValue("NUMERO", "100");
}

void saveLoop(benchmark::State& state, const QString& programFolder, int firstCnpj)
{
    jx::ScriptedPrompts prompts;
    jx::TdtmDB database(programFolder, prompts, [] {});
    jx::TdtmJX jx(
        database, prompts, [] {}, programFolder);
    jx::RequestLifecycle life(jx, prompts);
    const jx::StateRegistrationCheck check(JX_INSCE_LIBRARY);
    int n = firstCnpj;
    for (auto _ : state) {
        state.PauseTiming();
        life.confirmNewRequest(
            cnpjFor(n++), {}, [] { return jx::RequestLifecycle::ExistingAnswer::Edit; }, check);
        type(*jx.cdsSolicIEEndEstab);
        type(*jx.cdsSolicIEEndCorresp);
        jx.cdsSolicitacaoIEComun->setValue("TELEFONE", "6133334444");
        jx.cdsSolicitacaoIEComun->setValue("EMAIL", "contato@empresa.com.br");
        state.ResumeTiming();
        if (!life.save({ "", "", "" }).saved)
            state.SkipWithError("a save was refused");
    }
}

void BM_SaveRoutine(benchmark::State& state)
{
    saveLoop(state, folder().path(), 1);
}
BENCHMARK(BM_SaveRoutine)->Unit(benchmark::kMillisecond)->Iterations(30);

void BM_SaveRoutineAt10000(benchmark::State& state)
{
    saveLoop(state, fullFolder().path(), kStoredRequests + 1);
}
BENCHMARK(BM_SaveRoutineAt10000)->Unit(benchmark::kMillisecond)->Iterations(30);

// Requests with their contact and both addresses, written with plain statements.
void fill(const QString& path, int requests)
{
    jx::db::Connection c;
    c.open(path, jx::db::kDatabaseKey);
    c.begin();
    jx::db::Statement contact = c.prepare("INSERT INTO COMUNICACAO (TELEFONE, EMAIL) VALUES ('6133334444', 'a@b.com')");
    jx::db::Statement address = c.prepare("INSERT INTO ENDERECO (CEP, ID_UF, LOCALIDADE, TIPO_LOGRADOURO, LOGRADOURO) "
                                          "VALUES ('70000123', 10, 'CIDADE', 1, 'DAS FLORES')");
    jx::db::Statement request = c.prepare(
        "INSERT INTO SOLICITACAO_IE (CNPJ, CATEGORIA, VINCULO, LOCALIZACAO, STATUS, NOME_EMPRESARIAL, "
        "ID_COMUNICACAO_EMPRESA, ID_ENDERECO_ESTABELECIMENTO, ID_ENDERECO_CORRESPONDECIA) VALUES (?, 1, 1, 1, 'C', "
        "'EMPRESA DE TESTE LTDA', ?, ?, ?)");
    for (int i = 1; i <= requests; ++i) {
        qint64 ids[3];
        for (int k = 0; k < 3; ++k) {
            jx::db::Statement& s = k == 0 ? contact : address;
            s.reset();
            s.run();
            ids[k] = c.lastInsertId();
        }
        request.reset();
        request.bind(1, cnpjFor(i));
        request.bind(2, ids[0]);
        request.bind(3, ids[1]);
        request.bind(4, ids[2]);
        request.run();
    }
    c.commit();
}

void BM_RawStatements(benchmark::State& state)
{
    jx::db::Connection c;
    c.open(QDir(folder().path()).filePath("Banco/JX.mdb"), jx::db::kDatabaseKey);
    for (auto _ : state) {
        c.begin();
        c.exec("INSERT INTO SOLICITACAO_IE (CNPJ, CATEGORIA, VINCULO, LOCALIZACAO) VALUES ('11222333000181', 1, 1, 1)");
        const qint64 request = c.lastInsertId();
        jx::db::Statement contact
            = c.prepare("INSERT INTO COMUNICACAO (TELEFONE, EMAIL) VALUES ('6133334444', 'contato@empresa.com.br')");
        contact.run();
        const qint64 contactId = c.lastInsertId();
        qint64 addresses[2];
        for (qint64& id : addresses) {
            jx::db::Statement address
                = c.prepare("INSERT INTO ENDERECO (CEP, ID_UF, LOCALIDADE, TIPO_LOGRADOURO, LOGRADOURO, NUMERO) VALUES "
                            "('70000123', 10, 'CIDADE', 1, 'DAS FLORES', '100')");
            address.run();
            id = c.lastInsertId();
        }
        jx::db::Statement update
            = c.prepare("UPDATE SOLICITACAO_IE SET ID_COMUNICACAO_EMPRESA = ?, ID_ENDERECO_ESTABELECIMENTO = ?, "
                        "ID_ENDERECO_CORRESPONDECIA = ?, STATUS = 'C', DATASOLICITACAOIE = ? WHERE ID_SOLICITACAO = ?");
        update.bind(1, contactId);
        update.bind(2, addresses[0]);
        update.bind(3, addresses[1]);
        update.bind(4, QDateTime::currentDateTime());
        update.bind(5, request);
        update.run();
        c.commit();
    }
}
BENCHMARK(BM_RawStatements)->Unit(benchmark::kMillisecond)->Iterations(30);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    for (QTemporaryDir* dir : { &folder(), &fullFolder() }) {
        QDir(dir->path()).mkpath("Banco");
        jx::db::createDatabase(QDir(dir->path()).filePath("Banco/JX.mdb"));
    }
    fill(QDir(fullFolder().path()).filePath("Banco/JX.mdb"), kStoredRequests);
    return jxbench::runWithRatios(argc, argv,
        { { "BM_SaveRoutine/iterations:30", "BM_RawStatements/iterations:30" },
            { "BM_SaveRoutineAt10000/iterations:30", "BM_SaveRoutine/iterations:30" } }, "request_save");
}
