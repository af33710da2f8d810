#include "Error.h"
#include "delivery/ManipulaXml.h"
#include "delivery/RsaBlockCipher.h"
#include "delivery/RsaKey.h"
#include "delivery/XmlLibraryPass.h"
#include "platform/ScriptedPrompts.h"

#include <QTemporaryDir>

#include <openssl/evp.h>

#include <gtest/gtest.h>

#include "../support/TestFiles.h"

using namespace jx;
using namespace jxtest;

namespace {

const RsaKeyPair& keys()
{
    static const RsaKeyPair pair = RsaKeyPair::generate();
    return pair;
}

QByteArray crLf(QByteArray text)
{
    return text.replace("\n", "\r\n");
}

QByteArray sha1Upper(const QByteArray& bytes)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(bytes.constData(), size_t(bytes.size()), digest, &length, EVP_sha1(), nullptr);
    return QByteArray(reinterpret_cast<const char*>(digest), int(length)).toHex().toUpper();
}

QByteArray between(const QByteArray& bytes, const char* open, const char* close)
{
    const qsizetype from = bytes.indexOf(open) + qsizetype(strlen(open));
    return bytes.mid(from, bytes.indexOf(close, from) - from);
}

// Stamping the way the library pass defines it, written twice: the digest of the tree without
// a verifier, then the tree with it.
QByteArray stampedTwice(const QByteArray& content)
{
    pugi::xml_document document;
    xmlpass::loadBytes(document, content);
    pugi::xml_node header = document.document_element().child("cabecalho");
    while (pugi::xml_node old = header.child("verificador_integridade"))
        header.remove_child(old);
    const QByteArray digest = sha1Upper(xmlpass::bytesOf(document));
    header.append_child("verificador_integridade").text().set(digest.constData());
    return xmlpass::bytesOf(document);
}

} // namespace

TEST(EnvelopeSeal, SealedFileIsTheHandWrittenLayout)
{
    TInfCabecalho header;
    header.tipo_identificador = QStringLiteral("CNPJ");
    header.identificador = QStringLiteral("11222333000181");
    header.tipo_arquivo = QStringLiteral("6");
    header.versao_programa_gerador = QStringLiteral("1.00.01");
    header.data_inicial = header.data_final = QDate(2005, 3, 7);
    header.indicativo_substituicao = QStringLiteral("N");
    const QByteArray plain = xmlfile::fileBytes(
        header, QStringLiteral("<socios>\r\n<socio><nome>JOÃO</nome></socio>\r\n</socios>\r\n"));
    const QByteArray sealed = xmlfile::sealedBytes(plain, keys().publicKey, QStringLiteral("f.xml"));

    const QByteArray cipher = between(sealed, "<dados>", "</dados>");
    EXPECT_EQ(rsa::decrypt(cipher, keys().privateKey),
        crLf("<socios>\n      <socio>\n        <nome>JO\xC3O</nome>\n      </socio>\n    </socios>"));
    const QByteArray unstamped = crLf("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                                      "<arquivo>\n"
                                      "  <cabecalho>\n"
                                      "    <tipo_identificador>CNPJ</tipo_identificador>\n"
                                      "    <identificador>11222333000181</identificador>\n"
                                      "    <tipo_arquivo>6</tipo_arquivo>\n"
                                      "    <versao_programa_gerador>1.00.01</versao_programa_gerador>\n"
                                      "    <periodo_referencia>\n"
                                      "      <data_inicial>07/03/2005</data_inicial>\n"
                                      "      <data_final>07/03/2005</data_final>\n"
                                      "    </periodo_referencia>\n"
                                      "    <substituicao>\n"
                                      "      <indicativo_substituicao>N</indicativo_substituicao>\n"
                                      "      <protocolo_substituicao></protocolo_substituicao>\n"
                                      "    </substituicao>\n"
                                      "    <protocolo>\n"
                                      "      <data></data>\n"
                                      "      <hora></hora>\n"
                                      "      <numero></numero>\n"
                                      "    </protocolo>\n"
                                      "    <complemento></complemento>\n"
                                      "@@  </cabecalho>\n"
                                      "  <dados>@@</dados>\n"
                                      "</arquivo>\n");
    QByteArray withoutVerifier = unstamped;
    withoutVerifier.replace("@@  </cabecalho>", "  </cabecalho>").replace("@@", cipher);
    QByteArray expected = unstamped;
    expected.replace("@@  </cabecalho>",
                "    <verificador_integridade>" + sha1Upper(withoutVerifier)
                    + "</verificador_integridade>\r\n  </cabecalho>")
        .replace("@@", cipher);
    EXPECT_EQ(sealed, expected);

    // The file route writes the same layout, and what it writes checks.
    QTemporaryDir dir;
    const QString file = dir.filePath("f.xml");
    ASSERT_TRUE(writeFile(file, sealed));
    EXPECT_TRUE(xmlfile::ConferirHash(file));
}

TEST(EnvelopeSeal, OneWritingStampsAsTwoWould)
{
    const QByteArray verifierLookAlike = "<complemento><![CDATA[\r\n    <verificador_integridade>"
        + QByteArray(40, '0') + "</verificador_integridade>\r\n  </cabecalho>]]></complemento>";
    const QByteArray cases[] = {
        // As generated, and stamped before (the old verifier goes).
        "<arquivo><cabecalho><a>1</a></cabecalho><dados><x>1</x></dados></arquivo>",
        "<arquivo><cabecalho><a>1</a><verificador_integridade>AB</verificador_integridade>"
        "<verificador_integridade>CD</verificador_integridade></cabecalho><dados>x</dados></arquivo>",
        // Text last in the header, or nothing but text, or nothing at all.
        "<arquivo><cabecalho><a>1</a>texto</cabecalho><dados>x</dados></arquivo>",
        "<arquivo><cabecalho>texto</cabecalho><dados>x</dados></arquivo>",
        "<arquivo><cabecalho><![CDATA[dado]]></cabecalho><dados>x</dados></arquivo>",
        "<arquivo><cabecalho></cabecalho><dados>x</dados></arquivo>",
        "<arquivo><cabecalho><verificador_integridade>AB</verificador_integridade></cabecalho></arquivo>",
        // The verifier's own line written elsewhere by the library.
        "<arquivo><cabecalho><a>1</a>" + verifierLookAlike + "</cabecalho></arquivo>",
        "<arquivo><cabecalho>" + verifierLookAlike + "</cabecalho></arquivo>",
        // A header further down, a look-alike header nested, attributes, a deeper verifier.
        "<arquivo><outro><cabecalho><a>1</a></cabecalho></outro><cabecalho t=\"1\"><b>2</b>"
        "<c><verificador_integridade>X</verificador_integridade></c></cabecalho></arquivo>",
    };
    for (const QByteArray& content : cases) {
        EXPECT_EQ(xmlfile::stampedBytes(content, QStringLiteral("f.xml")), stampedTwice(content)) << content.constData();
        // The file route writes the same.
        QTemporaryDir dir;
        const QString file = dir.filePath("f.xml");
        ASSERT_TRUE(writeFile(file, content));
        ScriptedPrompts prompts;
        ASSERT_TRUE(xmlfile::GravarVerificador(file, prompts));
        EXPECT_EQ(contentOf(file), stampedTwice(content)) << content.constData();
    }
    EXPECT_EQ(errorOf([] { xmlfile::stampedBytes("<arquivo><dados>x</dados></arquivo>", QStringLiteral("f.xml")); }),
        QStringLiteral("O arquivo f.xml não tem cabeçalho."));
}

TEST(EnvelopeSeal, DataSectionReadAsTheLinesGive)
{
    const std::pair<QByteArray, QByteArray> cases[] = {
        { "<arquivo>\r\n  <dados>\r\n    <a>1</a>\r\n    <b>2</b>\r\n  </dados>\r\n</arquivo>\r\n",
            "<a>1</a>\r\n    <b>2</b>" },
        // Other line ends become CR LF.
        { "<arquivo>\n<dados>\n<a>1</a>\n<b>2</b>\n</dados>\n</arquivo>\n", "<a>1</a>\r\n<b>2</b>" },
        { "<arquivo>\r<dados>\r<a>1</a>\r<b>2</b>\r</dados>\r</arquivo>\r", "<a>1</a>\r\n<b>2</b>" },
        { "<arquivo>\r\n<dados>\r\n<a>1</a>\n<b>2</b>\r\n</dados>\r\n</arquivo>\r\n", "<a>1</a>\r\n<b>2</b>" },
        { "<arquivo>\r\n<dados><a>1</a>\n<b>2</b>\r\n</dados>\r\n</arquivo>\r\n", "<a>1</a>\r\n<b>2</b>" },
        // What stands before the start tag is kept; what stands before the end tag is not.
        { "<arquivo>\r\n<x/> <dados>abc\r\n<d/>\r\nfim</dados>\r\n</arquivo>\r\n", "<x/> abc\r\n<d/>" },
        // A section on one line.
        { "<arquivo>\r\n  <dados>  texto </dados>\r\n</arquivo>\r\n", "texto" },
        { "<arquivo>\r\n<x/><dados>abc</dados>\r\n</arquivo>\r\n", "<x/>abc" },
        { "<arquivo>\r\n  <dados>\r\n  </dados>\r\n</arquivo>\r\n", "" },
    };
    for (const auto& [content, plain] : cases) {
        const QByteArray encrypted = xmlfile::encryptedBytes(content, keys().publicKey);
        const QByteArray cipher = between(encrypted, "<dados>", "</dados>");
        EXPECT_EQ(rsa::decrypt(cipher, keys().privateKey), plain) << content.constData();
        const qsizetype headerEnd = content.indexOf("<dados>");
        QByteArray before = content.left(content.lastIndexOf('\n', headerEnd) + 1);
        if (before.isEmpty())
            before = content.left(content.lastIndexOf('\r', headerEnd) + 1);
        before.replace("\r\n", "\n").replace('\r', '\n');
        EXPECT_EQ(encrypted, crLf(before) + "<dados>" + cipher + "</dados>\r\n</arquivo>\r\n") << content.constData();
    }
    for (const QByteArray& unfinished :
        { QByteArray("<arquivo>\r\n<dados>\r\n<x>1</x>\r\n"), QByteArray("<arquivo>\n<dados>\n<x>1</x>\n"),
            QByteArray("<arquivo>\r\n</arquivo>\r\n") }) {
        EXPECT_EQ(errorOf([&] { xmlfile::encryptedBytes(unfinished, keys().publicKey); }), xmlfile::kNoDataSectionText)
            << unfinished.constData();
    }
}
