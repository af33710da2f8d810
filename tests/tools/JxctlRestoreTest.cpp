// jxctl restaurar: a generated, encrypted file restored into another database, and the files
// it refuses without writing.

#include "CtlRunner.h"

#include "db/Schema.h"
#include "db/Sqlite.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace jxtest;

namespace {

class JxctlRestore : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const QString& program : { m_from.path(), m_to.path() }) {
            QDir(program).mkpath("Banco");
            ASSERT_EQ(jxctl({ "banco", "criar", program + "/Banco/JX.mdb" }).status, 0);
        }
        ASSERT_EQ(jxctl({ "chaves", "gerar", m_from.filePath("BIN") }).status, 0);
        exec(source(), "INSERT INTO ENDERECO (CEP, LOCALIDADE, BAIRRO, LOGRADOURO, NUMERO) VALUES ('70000123', 'C', 'B', "
                       "'L', '1')");
        exec(source(), "INSERT INTO COMUNICACAO (TELEFONE, EMAIL) VALUES ('6133334444', 'a@b.com')");
        int second = 1;
        for (const char* cpf : { "52998224725", "11144477735", "39053344705" })
            exec(source(),
                QStringLiteral("INSERT INTO SOLICITACAO_CONTAB (TIPO_IDENTIFICACAO, IDENTIFICACAO, UF_CRC, CRC, "
                               "IDENTIFICADOR_CRC, EMAIL_RESPONSAVEL, DATANACRESP, ID_ENDERECO, ID_COMUNICACAO, STATUS, "
                               "DATACRIACAO, DATAHABILITACAOCONTABILISTA) VALUES (4, '%1', 'QZ', '123', 'O', "
                               "'c@d.com', '1970-02-01', 1, 1, 'C', '2026-12-02 09:10:1%2', '2026-12-03')")
                    .arg(QLatin1String(cpf))
                    .arg(second++));
    }

    QString source() const { return m_from.filePath("Banco/JX.mdb"); }
    QString target() const { return m_to.filePath("Banco/JX.mdb"); }

    static void exec(const QString& path, const QString& sql)
    {
        jx::db::Connection c;
        c.open(path, jx::db::kDatabaseKey);
        c.exec(sql);
    }

    static QString value(const QString& path, const QString& sql)
    {
        jx::db::Connection c;
        c.open(path, jx::db::kDatabaseKey);
        jx::db::Statement s = c.prepare(sql);
        return s.step() ? s.text(0) : QStringLiteral("<none>");
    }

    // The file of the second enablement, generated in the folder (plain unless encrypted).
    QString generated(bool encrypted) { return generated(encrypted, 2, "JXHCPF1114447773520261202091012.xml"); }

    QString generated(bool encrypted, int id, const char* name)
    {
        const CtlRun run = jxctl({ "gerar", "habilitacao", QString::number(id), "--pasta", m_files.path(), "--banco",
            source(), "--chaves", m_from.filePath("BIN") });
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        const QString file = m_files.filePath(QString::fromLatin1(name));
        EXPECT_TRUE(QFile::exists(file)) << run.outText().toStdString();
        if (encrypted) {
            EXPECT_EQ(jxctl({ "arquivo", "criptografar", file, "--chaves", m_from.filePath("BIN") }).status, 0);
        }
        return file;
    }

    CtlRun restore(const QString& file)
    {
        return jxctl({ "restaurar", file, "--banco", target(), "--chaves", m_from.filePath("BIN") });
    }

    QTemporaryDir m_from;
    QTemporaryDir m_to;
    QTemporaryDir m_files;
};

} // namespace

TEST_F(JxctlRestore, AnEncryptedFileBecomesANewFilingOfTheOtherDatabase)
{
    const QString file = generated(true);
    // A filing already there: the restored one gets the next key.
    exec(target(), "INSERT INTO SOLICITACAO_CONTAB (TIPO_IDENTIFICACAO, IDENTIFICACAO) VALUES (4, '52998224725')");
    const CtlRun run = restore(file);
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.outText().trimmed(), "2");
    EXPECT_EQ(value(target(),
                  "SELECT IDENTIFICACAO || '|' || CRC || '|' || DATACRIACAO || '|' || E.CEP || '|' || C.TELEFONE FROM "
                  "SOLICITACAO_CONTAB H JOIN ENDERECO E ON E.ID_ENDERECO = H.ID_ENDERECO JOIN COMUNICACAO C ON "
                  "C.ID_COMUNICACAO = H.ID_COMUNICACAO WHERE ID_SOLICITACAO_CONTABILISTA = 2"),
        "11144477735|123|2026-12-02 09:10:12|70000123|6133334444");
    // The same file again: refused as already there, nothing written.
    const CtlRun again = restore(file);
    EXPECT_EQ(again.status, 1);
    EXPECT_TRUE(again.err.contains("Habilitação já existente")) << again.err.toStdString();
    EXPECT_EQ(value(target(), "SELECT count(*) FROM SOLICITACAO_CONTAB"), "2");
}

TEST_F(JxctlRestore, RefusedFilesExitOneAndWriteNothing)
{
    const QString plain = generated(false);
    const QString before = value(target(), "SELECT count(*) FROM SOLICITACAO_CONTAB");
    CtlRun run = restore(plain);
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains("não está criptografada")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QDir::toNativeSeparators(plain))) << run.err.toStdString();
    const QString renamed = m_files.filePath("backup.xml");
    ASSERT_TRUE(QFile::copy(plain, renamed));
    run = restore(renamed);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(value(target(), "SELECT count(*) FROM SOLICITACAO_CONTAB"), before);
    EXPECT_EQ(value(target(), "SELECT count(*) FROM ENDERECO"), "0");

    // Not the file's fault: no keys, no file.
    run = jxctl({ "restaurar", plain, "--banco", target(), "--chaves", m_files.filePath("nada") });
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(jxctl({ "restaurar", m_files.filePath("JXHCPF1114447773520261202091013.xml"), "--banco", target() }).status, 2);
}

TEST_F(JxctlRestore, AFileIsJudgedByTheFilingItHolds)
{
    const QString middle = generated(true);
    const QString last = generated(true, 3, "JXHCPF3905334470520261202091013.xml");
    ASSERT_EQ(restore(middle).status, 0);
    const QString stored
        = value(target(), "SELECT group_concat(IDENTIFICACAO || DATACRIACAO, ';') FROM SOLICITACAO_CONTAB");

    // A renamed copy of the stored filing is still that filing.
    const QString renamed = m_files.filePath("JXHCPF1114447773520261202091013.xml");
    ASSERT_TRUE(QFile::copy(middle, renamed));
    CtlRun run = restore(renamed);
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains("Habilitação já existente com a Identificação 111.444.777-35"))
        << run.err.toStdString();

    // Another filing under the first one's name.
    const QString misnamed = m_files.filePath("outra/JXHCPF5299822472520261202091011.xml");
    QDir(m_files.path()).mkpath("outra");
    ASSERT_TRUE(QFile::copy(last, misnamed));
    run = restore(misnamed);
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains("O conteúdo do arquivo " + QDir::toNativeSeparators(misnamed)
        + " não corresponde ao seu nome. Ele contém a habilitação da Identificação 390.533.447-05 criada em "
          "02/12/2026 09:10:13."))
        << run.err.toStdString();
    EXPECT_EQ(
        value(target(), "SELECT group_concat(IDENTIFICACAO || DATACRIACAO, ';') FROM SOLICITACAO_CONTAB"), stored);
}

TEST_F(JxctlRestore, DeliveriesLeftOutAreNamedAndExitOne)
{
    for (const char* protocol : { "P1", "P2", "P3" })
        exec(source(),
            QStringLiteral("INSERT INTO ENTREGAS (HABILITACAO_ID, NUMEROPROTOCOLO, FORMAENTREGA) VALUES (2, '%1', 'D')")
                .arg(QLatin1String(protocol)));
    const QString file = generated(true);
    exec(target(),
        "CREATE TRIGGER RECUSA BEFORE INSERT ON ENTREGAS WHEN NEW.NUMEROPROTOCOLO = 'P2' BEGIN SELECT "
        "RAISE(ABORT, 'recusada pelo teste'); END");
    const CtlRun run = restore(file);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.outText().trimmed(), "1");
    EXPECT_TRUE(run.err.contains("jxctl: Entrega 2 de 3 (protocolo P2) não restaurada: recusada pelo teste\n"))
        << run.err.toStdString();
    EXPECT_TRUE(
        run.err.contains("jxctl: Entrega 3 de 3 (protocolo P3) não restaurada: segue uma entrega que falhou.\n"))
        << run.err.toStdString();
    EXPECT_EQ(value(target(), "SELECT group_concat(NUMEROPROTOCOLO) FROM ENTREGAS"), "P1");
    EXPECT_EQ(value(target(), "SELECT IDENTIFICACAO FROM SOLICITACAO_CONTAB"), "11144477735");
}

TEST_F(JxctlRestore, ADatabaseThatRefusesTheWriteExitsTwo)
{
    const QString file = generated(true);
    // Another program holds the write lock past the wait.
    jx::db::Connection other;
    other.open(target(), jx::db::kDatabaseKey);
    other.exec("BEGIN IMMEDIATE");
    const CtlRun run = restore(file);
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.err.contains("O banco de dados está bloqueado por outro processo.")) << run.err.toStdString();
    other.rollback();
    EXPECT_EQ(value(target(), "SELECT count(*) FROM SOLICITACAO_CONTAB"), "0");
    EXPECT_EQ(value(target(), "SELECT count(*) FROM ENDERECO"), "0");
}
