#include "CtlRunner.h"

#include "../support/SmallDisk.h"

#include "db/Schema.h"
#include "db/Sqlite.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace jxtest;

TEST(JxctlDatabase, CreateVerifyAndReferenceRows)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("JX.mdb");
    const CtlRun created = jxctl({ "banco", "criar", path });
    ASSERT_EQ(created.status, 0) << created.err.toStdString();
    EXPECT_EQ(jxctl({ "banco", "criar", path }).status, 2); // never overwrites

    const CtlRun valid = jxctl({ "banco", "verificar", path });
    EXPECT_EQ(valid.status, 0);
    EXPECT_EQ(valid.outText(), QStringLiteral("válido\n"));
    QFile junk(dir.filePath("outro.mdb"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'x'));
    junk.close();
    const CtlRun invalid = jxctl({ "banco", "verificar", junk.fileName() });
    EXPECT_EQ(invalid.status, 1);
    EXPECT_TRUE(invalid.outText().contains(QStringLiteral("não é válido para este programa.")));

    const CtlRun vinculo = jxctl({ "referencia", "VINCULO", "--banco", path });
    EXPECT_EQ(vinculo.status, 0);
    EXPECT_TRUE(vinculo.outText().startsWith(QStringLiteral("ID_VINCULO,DESCRICAO\n1,NÃO\n")));
    const CtlRun uf = jxctl({ "referencia", "uf", "--banco", path });
    EXPECT_EQ(uf.outText().count('\n'), 29); // header and 28 states
    EXPECT_EQ(jxctl({ "referencia", "NADA", "--banco", path }).status, 2);
    EXPECT_EQ(jxctl({ "referencia", "UF", "--banco", dir.filePath("ausente.mdb") }).status, 2);
}

TEST(JxctlDatabase, RequestsAsLinesAndJson)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("JX.mdb");
    ASSERT_EQ(jxctl({ "banco", "criar", path }).status, 0);
    {
        jx::db::Connection c;
        c.open(path, jx::db::kDatabaseKey);
        c.exec("INSERT INTO ENDERECO (ID_ENDERECO, LOGRADOURO, CEP) VALUES (7, 'DAS FLORES', '70000123')");
        c.exec("INSERT INTO SOLICITACAO_IE (CNPJ, STATUS, NOME_EMPRESARIAL, ID_ENDERECO_ESTABELECIMENTO) VALUES "
               "('11222333000181', 'C', 'AÇÃO LTDA', 7)");
    }
    const CtlRun list = jxctl({ "solicitacoes", "--banco", path });
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.outText(), QStringLiteral("1\t11222333000181\tC\tAÇÃO LTDA\n"));

    const CtlRun one = jxctl({ "solicitacao", "1", "--banco", path });
    ASSERT_EQ(one.status, 0) << one.err.toStdString();
    const QJsonObject json = QJsonDocument::fromJson(one.out).object();
    EXPECT_EQ(json.value("CNPJ").toString(), QStringLiteral("11222333000181"));
    EXPECT_EQ(
        json.value("ENDERECO_ESTABELECIMENTO").toObject().value("LOGRADOURO").toString(), QStringLiteral("DAS FLORES"));
    EXPECT_TRUE(json.value("ENDERECO_CORRESPONDENCIA").isNull());
    EXPECT_EQ(jxctl({ "solicitacao", "9", "--banco", path }).status, 2);
    EXPECT_EQ(jxctl({ "solicitacao", "x", "--banco", path }).status, 2);
}

TEST(JxctlDatabase, RequestDetailsAndTheCnaefTree)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("JX.mdb");
    ASSERT_EQ(jxctl({ "banco", "criar", path }).status, 0);
    {
        jx::db::Connection c;
        c.open(path, jx::db::kDatabaseKey);
        for (int request = 1; request <= 3; ++request)
            c.exec(QStringLiteral("INSERT INTO SOLICITACAO_IE (CNPJ, STATUS) VALUES ('1122233300018%1', 'C')").arg(request));
        c.exec("INSERT INTO ENDERECO (ID_ENDERECO, LOGRADOURO) VALUES (5, 'DO SOCIO')");
        c.exec("INSERT INTO COMUNICACAO (ID_COMUNICACAO, TELEFONE) VALUES (6, '6133334444')");
        c.exec("INSERT INTO SOLICITACAO_IE_SOCIO (ID_SOLICITACAO, IDENTIFICACAO, ID_ENDERECO, ID_COMUNICACAO) VALUES "
               "(2, '52998224725', 5, 6), (2, '11444777000161', NULL, NULL), (1, '99999999999', NULL, NULL)");
        c.exec("INSERT INTO SOLICITACAO_IE_RESPONSAVEL (ID_SOLICITACAO, IDENTIFICACAO) VALUES (2, '11144477735')");
        c.exec("INSERT INTO SOLICITACAO_IE_VINCULADO VALUES (2, '3322565140600'), (3, '5203139720167')");
        c.exec("INSERT INTO SOLICITACAO_CNPJ_VINCULADO VALUES (2, '11222333', '0002', '62')");
    }
    const CtlRun one = jxctl({ "solicitacao", "2", "--banco", path });
    ASSERT_EQ(one.status, 0) << one.err.toStdString();
    const QJsonObject json = QJsonDocument::fromJson(one.out).object();
    const QJsonArray partners = json.value("SOCIOS").toArray();
    ASSERT_EQ(partners.size(), 2);
    EXPECT_EQ(partners[0].toObject().value("IDENTIFICACAO").toString(), "52998224725");
    EXPECT_EQ(partners[0].toObject().value("ENDERECO").toObject().value("LOGRADOURO").toString(), "DO SOCIO");
    EXPECT_EQ(partners[0].toObject().value("COMUNICACAO").toObject().value("TELEFONE").toString(), "6133334444");
    EXPECT_TRUE(partners[1].toObject().value("ENDERECO").isNull());
    EXPECT_EQ(json.value("RESPONSAVEIS").toArray().size(), 1);
    EXPECT_EQ(json.value("IE_VINCULADAS").toArray().size(), 1);
    EXPECT_EQ(json.value("CNPJ_VINCULADOS").toArray()[0].toObject().value("CNPJ_FILIAL").toString(), "0002");

    const CtlRun tree = jxctl({ "cnaef", "--banco", path });
    ASSERT_EQ(tree.status, 0) << tree.err.toStdString();
    const QStringList lines = tree.outText().split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.size(), 2397);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("A - AGRICULTURA")));
    EXPECT_EQ(lines[1], QStringLiteral("  01 - AGRICULTURA, PECUÁRIA E SERVIÇOS RELACIONADOS"));
    const int leaf = int(lines.indexOf(QRegularExpression(QStringLiteral("^ {8}4731-8/00 - .*"))));
    ASSERT_GT(leaf, 0);
    EXPECT_TRUE(lines[leaf - 1].startsWith(QStringLiteral("      4731-8 - ")));
}

TEST(JxctlVerify, PendingItemsOfARequestWithoutTouchingTheDatabase)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("Banco");
    const QString path = dir.filePath("Banco/JX.mdb");
    ASSERT_EQ(jxctl({ "banco", "criar", path }).status, 0);
    {
        jx::db::Connection c;
        c.open(path, jx::db::kDatabaseKey);
        c.exec("INSERT INTO SOLICITACAO_IE (CNPJ, CATEGORIA, LOCALIZACAO, VINCULO, INSCRICAO_UNICA) VALUES "
               "('11222333000181', 1, 1, 1, 'N'), ('33344455000183', 3, 1, 1, 'N'), ('44455566000183', 1, 1, 1, 'N')");
        c.exec("INSERT INTO SOLICITACAO_IE_RESPONSAVEL (ID_SOLICITACAO, IDENTIFICACAO, ID_FUNCAO, DATA_INICIO) VALUES "
               "(2, '52998224725', 1, '2026-12-10')");
    }
    QFile before(path);
    ASSERT_TRUE(before.open(QIODevice::ReadOnly));
    const QByteArray bytes = before.readAll();
    before.close();

    const CtlRun branch = jxctl({ "verificar", "solicitacao", "2", "--banco", path, "--hoje", "10/12/2026" });
    EXPECT_EQ(branch.status, 1) << branch.err.toStdString();
    const QStringList lines = branch.outText().split(u'\n', Qt::SkipEmptyParts);
    EXPECT_TRUE(lines.contains(QStringLiteral("A\tDados Iniciais\tO campo NIRE deve ser informado.")));
    EXPECT_TRUE(lines.filter(QStringLiteral("Sócio")).isEmpty()); // a branch has no partner rules
    EXPECT_TRUE(lines.filter(QStringLiteral("Data Atual")).isEmpty()); // "today" is the start date
    const CtlRun later = jxctl({ "verificar", "solicitacao", "2", "--banco", path, "--hoje", "09/12/2026" });
    EXPECT_TRUE(later.outText().contains(
        QStringLiteral("E\tResponsáveis\tResponsável: 52998224725 O campo Data Início não pode ser maior que a Data Atual.")));
    const CtlRun first = jxctl({ "verificar", "solicitacao", "1", "--banco", path });
    EXPECT_TRUE(first.outText().endsWith(QStringLiteral("E\tSócios\tSolicitação deve possuir pelo menos um Sócio.\n")));

    EXPECT_EQ(jxctl({ "verificar", "solicitacao", "9", "--banco", path }).status, 2);
    EXPECT_EQ(jxctl({ "verificar", "solicitacao", "1", "--banco", path, "--hoje", "31/02/2026" }).status, 2);
    QFile after(path);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), bytes); // read-only
}

TEST(JxctlVerify, EnablementsListedShownAndVerified)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("Banco");
    const QString path = dir.filePath("Banco/JX.mdb");
    ASSERT_EQ(jxctl({ "banco", "criar", path }).status, 0);
    {
        jx::db::Connection c;
        c.open(path, jx::db::kDatabaseKey);
        c.exec("INSERT INTO ENDERECO (CEP, LOCALIDADE, BAIRRO, LOGRADOURO, NUMERO) VALUES ('70000123', 'C', 'B', 'L', "
               "'1')");
        c.exec("INSERT INTO COMUNICACAO (TELEFONE, EMAIL) VALUES ('6133334444', 'a@b.com')");
        c.exec("INSERT INTO SOLICITACAO_CONTAB (TIPO_IDENTIFICACAO, IDENTIFICACAO, STATUS) VALUES (3, "
               "'11222333000181', 'I')");
        c.exec("INSERT INTO SOLICITACAO_CONTAB (TIPO_IDENTIFICACAO, IDENTIFICACAO, UF_CRC, CRC, IDENTIFICADOR_CRC, "
               "EMAIL_RESPONSAVEL, DATANACRESP, ID_ENDERECO, ID_COMUNICACAO, STATUS) VALUES (4, '52998224725', 'QZ', "
               "'123', 'O', 'c@d.com', '2026-12-10', 1, 1, 'C')");
        c.exec("INSERT INTO SOLICITACAO_CONTAB (TIPO_IDENTIFICACAO, IDENTIFICACAO) VALUES (4, '11144477735')");
    }
    const CtlRun listed = jxctl({ "habilitacoes", "--banco", path });
    EXPECT_EQ(listed.status, 0);
    EXPECT_EQ(listed.outText(), QStringLiteral("1\t3\t11222333000181\tI\n2\t4\t52998224725\tC\n3\t4\t11144477735\t\n"));
    const CtlRun shown = jxctl({ "habilitacao", "2", "--banco", path });
    EXPECT_EQ(shown.status, 0);
    EXPECT_TRUE(shown.outText().contains(QStringLiteral("\"BAIRRO\": \"B\"")));
    EXPECT_TRUE(shown.outText().contains(QStringLiteral("\"TELEFONE\": \"6133334444\"")));
    EXPECT_EQ(jxctl({ "habilitacao", "7", "--banco", path }).status, 2);

    // The middle one: complete but for a birth date after "today".
    const CtlRun early = jxctl({ "verificar", "habilitacao", "2", "--banco", path, "--hoje", "09/12/2026" });
    EXPECT_EQ(early.status, 1);
    EXPECT_EQ(early.outText(), QStringLiteral("E\tHabilitação de Contabilista\tO campo Data de Nascimento do "
                                              "Responsável não deve ser maior que a data atual.\n"));
    const CtlRun onTheDay = jxctl({ "verificar", "habilitacao", "2", "--banco", path, "--hoje", "10/12/2026" });
    EXPECT_EQ(onTheDay.status, 0);
    EXPECT_EQ(onTheDay.outText(), QString());
    const CtlRun firm = jxctl({ "verificar", "habilitacao", "1", "--banco", path });
    EXPECT_EQ(firm.status, 1);
    EXPECT_TRUE(firm.outText().startsWith(
        QStringLiteral("E\tHabilitação de Contabilista\tO campo CPF do Responsável deve ser informado.\n")));
    EXPECT_TRUE(firm.outText().contains(QStringLiteral("Endereço deve ser informado.")));
    EXPECT_EQ(jxctl({ "verificar", "habilitacao", "9", "--banco", path }).status, 2);
    EXPECT_EQ(jxctl({ "verificar", "contador", "1", "--banco", path }).status, 2);
}

TEST(JxctlGenerate, DataLinesFilesAndNames)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("Banco");
    const QString path = dir.filePath("Banco/JX.mdb");
    ASSERT_EQ(jxctl({ "banco", "criar", path }).status, 0);
    ASSERT_EQ(jxctl({ "chaves", "gerar", dir.filePath("BIN") }).status, 0);
    qputenv("JX_HOME", dir.path().toUtf8());
    struct HomeReset {
        ~HomeReset() { qunsetenv("JX_HOME"); }
    } homeReset;
    {
        jx::db::Connection c;
        c.open(path, jx::db::kDatabaseKey);
        c.exec("INSERT INTO ENDERECO (CEP, LOCALIDADE, BAIRRO, LOGRADOURO, NUMERO) VALUES ('70000123', 'C', 'B&C', "
               "'L', '1')");
        c.exec("INSERT INTO COMUNICACAO (TELEFONE, EMAIL) VALUES ('6133334444', 'a@b.com')");
        c.exec("INSERT INTO SOLICITACAO_CONTAB (TIPO_IDENTIFICACAO, IDENTIFICACAO, STATUS, DATACRIACAO) VALUES (3, "
               "'11222333000181', 'I', '2026-12-01 08:00:00')");
        c.exec("INSERT INTO SOLICITACAO_CONTAB (TIPO_IDENTIFICACAO, IDENTIFICACAO, UF_CRC, CRC, IDENTIFICADOR_CRC, "
               "EMAIL_RESPONSAVEL, DATANACRESP, ID_ENDERECO, ID_COMUNICACAO, STATUS, DATACRIACAO, "
               "DATAHABILITACAOCONTABILISTA) VALUES (4, '52998224725', 'QZ', '123', 'O', 'c@d.com', '1970-02-01', 1, 1, "
               "'C', '2026-12-02 09:10:11', '2026-12-03 10:00:00')");
        c.exec("INSERT INTO SOLICITACAO_CONTAB (TIPO_IDENTIFICACAO, IDENTIFICACAO, DATACRIACAO) VALUES (4, "
               "'11144477735', '2026-12-04 00:00:00')");
    }
    const CtlRun data = jxctl({ "dados", "habilitacao", "2", "--banco", path });
    EXPECT_EQ(data.status, 0) << data.err.toStdString();
    const QStringList lines = data.outText().split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.first(), "<habilitacao data=\"03/12/2026\" status=\"C\" datacriacao=\"02/12/2026 09:10:11\">");
    EXPECT_TRUE(lines.contains("<bairro>B&amp;C</bairro>"));
    EXPECT_TRUE(lines.contains("<data_nascimento>01/02/1970</data_nascimento>"));
    EXPECT_EQ(lines.last(), "</habilitacao>");
    EXPECT_EQ(jxctl({ "dados", "habilitacao", "9", "--banco", path }).status, 2);
    EXPECT_EQ(jxctl({ "dados", "outra", "1", "--banco", path }).status, 2);

    // The first and the third have errors: only the middle one gets its file.
    const QString out = dir.filePath("saida");
    const CtlRun generated = jxctl({ "gerar", "habilitacao", "1", "2", "3", "--pasta", out, "--banco", path });
    EXPECT_EQ(generated.status, 1);
    const QStringList files = generated.outText().split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(files.size(), 1);
    EXPECT_EQ(QFileInfo(files.first()).fileName(), "JXHCPF5299822472520261202091011.xml");
    EXPECT_TRUE(QFileInfo(files.first()).isFile());
    EXPECT_TRUE(generated.err.contains("1: incompleta"));
    EXPECT_TRUE(generated.err.contains("3: incompleta"));
    const CtlRun listed = jxctl({ "habilitacoes", "--banco", path });
    EXPECT_EQ(listed.outText(), QStringLiteral("1\t3\t11222333000181\tI\n2\t4\t52998224725\tC\n3\t4\t11144477735\tI\n"));
    // The file's data section holds the data lines, plain.
    QFile written(files.first());
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.readAll().contains("<bairro>B&amp;C</bairro>"));
    written.close();
    EXPECT_EQ(jxctl({ "gerar", "habilitacao", "2", "--pasta", out, "--banco", path }).status, 0);
    EXPECT_EQ(QDir(out).entryList(QDir::Files).size(), 1); // the same name: replaced

    // Hostile stored text: outside Latin-1, a control character. Those filings fail, clearly.
    {
        jx::db::Connection c;
        c.open(path, jx::db::kDatabaseKey);
        for (const char* mail : { "c\u20ac@d.com", "c\x01@d.com" }) {
            jx::db::Statement s = c.prepare(
                "INSERT INTO SOLICITACAO_CONTAB (TIPO_IDENTIFICACAO, IDENTIFICACAO, UF_CRC, CRC, IDENTIFICADOR_CRC, "
                "EMAIL_RESPONSAVEL, DATANACRESP, ID_ENDERECO, ID_COMUNICACAO, STATUS, DATACRIACAO) VALUES (4, "
                "'39053344705', 'QZ', '1', 'O', ?, '1970-02-01', 1, 1, 'C', '2026-12-05 00:00:00')");
            s.bind(1, QString::fromUtf8(mail));
            s.run();
        }
    }
    const CtlRun hostile = jxctl({ "gerar", "habilitacao", "4", "5", "2", "--pasta", out, "--banco", path });
    EXPECT_EQ(hostile.status, 1);
    EXPECT_EQ(hostile.outText().split(u'\n', Qt::SkipEmptyParts).size(), 1);
    EXPECT_TRUE(hostile.err.contains(QStringLiteral("4: "))) << hostile.err.toStdString();
    EXPECT_TRUE(hostile.err.contains(QStringLiteral("5: O campo e_mail contém um caractere de controle")))
        << hostile.err.toStdString();

    const CtlRun name = jxctl({ "nome-arquivo", "JXHCPF5299822472520261202091011.xml" });
    EXPECT_EQ(name.status, 0);
    EXPECT_EQ(name.outText(), QStringLiteral("CPF\n52998224725\nH\n.xml\n02/12/2026\n09:10:11\n"));
    const CtlRun bad = jxctl({ "nome-arquivo", "JXHCPF5299822472620261202091011.xml" });
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.outText(), QStringLiteral("não reconhecido\n"));
}

TEST(JxctlSearch, RowsFoundInTheBrowsersOrder)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("Banco");
    const QString path = dir.filePath("Banco/JX.mdb");
    ASSERT_EQ(jxctl({ "banco", "criar", path }).status, 0);
    {
        jx::db::Connection c;
        c.open(path, jx::db::kDatabaseKey);
        c.exec("INSERT INTO SOLICITACAO_IE (CNPJ, NOME_EMPRESARIAL, STATUS) VALUES ('11222333000181', 'ALFA SILVA', "
               "'C'), ('33344455000183', 'BETA', 'I'), ('44455566000183', 'GAMA SILVA', 'C'), ('12345678000195', "
               "'O''BRIEN 50%', 'I')");
    }
    const CtlRun partial = jxctl({ "buscar", "solicitacoes", "--campo", "Nome Empresarial", "--valor", "SILVA", "--banco", path });
    EXPECT_EQ(partial.status, 0) << partial.err.toStdString();
    EXPECT_EQ(partial.outText(),
        QStringLiteral("11.222.333/0001-81\tALFA SILVA\tC\n44.455.566/0001-83\tGAMA SILVA\tC\n"));
    const CtlRun exact = jxctl(
        { "buscar", "solicitacoes", "--campo", "CNPJ", "--valor", "33344455000183", "--forma", "exata", "--banco", path });
    EXPECT_EQ(exact.status, 0);
    EXPECT_EQ(exact.outText(), QStringLiteral("33.344.455/0001-83\tBETA\tI\n"));
    const CtlRun status = jxctl({ "buscar", "solicitacoes", "--campo", "Status", "--valor", "I", "--forma", "iniciada", "--banco", path });
    EXPECT_EQ(status.outText().count(u'\n'), 2);
    const CtlRun quote = jxctl({ "buscar", "solicitacoes", "--campo", "Nome Empresarial", "--valor", "O'BRIEN 50%", "--banco", path });
    EXPECT_EQ(quote.status, 0);
    EXPECT_TRUE(quote.outText().contains("O'BRIEN 50%"));
    const CtlRun injection
        = jxctl({ "buscar", "solicitacoes", "--campo", "Nome Empresarial", "--valor", "' OR 1=1 --", "--banco", path });
    EXPECT_EQ(injection.status, 1);
    EXPECT_EQ(injection.outText(), QString());
    EXPECT_EQ(jxctl({ "buscar", "solicitacoes", "--campo", "Nada", "--valor", "X", "--banco", path }).status, 2);
    EXPECT_EQ(jxctl({ "buscar", "habilitacoes", "--campo", "CRC", "--valor", "1", "--forma", "errada", "--banco", path }).status, 2);
    EXPECT_EQ(jxctl({ "buscar", "habilitacoes", "--campo", "CRC", "--valor", "1", "--banco", path }).status, 1);
    // A value its column cannot hold is a mistake in the command, not a search that found nothing.
    const CtlRun tooLong = jxctl({ "buscar", "habilitacoes", "--campo", "CRC", "--valor", "1234567", "--banco", path });
    EXPECT_EQ(tooLong.status, 2);
    EXPECT_EQ(tooLong.err, "jxctl: O valor \"1234567\" não cabe na coluna CRC (no máximo 6 caracteres).\n");
    EXPECT_EQ(jxctl({ "buscar", "solicitacoes", "--campo", "CNPJ", "--valor", "11.222.333/0001-811", "--forma",
                        "iniciada", "--banco", path })
                  .status,
        2);
}

TEST(JxctlDatabase, CopyThenRestoreRoundTrip)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("Banco"));
    const QString path = dir.filePath("Banco/JX.mdb");
    const QString backup = dir.filePath("backup");
    ASSERT_EQ(jxctl({ "banco", "criar", path }).status, 0);
    const auto addStreet = [&](const char* street) {
        jx::db::Connection c;
        c.open(path, jx::db::kDatabaseKey);
        jx::db::Statement insert = c.prepare("INSERT INTO ENDERECO (LOGRADOURO, CEP) VALUES (?, '70000123')");
        insert.bind(1, QString::fromUtf8(street));
        insert.run();
    };
    const auto streets = [](const QString& file) {
        jx::db::Connection c;
        c.open(file, jx::db::kDatabaseKey);
        jx::db::Statement rows = c.prepare("SELECT LOGRADOURO FROM ENDERECO ORDER BY ID_ENDERECO");
        QStringList found;
        while (rows.step())
            found << rows.text(0);
        return found;
    };
    addStreet("ANTES");

    const CtlRun noFolder = jxctl({ "banco", "copiar", "--pasta", backup, "--banco", path });
    EXPECT_EQ(noFolder.status, 2);
    EXPECT_TRUE(noFolder.err.contains(QStringLiteral("O diretório de destino não existe.")))
        << noFolder.err.toStdString();
    EXPECT_EQ(jxctl({ "banco", "copiar", "--banco", path }).status, 2);

    ASSERT_TRUE(QDir().mkpath(backup));
    const CtlRun copied = jxctl({ "banco", "copiar", "--pasta", backup, "--banco", path });
    ASSERT_EQ(copied.status, 0) << copied.err.toStdString();
    const QString copy = copied.outText().trimmed();
    EXPECT_TRUE(QRegularExpression("^JX\\d{14}\\.bkp$").match(QFileInfo(copy).fileName()).hasMatch())
        << copy.toStdString();
    EXPECT_EQ(QDir(backup).entryList(QDir::Files), QStringList { QFileInfo(copy).fileName() });
    addStreet("DEPOIS");

    QFile junk(dir.filePath("junk.bkp"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(8192, 'x'));
    junk.close();
    const QByteArray before = [&] {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    const auto current = [&] {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    EXPECT_EQ(jxctl({ "banco", "restaurar", junk.fileName(), "--banco", path }).status, 1);
    EXPECT_EQ(jxctl({ "banco", "restaurar", dir.filePath("ausente.bkp"), "--banco", path }).status, 1);
    EXPECT_EQ(current(), before);

    const CtlRun restored = jxctl({ "banco", "restaurar", copy, "--banco", path });
    ASSERT_EQ(restored.status, 0) << restored.err.toStdString();
    EXPECT_EQ(streets(path), QStringList { "ANTES" });
    EXPECT_EQ(streets(path + ".anterior"), QStringList({ "ANTES", "DEPOIS" }));
    EXPECT_EQ(jxctl({ "banco", "verificar", path }).status, 0);
}

TEST(JxctlDatabase, ACopyIntoAFullFolderFailsAndLeavesTheEarlierFiles)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("JX.mdb");
    ASSERT_EQ(jxctl({ "banco", "criar", path }).status, 0);
    const QString folder = dir.filePath("pequeno");
    SmallDisk disk(folder, 128 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << "mounting a small file system is not permitted here";
    const QByteArray earlier(64 * 1024, 'e');
    {
        QFile file(folder + "/JX20000101000000.bkp");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(earlier), earlier.size());
    }
    const CtlRun run = jxctl({ "banco", "copiar", "--pasta", folder, "--banco", path });
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err,
        "jxctl: Espaço insuficiente no disco para gravar em " + folder
            + ".\nLibere espaço e tente novamente; nenhum arquivo anterior foi alterado.\n");
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
        QStringList { "JX20000101000000.bkp" });
    QFile file(folder + "/JX20000101000000.bkp");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), earlier);
    EXPECT_EQ(jxctl({ "banco", "verificar", path }).status, 0);
}

TEST(JxctlDatabase, AFileAnotherProgramHoldsIsInUseNotInvalid)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("JX.mdb");
    ASSERT_EQ(jxctl({ "banco", "criar", path }).status, 0);
    jx::db::Connection other;
    other.open(path, jx::db::kDatabaseKey);
    other.exec("BEGIN EXCLUSIVE");
    for (const QStringList& args :
        { QStringList { "banco", "verificar", path }, { "referencia", "UF", "--banco", path } }) {
        const CtlRun run = jxctl(args);
        EXPECT_EQ(run.status, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains("está em uso por outro programa")) << run.err.toStdString();
        EXPECT_FALSE(run.outText().contains("não é válido")) << run.outText().toStdString();
    }
    other.rollback();
    EXPECT_EQ(jxctl({ "banco", "verificar", path }).status, 0);
}
