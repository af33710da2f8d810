// Per-filing backups: diskette-form files copied into the backup folder.

#include "backup/FilingBackup.h"
#include "backup/Restore.h"
#include "delivery/ManipulaXml.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "../support/ThreeRequests.h"

using namespace jx;
using namespace jxtest;

namespace {

class Backup : public ThreeRequests {
protected:
    QString folder() const { return m_folder.path() + "/backup"; }
    QStringList backups() const { return QDir(folder()).entryList({ "*.xml" }, QDir::Files, QDir::Name); }
};

} // namespace

TEST_F(Backup, ChosenFilingsAreCopiedEncryptedUnderTheirOwnNames)
{
    ASSERT_TRUE(QDir().mkpath(folder()));
    FilingBackup backup(*m_jx, m_prompts, m_folder.path());
    ASSERT_TRUE(backup.run({ 0, 2 }, folder() + "/"));
    const QStringList names = backups();
    ASSERT_EQ(names.size(), 2);
    EXPECT_TRUE(names[0].startsWith("JXSCNPJ11222333000181"));
    EXPECT_TRUE(names[1].startsWith("JXSCNPJ44455566000183"));
    ASSERT_EQ(backup.memoLines().size(), 2);
    EXPECT_EQ(backup.memoLines()[1], QDir::toNativeSeparators(folder() + u'/' + names[1]) + FilingBackup::kOk);
    for (const QString& name : names) {
        const QString file = folder() + u'/' + name;
        EXPECT_TRUE(xmlfile::ConferirHash(file));
        EXPECT_FALSE(xmlfile::RetornarDados(file).contains("<cnpj>")) << "the data must be encrypted";
    }
    EXPECT_FALSE(QFileInfo::exists(m_folder.path() + "/Temp"));
    // A backup records nothing: no delivery, no status change.
    EXPECT_EQ(count("SELECT count(*) FROM ENTREGAS"), 0);
    EXPECT_EQ(status(m_ids[0]) + status(m_ids[2]), "CC");

    // Again: the same names, replaced.
    ASSERT_TRUE(backup.run({ 2 }, folder()));
    EXPECT_EQ(backups(), names);
    EXPECT_TRUE(xmlfile::ConferirHash(folder() + u'/' + names[1]));
    EXPECT_TRUE(m_prompts.allMet()) << m_prompts.failures().join("; ").toStdString();
}

TEST_F(Backup, FilingsThatFailVerificationAreListedWhenNoneProducedAFile)
{
    ASSERT_TRUE(QDir().mkpath(folder()));
    db::Connection c;
    c.open(m_folder.databasePath(), db::kDatabaseKey);
    c.exec("UPDATE SOLICITACAO_IE SET ID_REGIME_RECOLHIMENTO = NULL");
    c.close();
    m_jx->reopenAt(*m_jx->cdsSolicitacaoIE, m_ids[1].toLongLong());
    m_prompts.expectInformation(
        FilingBackup::kRequestFailures + "-Cód. Solicitação:" + m_ids[1] + "\r\n-Cód. Solicitação:" + m_ids[2] + "\r\n");
    FilingBackup backup(*m_jx, m_prompts, m_folder.path());
    EXPECT_FALSE(backup.run({ 1, 2 }, folder()));
    EXPECT_TRUE(m_prompts.allMet()) << m_prompts.failures().join("; ").toStdString();
    EXPECT_TRUE(backups().isEmpty());
    EXPECT_EQ(status(m_ids[0]) + status(m_ids[1]) + status(m_ids[2]), "CII");
    EXPECT_FALSE(QFileInfo::exists(m_folder.path() + "/Temp"));
}

TEST_F(Backup, MissingFolderStopsAtTheFirstFile)
{
    m_prompts.expectError(FilingBackup::kFolderMissing);
    FilingBackup backup(*m_jx, m_prompts, m_folder.path());
    EXPECT_FALSE(backup.run({ 0, 1, 2 }, folder()));
    EXPECT_TRUE(m_prompts.allMet()) << m_prompts.failures().join("; ").toStdString();
    ASSERT_EQ(backup.memoLines().size(), 3);
    EXPECT_TRUE(backup.memoLines()[0].endsWith(FilingBackup::kNo));
    EXPECT_FALSE(backup.memoLines()[1].endsWith(FilingBackup::kNo));
    EXPECT_TRUE(backup.written().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(m_folder.path() + "/Temp"));
}

TEST_F(Backup, ABackupKeepsWhatWasTypedWhereTheDeliveryFileDropsAccents)
{
    db::Connection c;
    c.open(m_folder.databasePath(), db::kDatabaseKey);
    db::Statement s = c.prepare("UPDATE SOLICITACAO_IE SET NOME_EMPRESARIAL = :N WHERE ID_SOLICITACAO = :ID");
    s.bind(":N", QStringLiteral("VIDRAÇARIA (CRISTAL) & FILHOS LTDA"));
    s.bind(":ID", m_ids[1]);
    s.run();
    c.close();
    m_jx->reopenAt(*m_jx->cdsSolicitacaoIE, m_ids[1].toLongLong());
    ASSERT_TRUE(QDir().mkpath(folder()));
    FilingBackup backup(*m_jx, m_prompts, m_folder.path());
    ASSERT_TRUE(backup.run({ 1 }, folder()));
    ASSERT_EQ(backup.written().size(), 1);
    const QByteArray data
        = Restore(*m_jx, m_prompts, m_folder.path()).decryptedData(backup.written()[0], restore::Kind::Request);
    EXPECT_TRUE(QString::fromLatin1(data).contains(
        QStringLiteral("<nome_empresarial>VIDRAÇARIA (CRISTAL) &amp; FILHOS LTDA</nome_empresarial>")))
        << data.toStdString();
}
