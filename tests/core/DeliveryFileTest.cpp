#include "Error.h"
#include "delivery/DeliveryCrypto.h"
#include "delivery/ManipulaXml.h"
#include "delivery/ProtocolCapture.h"
#include "delivery/RsaBlockCipher.h"
#include "delivery/RsaKey.h"
#include "delivery/Sha1.h"
#include "delivery/XmlLibraryPass.h"
#include "platform/ScriptedPrompts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "../support/TestFiles.h"

using namespace jxtest;

using namespace jx;

namespace {

TInfCabecalho requestHeader()
{
    TInfCabecalho header;
    header.tipo_identificador = QStringLiteral("CNPJ");
    header.identificador = QStringLiteral("11222333000181");
    header.tipo_arquivo = QStringLiteral("6");
    header.versao_programa_gerador = QStringLiteral("1.00.01");
    header.data_inicial = QDate(2005, 3, 7);
    header.data_final = QDate(2005, 3, 7);
    header.indicativo_substituicao = QStringLiteral("N");
    return header;
}

const QString kData
    = QStringLiteral("<dados_iniciais>\r\n<nome_empresarial>Ação Comércio &amp; Cia</nome_empresarial>\r\n"
                     "<cnpj>11222333000181</cnpj>\r\n</dados_iniciais>\r\n<socios>\r\n<socio><nome>JOÃO</nome></"
                     "socio>\r\n</socios>\r\n");

class DeliveryFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_file = m_dir.filePath("JXSCNPJ1122233300018120050307120000.xml");
        ASSERT_TRUE(xmlfile::GerarArquivoXML(m_file, requestHeader(), kData));
    }

    void stamp()
    {
        ScriptedPrompts prompts;
        ASSERT_TRUE(xmlfile::GravarVerificador(m_file, prompts));
        ASSERT_TRUE(prompts.allMet());
    }

    QTemporaryDir m_dir;
    QString m_file;
};

} // namespace

TEST_F(DeliveryFile, EnvelopeAfterTheLibraryPass)
{
    const QByteArray bytes = contentOf(m_file);
    EXPECT_TRUE(bytes.startsWith("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<arquivo>\r\n"));
    EXPECT_TRUE(bytes.endsWith("</dados>\r\n</arquivo>\r\n"));
    EXPECT_FALSE(bytes.contains("\n\n"));
    EXPECT_EQ(bytes.count("\n"), bytes.count("\r\n"));
    EXPECT_TRUE(bytes.contains("<data_inicial>07/03/2005</data_inicial>"));
    EXPECT_TRUE(bytes.contains("<data_final>07/03/2005</data_final>"));
    EXPECT_TRUE(bytes.contains("<complemento></complemento>"));
    // Accented letters are single ISO-8859-1 bytes.
    EXPECT_TRUE(bytes.contains("A\xE7\xE3o Com\xE9rcio &amp; Cia"));
    // The dados tags have lines of their own.
    EXPECT_TRUE(bytes.contains("\r\n  <dados>\r\n"));
    EXPECT_TRUE(bytes.contains("\r\n  </dados>\r\n</arquivo>"));
    // Element order of the header.
    const QByteArray order[]
        = { "<tipo_identificador>", "<identificador>", "<tipo_arquivo>", "<versao_programa_gerador>",
              "<periodo_referencia>", "<substituicao>", "<protocolo>", "<complemento>", "</cabecalho>", "<dados>" };
    qsizetype at = 0;
    for (const QByteArray& tag : order) {
        const qsizetype next = bytes.indexOf(tag, at);
        ASSERT_GT(next, at) << tag.constData();
        at = next;
    }
}

TEST_F(DeliveryFile, MalformedDataTextIsPassedToTheCaller)
{
    const QString file = m_dir.filePath("ruim.xml");
    EXPECT_THROW(xmlfile::GerarArquivoXML(file, requestHeader(), QStringLiteral("<aberto>\r\n")), Error);
    EXPECT_THROW(xmlfile::GerarArquivoXML(m_dir.filePath("nao/existe/x.xml"), requestHeader(), kData), Error);
}

TEST_F(DeliveryFile, LibraryPassIsStableAndUndoable)
{
    const QByteArray before = contentOf(m_file);
    xmlpass::rewrite(m_file);
    EXPECT_EQ(contentOf(m_file), before);

    // Add a last child to cabecalho, save, remove it, save: the earlier bytes come back.
    pugi::xml_document document;
    xmlpass::load(document, m_file);
    document.document_element().child("cabecalho").append_child("verificador_integridade").text().set("X");
    xmlpass::save(document, m_file);
    EXPECT_NE(contentOf(m_file), before);
    pugi::xml_document again;
    xmlpass::load(again, m_file);
    pugi::xml_node header = again.document_element().child("cabecalho");
    header.remove_child(header.last_child());
    xmlpass::save(again, m_file);
    EXPECT_EQ(contentOf(m_file), before);

    // Whitespace between elements does not reach the output.
    QByteArray reindented = before;
    reindented.replace("\r\n", "\n\t \n");
    writeFile(m_file, reindented);
    xmlpass::rewrite(m_file);
    EXPECT_EQ(contentOf(m_file), before);
}

TEST_F(DeliveryFile, StampedFilePassesRepeatedlyAndAfterReindenting)
{
    stamp();
    const QString verifier = xmlfile::RetornarVerificador(m_file);
    EXPECT_EQ(verifier.size(), 40);
    EXPECT_EQ(verifier, verifier.toUpper());
    const QByteArray stamped = contentOf(m_file);
    EXPECT_TRUE(xmlfile::ConferirHash(m_file));
    EXPECT_TRUE(xmlfile::ConferirHash(QStringLiteral("  ") + m_file + QStringLiteral(" ")));
    EXPECT_EQ(contentOf(m_file), stamped); // the check leaves the file as it was

    QByteArray reindented = stamped;
    reindented.replace("\r\n    ", "\r\n");
    reindented.replace("<dados>", "\r\n\t<dados>");
    writeFile(m_file, reindented);
    EXPECT_TRUE(xmlfile::ConferirHash(m_file));
}

TEST_F(DeliveryFile, MarkupTheProgramNeverWritesMakesAStampedFileAltered)
{
    stamp();
    const QByteArray stamped = contentOf(m_file);
    ASSERT_TRUE(stamped.startsWith("<?xml"));
    // The library drops each of these on parsing, so the digest alone would not see them.
    for (const auto& [what, from, to] : {
             std::tuple { "DOCTYPE", QByteArray("<arquivo>"), QByteArray("<!DOCTYPE arquivo>\r\n<arquivo>") },
             std::tuple { "comentário", QByteArray("<cabecalho>"), QByteArray("<cabecalho><!-- visto -->") },
             std::tuple { "instrução", QByteArray("<cabecalho>"), QByteArray("<cabecalho><?marca sim?>") },
             std::tuple { "CDATA", QByteArray("<complemento>"), QByteArray("<complemento><![CDATA[]]>") } }) {
        QByteArray altered = stamped;
        ASSERT_TRUE(altered.contains(from)) << what;
        altered.replace(from, to);
        writeFile(m_file, altered);
        EXPECT_FALSE(xmlfile::ConferirHash(m_file)) << what;
        EXPECT_EQ(readReturnedFile(altered).state, ReturnedFile::State::Incorrect) << what;
    }
    writeFile(m_file, stamped);
    EXPECT_TRUE(xmlfile::ConferirHash(m_file));
}

TEST_F(DeliveryFile, AnyChangedTextCharacterFailsTheCheck)
{
    stamp();
    const QByteArray stamped = contentOf(m_file);
    int changed = 0;
    for (qsizetype i = 0; i < stamped.size(); ++i) {
        // Only characters of element texts: between '>' and '<' and not blank.
        const qsizetype open = stamped.lastIndexOf('>', i);
        const qsizetype close = stamped.lastIndexOf('<', i);
        if (open < close || stamped[i] == '\r' || stamped[i] == '\n' || stamped[i] == ' ' || stamped[i] == '<')
            continue;
        QByteArray altered = stamped;
        altered[i] = stamped[i] == '1' ? '2' : '1';
        writeFile(m_file, altered);
        // A broken entity cannot even be parsed: that is an error, never a pass.
        bool passed = true;
        try {
            passed = xmlfile::ConferirHash(m_file);
        } catch (const Error& e) {
            passed = false;
            EXPECT_EQ(e.userText(), QStringLiteral("Erro ao conferir o hash!"));
        }
        EXPECT_FALSE(passed) << "posição " << i;
        ++changed;
    }
    EXPECT_GT(changed, 100);
}

TEST_F(DeliveryFile, LowerCaseOrMissingVerifierFails)
{
    stamp();
    const QString verifier = xmlfile::RetornarVerificador(m_file);
    QByteArray lower = contentOf(m_file);
    lower.replace(verifier.toLatin1(), verifier.toLower().toLatin1());
    writeFile(m_file, lower);
    EXPECT_FALSE(xmlfile::ConferirHash(m_file));

    const QString plain = m_dir.filePath("sem.xml");
    ASSERT_TRUE(xmlfile::GerarArquivoXML(plain, requestHeader(), kData));
    const QByteArray before = contentOf(plain);
    EXPECT_FALSE(xmlfile::ConferirHash(plain));
    EXPECT_EQ(contentOf(plain), before);
    EXPECT_EQ(xmlfile::RetornarVerificador(plain), QString());
}

TEST_F(DeliveryFile, CheckFailuresHaveTheirTexts)
{
    writeFile(m_file, "<arquivo><cabecalho>");
    try {
        xmlfile::ConferirHash(m_file);
        FAIL() << "sem erro";
    } catch (const Error& e) {
        EXPECT_EQ(e.userText(), QStringLiteral("Erro ao conferir o hash!"));
    }
    try {
        xmlfile::RetirarValidador(m_file);
        FAIL() << "sem erro";
    } catch (const Error& e) {
        EXPECT_TRUE(e.userText().startsWith(QStringLiteral("Não foi possível retirar o validador do arquivo.\r\n")));
    }
    try {
        xmlfile::RetornarProtocolo(m_file);
        FAIL() << "sem erro";
    } catch (const Error& e) {
        EXPECT_EQ(e.userText(), QStringLiteral("Não foi possível retornar informação solicitada:\r\n- Protocolo"));
    }
    try {
        xmlfile::RetornarDados(m_file);
        FAIL() << "sem erro";
    } catch (const Error& e) {
        EXPECT_EQ(e.userText(), QStringLiteral("Não foi possível retornar valor dos dados"));
    }
}

TEST_F(DeliveryFile, StampingFailureIsShownAndReturnsFalse)
{
    writeFile(m_file, "isto não é XML");
    ScriptedPrompts prompts;
    EXPECT_FALSE(xmlfile::GravarVerificador(m_file, prompts));
    ASSERT_EQ(prompts.shown().size(), 1);
    EXPECT_TRUE(prompts.shown()[0].startsWith(QStringLiteral("erro: Arquivo XML inválido: ")))
        << prompts.shown()[0].toStdString();
}

TEST_F(DeliveryFile, ProtocolAndDataReadBack)
{
    EXPECT_EQ(xmlfile::RetornarProtocolo(m_file), QString());
    pugi::xml_document document;
    xmlpass::load(document, m_file);
    document.document_element().child("cabecalho").child("protocolo").child("numero").text().set("2005000123");
    xmlpass::save(document, m_file);
    EXPECT_EQ(xmlfile::RetornarProtocolo(m_file), QStringLiteral("2005000123"));
    EXPECT_EQ(xmlfile::RetornarDados(m_file), QString());
}

TEST_F(DeliveryFile, EncryptionLeavesOneDataLineThenTheRootEndTag)
{
    const RsaKeyPair pair = RsaKeyPair::generate();
    xmlfile::CriptografarDados(m_file, pair.publicKey);
    const QByteArray bytes = contentOf(m_file);
    const QList<QByteArray> lines = bytes.split('\n');
    ASSERT_GE(lines.size(), 3);
    EXPECT_TRUE(lines[lines.size() - 3].startsWith("<dados>"));
    EXPECT_TRUE(lines[lines.size() - 3].endsWith("</dados>\r"));
    EXPECT_EQ(lines[lines.size() - 2], QByteArray("</arquivo>\r"));
    EXPECT_TRUE(lines.last().isEmpty());
    EXPECT_EQ(bytes.count("<dados>"), 1);

    // The plaintext runs from the first child's start tag to the last child's end tag.
    const QByteArray plain = rsa::decrypt(xmlfile::RetornarDados(m_file).toLatin1(), pair.privateKey);
    EXPECT_TRUE(plain.startsWith("<dados_iniciais>"));
    EXPECT_TRUE(plain.endsWith("</socios>"));
    EXPECT_TRUE(plain.contains("A\xE7\xE3o"));

    // Stamped after encryption, the file checks.
    stamp();
    EXPECT_TRUE(xmlfile::ConferirHash(m_file));
}

TEST_F(DeliveryFile, FileWithoutDataSectionIsLeftUnchanged)
{
    const RsaKeyPair pair = RsaKeyPair::generate();
    writeFile(m_file, "<?xml version=\"1.0\"?>\r\n<arquivo>\r\n<cabecalho></cabecalho>\r\n</arquivo>\r\n");
    const QByteArray before = contentOf(m_file);
    EXPECT_THROW(xmlfile::CriptografarDados(m_file, pair.publicKey), Error);
    EXPECT_EQ(contentOf(m_file), before);
    writeFile(m_file, "<arquivo>\r\n<dados>\r\n<x>1</x>\r\n");
    EXPECT_THROW(xmlfile::CriptografarDados(m_file, pair.publicKey), Error);
}

TEST(DeliveryCryptoTest, KeysLoadedPerCallAndFailuresShown)
{
    QTemporaryDir dir;
    const QString keys = dir.filePath("BIN");
    RsaKeyPair::generate().save(keys);
    const QString file = dir.filePath("f.xml");
    ASSERT_TRUE(xmlfile::GerarArquivoXML(file, requestHeader(), kData));

    ScriptedPrompts prompts;
    DeliveryCrypto crypto(keys, prompts);
    EXPECT_TRUE(crypto.CriptografarArquivo(file));
    const QByteArray plain = crypto.DescriptografarTexto(xmlfile::RetornarDados(file).toLatin1());
    EXPECT_TRUE(plain.startsWith("<dados_iniciais>"));

    // A broken private key: encryption fails too, because both keys are loaded first.
    const QString other = dir.filePath("g.xml");
    ASSERT_TRUE(xmlfile::GerarArquivoXML(other, requestHeader(), kData));
    const QByteArray before = contentOf(other);
    writeFile(QDir(keys).filePath("PrivateKey.dat"), QByteArray::fromHex("3100"));
    prompts.expectError(QStringLiteral("Invalid RSA Key")).expectError(QStringLiteral("Invalid RSA Key"));
    EXPECT_FALSE(crypto.CriptografarArquivo(other));
    EXPECT_EQ(contentOf(other), before);
    EXPECT_TRUE(crypto.DescriptografarTexto("AAAA").isEmpty());
    EXPECT_TRUE(prompts.allMet()) << prompts.failures().join('\n').toStdString();
}
