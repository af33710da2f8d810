// A key pair from jxctl chaves gerar and from jx-keygen: a folder holding a key keeps it unless
// the user asks to replace it, and a replacement that fails half-way leaves the old pair.

#include "CtlRunner.h"

#include "delivery/RsaBlockCipher.h"
#include "delivery/RsaKey.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace jxtest;

namespace {

CtlRun keygen(const QStringList& args)
{
    QProcess process;
    process.start(QStringLiteral(KEYGEN_PATH), args);
    process.waitForFinished(60000);
    CtlRun run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

struct KeyTool {
    const char* name;
    std::function<CtlRun(const QStringList&)> run;
};

const std::vector<KeyTool>& tools()
{
    static const std::vector<KeyTool> all {
        { "jxctl",
            [](const QStringList& args) {
                return jxctl(QStringList { "chaves", "gerar" } + args);
            } },
        { "jx-keygen", keygen },
    };
    return all;
}

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<ausente>");
}

QStringList entriesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

bool pairWorks(const QString& folder)
{
    const jx::RsaKey publicKey = jx::RsaKey::load(folder + "/PublicKey.dat");
    const jx::RsaKey privateKey = jx::RsaKey::load(folder + "/PrivateKey.dat");
    return jx::rsa::decrypt(jx::rsa::encrypt("Habilitação", publicKey), privateKey) == QByteArray("Habilitação");
}

} // namespace

TEST(KeyGeneration, AFolderHoldingAKeyKeepsItUnlessReplacing)
{
    for (const KeyTool& tool : tools()) {
        SCOPED_TRACE(tool.name);
        QTemporaryDir dir;
        const QString keys = dir.filePath("chaves");
        ASSERT_EQ(tool.run({ keys }).status, 0);
        EXPECT_TRUE(pairWorks(keys));
        const QByteArray publicKey = contentOf(keys + "/PublicKey.dat");
        const QByteArray privateKey = contentOf(keys + "/PrivateKey.dat");

        const CtlRun again = tool.run({ keys });
        EXPECT_EQ(again.status, 2);
        EXPECT_TRUE(again.err.contains("já tem uma chave (PublicKey.dat ou PrivateKey.dat); nada foi gravado."))
            << again.err.toStdString();
        EXPECT_TRUE(again.err.contains("--substituir")) << again.err.toStdString();
        EXPECT_EQ(contentOf(keys + "/PublicKey.dat"), publicKey);
        EXPECT_EQ(contentOf(keys + "/PrivateKey.dat"), privateKey);

        // Either key alone is reason enough.
        ASSERT_TRUE(QFile::remove(keys + "/PublicKey.dat"));
        EXPECT_EQ(tool.run({ keys }).status, 2);
        EXPECT_EQ(entriesOf(keys), QStringList { "PrivateKey.dat" });
        EXPECT_EQ(contentOf(keys + "/PrivateKey.dat"), privateKey);

        const CtlRun replaced = tool.run({ keys, "--substituir" });
        EXPECT_EQ(replaced.status, 0) << replaced.err.toStdString();
        EXPECT_EQ(entriesOf(keys), QStringList({ "PrivateKey.dat", "PublicKey.dat" }));
        EXPECT_NE(contentOf(keys + "/PrivateKey.dat"), privateKey);
        EXPECT_TRUE(pairWorks(keys));
    }
}

TEST(KeyGeneration, AReplacementThatFailsHalfWayLeavesTheOldKey)
{
    for (const KeyTool& tool : tools()) {
        SCOPED_TRACE(tool.name);
        QTemporaryDir dir;
        const QString keys = dir.filePath("chaves");
        ASSERT_EQ(tool.run({ keys }).status, 0);
        const QByteArray publicKey = contentOf(keys + "/PublicKey.dat");
        // The private key's name cannot be taken: the new public key must not stay either.
        ASSERT_TRUE(QFile::remove(keys + "/PrivateKey.dat"));
        ASSERT_TRUE(QDir(keys).mkpath("PrivateKey.dat/dentro"));

        const CtlRun run = tool.run({ keys, "--substituir" });
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.err.contains("Não foi possível gravar a chave")) << run.err.toStdString();
        EXPECT_EQ(contentOf(keys + "/PublicKey.dat"), publicKey);
        EXPECT_EQ(entriesOf(keys), QStringList({ "PrivateKey.dat", "PublicKey.dat" }));
    }
}
