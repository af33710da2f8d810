// Generating 1,000 request files (3 partners and 1 responsible person each, plain and
// unstamped: layout, header, envelope and the XML library's pass) against writing the same
// bytes to the same folder the same way (a temporary file renamed over the old one).

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

QTemporaryDir& folder()
{
    static QTemporaryDir dir;
    return dir;
}

QString path()
{
    return QDir(folder().path()).filePath("Banco/JX.mdb");
}

QString outFolder()
{
    return QDir(folder().path()).filePath("saida");
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

void BM_Generate(benchmark::State& state)
{
    jx::ScriptedPrompts prompts;
    jx::TdtmDB database(folder().path(), prompts, [] {});
    jx::TdtmJX jx(database, prompts, [] {}, folder().path());
    jx.TipoAtual = 1;
    jx::FileGeneration generation(jx, folder().path());
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
    QDir(folder().path()).mkpath("Banco");
    QDir(folder().path()).mkpath("saida");
    jx::RsaKeyPair::generate().save(QDir(folder().path()).filePath("BIN"));
    jx::db::createDatabase(path());
    fill();
    return jxbench::runWithRatios(argc, argv, { { "BM_Generate/iterations:1", "BM_WriteSameBytes/iterations:1" } });
}
