// The delivery chain through jxctl and velkor: transmitter runs, a diskette run, the
// returned disk's capture and the stored receipts.

#include "CtlRunner.h"

#include "db/Schema.h"
#include "db/Sqlite.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace jxtest;

namespace {

// A program folder with keys and three complete enablements (identifiers 1, 2, 3).
class DeliveryChain : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir(m_dir.path()).mkpath("Banco");
        m_path = m_dir.filePath("Banco/JX.mdb");
        ASSERT_EQ(jxctl({ "banco", "criar", m_path }).status, 0);
        ASSERT_EQ(jxctl({ "chaves", "gerar", m_dir.filePath("BIN") }).status, 0);
        exec("INSERT INTO ENDERECO (CEP, LOCALIDADE, BAIRRO, LOGRADOURO, NUMERO) VALUES ('70000123', 'C', 'B', 'L', '1')");
        exec("INSERT INTO COMUNICACAO (TELEFONE, EMAIL) VALUES ('6133334444', 'a@b.com')");
        int second = 1;
        for (const char* cpf : { "52998224725", "11144477735", "39053344705" }) {
            exec(QStringLiteral("INSERT INTO SOLICITACAO_CONTAB (TIPO_IDENTIFICACAO, IDENTIFICACAO, UF_CRC, CRC, "
                                "IDENTIFICADOR_CRC, EMAIL_RESPONSAVEL, DATANACRESP, ID_ENDERECO, ID_COMUNICACAO, STATUS, "
                                "DATACRIACAO, DATAHABILITACAOCONTABILISTA) VALUES (4, '%1', 'QZ', '123', 'O', "
                                "'c@d.com', '1970-02-01', 1, 1, 'C', '2026-12-02 09:10:1%2', '2026-12-03 10:00:00')")
                     .arg(QLatin1String(cpf))
                     .arg(second++));
        }
        m_home.setAutoRemove(true);
        qputenv("VELKOR_HOME", m_home.path().toUtf8());
        // The program folder (keys, working folder) is the program's own, never --banco's.
        qputenv("JX_HOME", m_dir.path().toUtf8());
        for (const char* name : { "VELKOR_RECUSAR", "VELKOR_REMOVER", "VELKOR_QUEBRAR", "VELKOR_NADA", "VELKOR_SAIDA" })
            qunsetenv(name);
    }

    void TearDown() override
    {
        qunsetenv("VELKOR_HOME");
        qunsetenv("JX_HOME");
    }

    void exec(const QString& sql)
    {
        jx::db::Connection c;
        c.open(m_path, jx::db::kDatabaseKey);
        c.exec(sql);
    }

    QString value(const QString& sql)
    {
        jx::db::Connection c;
        c.open(m_path, jx::db::kDatabaseKey);
        jx::db::Statement s = c.prepare(sql);
        return s.step() ? s.text(0) : QStringLiteral("<none>");
    }

    QString dump()
    {
        jx::db::Connection c;
        c.open(m_path, jx::db::kDatabaseKey);
        QString out;
        for (const char* table : { "SOLICITACAO_CONTAB", "ENTREGAS" }) {
            jx::db::Statement s = c.prepare(QStringLiteral("SELECT * FROM %1 ORDER BY 1").arg(QLatin1String(table)));
            while (s.step()) {
                for (int i = 0; i < s.columnCount(); ++i)
                    out += s.text(i) + u'|';
                out += u'\n';
            }
        }
        return out;
    }

    CtlRun transmit(const QStringList& ids)
    {
        return jxctl(QStringList { "entregar", "transmissor", "habilitacao" } + ids
            + QStringList { "--velkor", VELKOR_PATH, "--banco", m_path });
    }

    QTemporaryDir m_dir;
    QTemporaryDir m_home;
    QString m_path;
};

} // namespace

TEST_F(DeliveryChain, TransmitterRunRecordsProtocolsAndReceipts)
{
    const CtlRun run = transmit({ "1", "2", "3" });
    ASSERT_EQ(run.status, 0) << run.err.toStdString() << run.outText().toStdString();
    EXPECT_EQ(run.outText(),
        "Montando arquivo... ok.\nTransmitindo arquivo... ok.\nAtualizando banco de dados... ok.\nFinalizando ok.\n"
        "Transmisão realizada com sucesso!\n");
    EXPECT_EQ(value("SELECT count(*) FROM ENTREGAS WHERE FORMAENTREGA = 'T' AND length(NUMEROPROTOCOLO) > 0 AND "
                    "ifnull(IDENTIFICADORDISQUETE, '') = '' AND length(RECIBO) > 0"),
        "3");
    EXPECT_EQ(value("SELECT group_concat(STATUS, '') FROM SOLICITACAO_CONTAB"), "TTT");
    EXPECT_EQ(value("SELECT count(DISTINCT NUMEROPROTOCOLO) FROM ENTREGAS"), "3");
    // The protocol's date and time, to the second, as the transmitter wrote them.
    EXPECT_EQ(value("SELECT length(DATAHORAPROTOCOLO) FROM ENTREGAS WHERE HABILITACAO_ID = 2"), "19");
    EXPECT_EQ(QDir(m_home.filePath("recebidos")).entryList(QDir::Files).size(), 3);
    EXPECT_FALSE(QFileInfo::exists(m_dir.filePath("Temp")));

    const QString id = value("SELECT IDENTIFICADOR FROM ENTREGAS WHERE HABILITACAO_ID = 2");
    const CtlRun receipt = jxctl({ "recibo", id, "--banco", m_path });
    ASSERT_EQ(receipt.status, 0) << receipt.err.toStdString();
    EXPECT_TRUE(receipt.outText().endsWith("\r\n"));
    const QStringList lines = receipt.outText().split("\r\n");
    ASSERT_GT(lines.size(), 16);
    // As the printed receipt shows it: title, the protocol, its date and time, then the text.
    const QString number = value("SELECT NUMEROPROTOCOLO FROM ENTREGAS WHERE HABILITACAO_ID = 2");
    const QString moment = value("SELECT DATAHORAPROTOCOLO FROM ENTREGAS WHERE HABILITACAO_ID = 2");
    EXPECT_EQ(lines[0], "Recibo de Transmissão da Habilitação de Contabilista/Empresa Contábil");
    EXPECT_EQ(lines[1], "Nº do protocolo de transmissão: " + number);
    EXPECT_EQ(lines[2], "Data da transmissão: " + QDate::fromString(moment.left(10), Qt::ISODate).toString("dd/MM/yyyy"));
    EXPECT_EQ(lines[3], "Hora da transmissão: " + moment.mid(11));
    EXPECT_EQ(lines[4], "");
    const QString verifier = value("SELECT VERIFICADORINTEGRIDADE FROM ENTREGAS WHERE HABILITACAO_ID = 2");
    EXPECT_EQ(verifier.size(), 40);
    // The transmitting program's own version, the file's verifier after transmission, its name.
    EXPECT_EQ(lines[6], QString("Verificador de integridade:").leftJustified(35) + verifier);
    EXPECT_EQ(lines[7], QString("Versão do JX off-line Transmissor:").leftJustified(35) + "1.00.00");
    EXPECT_EQ(lines[8], QString("Nome do arquivo:").leftJustified(35) + "JXHCPF1114447773520261202091012.xml");
    EXPECT_EQ(lines[15], "Identificação: 111.444.777-35");
    EXPECT_EQ(jxctl({ "recibo", "999", "--banco", m_path }).status, 2);
}

TEST_F(DeliveryChain, RefusedOrRemovedFileFailsOnlyItsFiling)
{
    for (const char* variable : { "VELKOR_RECUSAR", "VELKOR_REMOVER", "VELKOR_QUEBRAR" }) {
        exec("DELETE FROM ENTREGAS");
        exec("UPDATE SOLICITACAO_CONTAB SET STATUS = 'C'");
        qputenv(variable, "2");
        const CtlRun run = transmit({ "1", "2", "3" });
        qunsetenv(variable);
        EXPECT_EQ(run.status, 1) << variable;
        EXPECT_TRUE(run.outText().contains("Atualizando banco de dados... falhou.")) << variable;
        EXPECT_TRUE(run.err.contains("Ocorreu erro durante a transmissão da(s) seguinte(s) Habilitação(ões):"))
            << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("-Identificação: 111.444.777-35")) << run.err.toStdString();
        EXPECT_FALSE(run.err.contains("529.982.247-25")) << run.err.toStdString();
        EXPECT_EQ(value("SELECT group_concat(STATUS, '') FROM SOLICITACAO_CONTAB"), "TCT") << variable;
        EXPECT_EQ(value("SELECT group_concat(HABILITACAO_ID, ',') FROM ENTREGAS"), "1,3") << variable;
    }
}

TEST_F(DeliveryChain, TransmitterThatDoesNothingOrIsMissing)
{
    const QString before = dump();
    qputenv("VELKOR_NADA", "1");
    const CtlRun idle = transmit({ "1", "2", "3" });
    qunsetenv("VELKOR_NADA");
    EXPECT_EQ(idle.status, 1);
    EXPECT_TRUE(idle.outText().endsWith("Operação não efetuada!\n")) << idle.outText().toStdString();
    EXPECT_EQ(dump(), before);

    // None given and none in the program folder: the folder question is cancelled.
    const CtlRun missing = jxctl({ "entregar", "transmissor", "habilitacao", "2", "--banco", m_path });
    EXPECT_EQ(missing.status, 2) << missing.outText().toStdString();
    EXPECT_TRUE(missing.err.contains("Erro durante a transmissão:")) << missing.err.toStdString();
    EXPECT_TRUE(missing.err.contains("O caminho do Transmissor(Velkor.EXE) não foi informado!"));
    EXPECT_EQ(dump(), before);
}

TEST_F(DeliveryChain, DisketteRunReturnedDiskAndCapture)
{
    QTemporaryDir disk;
    QFile volume(disk.filePath(".jxvolume"));
    ASSERT_TRUE(volume.open(QIODevice::WriteOnly));
    volume.write("label=ENTREGA\nserial=0x0000002A\n");
    volume.close();

    const CtlRun run = jxctl({ "entregar", "disquete", "--drive", disk.path(), "habilitacao", "1", "2", "3", "--banco",
        m_path });
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.outText().endsWith("Gravação realizada com sucesso!\n"));
    EXPECT_EQ(value("SELECT group_concat(IDENTIFICADORDISQUETE || FORMAENTREGA, ',') FROM ENTREGAS"),
        "ENTREGA42D,ENTREGA42D,ENTREGA42D");
    EXPECT_EQ(value("SELECT group_concat(STATUS, '') FROM SOLICITACAO_CONTAB"), "DDD");

    // Before the authority saw it the disk holds no protocol.
    const CtlRun early = jxctl({ "capturar", "--drive", disk.path(), "--banco", m_path });
    EXPECT_EQ(early.status, 1);
    EXPECT_TRUE(early.err.contains("O disquete não contém protocolo!"));

    QProcess authority;
    authority.start(VELKOR_PATH, { "--devolver", disk.path(), "--chaves", m_dir.filePath("BIN") });
    ASSERT_TRUE(authority.waitForFinished(60000));
    ASSERT_EQ(authority.exitCode(), 0) << authority.readAllStandardError().toStdString();

    const CtlRun listed = jxctl({ "capturar", "--drive", disk.path(), "--banco", m_path });
    ASSERT_EQ(listed.status, 0) << listed.err.toStdString();
    const QStringList lines = listed.outText().split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], "Nº\tProtocolo\tData\tHora\tIdentificador\tTipo");
    const QStringList second = lines[2].split(u'\t');
    ASSERT_EQ(second.size(), 6);
    EXPECT_EQ(second[0], "2");
    EXPECT_EQ(second[1].size(), 17);
    EXPECT_EQ(second[4], "390.533.447-05"); // in name order
    EXPECT_EQ(second[5], "Habilitação de Contabilista");

    const CtlRun captured = jxctl({ "capturar", "--drive", disk.path(), "--gravar", "--banco", m_path });
    EXPECT_EQ(captured.status, 0) << captured.err.toStdString();
    EXPECT_EQ(value("SELECT count(*) FROM ENTREGAS WHERE length(NUMEROPROTOCOLO) = 17 AND length(RECIBO) > 0 AND "
                    "DATAHORAPROTOCOLO LIKE '%:00' AND VERSAOJXTRANSMISSAO = '10001'"),
        "3");
    EXPECT_EQ(value("SELECT group_concat(STATUS, '') FROM SOLICITACAO_CONTAB"), "DDD");
    const CtlRun again = jxctl({ "capturar", "--drive", disk.path(), "--gravar", "--banco", m_path });
    EXPECT_EQ(again.status, 1);
    EXPECT_TRUE(again.err.contains("Este protocolo já foi capturado!"));
}

TEST_F(DeliveryChain, ADatabaseElsewhereLeavesTheFoldersBesideItAlone)
{
    // The user's own folder X with a database in X/db and a Temp of theirs beside it.
    QTemporaryDir user;
    QDir(user.path()).mkpath("db");
    QDir(user.path()).mkpath("Temp");
    const QString elsewhere = user.filePath("db/JX.mdb");
    ASSERT_TRUE(QFile::copy(m_path, elsewhere));
    QFile mine(user.filePath("Temp/planilha.txt"));
    ASSERT_TRUE(mine.open(QIODevice::WriteOnly));
    mine.write("do usuário");
    mine.close();
    const QString drive = m_home.filePath("disco");
    QDir().mkpath(drive);
    for (const QStringList& args : { QStringList { "entregar", "transmissor", "habilitacao", "2", "--velkor", VELKOR_PATH },
             QStringList { "entregar", "disquete", "--drive", drive, "habilitacao", "3" },
             QStringList { "backup", "habilitacao", "1", "--pasta", m_home.filePath("copias") } }) {
        const CtlRun run = jxctl(args + QStringList { "--banco", elsewhere });
        EXPECT_EQ(run.status, 0) << args.join(' ').toStdString() << ": " << run.err.toStdString();
        EXPECT_TRUE(QFileInfo::exists(user.filePath("Temp/planilha.txt"))) << args.join(' ').toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(m_dir.filePath("Temp")));
}
