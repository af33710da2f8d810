// Saving a request with both addresses and contact data, as the save routine does it, against
// the raw statements that save issues, in one run.

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

void BM_SaveRoutine(benchmark::State& state)
{
    jx::ScriptedPrompts prompts;
    jx::TdtmDB database(folder().path(), prompts, [] {});
    jx::TdtmJX jx(
        database, prompts, [] {}, folder().path());
    jx::RequestLifecycle life(jx, prompts);
    const jx::StateRegistrationCheck check(JX_INSCE_LIBRARY);
    int n = 1;
    for (auto _ : state) {
        state.PauseTiming();
        life.confirmNewRequest(
            cnpjFor(n++), {}, [] { return jx::RequestLifecycle::ExistingAnswer::Edit; }, check);
        type(*jx.cdsSolicIEEndEstab);
        type(*jx.cdsSolicIEEndCorresp);
        jx.cdsSolicitacaoIEComun->setValue("TELEFONE", "6133334444");
        jx.cdsSolicitacaoIEComun->setValue("EMAIL", "contato@empresa.com.br");
        state.ResumeTiming();
        life.save({ "", "", "" });
    }
}
BENCHMARK(BM_SaveRoutine)->Unit(benchmark::kMillisecond)->Iterations(30);

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
    QDir(folder().path()).mkpath("Banco");
    jx::db::createDatabase(QDir(folder().path()).filePath("Banco/JX.mdb"));
    return jxbench::runWithRatios(argc, argv, { { "BM_SaveRoutine/iterations:30", "BM_RawStatements/iterations:30" } });
}
