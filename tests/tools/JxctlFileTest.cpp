#include "CtlRunner.h"
#include <QDir>
#include <QFile>

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace jxtest;

namespace {

class JxctlFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_keys = m_dir.filePath("BIN");
        ASSERT_EQ(jxctl({ "chaves", "gerar", m_keys }).status, 0);
        QFile data(m_dir.filePath("dados.txt"));
        ASSERT_TRUE(data.open(QIODevice::WriteOnly));
        data.write("<dados_iniciais>\n<nome>Ação &amp; Cia</nome>\n</dados_iniciais>\n");
        data.close();
        m_file = m_dir.filePath("entrega.xml");
        const CtlRun run = jxctl({ "arquivo", "gerar", m_file, "--dados", data.fileName(), "--identificador",
            "11222333000181", "--data", "07/03/2005" });
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
    }

    QTemporaryDir m_dir;
    QString m_keys;
    QString m_file;
};

} // namespace

TEST_F(JxctlFile, EncryptStampCheckDecrypt)
{
    EXPECT_EQ(jxctl({ "arquivo", "criptografar", m_file, "--chaves", m_keys }).status, 0);
    EXPECT_EQ(jxctl({ "arquivo", "carimbar", m_file }).status, 0);
    const CtlRun check = jxctl({ "arquivo", "conferir", m_file });
    EXPECT_EQ(check.status, 0);
    EXPECT_EQ(check.out, QByteArray("íntegro\n"));
    EXPECT_EQ(jxctl({ "arquivo", "verificador", m_file }).out.size(), 41);
    EXPECT_EQ(jxctl({ "arquivo", "protocolo", m_file }).out, QByteArray("\n"));

    const CtlRun plain = jxctl({ "arquivo", "descriptografar", m_file, "--chaves", m_keys });
    EXPECT_EQ(plain.status, 0) << plain.err.toStdString();
    EXPECT_EQ(
        plain.out, QByteArray("<dados_iniciais>\r\n      <nome>Ação &amp; Cia</nome>\r\n    </dados_iniciais>\n"));
}

TEST_F(JxctlFile, AlteredFileIsReported)
{
    ASSERT_EQ(jxctl({ "arquivo", "carimbar", m_file }).status, 0);
    QFile file(m_file);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    bytes.replace("11222333000181", "11222333000182");
    file.seek(0);
    file.write(bytes);
    file.close();
    const CtlRun check = jxctl({ "arquivo", "conferir", m_file });
    EXPECT_EQ(check.status, 1);
    EXPECT_EQ(check.out, QByteArray("alterado\n"));
}

TEST_F(JxctlFile, BadInputExitsTwo)
{
    const QList<QStringList> bad {
        { "arquivo" },
        { "arquivo", "conferir" },
        { "arquivo", "conferir", m_dir.filePath("nao-existe.xml") },
        { "arquivo", "rasgar", m_file },
        { "arquivo", "gerar", m_dir.filePath("x.xml") },
        { "arquivo", "gerar", m_dir.filePath("x.xml"), "--dados", m_dir.filePath("dados.txt"), "--data", "31/02/2005" },
        { "arquivo", "criptografar", m_file, "--chaves", m_dir.filePath("vazia") },
        { "arquivo", "descriptografar", m_file, "--chaves", m_keys }, // not encrypted: not Base64
        { "chaves" },
    };
    for (const QStringList& args : bad) {
        const CtlRun run = jxctl(args);
        EXPECT_EQ(run.status, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("jxctl: "))) << run.err.toStdString();
    }
}
