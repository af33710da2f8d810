// Delivery runs onto a disk, their records, and the protocols captured from a returned disk.

#include "Error.h"
#include "delivery/DeliveryRun.h"
#include "delivery/ManipulaXml.h"
#include "delivery/ProtocolCapture.h"
#include "delivery/Receipts.h"
#include "delivery/RsaKey.h"
#include "delivery/XmlLibraryPass.h"
#include "config/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "../support/ThreeRequests.h"

using namespace jx;
using namespace jxtest;

namespace {

// Writes a protocol into a delivered file as the authority does, stamping it again.
void giveProtocol(const QString& file, const QString& number, const QString& date = "09/12/2026",
    const QString& time = "14:35:27")
{
    pugi::xml_document document;
    xmlpass::load(document, file);
    pugi::xml_node protocol = document.document_element().child("cabecalho").child("protocolo");
    protocol.child("numero").text().set(number.toUtf8().constData());
    protocol.child("data").text().set(date.toUtf8().constData());
    protocol.child("hora").text().set(time.toUtf8().constData());
    xmlpass::save(document, file);
    ScriptedPrompts quiet;
    ASSERT_TRUE(xmlfile::GravarVerificador(file, quiet));
}

QStringList xmlFiles(const QString& folder)
{
    return QDir(folder).entryList({ "*.xml" }, QDir::Files, QDir::Name);
}

class Delivery : public ThreeRequests {
protected:
    void SetUp() override
    {
        ThreeRequests::SetUp();
        m_disk = makeDisk("ZKF", "ABCD-1234");
    }

    QString makeDisk(const QString& label, const QString& serial)
    {
        auto dir = std::make_unique<QTemporaryDir>();
        QFile volume(dir->filePath(".jxvolume"));
        EXPECT_TRUE(volume.open(QIODevice::WriteOnly));
        volume.write(QStringLiteral("label=%1\nserial=%2\n").arg(label, serial).toUtf8());
        m_disks.push_back(std::move(dir));
        return m_disks.back()->path();
    }

    std::unique_ptr<DeliveryRun> diskRun(const std::optional<QString>& drive)
    {
        auto run = std::make_unique<DeliveryRun>(*m_jx, m_prompts, m_folder.path(), DeliveryRun::Mode::Diskette);
        DeliveryRun::Hooks hooks;
        hooks.chooseDrive = [drive] { return drive; };
        run->setHooks(hooks);
        return run;
    }

    QString m_disk;
    std::vector<std::unique_ptr<QTemporaryDir>> m_disks;
};

} // namespace

TEST_F(Delivery, DisketteRunWritesEncryptedFilesAndOneRecordPerFilingAndDisk)
{
    auto run = diskRun(m_disk);
    ASSERT_TRUE(run->FazerEntrega({ 0, 2 }));
    EXPECT_EQ(run->lines(),
        QStringList({ "Montando arquivo... ok.", "Criptografando arquivo... ok.", "Gravando em disquete... ok.",
            "Atualizando banco de dados... ok.", "Finalizando ok." }));
    EXPECT_EQ(run->finalText(), DeliveryRun::kWritten);
    EXPECT_FALSE(QFileInfo::exists(m_folder.path() + "/Temp"));
    const QStringList onDisk = xmlFiles(m_disk);
    ASSERT_EQ(onDisk.size(), 2);
    EXPECT_EQ(onDisk, run->deliveredFiles());
    for (const QString& name : onDisk) {
        const QString file = m_disk + u'/' + name;
        EXPECT_TRUE(xmlfile::ConferirHash(file));
        EXPECT_FALSE(xmlfile::RetornarDados(file).contains("<cnpj>")) << "the data section must be encrypted";
    }
    // 0xABCD1234 as an unsigned number after the label.
    const QString disk = QStringLiteral("ZKF2882343476");
    EXPECT_EQ(count("SELECT count(*) FROM ENTREGAS"), 2);
    for (const QString& id : { m_ids[0], m_ids[2] }) {
        EXPECT_EQ(status(id), "D");
        EXPECT_EQ(text("SELECT IDENTIFICADORDISQUETE || '|' || FORMAENTREGA || '|' || ifnull(NUMEROPROTOCOLO, '') || "
                       "'|' || VERSAOJXTRANSMISSAO FROM ENTREGAS WHERE SOLICITACAO_ID = "
                + id),
            disk + "|D||10000");
    }
    EXPECT_EQ(status(m_ids[1]), "C");
    const QString verifier = text("SELECT VERIFICADORINTEGRIDADE FROM ENTREGAS WHERE SOLICITACAO_ID = " + m_ids[2]);
    EXPECT_EQ(verifier.size(), 40);

    // The same filing to the same disk keeps its one record; to another disk it gains one.
    ASSERT_TRUE(diskRun(m_disk)->FazerEntrega({ 2 })) << m_prompts.failures().join("; ").toStdString();
    EXPECT_EQ(count("SELECT count(*) FROM ENTREGAS WHERE SOLICITACAO_ID = " + m_ids[2]), 1);
    ASSERT_TRUE(diskRun(makeDisk("OUTRO", "1"))->FazerEntrega({ 2 }));
    EXPECT_EQ(count("SELECT count(*) FROM ENTREGAS WHERE SOLICITACAO_ID = " + m_ids[2]), 2);
    EXPECT_EQ(count("SELECT count(*) FROM ENTREGAS WHERE IDENTIFICADORDISQUETE = 'OUTRO1'"), 1);
    EXPECT_TRUE(m_prompts.allMet()) << m_prompts.failures().join("; ").toStdString();
}

TEST_F(Delivery, CancelledDriveChoiceRecordsNothing)
{
    auto run = diskRun(std::nullopt);
    EXPECT_FALSE(run->FazerEntrega({ 1 }));
    EXPECT_EQ(run->lines(),
        QStringList({ "Montando arquivo... ok.", "Criptografando arquivo... ok.", "Gravando em disquete... falhou.",
            "Atualizando banco de dados... falhou.", "Finalizando ok." }));
    EXPECT_EQ(run->finalText(), DeliveryRun::kNotDone);
    EXPECT_EQ(count("SELECT count(*) FROM ENTREGAS"), 0);
    EXPECT_EQ(status(m_ids[1]), "C");
    EXPECT_FALSE(QFileInfo::exists(m_folder.path() + "/Temp"));
}

TEST_F(Delivery, CopyFailureAfterTwoFilesLeavesThemOnTheDiskAndRecordsNothing)
{
    // The third file's name is taken by a folder on the disk: its copy fails.
    auto probe = diskRun(m_disk);
    ASSERT_TRUE(probe->FazerEntrega({ 2 }));
    const QString third = probe->deliveredFiles().first();
    QFile::remove(m_disk + u'/' + third);
    ASSERT_TRUE(QDir(m_disk).mkdir(third));
    const QString before = dump();

    ScriptedPrompts prompts;
    DeliveryRun counted(*m_jx, prompts, m_folder.path(), DeliveryRun::Mode::Diskette);
    DeliveryRun::Hooks hooks;
    hooks.chooseDrive = [this] { return std::optional<QString>(m_disk); };
    counted.setHooks(hooks);
    EXPECT_FALSE(counted.FazerEntrega({ 0, 1, 2 }));
    ASSERT_EQ(prompts.shown().size(), 1);
    EXPECT_TRUE(prompts.shown().first().contains("Erro na gravação do arquivo no disquete! \r\nContacte o suporte do JX!"));
    EXPECT_TRUE(prompts.shown().first().contains("Arquivos já gravados no disquete:"));
    EXPECT_EQ(xmlFiles(m_disk).size(), 2);
    EXPECT_EQ(counted.finalText(), DeliveryRun::kNotDone);
    EXPECT_EQ(counted.lines().value(2), "Gravando em disquete...");
    EXPECT_EQ(counted.lines().value(3), "Finalizando ok.");
    EXPECT_EQ(dump(), before);
}

TEST_F(Delivery, FailureThatReachesTheRunLeavesTheDatabaseAsItWas)
{
    // The middle filing loses what it needs: generation marks it "I" inside the run.
    RecordSet& r = *m_jx->cdsSolicitacaoIE;
    ASSERT_TRUE(r.locate("ID_SOLICITACAO", m_ids[1].toLongLong()));
    db::Connection c;
    c.open(m_folder.databasePath(), db::kDatabaseKey);
    c.exec("UPDATE SOLICITACAO_IE SET ID_REGIME_RECOLHIMENTO = NULL WHERE ID_SOLICITACAO = " + m_ids[1]);
    c.close();
    m_jx->reopenAt(r, m_ids[1].toLongLong());
    const QString before = dump();

    DeliveryRun run(*m_jx, m_prompts, m_folder.path(), DeliveryRun::Mode::Diskette);
    DeliveryRun::Hooks hooks;
    hooks.chooseDrive = []() -> std::optional<QString> { throw Error("O disco foi retirado."); };
    run.setHooks(hooks);
    m_prompts.expectError("O disco foi retirado.");
    EXPECT_FALSE(run.FazerEntrega({ 0, 1, 2 }));
    EXPECT_TRUE(m_prompts.allMet()) << m_prompts.failures().join("; ").toStdString();
    EXPECT_EQ(dump(), before);
    EXPECT_EQ(status(m_ids[1]), "C");
    // The set shows what is stored, on the filing it was on.
    EXPECT_EQ(r.text("ID_SOLICITACAO"), m_ids[1]);
    EXPECT_EQ(r.text("STATUS"), "C");
    EXPECT_FALSE(QFileInfo::exists(m_folder.path() + "/Temp"));
}

TEST_F(Delivery, FilingWhoseStatusIsRefusedKeepsNoDeliveryRecord)
{
    db::Connection c;
    c.open(m_folder.databasePath(), db::kDatabaseKey);
    c.exec("CREATE TRIGGER recusa BEFORE UPDATE OF STATUS ON SOLICITACAO_IE WHEN NEW.ID_SOLICITACAO = " + m_ids[1]
        + " BEGIN SELECT RAISE(ABORT, 'situação recusada'); END");
    c.close();
    ScriptedPrompts prompts;
    DeliveryRun run(*m_jx, prompts, m_folder.path(), DeliveryRun::Mode::Diskette);
    DeliveryRun::Hooks hooks;
    hooks.chooseDrive = [this] { return std::optional<QString>(m_disk); };
    run.setHooks(hooks);
    EXPECT_TRUE(run.FazerEntrega({ 0, 1, 2 }));
    EXPECT_EQ(run.lines().value(3), "Atualizando banco de dados... falhou.");
    EXPECT_EQ(run.failures(), QStringList { m_ids[1] });
    EXPECT_EQ(run.deliveredFiles().size(), 2);
    ASSERT_FALSE(prompts.shown().isEmpty());
    EXPECT_EQ(prompts.shown().last(),
        ScriptedPrompts::kindName(ScriptedPrompts::Kind::Information) + ": " + DeliveryRun::kDisketteFailures + "-CNPJ Solicitação: 33.344.455/0001-83\r\n");
    // Its delivery row went back with its status, in the table and in the set.
    EXPECT_EQ(count("SELECT count(*) FROM ENTREGAS WHERE SOLICITACAO_ID = " + m_ids[1]), 0);
    EXPECT_EQ(count("SELECT count(*) FROM ENTREGAS"), 2);
    EXPECT_EQ(status(m_ids[0]) + status(m_ids[1]) + status(m_ids[2]), "DCD");
    ASSERT_TRUE(m_jx->cdsSolicitacaoIE->locate("ID_SOLICITACAO", m_ids[1].toLongLong()));
    EXPECT_EQ(m_jx->cdsSolicitacaoIE->text("STATUS"), "C");
    EXPECT_TRUE(m_jx->cdsEntregas->isEmpty());
}

TEST_F(Delivery, AFailureAfterTheCommitTakesNoDeliveryBack)
{
    // The records are committed before anything is cleaned up: what fails after them keeps them.
    DeliveryRun run(*m_jx, m_prompts, m_folder.path(), DeliveryRun::Mode::Diskette);
    DeliveryRun::Hooks hooks;
    hooks.chooseDrive = [this] { return std::optional<QString>(m_disk); };
    hooks.lineChanged = [](int, const QString& text, bool) {
        if (text == DeliveryRun::kFinishing)
            throw Error("falha no fim");
    };
    run.setHooks(hooks);
    m_prompts.expectError("falha no fim");
    EXPECT_TRUE(run.FazerEntrega({ 0, 1, 2 }));
    EXPECT_FALSE(run.aborted());
    EXPECT_EQ(run.deliveredFiles(), xmlFiles(m_disk));
    EXPECT_TRUE(m_prompts.allMet()) << m_prompts.failures().join("; ").toStdString();
    EXPECT_EQ(count("SELECT count(*) FROM ENTREGAS WHERE FORMAENTREGA = 'D'"), 3);
    for (const QString& id : m_ids) {
        EXPECT_EQ(status(id), "D");
        ASSERT_TRUE(m_jx->cdsSolicitacaoIE->locate("ID_SOLICITACAO", id.toLongLong()));
        EXPECT_EQ(m_jx->cdsSolicitacaoIE->text("STATUS"), "D");
    }
    EXPECT_FALSE(QFileInfo::exists(m_folder.path() + "/Temp"));
}

TEST_F(Delivery, ReturnedDiskProtocolsAreListedAndCapturedOnce)
{
    auto run = diskRun(m_disk);
    ASSERT_TRUE(run->FazerEntrega({ 0, 1, 2 }));
    const QStringList names = run->deliveredFiles();
    ASSERT_EQ(names.size(), 3);
    giveProtocol(m_disk + u'/' + names[0], "1001");
    giveProtocol(m_disk + u'/' + names[1], "2026000000000002", "10/12/2026", "08:09:59");
    // The third comes back without protocol; beside them a foreign file, a program file with
    // a broken verifier and one whose name is no program's.
    QFile foreign(m_disk + "/notas.xml");
    ASSERT_TRUE(foreign.open(QIODevice::WriteOnly));
    foreign.write("<a/>");
    foreign.close();
    const QString broken = m_disk + "/JXSCNPJ11222333000181" + "20200101101010.xml";
    ASSERT_TRUE(QFile::copy(m_disk + u'/' + names[0], broken));
    {
        // Changed after the stamp: the verifier no longer matches.
        pugi::xml_document document;
        xmlpass::load(document, broken);
        document.document_element().child("cabecalho").child("protocolo").child("numero").text().set("999");
        xmlpass::save(document, broken);
    }

    ProtocolCapture capture(*m_jx, m_prompts);
    m_prompts.expectError(ProtocolCapture::kIncorrectFiles + QDir::toNativeSeparators(broken));
    ASSERT_TRUE(capture.LerDisquete(m_disk));
    RecordSet& list = *m_jx->cdsProtocolosAux;
    ASSERT_EQ(list.count(), 2);
    list.moveTo(1);
    EXPECT_EQ(list.text("PROTOCOLO"), "2026000000000002 ");
    EXPECT_EQ(list.text("CONTA"), "2");
    EXPECT_EQ(list.text("HORA"), "08:09:59");
    EXPECT_EQ(list.text("COD_TIPO"), "S");
    EXPECT_EQ(list.text("TIPO"), "Solicitação de Inscrição Estadual");
    EXPECT_EQ(list.text("VERSAO"), "1.00.01");
    EXPECT_EQ(list.text("IDENTIFICADOR").size(), 18) << list.text("IDENTIFICADOR").toStdString();

    m_prompts.expectInformation(ProtocolCapture::kCaptured);
    ASSERT_TRUE(capture.capturarProtocolo());
    const QString id = m_ids[1];
    EXPECT_EQ(text("SELECT NUMEROPROTOCOLO || '|' || DATAHORAPROTOCOLO || '|' || VERSAOJXTRANSMISSAO FROM ENTREGAS "
                   "WHERE SOLICITACAO_ID = "
            + id),
        "2026000000000002 |2026-12-10 08:09:00|10001");
    // The receipt is built from the protocol's values as recorded: the returned file's verifier
    // and generator version, the file name.
    {
        db::Connection c;
        c.open(m_folder.databasePath(), db::kDatabaseKey);
        db::Statement s = c.prepare("SELECT RECIBO, VERIFICADORINTEGRIDADE, NOMEARQUIVO FROM ENTREGAS WHERE "
                                    "SOLICITACAO_ID = "
            + id);
        ASSERT_TRUE(s.step());
        const QStringList receipt = Receipts::fromWindows1252(s.value(0).toByteArray()).split("\r\n");
        ASSERT_GT(receipt.size(), 3);
        EXPECT_EQ(receipt[0],
            "Verificador de integridade: " + s.text(1) + QString(14, u' ') + "Versão do JX off-line Transmissor: 1.00.01");
        EXPECT_EQ(s.text(1), list.text("HAS"));
        EXPECT_EQ(receipt[1], "Nome do arquivo: " + s.text(2).leftJustified(50) + QString(15, u' ')
                + "Data da solicitação: "
                + QDate::fromString(text("SELECT substr(DATASOLICITACAOIE, 1, 10) FROM SOLICITACAO_IE WHERE "
                                         "ID_SOLICITACAO = "
                                         + id),
                    Qt::ISODate)
                      .toString("dd/MM/yyyy"));
        EXPECT_EQ(receipt[4], "  CNPJ: 33.344.455/0001-83" + QString(50, u' ') + "Localização:QZ");
        EXPECT_TRUE(receipt.last().isEmpty()) << "every line ends in CR LF";
    }
    EXPECT_EQ(status(id), "D");
    EXPECT_EQ(count("SELECT count(*) FROM ENTREGAS WHERE NUMEROPROTOCOLO IS NOT NULL AND NUMEROPROTOCOLO <> ''"), 1);

    m_prompts.expectError(ProtocolCapture::kAlreadyCaptured);
    EXPECT_FALSE(capture.capturarProtocolo());
    EXPECT_TRUE(m_prompts.allMet()) << m_prompts.failures().join("; ").toStdString();
}

TEST_F(Delivery, CaptureFromAnotherDiskFindsNoDelivery)
{
    ASSERT_TRUE(diskRun(m_disk)->FazerEntrega({ 1 }));
    const QString name = xmlFiles(m_disk).first();
    const QString other = makeDisk("OUTRO", "7");
    ASSERT_TRUE(QFile::copy(m_disk + u'/' + name, other + u'/' + name));
    giveProtocol(other + u'/' + name, "555");
    ProtocolCapture capture(*m_jx, m_prompts);
    ASSERT_TRUE(capture.LerDisquete(other));
    m_prompts.expectError(ProtocolCapture::kNotCaptured);
    EXPECT_FALSE(capture.capturarProtocolo());
    EXPECT_EQ(count("SELECT count(*) FROM ENTREGAS WHERE NUMEROPROTOCOLO = '555'"), 0);

    // An empty disk, and an empty list.
    const QString empty = makeDisk("VAZIO", "9");
    m_prompts.expectError(ProtocolCapture::kNoProtocol);
    EXPECT_FALSE(capture.LerDisquete(empty));
    m_prompts.expectError(ProtocolCapture::kNothingToImport);
    EXPECT_FALSE(capture.capturarProtocolo());
    EXPECT_TRUE(m_prompts.allMet()) << m_prompts.failures().join("; ").toStdString();
}

TEST_F(Delivery, TransmitterRunPairsEachReceiptWithItsOwnFiling)
{
    QTemporaryDir home;
    qputenv("VELKOR_HOME", home.path().toUtf8());
    qputenv("VELKOR_RECUSAR", "2");
    DeliveryRun run(*m_jx, m_prompts, m_folder.path(), DeliveryRun::Mode::Transmitter);
    run.setTransmitterPath(VELKOR_PATH);
    QList<qint64> shown;
    DeliveryRun::Hooks hooks;
    hooks.showReceipt = [&shown](qint64 delivery) { shown << delivery; };
    run.setHooks(hooks);
    m_prompts.expectInformation(DeliveryRun::kTransmitRequestFailures + "-CNPJ Solicitação: 33.344.455/0001-83\r\n")
        .expectYesNo(DeliveryRun::kPrintReceipt, true);
    const bool delivered = run.FazerEntrega({ 0, 1, 2 });
    qunsetenv("VELKOR_RECUSAR");
    qunsetenv("VELKOR_HOME");
    EXPECT_TRUE(delivered);
    EXPECT_TRUE(m_prompts.allMet()) << m_prompts.failures().join("; ").toStdString();
    EXPECT_EQ(run.lines(),
        QStringList({ "Montando arquivo... ok.", "Transmitindo arquivo... ok.", "Atualizando banco de dados... falhou.",
            "Gerando recibo de entrega... ok. ok.", "Finalizando ok." }));
    EXPECT_EQ(run.failures(), QStringList { m_ids[1] });
    EXPECT_EQ(run.deliveredFiles().size(), 2);
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(text(QStringLiteral("SELECT SOLICITACAO_ID FROM ENTREGAS WHERE IDENTIFICADOR = %1").arg(shown[0])), m_ids[0]);
    EXPECT_EQ(text(QStringLiteral("SELECT SOLICITACAO_ID FROM ENTREGAS WHERE IDENTIFICADOR = %1").arg(shown[1])), m_ids[2]);
    EXPECT_EQ(status(m_ids[0]) + status(m_ids[1]) + status(m_ids[2]), "TCT");
    EXPECT_EQ(count("SELECT count(*) FROM ENTREGAS WHERE FORMAENTREGA = 'T'"), 2);
}

TEST(ReturnedFiles, HostileBytesAreIncorrectNeverFatal)
{
    for (const QByteArray& bytes : { QByteArray(), QByteArray("<"), QByteArray("<arquivo><cabecalho>"),
             QByteArray("<!DOCTYPE a [<!ENTITY e SYSTEM \"file:///etc/passwd\">]><arquivo>&e;</arquivo>"),
             QByteArray(100000, '<'), QByteArray("<arquivo><cabecalho><protocolo><numero>1</numero></protocolo>"
                                                 "</cabecalho></arquivo>") })
        EXPECT_EQ(readReturnedFile(bytes).state, ReturnedFile::State::Incorrect) << bytes.left(40).toStdString();
}

TEST(ReturnedFiles, DeepNestingAndWideCharactersBehindAGoodVerifier)
{
    QByteArray deep = "<arquivo>";
    for (int i = 0; i < 200000; ++i)
        deep += "<a>";
    EXPECT_EQ(readReturnedFile(deep).state, ReturnedFile::State::Incorrect);

    // A character reference beyond Latin-1 is written back as "?": the verifier still matches.
    QTemporaryDir dir;
    const QString file = dir.filePath("JXSCNPJ1122233300018120261209102030.xml");
    TInfCabecalho header;
    header.tipo_identificador = "CNPJ";
    header.identificador = "11222333000181";
    header.numero = "?1";
    ASSERT_TRUE(xmlfile::GerarArquivoXML(file, header, "<solicitacao>\r\n</solicitacao>\r\n"));
    ScriptedPrompts quiet;
    ASSERT_TRUE(xmlfile::GravarVerificador(file, quiet));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray bytes = f.readAll();
    f.close();
    ASSERT_TRUE(bytes.contains("<numero>?1</numero>"));
    bytes.replace("<numero>?1</numero>", "<numero>&#x20AC;1</numero>");
    EXPECT_EQ(readReturnedFile(bytes).state, ReturnedFile::State::Incorrect);
    bytes.replace("<numero>&#x20AC;1</numero>", "<numero>?1</numero>");
    EXPECT_EQ(readReturnedFile(bytes).state, ReturnedFile::State::Protocol);
}

TEST(Transmitter, LocatedFromTheIniTheProgramFolderOrTheUser)
{
    TestProgramFolder folder;
    QTemporaryDir elsewhere;
    const QString exe = elsewhere.filePath(DeliveryRun::transmitterFileName());
    QFile f(exe);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    QFile::remove(folder.ini());
    TdtmDB database(TdtmDB::AtPath { folder.databasePath() });
    ScriptedPrompts prompts;
    TdtmJX jx(database, prompts, [] {}, folder.path());
    DeliveryRun run(jx, prompts, folder.path(), DeliveryRun::Mode::Transmitter);

    // Nowhere: the user is asked; a wrong folder, then the right one; the path is stored.
    QTemporaryDir wrong;
    prompts.expectInformation(DeliveryRun::kAskTransmitterFolder)
        .expectFolder(DeliveryRun::kTransmitterFolderCaption, wrong.path())
        .expectYesNo(DeliveryRun::kTransmitterNotInFolder, true)
        .expectFolder(DeliveryRun::kTransmitterFolderCaption, elsewhere.path());
    const QString found = run.LocalizarTransmissor();
    EXPECT_EQ(QFileInfo(found).canonicalFilePath(), QFileInfo(exe).canonicalFilePath());
    EXPECT_EQ(ini::readValue(folder.ini(), "Velkor", "FILEPATH"), found);
    // Stored: used without a question.
    EXPECT_EQ(run.LocalizarTransmissor(), found);
    EXPECT_TRUE(prompts.allMet()) << prompts.failures().join("; ").toStdString();

    // The stored one gone, and none in the program folder: Não gives up.
    QFile::remove(exe);
    prompts.expectInformation(DeliveryRun::kAskTransmitterFolder)
        .expectFolder(DeliveryRun::kTransmitterFolderCaption, wrong.path())
        .expectYesNo(DeliveryRun::kTransmitterNotInFolder, false);
    try {
        run.LocalizarTransmissor();
        ADD_FAILURE() << "no transmitter was given";
    } catch (const Error& e) {
        EXPECT_EQ(e.userText(), DeliveryRun::kTransmitterNotGiven);
    }
    // One in the program folder is taken at once.
    QFile local(folder.path() + u'/' + DeliveryRun::transmitterFileName());
    ASSERT_TRUE(local.open(QIODevice::WriteOnly));
    local.close();
    EXPECT_EQ(QFileInfo(run.LocalizarTransmissor()).fileName(), DeliveryRun::transmitterFileName());
    EXPECT_TRUE(prompts.allMet()) << prompts.failures().join("; ").toStdString();
}
