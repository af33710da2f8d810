#include "CtlRunner.h"

#include "db/Schema.h"
#include "db/Sqlite.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
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
