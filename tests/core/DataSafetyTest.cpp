// Regression tests for faults that deleted, overwrote or corrupted filings. Each works on
// several filings and acts on one that is neither the first nor the last.

#include "Error.h"
#include "data/RecordSetWriter.h"
#include "delivery/DeliveryCrypto.h"
#include "delivery/ManipulaXml.h"
#include "delivery/RsaKey.h"
#include "platform/Files.h"
#include "text/Money.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <pugixml.hpp>

#include <sys/resource.h>
#include <sys/wait.h>
#include <csignal>
#include <unistd.h>
#include <utime.h>

#include "../support/RequestFixture.h"

using namespace jx;
using namespace jxtest;
using Outcome = RequestLifecycle::Confirmation::Outcome;

namespace {

const QStringList kCnpjs { "11222333000181", "33344455000183", "44455566000183" };

class DataSafety : public RequestFixture {
protected:
    // Three saved requests, each with its own establishment address (the street names it).
    void createThree()
    {
        for (const QString& cnpj : kCnpjs) {
            ASSERT_EQ(create(cnpj).outcome, Outcome::Opened);
            typeAddress(*m_jx->cdsSolicIEEndEstab);
            m_jx->cdsSolicIEEndEstab->setValue("LOGRADOURO", "RUA " + cnpj);
            ASSERT_TRUE(save().saved);
        }
    }

    void moveTo(const QString& cnpj) { ASSERT_TRUE(m_jx->cdsSolicitacaoIE->locate("CNPJ", cnpj)); }

    QString text(const QString& sql)
    {
        db::Connection c;
        c.open(m_folder.databasePath(), db::kDatabaseKey);
        db::Statement s = c.prepare(sql);
        return s.step() ? s.text(0) : QString();
    }

    QString street(const QString& cnpj)
    {
        return text(QStringLiteral("SELECT E.LOGRADOURO FROM SOLICITACAO_IE S JOIN ENDERECO E "
                                   "ON E.ID_ENDERECO = S.ID_ENDERECO_ESTABELECIMENTO WHERE S.CNPJ = '%1'")
                        .arg(cnpj));
    }

    void expectPromptsMet() { EXPECT_TRUE(m_prompts.allMet()) << m_prompts.failures().join('\n').toStdString(); }
};

} // namespace

TEST_F(DataSafety, DeletingTheMiddleRequestDeletesOnlyIt)
{
    createThree();
    moveTo(kCnpjs[1]);
    // Pending edits on the set moved the cursor to the first row before the delete.
    m_jx->cdsSolicitacaoIE->setValue("NOME_FANTASIA", "NAO SALVO");
    m_prompts.expectYesNo(RequestLifecycle::kDeleteQuestion, true);
    ASSERT_TRUE(m_life->deleteCurrent());
    expectPromptsMet();
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_IE"), 2);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM SOLICITACAO_IE WHERE CNPJ = '%1'").arg(kCnpjs[1])), 0);
    EXPECT_EQ(street(kCnpjs[0]), "RUA " + kCnpjs[0]);
    EXPECT_EQ(street(kCnpjs[2]), "RUA " + kCnpjs[2]);
    EXPECT_EQ(count("SELECT count(*) FROM ENDERECO"), 2); // nothing orphaned
    EXPECT_EQ(m_jx->cdsSolicitacaoIE->count(), 2);
}

TEST_F(DataSafety, EditarOnAnExistingCnpjStoresNoCopyOfTheEstablishment)
{
    createThree();
    moveTo(kCnpjs[1]);
    m_life->beginEdit();
    ASSERT_TRUE(save().saved); // leaves the establishment shown as correspondence, unsaved
    ASSERT_EQ(m_jx->cdsSolicIEEndCorresp->state(), RecordSet::State::Insert);
    ASSERT_EQ(create(kCnpjs[1]).outcome, Outcome::Opened);
    EXPECT_TRUE(m_jx->cdsSolicIEEndCorresp->text("CEP").isEmpty());
    ASSERT_TRUE(save().saved);
    EXPECT_EQ(count("SELECT count(*) FROM ENDERECO"), 3);
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_IE WHERE ID_ENDERECO_CORRESPONDECIA IS NOT NULL"), 0);
    expectPromptsMet();
}

TEST_F(DataSafety, ARefusedNewRequestStopsAndTouchesNoOtherRequest)
{
    createThree();
    moveTo(kCnpjs[1]);
    const QString before = text("SELECT group_concat(ID_SOLICITACAO || CNPJ || STATUS, ';') FROM SOLICITACAO_IE");

    // Another program holds the write lock.
    db::Connection other;
    other.open(m_folder.databasePath(), db::kDatabaseKey);
    other.exec("BEGIN IMMEDIATE");
    m_prompts.expectMessage("O banco de dados está bloqueado por outro processo.");
    const auto locked = create("55566677000183");
    EXPECT_EQ(locked.outcome, Outcome::Refused);
    other.rollback();

    // The database file refuses writing.
    m_db->connection().exec("PRAGMA query_only = ON");
    m_prompts.expectMessage("O banco de dados não aceita gravação (somente leitura).");
    EXPECT_EQ(create("55566677000183").outcome, Outcome::Refused);
    m_db->connection().exec("PRAGMA query_only = OFF");

    expectPromptsMet();
    EXPECT_FALSE(m_db->inTransaction());
    EXPECT_EQ(m_jx->cdsSolicitacaoIE->text("CNPJ"), kCnpjs[1]); // still on the row the user chose
    EXPECT_EQ(m_jx->cdsSolicitacaoIE->state(), RecordSet::State::Browse);
    EXPECT_FALSE(m_jx->cdsSolicitacaoIE->hasPending());
    EXPECT_EQ(m_jx->cdsSolicitacaoIE->count(), 3);
    EXPECT_EQ(text("SELECT group_concat(ID_SOLICITACAO || CNPJ || STATUS, ';') FROM SOLICITACAO_IE"), before);
    // Nothing left in editing that a save could write over another request.
    for (const QString& cnpj : kCnpjs)
        EXPECT_EQ(street(cnpj), "RUA " + cnpj);
}

TEST_F(DataSafety, ASaveRefusedByTheDatabaseCommitsNothing)
{
    createThree();
    moveTo(kCnpjs[1]);
    m_life->beginEdit();
    m_jx->cdsSolicitacaoIEComun->setValue("TELEFONE", "6133334444");
    m_jx->cdsSolicIEEndEstab->setValue("LOGRADOURO", "NOVA");
    m_db->connection().exec("PRAGMA query_only = ON");
    m_prompts.expectMessage("O banco de dados não aceita gravação (somente leitura).");
    EXPECT_FALSE(save().saved);
    expectPromptsMet();
    EXPECT_EQ(m_ended, 0);
    EXPECT_TRUE(m_db->inTransaction()); // the form stays open with its operation
    m_db->connection().exec("PRAGMA query_only = OFF");
    EXPECT_EQ(count("SELECT count(*) FROM COMUNICACAO"), 0);
    EXPECT_EQ(street(kCnpjs[1]), "RUA " + kCnpjs[1]);
    // Once the database accepts writing again the same save goes through.
    ASSERT_TRUE(save().saved);
    EXPECT_EQ(street(kCnpjs[1]), "NOVA");
    EXPECT_EQ(count("SELECT count(*) FROM COMUNICACAO"), 1);
}

TEST_F(DataSafety, ANewRequestsDetailsBelongToItsNewKey)
{
    createThree();
    moveTo(kCnpjs[1]);
    ASSERT_EQ(create("55566677000183").outcome, Outcome::Opened);
    const QVariant id = m_jx->cdsSolicitacaoIE->value("ID_SOLICITACAO");
    ASSERT_FALSE(id.isNull());
    RecordSet& linked = *m_jx->cdsCNPJ_Estab_Vinc;
    for (const char* nucleo : { "11222333", "44455566" }) {
        linked.append();
        linked.setValue("ID_SOLICITACAO", id);
        linked.setValue("CNPJ_NUCLEO", nucleo);
        linked.post();
    }
    ASSERT_TRUE(m_jx->apply(linked, 0, false));
    m_jx->openSet(linked);
    EXPECT_EQ(linked.count(), 2); // the list reads the new request's rows
    typeAddress(*m_jx->cdsSolicIEEndEstab);
    ASSERT_TRUE(save().saved);
    m_prompts.expectYesNo(RequestLifecycle::kDeleteQuestion, true);
    ASSERT_TRUE(m_life->deleteCurrent());
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_CNPJ_VINCULADO"), 0); // nothing orphaned
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_IE"), 3);
    expectPromptsMet();
}

TEST_F(DataSafety, ARefusedDeletionIsStillOwedByTheNextSave)
{
    createThree();
    moveTo(kCnpjs[1]);
    m_life->beginEdit();
    m_jx->cdsSolicitacaoIEComun->setValue("TELEFONE", "6133334444");
    ASSERT_TRUE(save().saved);
    ASSERT_EQ(count("SELECT count(*) FROM COMUNICACAO"), 1);
    m_life->beginEdit();
    m_jx->cdsSolicitacaoIEComun->setValue("TELEFONE", QVariant());
    m_db->connection().exec("PRAGMA query_only = ON");
    m_prompts.expectMessage("O banco de dados não aceita gravação (somente leitura).");
    EXPECT_FALSE(save().saved);
    m_db->connection().exec("PRAGMA query_only = OFF");
    ASSERT_TRUE(save().saved);
    EXPECT_EQ(count("SELECT count(*) FROM COMUNICACAO"), 0);
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_IE WHERE ID_COMUNICACAO_EMPRESA IS NOT NULL"), 0);

    // A refused "(limpar endereço)" leaves the address where it was.
    m_life->beginEdit();
    typeAddress(*m_jx->cdsSolicIEEndCorresp);
    ASSERT_TRUE(save().saved);
    m_life->beginEdit();
    m_db->connection().exec("PRAGMA query_only = ON");
    m_prompts.expectMessage("O banco de dados não aceita gravação (somente leitura).");
    m_life->addresses().LimparEndCorrespondencia();
    m_db->connection().exec("PRAGMA query_only = OFF");
    EXPECT_EQ(m_jx->cdsSolicIEEndCorresp->text("CEP"), "70000123");
    ASSERT_TRUE(save().saved);
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_IE S JOIN ENDERECO E ON "
                    "E.ID_ENDERECO = S.ID_ENDERECO_CORRESPONDECIA"),
        1);
    expectPromptsMet();
}

TEST_F(DataSafety, ARefusedValueIsNoConflictAndDoesNotEndTheProgram)
{
    createThree();
    moveTo(kCnpjs[1]);
    m_life->beginEdit();
    // Too long for its 10-character column; only the database knows.
    m_jx->cdsSolicitacaoIEComun->setValue("TELEFONE", "61333344445");
    m_prompts.expectMessage("Valor recusado: TELEFONE com mais de 10 caracteres");
    EXPECT_FALSE(save().saved);
    expectPromptsMet();
    EXPECT_EQ(m_ended, 0);
    EXPECT_TRUE(m_jx->cdsSolicitacaoIEComun->hasPending());
    m_jx->cdsSolicitacaoIEComun->setValue("TELEFONE", "6133334444");
    ASSERT_TRUE(save().saved);
    EXPECT_EQ(text("SELECT TELEFONE FROM COMUNICACAO"), "6133334444");
}

TEST_F(DataSafety, ClearingTheCorrespondenceAddressDropsTheLink)
{
    createThree();
    moveTo(kCnpjs[1]);
    m_life->beginEdit();
    typeAddress(*m_jx->cdsSolicIEEndCorresp);
    ASSERT_TRUE(save().saved);
    ASSERT_EQ(count("SELECT count(*) FROM SOLICITACAO_IE WHERE ID_ENDERECO_CORRESPONDECIA IS NOT NULL"), 1);
    m_life->beginEdit();
    m_life->addresses().LimparEndCorrespondencia();
    ASSERT_TRUE(save().saved);
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_IE WHERE ID_ENDERECO_CORRESPONDECIA IS NOT NULL"), 0);
    EXPECT_EQ(count("SELECT count(*) FROM ENDERECO"), 3);
    expectPromptsMet();
}

TEST_F(DataSafety, MoneyIsStoredInTenThousandths)
{
    createThree();
    moveTo(kCnpjs[1]);
    m_life->beginEdit();
    RecordSet& r = *m_jx->cdsSolicitacaoIE;
    r.setValue("RECEITA_BRUTA", "5000");
    EXPECT_EQ(r.value("RECEITA_BRUTA").toLongLong(), 50000000);
    r.setValue("RECEITA_BRUTA", "1.500,25");
    EXPECT_EQ(r.value("RECEITA_BRUTA").toLongLong(), 15002500);
    // Unparsable text is refused with the field's name and the value stays.
    try {
        r.setValue("RECEITA_BRUTA", "1.50,0");
        ADD_FAILURE() << "accepted";
    } catch (const Error& e) {
        EXPECT_EQ(e.userText(), QStringLiteral("Valor inválido para o campo \"Limite Receita Bruta Anual Prevista\": "
                                               "\"1.50,0\"."));
    }
    EXPECT_EQ(r.value("RECEITA_BRUTA").toLongLong(), 15002500);
    EXPECT_THROW(r.setValue("LOCALIZACAO", "12a"), Error);
    EXPECT_EQ(r.value("LOCALIZACAO").toInt(), 1);
    ASSERT_TRUE(save().saved);
    EXPECT_EQ(count(QStringLiteral("SELECT RECEITA_BRUTA FROM SOLICITACAO_IE WHERE CNPJ = '%1'").arg(kCnpjs[1])),
        15002500);
    EXPECT_EQ(money::format(15002500, 2, false), "1500,25");
    EXPECT_EQ(money::format(5000, 2, false), ",50");
    EXPECT_EQ(money::format(5000, 2, true), "0,50");
    EXPECT_EQ(money::general(12345000), "1234,5");
    EXPECT_EQ(money::general(12340000), "1234");
    EXPECT_EQ(money::grouped(1234567890000, 2), "123.456.789,00");
    EXPECT_EQ(money::grouped(9999950, 2), "1.000,00"); // the rounding reaches the next group
    EXPECT_EQ(money::grouped(9990000, 2), "999,00");
    EXPECT_EQ(money::grouped(-10000000, 2), "-1.000,00");
    EXPECT_EQ(money::grouped(-1000000, 2), "-100,00");
    EXPECT_EQ(money::grouped(49, 2), "0,00");
    EXPECT_EQ(money::parse("1500.5"), 15005000);
    EXPECT_EQ(money::parse("1.500"), 15000000);
    EXPECT_FALSE(money::parse("12,34567").has_value());
    EXPECT_FALSE(money::parse("abc").has_value());
}

TEST_F(DataSafety, TextTheDeliveryFilesCannotHoldIsRefusedWhereTyped)
{
    createThree();
    moveTo(kCnpjs[1]);
    m_life->beginEdit();
    RecordSet& r = *m_jx->cdsSolicitacaoIE;
    r.setValue("NOME_EMPRESARIAL", QStringLiteral("AÇÃO LTDA"));
    try {
        r.setValue("NOME_EMPRESARIAL", QStringLiteral("\u201cACAO\u201d \u2013 LTDA"));
        ADD_FAILURE() << "accepted";
    } catch (const Error& e) {
        EXPECT_TRUE(e.userText().contains("\"Nome Empresarial\"")) << e.userText().toStdString();
        EXPECT_TRUE(e.userText().contains(QStringLiteral("\u201c\u201d\u2013"))) << e.userText().toStdString();
    }
    EXPECT_EQ(r.text("NOME_EMPRESARIAL"), QStringLiteral("AÇÃO LTDA"));
}

TEST(RecordSetCursor, DiscardFilterSortAndDeleteKeepTheCurrentRow)
{
    data::RecordSet set("teste");
    set.openEmpty({ { "ID", data::FieldType::Integer, 0, "ID" }, { "NOME", data::FieldType::Text, 10, "Nome" } });
    for (int i = 1; i <= 4; ++i) {
        set.append();
        set.setValue("ID", i);
        set.setValue("NOME", QString(QChar(u'E' - i)));
        set.post();
    }
    for (int i = 0; i < set.rawCount(); ++i)
        set.markSent({ data::RecordSet::Change::Kind::Insert, i, -1, 0 });
    QSignalSpy moved(&set, &data::RecordSet::currentChanged);
    ASSERT_TRUE(set.moveTo(2)); // ID 3
    EXPECT_EQ(moved.count(), 1);
    set.setValue("NOME", "X");
    set.cancelUpdates();
    set.sortBy("NOME");
    set.setFilter([](const data::RecordSet& s, int raw) { return s.rawValue(raw, "ID").toInt() != 1; });
    EXPECT_EQ(set.value("ID").toInt(), 3);
    EXPECT_EQ(moved.count(), 1); // none of these moved it
    set.setFilter([](const data::RecordSet& s, int raw) { return s.rawValue(raw, "ID").toInt() != 3; });
    EXPECT_EQ(moved.count(), 2); // the row went out of view: that is a move
    set.clearFilter();
    set.clearSort();
    ASSERT_TRUE(set.locate("ID", 2));
    const int before = moved.count();
    set.remove();
    EXPECT_EQ(set.value("ID").toInt(), 3); // the next row took its place
    EXPECT_EQ(moved.count(), before + 1);
    set.cancelUpdates(); // the deleted row comes back in its place; the cursor stays
    EXPECT_EQ(set.value("ID").toInt(), 3);
    EXPECT_EQ(set.valueAt(1, 0).toInt(), 2);
    // A new row dropped (refused, cancelled) returns to the row the user was on.
    ASSERT_TRUE(set.locate("ID", 2));
    set.append();
    set.setValue("ID", 9);
    set.post();
    set.cancelUpdates();
    EXPECT_EQ(set.value("ID").toInt(), 2);
    set.append();
    set.cancel();
    EXPECT_EQ(set.value("ID").toInt(), 2);
}

TEST(RecordSetOpen, AFailedReadKeepsTheRowsAndAnEmptySetRefusesDelete)
{
    TestProgramFolder folder;
    db::Connection connection;
    connection.open(folder.databasePath(), db::kDatabaseKey);
    data::RecordSet set("cdsUF");
    set.setSource("SELECT * FROM UF ORDER BY ID_UF", "UF");
    set.open(connection);
    const int rows = set.count();
    ASSERT_GT(rows, 3);
    {
        // Right after opening, discarding changes on the first row is no move.
        QSignalSpy moved(&set, &data::RecordSet::currentChanged);
        set.cancelUpdates();
        EXPECT_EQ(moved.count(), 0);
    }
    set.moveTo(rows / 2);
    const QVariant sigla = set.value("SIGLA");
    // The statement prepares, then fails on its first step.
    set.setSql("SELECT * FROM UF WHERE abs(:X) > 0");
    set.setParam("X", std::numeric_limits<qint64>::min());
    EXPECT_THROW(set.open(connection), db::DbError);
    EXPECT_EQ(set.count(), rows);
    EXPECT_EQ(set.value("SIGLA"), sigla);
    set.setValue("SIGLA", "ZZ");
    EXPECT_EQ(set.value("SIGLA").toString(), "ZZ");

    data::RecordSet empty("vazio");
    empty.openEmpty({ { "ID", data::FieldType::Integer, 0, "ID" } });
    EXPECT_THROW(empty.remove(), Error);
    empty.cancel();
}

TEST(RecordSetOpen, BindsExactlyTheParametersTheStatementNames)
{
    TestProgramFolder folder;
    db::Connection connection;
    connection.open(folder.databasePath(), db::kDatabaseKey);
    data::RecordSet set("cdsGeral");
    // ":PAR" is part of ":PARTE" but not a parameter of this statement.
    set.setSource("SELECT :PARTE AS X, :AUSENTE AS Z");
    set.setParam("PAR", 1);
    set.setParam("PARTE", 2);
    set.open(connection);
    EXPECT_EQ(set.value("X").toInt(), 2);
    EXPECT_TRUE(set.value("Z").isNull());
}

TEST(AtomicFiles, AFullDiskLeavesTheOldFileWhole)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("JXS11222333000181.xml");
    const QByteArray old(3000, 'a');
    files::replaceContent(path, old);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The child may write at most 4 KiB per file: the new content does not fit.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit { 4096, 4096 };
        setrlimit(RLIMIT_FSIZE, &limit);
        try {
            files::replaceContent(path, QByteArray(64 * 1024, 'b'));
        } catch (const Error&) {
            _exit(0);
        }
        _exit(1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the failed write was reported as success";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1); // no temporary left
}

namespace {

QString stampedFile(const QTemporaryDir& dir, ScriptedPrompts& prompts)
{
    const QString path = dir.filePath("JXS11222333000181.xml");
    TInfCabecalho header;
    header.tipo_identificador = "CNPJ";
    header.identificador = "11222333000181";
    header.tipo_arquivo = "6";
    xmlfile::GerarArquivoXML(path, header, "<a>1</a>\r\n<b>2</b>\r\n");
    xmlfile::GravarVerificador(path, prompts);
    return path;
}

QByteArray bytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(Verifier, TheCheckOnlyReadsAndStampingAgainReplaces)
{
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    const QString path = stampedFile(dir, prompts);
    // An old modification time shows whether the check wrote the file.
    utimbuf old { 1000000000, 1000000000 };
    ASSERT_EQ(utime(path.toLocal8Bit().constData(), &old), 0);
    const QByteArray before = bytes(path);
    EXPECT_TRUE(xmlfile::ConferirHash(path));
    EXPECT_TRUE(xmlfile::ConferirHash(path));
    EXPECT_EQ(QFileInfo(path).lastModified().toSecsSinceEpoch(), 1000000000);
    EXPECT_EQ(bytes(path), before);

    ASSERT_TRUE(xmlfile::GravarVerificador(path, prompts));
    EXPECT_EQ(bytes(path).count("<verificador_integridade>"), 1);
    EXPECT_EQ(bytes(path), before);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(xmlfile::ConferirHash(path));
}

TEST(DeliveryFileSafety, HeaderValuesAreEscapedAndFailuresLeaveNoFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("saida.xml");
    TInfCabecalho header;
    header.identificador = "A<B & C>";
    xmlfile::GerarArquivoXML(path, header, "<a>1</a>\r\n");
    pugi::xml_document document;
    ASSERT_TRUE(document.load_file(path.toLocal8Bit().constData()));
    EXPECT_STREQ(document.child("arquivo").child("cabecalho").child("identificador").text().get(), "A<B & C>");

    const QString other = dir.filePath("outro.xml");
    header.identificador = QStringLiteral("EURO \u20ac");
    EXPECT_THROW(xmlfile::GerarArquivoXML(other, header, "<a>1</a>\r\n"), Error);
    header.identificador = "X";
    EXPECT_THROW(xmlfile::GerarArquivoXML(other, header, QStringLiteral("<a>\u201cx\u201d</a>\r\n")), Error);
    EXPECT_THROW(xmlfile::GerarArquivoXML(other, header, "<a>1</b>\r\n"), Error);
    EXPECT_FALSE(QFile::exists(other));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST(DeliveryFileSafety, AKeyWithoutA128BitModulusIsRefusedBeforeTheFileIsTouched)
{
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    const QString path = stampedFile(dir, prompts);
    const QByteArray before = bytes(path);
    // A 64-bit modulus: blocks of 16 bytes would not survive it.
    RsaKey small { QByteArray::fromHex("c5a3e1f00b9d7e8b"), QByteArray::fromHex("010001") };
    const QString keys = dir.filePath("keys");
    QDir().mkpath(keys);
    for (const char* name : { kPublicKeyFile, kPrivateKeyFile }) {
        QFile f(QDir(keys).filePath(QLatin1String(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(small.serialize());
    }
    prompts.expectError(QString::fromUtf8(kKeySizeText));
    EXPECT_FALSE(DeliveryCrypto(keys, prompts).CriptografarArquivo(path));
    EXPECT_TRUE(prompts.allMet()) << prompts.failures().join('\n').toStdString();
    EXPECT_EQ(bytes(path), before);
    EXPECT_EQ(RsaKeyPair::generate().publicKey.modulusBits(), 128);
}
