// The office's chain by hand: sample requests, the verification of them all, deliveries and
// backups of ID ranges and ID files, the capture of a whole disk in one transaction and the
// restore of several files or a folder.

#include "CtlRunner.h"

#include "db/Schema.h"
#include "db/Sqlite.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace jxtest;

namespace {

class Office : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir(m_dir.path()).mkpath("Banco");
        m_path = m_dir.filePath("Banco/JX.mdb");
        ASSERT_EQ(jxctl({ "banco", "criar", m_path }).status, 0);
        ASSERT_EQ(jxctl({ "chaves", "gerar", m_dir.filePath("BIN") }).status, 0);
        qputenv("JX_HOME", m_dir.path().toUtf8());
        qputenv("VELKOR_HOME", m_home.path().toUtf8());
        m_disk = m_home.filePath("disco");
        QDir().mkpath(m_disk);
        QFile volume(m_disk + "/.jxvolume");
        ASSERT_TRUE(volume.open(QIODevice::WriteOnly));
        volume.write("label=ESCRITORIO\nserial=0x00000007\n");
    }

    void TearDown() override
    {
        qunsetenv("JX_HOME");
        qunsetenv("VELKOR_HOME");
    }

    CtlRun ctl(QStringList args) { return jxctl(args << "--banco" << m_path); }

    static void exec(const QString& path, const QString& sql)
    {
        jx::db::Connection c;
        c.open(path, jx::db::kDatabaseKey);
        c.exec(sql);
    }
    void exec(const QString& sql) { exec(m_path, sql); }

    static QString value(const QString& path, const QString& sql)
    {
        jx::db::Connection c;
        c.open(path, jx::db::kDatabaseKey);
        jx::db::Statement s = c.prepare(sql);
        return s.step() ? s.text(0) : QStringLiteral("<none>");
    }
    QString value(const QString& sql) { return value(m_path, sql); }

    // Every row of the tables the chain writes.
    QString dump(const QString& path)
    {
        jx::db::Connection c;
        c.open(path, jx::db::kDatabaseKey);
        QString out;
        for (const char* table : { "SOLICITACAO_IE", "SOLICITACAO_IE_SOCIO", "SOLICITACAO_IE_RESPONSAVEL", "ENDERECO",
                 "COMUNICACAO", "ENTREGAS" }) {
            jx::db::Statement s = c.prepare(QStringLiteral("SELECT * FROM %1 ORDER BY 1, 2").arg(QLatin1String(table)));
            while (s.step()) {
                for (int i = 0; i < s.columnCount(); ++i)
                    out += s.text(i) + u'|';
                out += u'\n';
            }
        }
        return out;
    }
    QString dump() { return dump(m_path); }

    void samples(int count)
    {
        const CtlRun run = ctl({ "exemplos", "solicitacoes", QString::number(count) });
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
    }

    // The file name of a sample: its CNPJ and the creation moment's digits.
    QString fileOf(int id)
    {
        return "JXSCNPJ"
            + value(QStringLiteral("SELECT CNPJ || replace(replace(replace(DATACRIACAO, '-', ''), ' ', ''), ':', '') "
                                   "FROM SOLICITACAO_IE WHERE ID_SOLICITACAO = %1")
                        .arg(id))
            + ".xml";
    }

    void returnDisk()
    {
        QProcess authority;
        authority.start(VELKOR_PATH, { "--devolver", m_disk, "--chaves", m_dir.filePath("BIN") });
        ASSERT_TRUE(authority.waitForFinished(60000));
        ASSERT_EQ(authority.exitCode(), 0) << authority.readAllStandardError().toStdString();
    }

    QTemporaryDir m_dir;
    QTemporaryDir m_home;
    QString m_path;
    QString m_disk;
};

} // namespace

TEST_F(Office, SamplesAreCompleteAndNumberedAfterTheLastRequest)
{
    const CtlRun three = ctl({ "exemplos", "solicitacoes", "3" });
    ASSERT_EQ(three.status, 0) << three.err.toStdString();
    EXPECT_EQ(three.outText(), "3 solicitações de exemplo criadas (IDs 1 a 3).\n");
    EXPECT_EQ(three.err, "");
    const CtlRun one = ctl({ "exemplos", "solicitacoes", "1" });
    ASSERT_EQ(one.status, 0) << one.err.toStdString();
    EXPECT_EQ(one.outText(), "1 solicitação de exemplo criada (ID 4).\n");

    EXPECT_EQ(ctl({ "solicitacoes" }).outText(),
        "1\t00000001000136\tC\tEMPRESA DE EXEMPLO 1 LTDA\n"
        "2\t00000002000180\tC\tEMPRESA DE EXEMPLO 2 LTDA\n"
        "3\t00000003000125\tC\tEMPRESA DE EXEMPLO 3 LTDA\n"
        "4\t00000004000170\tC\tEMPRESA DE EXEMPLO 4 LTDA\n");
    // Three partners (the first the master) and one responsible person each, nobody's CPF
    // shared, every one with an address and a contact of their own.
    EXPECT_EQ(value("SELECT group_concat(RESPONSAVEL_MASTER, '') FROM (SELECT RESPONSAVEL_MASTER FROM "
                    "SOLICITACAO_IE_SOCIO WHERE ID_SOLICITACAO = 3 ORDER BY ID_SOCIO)"),
        "SNN");
    EXPECT_EQ(value("SELECT count(DISTINCT IDENTIFICACAO) FROM (SELECT IDENTIFICACAO FROM SOLICITACAO_IE_SOCIO UNION "
                    "ALL SELECT IDENTIFICACAO FROM SOLICITACAO_IE_RESPONSAVEL)"),
        "16");
    EXPECT_EQ(value("SELECT count(DISTINCT ID_ENDERECO) || '|' || count(DISTINCT ID_COMUNICACAO) FROM (SELECT "
                    "ID_ENDERECO, ID_COMUNICACAO FROM SOLICITACAO_IE_SOCIO UNION ALL SELECT ID_ENDERECO, ID_COMUNICACAO "
                    "FROM SOLICITACAO_IE_RESPONSAVEL UNION ALL SELECT ID_ENDERECO_ESTABELECIMENTO, "
                    "ID_COMUNICACAO_EMPRESA FROM SOLICITACAO_IE)"),
        "20|20");
    EXPECT_EQ(value("SELECT count(*) FROM ENDERECO") + value("SELECT count(*) FROM COMUNICACAO"), "2020");

    // Complete: not even a warning.
    const CtlRun middle = ctl({ "verificar", "solicitacao", "2" });
    EXPECT_EQ(middle.status, 0);
    EXPECT_EQ(middle.outText(), "");
    const CtlRun all = ctl({ "verificar", "solicitacoes", "todas" });
    EXPECT_EQ(all.status, 0) << all.err.toStdString();
    EXPECT_EQ(all.outText(), "Solicitações verificadas: 4; com erros: 0.\n");
}

TEST_F(Office, SamplesThatCannotBeWrittenLeaveTheDatabaseAsItWas)
{
    samples(1);
    const QString before = dump();
    // The second sample's last partner refused: none of the three may stay.
    exec("CREATE TRIGGER RECUSA BEFORE INSERT ON SOLICITACAO_IE_SOCIO WHEN NEW.ID_SOLICITACAO = 3 AND "
         "NEW.RESPONSAVEL_MASTER = 'N' BEGIN SELECT RAISE(ABORT, 'recusado pelo teste'); END");
    const CtlRun refused = ctl({ "exemplos", "solicitacoes", "3" });
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.outText(), "");
    EXPECT_EQ(refused.err, "jxctl: As solicitações de exemplo não foram gravadas: recusado pelo teste\n");
    EXPECT_EQ(dump(), before);

    for (const QStringList& args : { QStringList { "exemplos", "solicitacoes", "0" },
             QStringList { "exemplos", "solicitacoes", "100001" }, QStringList { "exemplos", "solicitacoes", "dez" },
             QStringList { "exemplos", "habilitacoes", "3" }, QStringList { "exemplos", "solicitacoes" } }) {
        const CtlRun wrong = ctl(args);
        EXPECT_EQ(wrong.status, 2) << args.join(' ').toStdString();
        EXPECT_EQ(wrong.outText(), "");
    }
    EXPECT_EQ(ctl({ "exemplos", "solicitacoes", "0" }).err,
        "jxctl: O número de solicitações deve ser de 1 a 100000: \"0\".\n");
    EXPECT_EQ(dump(), before);
}

TEST_F(Office, SamplesWaitForADatabaseHeldElsewhereThenGiveUp)
{
    jx::db::Connection other;
    other.open(m_path, jx::db::kDatabaseKey);
    other.exec("BEGIN IMMEDIATE");
    const CtlRun held = ctl({ "exemplos", "solicitacoes", "3" });
    other.rollback();
    EXPECT_EQ(held.status, 2);
    EXPECT_EQ(held.err,
        "jxctl: As solicitações de exemplo não foram gravadas: O banco de dados está bloqueado por outro processo.\n");
    EXPECT_EQ(value("SELECT count(*) FROM ENDERECO") + value("SELECT count(*) FROM SOLICITACAO_IE"), "00");
}

TEST_F(Office, VerifyingThemAllNamesTheOnesWithErrors)
{
    samples(3);
    exec("UPDATE SOLICITACAO_IE SET NOME_EMPRESARIAL = NULL WHERE ID_SOLICITACAO = 2");
    const CtlRun run = ctl({ "verificar", "solicitacoes", "todas" });
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.outText(), "ID\tErros\n2\t1\nSolicitações verificadas: 3; com erros: 1.\n");
    EXPECT_EQ(run.err, "");
    // Read-only: the status stays as it was.
    EXPECT_EQ(value("SELECT group_concat(STATUS, '') FROM SOLICITACAO_IE"), "CCC");

    const CtlRun none = ctl({ "verificar", "habilitacoes", "todas" });
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.outText(), "Habilitações verificadas: 0; com erros: 0.\n");
    const CtlRun wrong = ctl({ "verificar", "solicitacoes", "2" });
    EXPECT_EQ(wrong.status, 2);
    EXPECT_TRUE(wrong.err.startsWith("jxctl: Use \"todas\" depois de solicitacoes. Uso: jxctl verificar")) << wrong.err.toStdString();
}

TEST_F(Office, RangesAndIdFilesChooseTheFilings)
{
    samples(5);
    const QString before = dump();
    const QString ids = m_home.filePath("ids.txt");
    QFile list(ids);
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("4\n\n  3-3 ");
    list.close();
    const std::vector<std::pair<QStringList, QString>> refusals {
        { { "4-2" }, "jxctl: Intervalo inválido: \"4-2\" (o primeiro identificador passa do último).\n" },
        { { "2-x" }, "jxctl: Intervalo inválido: \"2-x\" (use PRIMEIRO-ÚLTIMO, como 1-1000).\n" },
        { { "1-3", "2" }, "jxctl: O identificador 2 foi informado mais de uma vez.\n" },
        { { "3", "--ids", ids }, "jxctl: O identificador 3 foi informado mais de uma vez.\n" },
        { { "1-100001" }, "jxctl: Identificadores demais: no máximo 100000 de uma vez.\n" },
        { { "--ids", m_home.filePath("nada.txt") },
            "jxctl: Arquivo de identificadores não encontrado: " + m_home.filePath("nada.txt") + "\n" },
    };
    for (const auto& [words, text] : refusals) {
        for (const QStringList& command : { QStringList { "entregar", "disquete", "--drive", m_disk, "solicitacao" },
                 QStringList { "backup", "solicitacao", "--pasta", m_home.filePath("copias") } }) {
            const CtlRun run = ctl(command + words);
            EXPECT_EQ(run.status, 2) << words.join(' ').toStdString();
            EXPECT_EQ(run.err, text) << command[0].toStdString();
        }
    }
    EXPECT_EQ(dump(), before);
    EXPECT_EQ(QDir(m_disk).entryList({ "*.xml" }, QDir::Files).size(), 0);

    const CtlRun delivered = ctl({ "entregar", "disquete", "--drive", m_disk, "solicitacao", "2-4" });
    ASSERT_EQ(delivered.status, 0) << delivered.err.toStdString();
    EXPECT_EQ(value("SELECT group_concat(STATUS, '') FROM SOLICITACAO_IE"), "CDDDC");
    EXPECT_EQ(value("SELECT group_concat(SOLICITACAO_ID) FROM ENTREGAS"), "2,3,4");
    EXPECT_EQ(QDir(m_disk).entryList({ "*.xml" }, QDir::Files, QDir::Name),
        QStringList({ fileOf(2), fileOf(3), fileOf(4) }));

    // From the file, in its order; none but those.
    const CtlRun copied = ctl({ "backup", "solicitacao", "--ids", ids, "--pasta", m_home.filePath("copias") });
    ASSERT_EQ(copied.status, 0) << copied.err.toStdString();
    EXPECT_EQ(copied.outText(),
        QDir::toNativeSeparators(m_home.filePath("copias/" + fileOf(4))) + "\n"
            + QDir::toNativeSeparators(m_home.filePath("copias/" + fileOf(3))) + "\n");
    EXPECT_EQ(QDir(m_home.filePath("copias")).entryList({ "*.xml" }, QDir::Files).size(), 2);
}

TEST_F(Office, ADiskIsCapturedWholeOrNotAtAll)
{
    samples(3);
    ASSERT_EQ(ctl({ "entregar", "disquete", "--drive", m_disk, "solicitacao", "1-3" }).status, 0);
    returnDisk();
    // The middle one's protocol refused by the database: the other two must not stay either.
    exec("CREATE TRIGGER RECUSA BEFORE UPDATE OF NUMEROPROTOCOLO ON ENTREGAS WHEN OLD.SOLICITACAO_ID = 2 BEGIN "
         "SELECT RAISE(ABORT, 'recusado pelo teste'); END");
    const QString before = dump();
    const CtlRun refused = ctl({ "capturar", "--drive", m_disk, "--gravar" });
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err,
        "jxctl: recusado pelo teste\n"
        "jxctl: Não foi possível capturar o protocolo!\n"
        "jxctl: Nenhum protocolo deste disco foi gravado (protocolo 2 de 3 recusado).\n");
    EXPECT_EQ(dump(), before);

    exec("DROP TRIGGER RECUSA");
    const CtlRun captured = ctl({ "capturar", "--drive", m_disk, "--gravar" });
    EXPECT_EQ(captured.status, 0) << captured.err.toStdString();
    EXPECT_EQ(captured.err,
        "jxctl: Os recibos com os protocolos capturados estão disponíveis para impressão em Impressões/Recibo de "
        "Entrega.\n");
    EXPECT_EQ(value("SELECT count(*) FROM ENTREGAS WHERE length(trim(NUMEROPROTOCOLO)) > 0 AND length(RECIBO) > 0"), "3");
    EXPECT_EQ(captured.outText().count('\n'), 4) << captured.outText().toStdString();

    const CtlRun again = ctl({ "capturar", "--drive", m_disk, "--gravar" });
    EXPECT_EQ(again.status, 1);
    EXPECT_EQ(again.err, QString("jxctl: Este protocolo já foi capturado!\n").repeated(3));
}

TEST_F(Office, SeveralFilesOrAFolderAreRestored)
{
    samples(3);
    const QString copies = m_home.filePath("copias");
    ASSERT_EQ(ctl({ "backup", "solicitacao", "1-3", "--pasta", copies }).status, 0);
    QTemporaryDir other;
    QDir(other.path()).mkpath("Banco");
    const QString target = other.filePath("Banco/JX.mdb");
    ASSERT_EQ(jxctl({ "banco", "criar", target }).status, 0);
    auto restore = [&](const QStringList& args) { return jxctl(QStringList { "restaurar" } + args + QStringList { "--banco", target }); };
    auto file = [&](int id) { return QDir::toNativeSeparators(copies + u'/' + fileOf(id)); };

    // The middle one alone: one file, its key alone.
    CtlRun run = restore({ file(2) });
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.outText(), "1\n");
    EXPECT_EQ(value(target, "SELECT CNPJ FROM SOLICITACAO_IE"), "00000002000180");

    // The whole folder: the stored one refused and named, the others restored and named.
    run = restore({ "--pasta", copies });
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.outText(), file(1) + "\t2\n" + file(3) + "\t3\n");
    EXPECT_EQ(run.err,
        "jxctl: " + file(2) + ": Solicitação já existente com o CNPJ 00.000.002/0001-80.  Não é possível restaurá-la!\n");
    EXPECT_EQ(value(target, "SELECT group_concat(CNPJ, ' ') FROM (SELECT CNPJ FROM SOLICITACAO_IE ORDER BY ID_SOLICITACAO)"),
        "00000002000180 00000001000136 00000003000125");
    EXPECT_EQ(value(target, "SELECT count(*) FROM SOLICITACAO_IE_SOCIO") + value(target, "SELECT count(*) FROM ENDERECO"),
        "915");

    // A database that refuses the write stops the run at once, at the first file.
    const QString held = other.filePath("Banco/OUTRO.mdb");
    ASSERT_EQ(jxctl({ "banco", "criar", held }).status, 0);
    const QString before = dump(held);
    jx::db::Connection holder;
    holder.open(held, jx::db::kDatabaseKey);
    holder.exec("BEGIN IMMEDIATE");
    run = jxctl({ "restaurar", file(1), file(3), "--banco", held });
    holder.rollback();
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.outText(), "");
    EXPECT_TRUE(run.err.startsWith("jxctl: " + file(1) + ": ")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("O banco de dados está bloqueado por outro processo.")) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains(file(3))) << run.err.toStdString();
    EXPECT_EQ(dump(held), before);

    QTemporaryDir empty;
    run = restore({ "--pasta", empty.path() });
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "jxctl: A pasta " + empty.path() + " não tem arquivos de solicitação ou de habilitação do JX.\n");
    run = restore({ "--pasta", copies, file(1) });
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err,
        "jxctl: Informe os arquivos ou, com --pasta, a pasta deles. Uso: jxctl restaurar ARQ...|--pasta PASTA [--banco "
        "CAMINHO] [--chaves PASTA]\n");
}

TEST_F(Office, AFilingMissingFromARangeStopsTheRunBeforeAnyFile)
{
    samples(3);
    const QString before = dump();
    const QString copies = m_home.filePath("copias");
    const CtlRun backup = ctl({ "backup", "solicitacao", "2-4", "--pasta", copies });
    EXPECT_EQ(backup.status, 2);
    EXPECT_EQ(backup.err, "jxctl: Solicitação 4 não encontrada.\n");
    EXPECT_EQ(QDir(copies).entryList({ "*.xml" }, QDir::Files).size(), 0);
    const CtlRun delivery = ctl({ "entregar", "disquete", "--drive", m_disk, "solicitacao", "2-4" });
    EXPECT_EQ(delivery.status, 2);
    EXPECT_EQ(delivery.err, "jxctl: Solicitação 4 não encontrada.\n");
    EXPECT_EQ(QDir(m_disk).entryList({ "*.xml" }, QDir::Files).size(), 0);
    EXPECT_EQ(dump(), before);
}

TEST_F(Office, AFileOfAnotherNameAmongSeveralIsRefusedAlone)
{
    samples(3);
    const QString copies = m_home.filePath("copias");
    ASSERT_EQ(ctl({ "backup", "solicitacao", "1-3", "--pasta", copies }).status, 0);
    const QString renamed = QDir::toNativeSeparators(m_home.filePath("notas.xml"));
    ASSERT_TRUE(QFile::copy(copies + u'/' + fileOf(2), renamed));
    QTemporaryDir other;
    const QString target = other.filePath("JX.mdb");
    ASSERT_EQ(jxctl({ "banco", "criar", target }).status, 0);
    const QString first = QDir::toNativeSeparators(copies + u'/' + fileOf(1));
    const QString last = QDir::toNativeSeparators(copies + u'/' + fileOf(3));
    const CtlRun run = jxctl({ "restaurar", first, renamed, last, "--banco", target });
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.outText(), first + "\t1\n" + last + "\t2\n");
    EXPECT_EQ(run.err,
        "jxctl: " + renamed + ": O nome notas.xml não é o de um arquivo de solicitação ou de habilitação do JX.\n");
    EXPECT_EQ(value(target, "SELECT group_concat(CNPJ, ' ') FROM (SELECT CNPJ FROM SOLICITACAO_IE ORDER BY ID_SOLICITACAO)"),
        "00000001000136 00000003000125");
}
