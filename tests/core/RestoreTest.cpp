// Restoring filings from backup files: the round trip into a fresh database, the listing, the
// duplicate check, and files from outside that must be refused without writing anything.

#include "Error.h"
#include "backup/Restore.h"
#include "backup/RestorePlan.h"
#include "delivery/DeliveryCrypto.h"
#include "delivery/FileGeneration.h"
#include "delivery/ManipulaXml.h"
#include "delivery/Receipts.h"
#include "delivery/RsaBlockCipher.h"
#include "delivery/RsaKey.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "../support/RequestFixture.h"
#include "../support/TestFiles.h"

using namespace jx;
using namespace jxtest;

namespace {

// A second program folder with its own data module: the database a backup is restored into.
struct Target {
    TestProgramFolder folder;
    ScriptedPrompts prompts;
    int ended = 0;
    std::unique_ptr<TdtmDB> db;
    std::unique_ptr<TdtmJX> jx;

    explicit Target(const QString& keysFolder)
    {
        db = std::make_unique<TdtmDB>(folder.path(), prompts, [this] { ++ended; });
        jx = std::make_unique<TdtmJX>(*db, prompts, [this] { ++ended; }, folder.path());
        for (const char* name : { kPrivateKeyFile, kPublicKeyFile })
            QFile::copy(keysFolder + u'/' + QLatin1String(name), folder.path() + "/BIN/" + QLatin1String(name));
    }
    Restore restore() { return Restore(*jx, prompts, folder.path()); }
};

QStringList filesUnder(const QString& folder, const QString& pattern)
{
    QStringList out;
    QDirIterator it(folder, { pattern }, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << it.next();
    return out;
}

class RestoreTest : public RequestFixture {
protected:
    void SetUp() override
    {
        RequestFixture::SetUp();
        RsaKeyPair::generate().save(keys());
    }

    QString keys() const { return m_folder.path() + "/BIN"; }

    qint64 insert(db::Connection& c, const char* table, const QVariantMap& values)
    {
        QStringList names;
        QStringList marks;
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            names << it.key();
            marks << u':' + it.key();
        }
        db::Statement s = c.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                        .arg(QLatin1String(table), names.join(u','), marks.join(u',')));
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            s.bind(u':' + it.key(), it.value());
        s.run();
        return c.lastInsertId();
    }
    qint64 insert(const char* table, const QVariantMap& values) { return insert(m_db->connection(), table, values); }

    qint64 address(const QString& cep, const QString& street)
    {
        return insert("ENDERECO",
            { { "CEP", cep }, { "ID_UF", 10 }, { "LOCALIDADE", "PORTO DAS ARARAS" }, { "DISTRITO", "VILA NOVA" },
                { "BAIRRO", "CENTRO" }, { "TIPO_LOGRADOURO", 15 }, { "LOGRADOURO", street }, { "NUMERO", "1&2" },
                { "COD_TIPO_COMPLEMENTO1", "LJ" }, { "COMPLEMENTO1", "3" }, { "COD_TIPO_COMPLEMENTO6", "SL" },
                { "COMPLEMENTO6", "12" } });
    }
    qint64 contact(const QString& phone)
    {
        return insert("COMUNICACAO",
            { { "TELEFONE", phone }, { "FAX", "6133332222" }, { "EMAIL", "contato@boi.com.br" },
                { "CAIXA_POSTAL_CEP", "70000999" }, { "CAIXA_POSTAL", "45" } });
    }

    // A request with everything filled: both addresses, its contact, three partners, two
    // responsible persons, five linked registrations, two linked CNPJs, two deliveries with
    // their receipts. Values are those the layouts carry unchanged (no accents in free text).
    qint64 storeFullRequest(const QString& cnpj, const QString& created)
    {
        const qint64 id = insert("SOLICITACAO_IE",
            { { "DATASOLICITACAOIE", "2026-12-09" }, { "DATACRIACAO", created }, { "STATUS", "C" }, { "CNPJ", cnpj },
                { "LOCALIZACAO", 1 }, { "ID_NATUREZA_JURIDICA", 2305 }, { "NIRE", "53200012345" },
                { "ID_UNIDADE_AUXILIAR", 11 }, { "ID_CNAEF_PRINCIPAL", 491.0 }, { "ID_CAE", 5 },
                { "ID_DESMEMBRAMENTO1", 1701 }, { "ID_CNAEF_SECUNDARIO", 1133.5 }, { "ID_DESMEMBRAMENTO2", 7 },
                { "ID_REGIME_RECOLHIMENTO", 9 }, { "RECEITA_BRUTA", qint64(123456789000) },
                { "SUBSTITUTO_TRIBUTARIO", "S" }, { "INSCRICAO_UNICA", "N" }, { "VINCULO", 2 },
                { "NOME_EMPRESARIAL", "FRIGORIFICO SAO JOAO LTDA" }, { "DATA_INICIO_ATIVIDADE", "2026-11-30" },
                { "NOME_FANTASIA", "BOI & CIA" }, { "ID_SITUACAO_ESPESCIAL", 5 },
                { "PROCESSO_NUMERO", "0001234-56<2026>" }, { "PROCESSO_DATA_INICIO", "2026-01-02" },
                { "PROCESSO_DATA_FIM", "2026-03-04" }, { "NUMERO_DAE", "123456789012" }, { "CATEGORIA", 1 },
                { "MATRIZ_IE", "1234567890107" }, { "IE_ESTADO_ORIGEM", "998877" }, { "ORGAO_LICENCIADOR", "SIF 1234" },
                { "ID_FORMA_COMERCIALIZACAO", 3 }, { "ID_CONVENIO_PROTOCOLO", 3 }, { "DOCUMENTO_CONTABILISTA_TIPO", 4 },
                { "DOCUMENTO_CONTABILISTA_NUMERO", "52998224725" }, { "IND_LIVROS_FISCAIS", "S" },
                { "ID_ENDERECO_ESTABELECIMENTO", address("70000123", "DAS PALMEIRAS") },
                { "ID_ENDERECO_CORRESPONDECIA", address("70000456", "DO BOSQUE") },
                { "ID_COMUNICACAO_EMPRESA", contact("6132345678") } });
        for (const char* ie : { "1234567890101", "1234567890202", "1234567890303", "1234567890404", "1234567890505" })
            insert("SOLICITACAO_IE_VINCULADO", { { "ID_SOLICITACAO", id }, { "IE", ie } });
        for (const char* branch : { "000262", "000343" })
            insert("SOLICITACAO_CNPJ_VINCULADO",
                { { "ID_SOLICITACAO", id }, { "CNPJ_NUCLEO", cnpj.left(8) },
                    { "CNPJ_FILIAL", QString::fromLatin1(branch).left(4) },
                    { "CNPJ_DV", QString::fromLatin1(branch).right(2) } });
        int n = 0;
        for (const auto& [kind, ident, share] : { std::tuple { 4, "52998224725", 50.0 },
                 std::tuple { 3, "11444777000161", 12.5 }, std::tuple { 4, "39053344705", 37.5 } }) {
            ++n;
            insert("SOLICITACAO_IE_SOCIO",
                { { "ID_SOLICITACAO", id }, { "TIPO_IDENTIFICACAO", kind }, { "IDENTIFICACAO", ident },
                    { "RESPONSAVEL_MASTER", n == 1 ? "S" : "N" }, { "IDENT_PROCURADOR_RESPONSAVEL", "11144477735" },
                    { "ID_CARGO", 47 + n }, { "DATA_NASCIMENTO", "1970-05-1" + QString::number(n) },
                    { "PARTICIPACAO", share }, { "PARTICIPACAO_DATA_INICIO", "2026-11-30" },
                    { "ID_ENDERECO", address("7000078" + QString::number(n), "SOCIO " + QString::number(n)) },
                    { "ID_COMUNICACAO", contact("619999888" + QString::number(n)) } });
        }
        for (const auto& [ident, function] : { std::pair { "87748248800", 19 }, std::pair { "52998224725", 99 } })
            insert("SOLICITACAO_IE_RESPONSAVEL",
                { { "ID_SOLICITACAO", id }, { "IDENTIFICACAO", ident }, { "ID_FUNCAO", function },
                    { "DATA_INICIO", "2026-11-30" }, { "ID_ENDERECO", address("70000200", "NORTE") },
                    { "ID_COMUNICACAO", contact("6130002222") } });
        m_jx->reopenAt(*m_jx->cdsSolicitacaoIE, id);
        const QByteArray receipt = Receipts::receiptBytes(Receipts(*m_jx).requestLines());
        for (const char* protocol : { "202600000041", "202600000042" })
            insert("ENTREGAS",
                { { "SOLICITACAO_ID", id }, { "NUMEROPROTOCOLO", protocol }, { "VERSAOJXTRANSMISSAO", "10000" },
                    { "FORMAENTREGA", "D" }, { "NOMEARQUIVO", "JXS.xml" }, { "VERIFICADORINTEGRIDADE", "A94A8FE5" },
                    { "IDENTIFICADORDISQUETE", "ZKF2882343476" }, { "DATAHORAPROTOCOLO", "2026-12-10 09:00:01" },
                    { "RECIBO", receipt } });
        m_jx->reopenAt(*m_jx->cdsSolicitacaoIE, id);
        return id;
    }

    qint64 storeEnablement(const QString& locality)
    {
        const qint64 id = insert("SOLICITACAO_CONTAB",
            { { "TIPO_IDENTIFICACAO", 4 }, { "IDENTIFICACAO", "52998224725" }, { "CRC", "012345" },
                { "UF_CRC", "QZ" }, { "IDENTIFICADOR_CRC", "O" }, { "CPF_RESPONSAVEL", "87748248800" },
                { "EMAIL_RESPONSAVEL", "maria@contab.com.br" }, { "DATANACRESP", "1980-02-29" },
                { "DATAHABILITACAOCONTABILISTA", "2026-12-09" }, { "DATACRIACAO", "2026-12-09 00:00:00" },
                { "STATUS", "C" }, { "TIPO_SOLICITACAO_CONTAB", 1 },
                { "ID_ENDERECO",
                    insert("ENDERECO",
                        { { "CEP", "70000321" }, { "ID_UF", 10 }, { "LOCALIDADE", locality }, { "BAIRRO", "CENTRO" },
                            { "TIPO_LOGRADOURO", 15 }, { "LOGRADOURO", "DAS PALMEIRAS" }, { "NUMERO", "900" } }) },
                { "ID_COMUNICACAO", contact("6133004400") } });
        for (const char* protocol : { "H-1", "H-2" })
            insert("ENTREGAS",
                { { "HABILITACAO_ID", id }, { "NUMEROPROTOCOLO", protocol }, { "FORMAENTREGA", "T" },
                    { "RECIBO", QByteArray("Habilita\xE7\xE3o\r\nrecebida\r\n") } });
        m_jx->reopenAt(*m_jx->cdsSolicitacao_Contab, id);
        return id;
    }

    // The backup of the current filing of that kind, made as the backup makes it.
    // deliveryForm: the form of the delivery file, which backups had before they kept accents.
    QString backup(int kind, const QString& folder, bool deliveryForm = false)
    {
        m_jx->TipoAtual = kind;
        FileGeneration generation(*m_jx, m_folder.path());
        generation.setBackupForm(!deliveryForm);
        const QString file = folder + u'/' + generation.fileName();
        generation.GerarArquivoEntrega(file);
        EXPECT_TRUE(m_jx->crypto().CriptografarArquivo(file));
        EXPECT_TRUE(xmlfile::GravarVerificador(file, m_prompts));
        return file;
    }

    // A file like a backup whose decrypted data section is the text given.
    QString craft(const QString& name, const QByteArray& data)
    {
        const QString file = m_files.filePath(name);
        writeFile(file,
            "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<arquivo><cabecalho></cabecalho><dados>"
                + rsa::encrypt(data, RsaKey::load(keys() + "/PublicKey.dat")) + "</dados></arquivo>\r\n");
        return file;
    }

    QTemporaryDir m_files;
};

// Every value of a filing and of all it owns, keys replaced by what they point at.
QStringList snapshot(const QString& databasePath, bool request, qint64 id)
{
    db::Connection c;
    c.open(databasePath, db::kDatabaseKey);
    QStringList out;
    const QStringList links { "ID_SOLICITACAO", "ID_SOCIO", "ID_RESPONSAVEL", "ID_SOLICITACAO_CONTABILISTA",
        "IDENTIFICADOR", "SOLICITACAO_ID", "HABILITACAO_ID" };
    std::function<void(const QString&, const QString&, const QVariant&, const QString&)> rows;
    rows = [&](const QString& label, const QString& sql, const QVariant& key, const QString& order) {
        const QString own = sql.section(u' ', -1); // the key of the table read
        db::Statement s = c.prepare(sql + QStringLiteral(" = :K ORDER BY ") + order);
        s.bind(QStringLiteral(":K"), key);
        while (s.step()) {
            for (int i = 0; i < s.columnCount(); ++i) {
                const QString column = s.columnName(i);
                if (links.contains(column) || column == own)
                    continue;
                if (column.startsWith("ID_ENDERECO")) {
                    rows(label + u'.' + column, "SELECT * FROM ENDERECO WHERE ID_ENDERECO", s.value(i), "1");
                } else if (column.startsWith("ID_COMUNICACAO")) {
                    rows(label + u'.' + column, "SELECT * FROM COMUNICACAO WHERE ID_COMUNICACAO", s.value(i), "1");
                } else {
                    const QString value = column == "RECIBO" ? QString::fromLatin1(s.blob(i).toHex()) : s.text(i);
                    out << label + u'.' + column + u'=' + value;
                }
            }
        }
    };
    if (request) {
        rows("S", "SELECT * FROM SOLICITACAO_IE WHERE ID_SOLICITACAO", id, "1");
        rows("SOCIO", "SELECT * FROM SOLICITACAO_IE_SOCIO WHERE ID_SOLICITACAO", id, "ID_SOCIO");
        rows("RESP", "SELECT * FROM SOLICITACAO_IE_RESPONSAVEL WHERE ID_SOLICITACAO", id, "ID_RESPONSAVEL");
        rows("IE", "SELECT * FROM SOLICITACAO_IE_VINCULADO WHERE ID_SOLICITACAO", id, "rowid");
        rows("CNPJ", "SELECT * FROM SOLICITACAO_CNPJ_VINCULADO WHERE ID_SOLICITACAO", id, "rowid");
        rows("ENTREGA", "SELECT * FROM ENTREGAS WHERE SOLICITACAO_ID", id, "IDENTIFICADOR");
    } else {
        rows("H", "SELECT * FROM SOLICITACAO_CONTAB WHERE ID_SOLICITACAO_CONTABILISTA", id, "1");
        rows("ENTREGA", "SELECT * FROM ENTREGAS WHERE HABILITACAO_ID", id, "IDENTIFICADOR");
    }
    return out;
}

QString dump(const QString& databasePath)
{
    db::Connection c;
    c.open(databasePath, db::kDatabaseKey);
    QString out;
    for (const db::TableDef& table : db::tables()) {
        if (table.reference)
            continue;
        db::Statement s = c.prepare(QStringLiteral("SELECT * FROM %1 ORDER BY 1").arg(QLatin1String(table.name)));
        while (s.step()) {
            for (int i = 0; i < s.columnCount(); ++i)
                out += s.text(i) + u'|';
            out += u'\n';
        }
    }
    return out;
}

std::string lines(const QStringList& list)
{
    return list.join(u'\n').toStdString();
}

} // namespace

TEST_F(RestoreTest, AFullRequestAndAnEnablementComeBackFieldByFieldIntoAFreshDatabase)
{
    db::Statement place = m_db->connection().prepare(
        "SELECT NOME FROM LOCALIDADE WHERE length(NOME) <= 30 AND NOME NOT GLOB '*[^A-Z ]*' ORDER BY rowid LIMIT 1");
    ASSERT_TRUE(place.step());
    const QString locality = place.text(0);
    storeFullRequest("33344455000183", "2026-12-08 08:00:00");
    const qint64 request = storeFullRequest("11222333000181", "2026-12-09 10:20:30");
    storeFullRequest("44455566000183", "2026-12-10 08:00:00");
    const qint64 enablement = storeEnablement(locality);
    ASSERT_TRUE(m_jx->cdsSolicitacaoIE->locate("ID_SOLICITACAO", request));
    const QString requestFile = backup(1, m_files.path());
    const QString enablementFile = backup(0, m_files.path());
    EXPECT_EQ(QFileInfo(requestFile).fileName(), "JXSCNPJ1122233300018120261209102030.xml");
    EXPECT_FALSE(xmlfile::RetornarDados(requestFile).contains("<cnpj>"));

    Target target(keys());
    Restore restore = target.restore();
    const qint64 restored = restore.ImportarSolicitacao(requestFile);
    const qint64 restoredEnablement = restore.ImportarHabilitacao(enablementFile);
    const QStringList before = snapshot(m_folder.databasePath(), true, request);
    EXPECT_EQ(lines(snapshot(target.folder.databasePath(), true, restored)), lines(before));
    EXPECT_EQ(before.filter("SOCIO.IDENTIFICACAO=").size(), 3);
    EXPECT_EQ(before.filter("RESP.IDENTIFICACAO=").size(), 2);
    EXPECT_EQ(before.filter("IE.IE=").size(), 5);
    EXPECT_EQ(before.filter("CNPJ.CNPJ_FILIAL=").size(), 2);
    EXPECT_EQ(before.filter(QRegularExpression("^ENTREGA.RECIBO=.{200,}")).size(), 2);
    EXPECT_EQ(lines(snapshot(target.folder.databasePath(), false, restoredEnablement)),
        lines(snapshot(m_folder.databasePath(), false, enablement)));
    // The record sets show what was stored; no decrypted copy was left anywhere.
    EXPECT_TRUE(target.jx->cdsSolicitacaoIE->locate("ID_SOLICITACAO", restored));
    EXPECT_TRUE(filesUnder(target.folder.path(), "DecAux*").isEmpty());
    EXPECT_TRUE(filesUnder(m_files.path(), "DecAux*").isEmpty());
    EXPECT_TRUE(target.prompts.allMet()) << lines(target.prompts.failures());
}

TEST_F(RestoreTest, ABackupBringsBackAccentsSpecialsAndWholeMoments)
{
    // As a new user types them: accents, "&", "<", a request date with its time of day.
    storeFullRequest("33344455000183", "2026-12-08 08:00:00");
    const qint64 request = storeFullRequest("11222333000181", "2026-12-09 10:20:30");
    storeFullRequest("44455566000183", "2026-12-10 08:00:00");
    const QString accented = QStringLiteral("SANTA CLARA DO QUIZAPÁ");
    db::Connection& c = m_db->connection();
    db::Statement update = c.prepare("UPDATE SOLICITACAO_IE SET NOME_EMPRESARIAL = :N, NOME_FANTASIA = :F, "
                                     "DATASOLICITACAOIE = '2026-12-09 14:35:10' WHERE ID_SOLICITACAO = :ID");
    update.bind(":N", QStringLiteral("VIDRAÇARIA (CRISTAL) & FILHOS LTDA"));
    update.bind(":F", QStringLiteral("VIDROS <BELOS> & CIA"));
    update.bind(":ID", request);
    update.run();
    db::Statement places = c.prepare("UPDATE ENDERECO SET LOCALIDADE = :L, LOGRADOURO = :R, BAIRRO = :B, DISTRITO = :D, "
                                     "COMPLEMENTO1 = :C");
    places.bind(":L", accented);
    places.bind(":R", QStringLiteral("DAS ACÁCIAS & <FLORES>"));
    places.bind(":B", QStringLiteral("JARDIM AMÉRICA"));
    places.bind(":D", QStringLiteral("VILA SÃO JOÃO"));
    places.bind(":C", QStringLiteral("SALA Nº 3"));
    places.run();
    db::Statement mail = c.prepare("UPDATE COMUNICACAO SET EMAIL = :E");
    mail.bind(":E", QStringLiteral("joão&maria@boi.com.br"));
    mail.run();
    const qint64 enablement = storeEnablement(accented);
    c.exec("UPDATE SOLICITACAO_CONTAB SET DATAHABILITACAOCONTABILISTA = '2026-12-09 10:20:30'");
    m_jx->reopenAt(*m_jx->cdsSolicitacao_Contab, enablement);
    m_jx->reopenAt(*m_jx->cdsSolicitacaoIE, request);

    const QString requestFile = backup(1, m_files.path());
    const QString enablementFile = backup(0, m_files.path());
    Target target(keys());
    Restore restore = target.restore();
    const qint64 restored = restore.ImportarSolicitacao(requestFile);
    const qint64 restoredEnablement = restore.ImportarHabilitacao(enablementFile);
    const QStringList before = snapshot(m_folder.databasePath(), true, request);
    EXPECT_EQ(lines(snapshot(target.folder.databasePath(), true, restored)), lines(before));
    EXPECT_TRUE(before.contains(QStringLiteral("S.NOME_EMPRESARIAL=VIDRAÇARIA (CRISTAL) & FILHOS LTDA")));
    EXPECT_TRUE(before.contains("S.DATASOLICITACAOIE=2026-12-09 14:35:10"));
    // Both addresses of the request, three partners', two responsible persons'.
    EXPECT_EQ(before.filter(QStringLiteral("LOGRADOURO=DAS ACÁCIAS & <FLORES>")).size(), 7);
    const QStringList enablementBefore = snapshot(m_folder.databasePath(), false, enablement);
    EXPECT_EQ(lines(snapshot(target.folder.databasePath(), false, restoredEnablement)), lines(enablementBefore));
    EXPECT_TRUE(enablementBefore.contains("H.ID_ENDERECO.LOCALIDADE=" + accented));
    EXPECT_TRUE(enablementBefore.contains("H.DATAHABILITACAOCONTABILISTA=2026-12-09 10:20:30"));

    // The delivery file keeps the authority's form.
    m_jx->TipoAtual = 1;
    FileGeneration delivery(*m_jx, m_folder.path());
    const QString plain = m_files.filePath("entrega.xml");
    delivery.GerarArquivoEntrega(plain);
    QFile raw(plain);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    const QString data = QString::fromLatin1(raw.readAll());
    EXPECT_TRUE(data.contains("<nome_empresarial>VIDRACARIA (CRISTAL) &amp; FILHOS LTDA</nome_empresarial>"))
        << data.toStdString();
    EXPECT_TRUE(data.contains("<solicitacao data=\"09/12/2026\" "));
}

TEST_F(RestoreTest, ABackupMadeBeforeAccentsWereKeptFindsItsLocalityAccentsAside)
{
    const qint64 enablement = storeEnablement(QStringLiteral("SANTA CLARA DO QUIZAPÁ"));
    m_jx->reopenAt(*m_jx->cdsSolicitacao_Contab, enablement);
    const QString file = backup(0, m_files.path(), true);
    EXPECT_TRUE(Restore(*m_jx, m_prompts, m_folder.path())
                    .decryptedData(file, restore::Kind::Enablement)
                    .contains("<municipio>SANTA CLARA DO QUIZAPA</municipio>"));
    Target target(keys());
    const qint64 restored = target.restore().ImportarHabilitacao(file);
    const QStringList after = snapshot(target.folder.databasePath(), false, restored);
    EXPECT_TRUE(after.contains(QStringLiteral("H.ID_ENDERECO.LOCALIDADE=SANTA CLARA DO QUIZAPÁ"))) << lines(after);
}

TEST_F(RestoreTest, AnEnablementWithoutAddressOrContactComesBackWithoutThem)
{
    // The layout leaves both sections out when they are empty: the restore takes what it wrote.
    storeEnablement("PORTO DAS ARARAS");
    const qint64 bare = insert("SOLICITACAO_CONTAB",
        { { "TIPO_IDENTIFICACAO", 4 }, { "IDENTIFICACAO", "11144477735" }, { "CRC", "54321" }, { "UF_CRC", "QZ" },
            { "IDENTIFICADOR_CRC", "O" }, { "DATACRIACAO", "2026-12-10 11:12:13" }, { "STATUS", "C" },
            { "TIPO_SOLICITACAO_CONTAB", 1 } });
    m_jx->reopenAt(*m_jx->cdsSolicitacao_Contab, bare);
    const QString file = backup(0, m_files.path());
    const QByteArray data = Restore(*m_jx, m_prompts, m_folder.path()).decryptedData(file, restore::Kind::Enablement);
    ASSERT_FALSE(data.contains("<endereco>")) << data.toStdString();
    Target target(keys());
    const qint64 restored = target.restore().ImportarHabilitacao(file);
    EXPECT_EQ(lines(snapshot(target.folder.databasePath(), false, restored)),
        lines(snapshot(m_folder.databasePath(), false, bare)));
    db::Connection c;
    c.open(target.folder.databasePath(), db::kDatabaseKey);
    db::Statement keys = c.prepare("SELECT ifnull(ID_ENDERECO, 'nulo') || ifnull(ID_COMUNICACAO, 'nulo') FROM "
                                   "SOLICITACAO_CONTAB");
    ASSERT_TRUE(keys.step());
    EXPECT_EQ(keys.text(0), "nulonulo");
}

TEST_F(RestoreTest, ListsOnlyNamesOfTheKindAsked)
{
    const QString folder = m_files.path();
    const QStringList names { "JXSCNPJ1122233300018120261209102030.xml", "JXSCNPJ3334445500018320261209102030.xml",
        "JXSCNPJ1122233300018220261209102030.xml", // wrong check digit
        "JXSCNPJ1122233300018120260231102030.xml", // 31/02
        "JXSCNPJ1122233300018120261209102030.txt", "JXHCPF5299822472520261209102030.xml",
        "JXHCNPJ1122233300018120261209000000.xml", "JX20261209102030.bkp", "JX20261309102030.bkp", "outro.xml" };
    for (const QString& name : names)
        writeFile(folder + u'/' + name, "<arquivo/>");
    Restore restore(*m_jx, m_prompts, m_folder.path());
    auto listed = [this](const char* column) {
        QStringList out;
        RecordSet& list = *m_jx->cdsRestauracaoAux;
        for (int row = 0; row < list.count(); ++row)
            out << list.valueAt(row, list.fieldIndex(column)).toString();
        return out;
    };
    restore.ListarArquivosRestauracao("S", folder + "//");
    EXPECT_EQ(listed("Identificador"), QStringList({ "11.222.333/0001-81", "33.344.455/0001-83" }));
    EXPECT_EQ(listed("Arquivo").first(), folder + "/JXSCNPJ1122233300018120261209102030.xml");
    EXPECT_EQ(listed("Tipo"), QStringList({ "CNPJ", "CNPJ" }));
    EXPECT_EQ(listed("Data").first(), QFileInfo(listed("Arquivo").first()).lastModified().toString("dd/MM/yyyy"));
    EXPECT_EQ(listed("Hora").first().size(), 5);
    restore.ListarArquivosRestauracao("H", folder);
    EXPECT_EQ(listed("Identificador"), QStringList({ "11.222.333/0001-81", "529.982.247-25" }));
    EXPECT_EQ(listed("Tipo"), QStringList({ "CNPJ", "CPF" }));
    restore.ListarArquivosRestauracao("B", folder);
    EXPECT_EQ(listed("Arquivo"), QStringList { folder + "/JX20261209102030.bkp" });
    EXPECT_EQ(listed("Identificador"), QStringList { "" });
    QTemporaryDir empty;
    restore.ListarArquivosRestauracao("S", empty.path());
    EXPECT_TRUE(m_jx->cdsRestauracaoAux->isEmpty());
}

TEST_F(RestoreTest, TheSameFileTwiceIsRefusedAnotherMomentBecomesASecondFiling)
{
    storeFullRequest("11222333000181", "2026-12-09 10:20:30");
    const QString first = backup(1, m_files.path());
    const qint64 enablement = storeEnablement("PORTO DAS ARARAS");
    Q_UNUSED(enablement);
    const QString midnight = backup(0, m_files.path()); // created at 00:00:00
    Target target(keys());
    Restore restore = target.restore();
    // Another request of that CNPJ, created earlier, is already there.
    db::Statement s = target.db->connection().prepare(
        "INSERT INTO SOLICITACAO_IE (CNPJ, DATACRIACAO) VALUES ('11222333000181', '2026-12-01 08:00:00')");
    s.run();
    target.jx->reopenAt(*target.jx->cdsSolicitacaoIE, QVariant());

    for (int round = 0; round < 2; ++round) {
        restore.ListarArquivosRestauracao("S", m_files.path());
        ASSERT_EQ(target.jx->cdsRestauracaoAux->count(), 1);
        restore.ListarArquivosRestauracao("H", m_files.path());
        ASSERT_EQ(target.jx->cdsRestauracaoAux->count(), 1);
    }
    target.prompts.expectInformation(Restore::kDone)
        .expectError(Restore::requestExistsText("11.222.333/0001-81"))
        .expectInformation(Restore::kDone)
        .expectError(Restore::enablementExistsText("529.982.247-25"));
    restore.ListarArquivosRestauracao("S", m_files.path());
    EXPECT_TRUE(restore.RestaurarSolicitacao());
    EXPECT_FALSE(restore.RestaurarSolicitacao());
    restore.ListarArquivosRestauracao("H", m_files.path());
    EXPECT_TRUE(restore.RestaurarHabilitacao());
    EXPECT_FALSE(restore.RestaurarHabilitacao());
    EXPECT_TRUE(target.prompts.allMet()) << lines(target.prompts.failures() + target.prompts.leftOver());
    db::Connection c;
    c.open(target.folder.databasePath(), db::kDatabaseKey);
    db::Statement n = c.prepare("SELECT count(*) FROM SOLICITACAO_IE WHERE CNPJ = '11222333000181'");
    ASSERT_TRUE(n.step());
    EXPECT_EQ(n.int64(0), 2);
    Q_UNUSED(first);
    Q_UNUSED(midnight);
}

TEST_F(RestoreTest, HostileFilesAreRefusedNamingTheFileAndWriteNothing)
{
    storeFullRequest("11222333000181", "2026-12-09 10:20:30");
    const QString good = backup(1, m_files.path());
    const QByteArray plain = [&] {
        Target probe(keys());
        return probe.restore().decryptedData(good, restore::Kind::Request);
    }();
    ASSERT_TRUE(plain.contains("<solicitacao"));
    Target target(keys());
    Restore restore = target.restore();
    const QString before = dump(target.folder.databasePath());

    QByteArray bytes = contentOf(good);
    const QString truncated = m_files.filePath("truncated.xml");
    writeFile(truncated, bytes.left(bytes.size() * 2 / 3));
    const QString huge = m_files.filePath("huge.xml");
    writeFile(huge, QByteArray(restore::kMaxFileSize + 10, ' '));
    const QString garbled = m_files.filePath("garbled.xml");
    QByteArray damaged = bytes;
    damaged.replace("<dados>", "<dados>@@@@");
    writeFile(garbled, damaged);
    const QString doctype = m_files.filePath("doctype.xml");
    writeFile(doctype, "<?xml version=\"1.0\"?><!DOCTYPE a [<!ENTITY x \"y\">]><arquivo><dados>&x;</dados></arquivo>");
    const QByteArray deep = "<solicitacao>" + QByteArray("<socio>").repeated(20000)
        + QByteArray("</socio>").repeated(20000) + "</solicitacao>";
    QByteArray tooLong = plain;
    tooLong.replace("<nire>53200012345</nire>", "<nire>" + QByteArray(31, '9') + "</nire>");
    QByteArray badCnpj = plain;
    badCnpj.replace("<cnpj>11222333000181</cnpj>", "<cnpj>11222333000182</cnpj>");
    QByteArray unknown = plain;
    unknown.replace("<nire>", "<senha>x</senha><nire>");
    QByteArray entity = plain;
    entity.replace("<nire>", "<nire>&foo;");

    const std::vector<std::pair<QString, QString>> cases {
        { truncated, restore::kInvalidFormat },
        { huge, "O arquivo passa de 8 MB." },
        { garbled, "Os dados não puderam ser descriptografados" },
        { doctype, "<!DOCTYPE" },
        { craft("deep.xml", deep), "O elemento <socio> não é esperado em <socio>." },
        { craft("long.xml", tooLong),
            restore::kImportFailed + restore::kRequest + "Valor recusado: NIRE com mais de 30 caracteres" },
        { craft("cnpj.xml", badCnpj), restore::kRequest + "CNPJ inválido: \"11222333000182\"" },
        { craft("unknown.xml", unknown), "O elemento <senha> não é esperado em <dados_iniciais>." },
        { craft("entity.xml", entity), "\"&foo;\"" },
        { craft("two.xml", plain + "</dados><dados>"), restore::kInvalidFormat },
    };
    for (const auto& [file, expected] : cases) {
        const QString text = errorOf([&] { restore.ImportarSolicitacao(file); });
        EXPECT_TRUE(text.contains(expected)) << file.toStdString() << ": " << text.toStdString();
        EXPECT_TRUE(text.endsWith("Arquivo: " + QDir::toNativeSeparators(file))) << text.toStdString();
    }
    // Missing records come wrapped in their record's message.
    QByteArray noAddress = plain;
    const qsizetype from = noAddress.indexOf("<estabelecimento>");
    noAddress.remove(from, noAddress.indexOf("</estabelecimento>") + 18 - from);
    EXPECT_TRUE(errorOf([&] { restore.ImportarSolicitacao(craft("noaddress.xml", noAddress)); })
                    .startsWith(restore::kImportFailed + restore::kEstablishmentAddress + restore::kInvalidFormat));
    EXPECT_EQ(dump(target.folder.databasePath()), before);
    EXPECT_TRUE(filesUnder(target.folder.path(), "DecAux*").isEmpty());
    EXPECT_TRUE(target.prompts.shown().isEmpty()) << lines(target.prompts.shown());
}

TEST_F(RestoreTest, TheTransmitterRoutesPlainFileCannotBeRestored)
{
    storeFullRequest("11222333000181", "2026-12-09 10:20:30");
    m_jx->TipoAtual = 1;
    FileGeneration generation(*m_jx, m_folder.path());
    const QString file = m_files.filePath(generation.fileName());
    generation.GerarArquivoEntrega(file);
    Target target(keys());
    const QString before = dump(target.folder.databasePath());
    target.prompts.expectError(Restore::kFailed + restore::kInvalidFormat
        + "\r\nA seção de dados não está criptografada (arquivo do transmissor): não pode ser restaurada.\r\nArquivo: "
        + QDir::toNativeSeparators(file));
    Restore restore = target.restore();
    restore.ListarArquivosRestauracao("S", m_files.path());
    EXPECT_FALSE(restore.RestaurarSolicitacao());
    EXPECT_TRUE(target.prompts.allMet()) << lines(target.prompts.failures() + target.prompts.leftOver());
    EXPECT_EQ(dump(target.folder.databasePath()), before);
}

TEST_F(RestoreTest, ADeliveryThatCannotBeStoredEndsTheDeliveriesNotTheFiling)
{
    storeFullRequest("11222333000181", "2026-12-09 10:20:30");
    Target probe(keys());
    QByteArray plain = probe.restore().decryptedData(backup(1, m_files.path()), restore::Kind::Request);
    // The second of two deliveries carries a protocol too long for its column.
    const qsizetype second = plain.lastIndexOf("<num_protocolo>");
    plain.insert(second + int(strlen("<num_protocolo>")), QByteArray(30, '7'));
    Target target(keys());
    target.prompts.expectMessage("Valor recusado: NUMEROPROTOCOLO com mais de 20 caracteres");
    const qint64 id = target.restore().ImportarSolicitacao(craft("deliveries.xml", plain));
    const QStringList rows = snapshot(target.folder.databasePath(), true, id);
    EXPECT_EQ(rows.filter("ENTREGA.NUMEROPROTOCOLO=").join(u','), "ENTREGA.NUMEROPROTOCOLO=202600000041");
    EXPECT_EQ(rows.filter("SOCIO.IDENTIFICACAO=").size(), 3);
    EXPECT_TRUE(target.prompts.allMet()) << lines(target.prompts.failures() + target.prompts.leftOver());
}

TEST_F(RestoreTest, UnknownReferencesAreStoredWithoutValueAndABranchWithoutPartners)
{
    storeFullRequest("11222333000181", "2026-12-09 10:20:30");
    Target probe(keys());
    QByteArray plain = probe.restore().decryptedData(backup(1, m_files.path()), restore::Kind::Request);
    plain.replace("<uf>QZ</uf>", "<uf>XX</uf>");
    plain.replace("<categoria>1</categoria>", "<categoria>3</categoria>");
    const qsizetype at = plain.indexOf("<incorporacao_fusao_cisao_total>") + int(strlen("<incorporacao_fusao_cisao_total>"));
    plain.insert(at, "NADA ");
    plain.replace("<localizacao>QZ</localizacao>", "<localizacao>Outra UF</localizacao>");
    Target target(keys());
    const qint64 id = target.restore().ImportarSolicitacao(craft("refs.xml", plain));
    const QStringList rows = snapshot(target.folder.databasePath(), true, id);
    EXPECT_TRUE(rows.contains("S.ID_ENDERECO_ESTABELECIMENTO.ID_UF=")) << lines(rows);
    EXPECT_TRUE(rows.contains("S.VINCULO="));
    EXPECT_TRUE(rows.contains("S.LOCALIZACAO=99"));
    EXPECT_TRUE(rows.filter("SOCIO.").isEmpty());
    EXPECT_EQ(rows.filter("RESP.IDENTIFICACAO=").size(), 2);
}

namespace {

// A copy of the file under the name given, alone in a folder of its own.
QString place(const QString& file, const QString& name, QTemporaryDir& scratch)
{
    static int folders = 0;
    const QString folder = scratch.filePath(QString::number(++folders));
    QDir().mkpath(folder);
    EXPECT_TRUE(QFile::copy(file, folder + u'/' + name));
    return folder + u'/' + name;
}

// The window's restore of the one file of its folder.
bool restoreThroughWindow(Target& target, const QString& file)
{
    Restore restore = target.restore();
    restore.ListarArquivosRestauracao("S", QFileInfo(file).path());
    EXPECT_EQ(target.jx->cdsRestauracaoAux->count(), 1);
    return restore.RestaurarSolicitacao();
}

} // namespace

TEST_F(RestoreTest, AFileIsJudgedByTheFilingItHoldsNotByItsName)
{
    storeFullRequest("33344455000183", "2026-12-08 08:00:00");
    const QString first = backup(1, m_files.path());
    storeFullRequest("11222333000181", "2026-12-09 10:20:30");
    const QString middle = backup(1, m_files.path());
    storeFullRequest("44455566000183", "2026-12-10 08:00:00");
    const QString last = backup(1, m_files.path());
    const QString firstName = QFileInfo(first).fileName();
    Target target(keys());
    QTemporaryDir scratch;

    target.prompts.expectInformation(Restore::kDone);
    EXPECT_TRUE(restoreThroughWindow(target, place(middle, QFileInfo(middle).fileName(), scratch)));
    const QString stored = dump(target.folder.databasePath());

    // Renamed copies of the stored filing: one second later, or another filing's name.
    const QString exists = Restore::requestExistsText("11.222.333/0001-81");
    target.prompts.expectError(exists).expectError(exists);
    EXPECT_FALSE(restoreThroughWindow(target, place(middle, "JXSCNPJ1122233300018120261209102031.xml", scratch)));
    EXPECT_FALSE(restoreThroughWindow(target, place(middle, firstName, scratch)));

    // A filing not stored, under a name that names another moment or another CNPJ.
    for (const QString& name : { QString("JXSCNPJ4445556600018320261210080001.xml"), firstName }) {
        const QString file = place(last, name, scratch);
        target.prompts.expectError("O conteúdo do arquivo " + QDir::toNativeSeparators(file)
            + " não corresponde ao seu nome.\r\nEle contém a solicitação do CNPJ 44.455.566/0001-83 criada em "
              "10/12/2026 08:00:00.\r\nNão é possível restaurá-lo!");
        EXPECT_FALSE(restoreThroughWindow(target, file)) << name.toStdString();
    }
    EXPECT_EQ(dump(target.folder.databasePath()), stored);

    // Under its own name it comes in.
    target.prompts.expectInformation(Restore::kDone);
    EXPECT_TRUE(restoreThroughWindow(target, place(last, QFileInfo(last).fileName(), scratch)));
    EXPECT_NE(dump(target.folder.databasePath()), stored);
    EXPECT_TRUE(target.prompts.allMet()) << lines(target.prompts.failures() + target.prompts.leftOver());
}

TEST_F(RestoreTest, AnImportThatFailsHalfWayLeavesNoneOfItsFilingAndTheOthersWhole)
{
    storeFullRequest("33344455000183", "2026-12-08 08:00:00");
    const QString first = backup(1, m_files.path());
    const qint64 middleId = storeFullRequest("11222333000181", "2026-12-09 10:20:30");
    const QString middle = backup(1, m_files.path());
    storeFullRequest("44455566000183", "2026-12-10 08:00:00");
    const QString last = backup(1, m_files.path());
    Target target(keys());
    Restore restore = target.restore();
    restore.ImportarSolicitacao(first);
    restore.ImportarSolicitacao(last);
    // The second responsible person is refused: the address, the request, its partners and the
    // first responsible person were written by then.
    db::Connection& c = target.db->connection();
    c.exec("CREATE TRIGGER RECUSA BEFORE INSERT ON SOLICITACAO_IE_RESPONSAVEL WHEN NEW.IDENTIFICACAO = '52998224725' "
           "BEGIN SELECT RAISE(ABORT, 'recusado pelo teste'); END");
    const QString before = dump(target.folder.databasePath());

    EXPECT_EQ(errorOf([&] { restore.ImportarSolicitacao(middle); }),
        restore::kImportFailed + restore::kResponsible
            + "recusado pelo teste\r\nArquivo: " + QDir::toNativeSeparators(middle));
    EXPECT_EQ(dump(target.folder.databasePath()), before);
    EXPECT_FALSE(target.db->inTransaction());

    // All of it, once nothing refuses it.
    c.exec("DROP TRIGGER RECUSA");
    const qint64 restored = restore.ImportarSolicitacao(middle);
    EXPECT_EQ(lines(snapshot(target.folder.databasePath(), true, restored)),
        lines(snapshot(m_folder.databasePath(), true, middleId)));
    EXPECT_TRUE(target.prompts.allMet()) << lines(target.prompts.failures() + target.prompts.leftOver());
}
