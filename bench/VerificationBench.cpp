// Verifying 10,000 requests (3 partners, 1 responsible person, addresses and contacts each)
// through ApurarPendencias, against reading the same rows with plain statements, in one run.

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

QTemporaryDir& folder()
{
    static QTemporaryDir dir;
    return dir;
}

QString path()
{
    return QDir(folder().path()).filePath("Banco/JX.mdb");
}

void fill()
{
    jx::db::Connection c;
    c.open(path(), jx::db::kDatabaseKey);
    c.begin();
    jx::db::Statement address = c.prepare("INSERT INTO ENDERECO (CEP, ID_UF, LOCALIDADE, TIPO_LOGRADOURO, LOGRADOURO) "
                                          "VALUES ('70000123', 10, 'CIDADE', 1, 'DAS FLORES')");
    jx::db::Statement contact = c.prepare("INSERT INTO COMUNICACAO (TELEFONE, EMAIL) VALUES ('6133334444', 'a@b.com')");
    jx::db::Statement request = c.prepare(
        "INSERT INTO SOLICITACAO_IE (CNPJ, CATEGORIA, VINCULO, LOCALIZACAO, INSCRICAO_UNICA, SUBSTITUTO_TRIBUTARIO, "
        "NOME_EMPRESARIAL, ID_ENDERECO_ESTABELECIMENTO, ID_COMUNICACAO_EMPRESA, ID_CNAEF_PRINCIPAL, RECEITA_BRUTA) "
        "VALUES ('11222333000181', 1, 1, 1, 'N', 'N', 'EMPRESA', ?, ?, 1147, 10000000)");
    jx::db::Statement partner = c.prepare(
        "INSERT INTO SOLICITACAO_IE_SOCIO (ID_SOLICITACAO, TIPO_IDENTIFICACAO, IDENTIFICACAO, RESPONSAVEL_MASTER, "
        "PARTICIPACAO, PARTICIPACAO_DATA_INICIO, DATA_NASCIMENTO, ID_ENDERECO, ID_COMUNICACAO) VALUES (?, 4, "
        "'52998224725', ?, 33.3, '2005-02-01', '1970-02-01', ?, ?)");
    jx::db::Statement responsible = c.prepare(
        "INSERT INTO SOLICITACAO_IE_RESPONSAVEL (ID_SOLICITACAO, IDENTIFICACAO, ID_FUNCAO, DATA_INICIO, ID_ENDERECO, "
        "ID_COMUNICACAO) VALUES (?, '11144477735', 1, '2005-02-01', ?, ?)");
    auto insert = [&c](jx::db::Statement& s) {
        s.reset();
        s.run();
        return c.lastInsertId();
    };
    for (int i = 1; i <= kRequests; ++i) {
        const qint64 a = insert(address);
        const qint64 m = insert(contact);
        request.reset();
        request.bind(1, a);
        request.bind(2, m);
        request.run();
        const qint64 id = c.lastInsertId();
        for (int p = 0; p < 3; ++p) {
            const qint64 pa = insert(address);
            const qint64 pm = insert(contact);
            partner.reset();
            partner.bind(1, id);
            partner.bind(2, p == 0 ? "S" : "N");
            partner.bind(3, pa);
            partner.bind(4, pm);
            partner.run();
        }
        const qint64 ra = insert(address);
        const qint64 rm = insert(contact);
        responsible.reset();
        responsible.bind(1, id);
        responsible.bind(2, ra);
        responsible.bind(3, rm);
        responsible.run();
    }
    c.commit();
}

void BM_VerifyAll(benchmark::State& state)
{
    jx::ScriptedPrompts prompts;
    jx::TdtmDB database(folder().path(), prompts, [] {});
    jx::TdtmJX jx(database, prompts, [] {}, folder().path());
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
    c.open(path(), jx::db::kDatabaseKey);
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
    QDir(folder().path()).mkpath("Banco");
    jx::db::createDatabase(path());
    fill();
    return jxbench::runWithRatios(
        argc, argv, { { "BM_VerifyAll/iterations:1", "BM_ReadRows/iterations:1" } });
}
