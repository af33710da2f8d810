// The data sections of the delivery files and the generation of the files themselves.

#include "Error.h"
#include "delivery/DataLayouts.h"
#include "delivery/DeliveryCrypto.h"
#include "delivery/FileGeneration.h"
#include "delivery/ManipulaXml.h"
#include "delivery/RsaKey.h"
#include "enablements/EnablementLifecycle.h"
#include "requests/Persons.h"

#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include "../support/RequestFixture.h"

using namespace jx;
using namespace jxtest;
using L = DataLayouts;

namespace {

std::string joined(const QStringList& lines)
{
    return lines.join(u'\n').toStdString();
}

// The text of every leaf, in order, as "path=value", read back by an XML reader.
QStringList readBack(const QStringList& lines)
{
    QXmlStreamReader xml(QStringLiteral("<dados>") + lines.join(u'\n') + QStringLiteral("</dados>"));
    QStringList path;
    QStringList out;
    QString text;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            path << xml.name().toString();
            text.clear();
        } else if (xml.isCharacters()) {
            text += xml.text();
        } else if (xml.isEndElement()) {
            if (!text.trimmed().isEmpty())
                out << path.mid(1).join(u'/') + u'=' + text;
            text.clear();
            path.removeLast();
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return out;
}

class Layouts : public RequestFixture {
protected:
    void SetUp() override
    {
        RequestFixture::SetUp();
        m_persons = std::make_unique<Persons>(*m_jx, m_prompts, m_life->addresses());
    }

    void addPartner(const QString& id, const QVariant& share)
    {
        m_persons->beginAdd(Persons::Kind::Partner);
        RecordSet& p = *m_jx->cdsSolicitacao_IE_Socio;
        p.setValue("TIPO_IDENTIFICACAO", 4);
        p.setValue("IDENTIFICACAO", id);
        p.setValue("RESPONSAVEL_MASTER", "N");
        p.setValue("PARTICIPACAO", share);
        p.setValue("PARTICIPACAO_DATA_INICIO", QDate(2005, 2, 1));
        typeAddress(*m_jx->cdsIESocioEnd);
        ASSERT_TRUE(m_persons->store(Persons::Kind::Partner));
    }

    QStringList lines()
    {
        DataLayouts layouts(*m_jx);
        return layouts.MontarDadosSolicitacao();
    }

    std::unique_ptr<Persons> m_persons;
};

} // namespace

TEST(ValueForms, AtTheirEdges)
{
    EXPECT_EQ(L::wholeText(QVariant()), "");
    EXPECT_EQ(L::wholeText(qint64(1147)), "1147");
    EXPECT_EQ(L::wholeText(1147.0), "1147");
    EXPECT_EQ(L::realText(50.0), "50");
    EXPECT_EQ(L::realText(12.5), "12,5");
    EXPECT_EQ(L::realText(33.333333333333336), "33,3333333333333");
    EXPECT_EQ(L::realText(QVariant()), "");
    EXPECT_EQ(L::moneyText(qint64(1)), "0,0001");
    EXPECT_EQ(L::moneyText(qint64(12345000)), "1234,5");
    EXPECT_EQ(L::moneyText(qint64(10000000)), "1000");
    EXPECT_EQ(L::moneyText(qint64(-15000)), "-1,5");
    EXPECT_EQ(L::moneyText(QVariant()), "");
    EXPECT_EQ(L::dateTimeText("2026-12-09 00:00:00"), "09/12/2026");
    EXPECT_EQ(L::dateTimeText("2026-12-09 00:00:01"), "09/12/2026 00:00:01");
    EXPECT_EQ(L::dateTimeText("2026-12-09"), "09/12/2026");
    EXPECT_EQ(L::dateTimeText(QDateTime(QDate(2026, 1, 2), QTime(23, 5, 9))), "02/01/2026 23:05:09");
    EXPECT_EQ(L::dateText("2026-12-09 10:11:12"), "09/12/2026");
    EXPECT_EQ(L::dateTimeText(QVariant()), "");
    // N drops accents and brackets; N1 keeps accents and escapes; raw values escape.
    EXPECT_EQ(L::normalised(QStringLiteral("São João & <Cia>")), "Sao Joao &amp; (Cia)");
    EXPECT_EQ(L::receiptText(QStringLiteral("Recibo: São & <x>")), "Recibo: São &amp; &lt;x&gt;");
    EXPECT_EQ(L::escaped(QStringLiteral("</cnpj><cnpj>1 & 2")), "&lt;/cnpj&gt;&lt;cnpj&gt;1 &amp; 2");
    // Text where a number belongs (a file of another program) is escaped too.
    EXPECT_EQ(L::wholeText(QStringLiteral("1</cae><cae>2")), "1&lt;/cae&gt;&lt;cae&gt;2");
    EXPECT_EQ(L::wholeText(qint64(9007199254740993)), "9007199254740993");
}

TEST(ValueForms, MidnightStaysMidnightWhereTheClockSkipsIt)
{
    // 3 October 1999 began at 01:00 in Brasília: the date must not gain an hour.
    const QByteArray before = qgetenv("TZ");
    qputenv("TZ", "America/Sao_Paulo");
    tzset();
    EXPECT_EQ(L::dateTimeText("1999-10-03"), "03/10/1999");
    EXPECT_EQ(L::dateTimeText("1999-10-03 00:00:00"), "03/10/1999");
    EXPECT_EQ(L::dateTimeText("2018-11-04 00:30:00"), "04/11/2018 00:30:00");
    EXPECT_EQ(L::momentDigits("1999-10-03"), "19991003000000");
    if (before.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", before);
    tzset();
}

TEST_F(Layouts, ANewRequestHasEveryAlwaysElementAndNoOptionalOne)
{
    ASSERT_EQ(create("11222333000181").outcome, RequestLifecycle::Confirmation::Outcome::Opened);
    RecordSet& r = *m_jx->cdsSolicitacaoIE;
    r.setValue("DATACRIACAO", QDateTime(QDate(2026, 12, 9), QTime(10, 20, 30)));
    r.setValue("RECEITA_BRUTA", "1234,50");
    const QStringList l = lines();
    EXPECT_EQ(l.first(), "<solicitacao data=\"\" status=\"\" datacriacao=\"09/12/2026 10:20:30\">");
    EXPECT_TRUE(l.contains("<cnpj>11222333000181</cnpj>"));
    EXPECT_TRUE(l.contains("<localizacao>QZ</localizacao>"));
    EXPECT_TRUE(l.contains("<nire></nire>"));
    EXPECT_TRUE(l.contains("<desmembramento_cnaef_principal></desmembramento_cnaef_principal>"));
    EXPECT_TRUE(l.contains("<limite_receita_bruta_anual_prevista>1234,5</limite_receita_bruta_anual_prevista>"));
    EXPECT_TRUE(l.contains("<nome_fantasia></nome_fantasia>"));
    EXPECT_TRUE(l.filter("natureza_juridica").isEmpty());
    EXPECT_TRUE(l.filter("nome_empresarial").isEmpty());
    EXPECT_TRUE(l.filter("ident_contabilista").isEmpty());
    EXPECT_TRUE(l.filter("situacao_especial").isEmpty());
    EXPECT_TRUE(l.filter("correspondencia").isEmpty());
    EXPECT_TRUE(l.filter("socio").isEmpty());
    EXPECT_TRUE(l.filter("entrega").isEmpty());
    EXPECT_TRUE(l.filter("ie_incorporadas").isEmpty());
    EXPECT_EQ(l.filter("<comunicacao>").size(), 1); // the establishment's, even empty
    EXPECT_EQ(l.last(), "</solicitacao>");
    EXPECT_EQ(l.filter(QRegularExpression("^<(cep|uf|municipio|numero|des_complemento6)>")).size(), 5);
    // The vínculo is written by its description, the localisation by its name.
    EXPECT_EQ(l.filter("<incorporacao_fusao_cisao_total>").size(), 1);
    EXPECT_FALSE(l.contains("<incorporacao_fusao_cisao_total></incorporacao_fusao_cisao_total>"));
    r.setValue("LOCALIZACAO", 99);
    r.setValue("VINCULO", 98);
    const QStringList other = lines();
    EXPECT_TRUE(other.contains("<localizacao>Outra UF</localizacao>"));
    EXPECT_TRUE(other.contains("<incorporacao_fusao_cisao_total></incorporacao_fusao_cisao_total>"));
    readBack(other);
}

TEST_F(Layouts, PartnersResponsiblesLinkedRowsAndDeliveriesInTheirOrder)
{
    ASSERT_EQ(create("11222333000181").outcome, RequestLifecycle::Confirmation::Outcome::Opened);
    RecordSet& r = *m_jx->cdsSolicitacaoIE;
    r.setValue("NOME_EMPRESARIAL", QStringLiteral("SÃO & <FILHOS>"));
    r.setValue("ORGAO_LICENCIADOR", "QZ</x><y>");
    r.setValue("ID_SITUACAO_ESPESCIAL", 2);
    r.setValue("PROCESSO_NUMERO", "12&3");
    r.setValue("PROCESSO_DATA_INICIO", QDate(2026, 1, 2));
    r.setValue("DOCUMENTO_CONTABILISTA_TIPO", 4);
    r.setValue("DOCUMENTO_CONTABILISTA_NUMERO", "52998224725");
    r.setValue("ID_DESMEMBRAMENTO1", 7);
    typeAddress(*m_jx->cdsSolicIEEndEstab);
    m_jx->cdsSolicIEEndEstab->setValue("LOCALIDADE", QStringLiteral("  BRASÍLIA  "));
    m_jx->cdsSolicIEEndEstab->setValue("NUMERO", "1&<2");
    ASSERT_TRUE(save().saved) << m_prompts.shown().join('\n').toStdString();
    m_life->beginEdit();
    for (const auto& [id, share] : { std::pair { "52998224725", QVariant(50.0) },
             std::pair { "11144477735", QVariant(12.5) }, std::pair { "39053344705", QVariant() } })
        addPartner(QString::fromLatin1(id), share);
    m_persons->beginAdd(Persons::Kind::Responsible);
    m_jx->cdsSolicitacao_IE_Responsavel->setValue("IDENTIFICACAO", "87748248800");
    m_jx->cdsSolicitacao_IE_Responsavel->setValue("ID_FUNCAO", 1);
    ASSERT_TRUE(m_persons->store(Persons::Kind::Responsible));
    const qint64 id = r.value("ID_SOLICITACAO").toLongLong();
    {
        db::Statement s = m_db->connection().prepare(
            "INSERT INTO ENTREGAS (SOLICITACAO_ID, NUMEROPROTOCOLO, FORMAENTREGA, DATAHORAPROTOCOLO, RECIBO) VALUES "
            "(?, ?, ?, ?, ?)");
        for (int n = 1; n <= 2; ++n) {
            s.reset();
            s.bind(1, id);
            s.bind(2, QStringLiteral("P%1").arg(n));
            s.bind(3, n == 1 ? "D" : "T");
            s.bind(4, n == 1 ? "2026-12-09 00:00:00" : "2026-12-09 08:00:01");
            s.bind(5, QByteArray("Recebido em Bras\xEDlia \x96 \x93" "ZKF\x94 & <x>\r\nfim"));
            s.run();
        }
        db::Statement other = m_db->connection().prepare("INSERT INTO ENTREGAS (SOLICITACAO_ID) VALUES (?)");
        other.bind(1, id + 1);
        other.run();
    }
    m_jx->cdsSolicitacao_IE_Socio->moveTo(0); // the walk starts from the first whatever the cursor

    const QStringList l = lines();
    const QStringList leaves = readBack(l);
    EXPECT_TRUE(leaves.contains("solicitacao/identificacao/nome_empresarial=SAO & (FILHOS)")) << joined(leaves);
    EXPECT_TRUE(leaves.contains(
        "solicitacao/qualificacao/numero_registro_orgao_licenciador=QZ</x><y>"));
    EXPECT_TRUE(leaves.contains("solicitacao/identificacao/situacao_especial/numero_processo=12&3"));
    EXPECT_TRUE(l.contains("<situacao_especial situacao=\"2\">"));
    EXPECT_TRUE(leaves.contains("solicitacao/dados_iniciais/ident_contabilista_empresa_contabil/numero=52998224725"));
    EXPECT_TRUE(l.contains("<desmembramento_cnaef_principal>7</desmembramento_cnaef_principal>"));
    EXPECT_TRUE(leaves.contains("solicitacao/endereco_comunicacao/estabelecimento/municipio=BRASILIA"));
    EXPECT_TRUE(leaves.contains("solicitacao/endereco_comunicacao/estabelecimento/numero=1&<2"));
    EXPECT_TRUE(leaves.contains("solicitacao/endereco_comunicacao/estabelecimento/uf=QZ"));
    EXPECT_EQ(leaves.filter("socio/dados_cadastrais/identificacao/numero=").join(u','),
        "solicitacao/socio/dados_cadastrais/identificacao/numero=52998224725,"
        "solicitacao/socio/dados_cadastrais/identificacao/numero=11144477735,"
        "solicitacao/socio/dados_cadastrais/identificacao/numero=39053344705");
    EXPECT_EQ(l.filter("<percentual>").join(u','), "<percentual>50</percentual>,<percentual>12,5</percentual>,<percentual></percentual>");
    EXPECT_EQ(l.filter("<socio>").size(), 3);
    EXPECT_EQ(l.filter("<responsavel>").size(), 1);
    EXPECT_TRUE(leaves.contains("solicitacao/responsavel/cpf=87748248800"));
    // Deliveries after the request, its own only, in their order; the receipt, stored in
    // Windows-1252, keeps its accents and typographic marks.
    const int end = int(l.indexOf("</solicitacao>"));
    EXPECT_EQ(l.filter("<entrega>").size(), 2);
    EXPECT_EQ(l.indexOf("<entrega>"), end + 1);
    EXPECT_EQ(l.filter("<num_protocolo>").join(u','), "<num_protocolo>P1</num_protocolo>,<num_protocolo>P2</num_protocolo>");
    EXPECT_TRUE(l.contains("<data_hora_protocolo>09/12/2026</data_hora_protocolo>"));
    EXPECT_TRUE(l.contains("<data_hora_protocolo>09/12/2026 08:00:01</data_hora_protocolo>"));
    EXPECT_TRUE(l.join(u'\n').contains(QStringLiteral("<recibo>Recebido em Brasília – “ZKF” &amp; &lt;x&gt;\r\nfim</recibo>")));
    m_persons->discard(Persons::Kind::Partner);
}

TEST_F(Layouts, AControlCharacterRefusesTheFilingNotTheFile)
{
    ASSERT_EQ(create("11222333000181").outcome, RequestLifecycle::Confirmation::Outcome::Opened);
    m_jx->cdsSolicitacaoIE->setValue("NOME_FANTASIA", QStringLiteral("A\x01B"));
    DataLayouts layouts(*m_jx);
    EXPECT_THROW(layouts.MontarDadosSolicitacao(), Error);
    m_jx->cdsSolicitacaoIE->setValue("NOME_FANTASIA", QVariant());
    // A quote cannot add an attribute.
    m_jx->cdsSolicitacaoIE->setValue("STATUS", "\"");
    EXPECT_EQ(layouts.MontarDadosSolicitacao().first().count(u'"'), 6);
}

TEST_F(Layouts, AnEnablementWithAndWithoutAddressAndContact)
{
    EnablementLifecycle life(*m_jx, m_prompts);
    ASSERT_TRUE(life.beginNew());
    RecordSet& e = *m_jx->cdsSolicitacao_Contab;
    e.setValue("TIPO_IDENTIFICACAO", 3);
    e.setValue("IDENTIFICACAO", "11222333000181");
    e.setValue("EMAIL_RESPONSAVEL", QStringLiteral("joão&maria@x.com"));
    e.setValue("DATACRIACAO", QDateTime(QDate(2026, 12, 9), QTime(0, 0)));
    m_jx->cdsSolicitacao_Contab_Com->cancelUpdates();
    m_jx->cdsSolicitacao_Contab_End->cancelUpdates();
    DataLayouts layouts(*m_jx);
    const QStringList bare = layouts.MontarDadosHabilitacao();
    EXPECT_EQ(joined(bare),
        joined({ "<habilitacao data=\"\" status=\"\" datacriacao=\"09/12/2026\">", "<identificacao>", "<tipo>3</tipo>",
            "<numero>11222333000181</numero>", "</identificacao>", "<crc>", "<uf></uf>", "<numero></numero>",
            "<identificador></identificador>", "</crc>", "<responsavel>", "<cpf></cpf>",
            "<e_mail>joao&amp;maria@x.com</e_mail>", "<data_nascimento></data_nascimento>", "</responsavel>",
            "</habilitacao>" }));
    m_jx->cdsSolicitacao_Contab_End->append();
    m_jx->cdsSolicitacao_Contab_Com->append();
    const QStringList full = layouts.MontarDadosHabilitacao();
    EXPECT_EQ(full.filter("<endereco>").size(), 1);
    EXPECT_EQ(full.filter("<comunicacao>").size(), 1);
    EXPECT_EQ(full.size(), bare.size() + 2 + 21 + 2 + 5);
    life.abandon();
}

TEST_F(Layouts, GenerationWritesVerifiedFilingsAndRefusesTheOthers)
{
    RsaKeyPair::generate().save(m_folder.path() + "/BIN");
    // Three requests; the middle one complete enough to pass, the others not.
    for (const char* cnpj : { "11222333000181", "33344455000183", "44455566000183" }) {
        ASSERT_EQ(create(QString::fromLatin1(cnpj), "1234567890107").outcome, RequestLifecycle::Confirmation::Outcome::Opened);
        typeAddress(*m_jx->cdsSolicIEEndEstab);
        ASSERT_TRUE(save().saved);
    }
    RecordSet& r = *m_jx->cdsSolicitacaoIE;
    ASSERT_TRUE(r.locate("CNPJ", "33344455000183"));
    m_life->beginEdit();
    typeActivityEssentials();
    ASSERT_TRUE(m_life->save({ "01/02/2005", "", "" }).saved);
    ASSERT_EQ(r.text("STATUS"), "C");
    const QString middle = r.value("ID_SOLICITACAO").toString();

    m_jx->TipoAtual = 1;
    FileGeneration generation(*m_jx, m_folder.path());
    QStringList ids;
    QStringList failures;
    const QStringList files = generation.GerarArquivos({ 2, 1, 0 }, ids, QString(), failures);
    ASSERT_EQ(files.size(), 1);
    EXPECT_EQ(ids, QStringList { middle });
    EXPECT_EQ(failures.size(), 2);
    EXPECT_FALSE(failures.contains(middle));
    EXPECT_EQ(count("SELECT count(*) FROM SOLICITACAO_IE WHERE STATUS = 'I'"), 2);
    const QString expectedName = QStringLiteral("JXSCNPJ33344455000183")
        + QDateTime::fromString(r.value("DATACRIACAO").toString(), "yyyy-MM-dd HH:mm:ss").toString("yyyyMMddHHmmss")
        + ".xml";
    EXPECT_EQ(QFileInfo(files.first()).fileName(), expectedName);
    EXPECT_EQ(QFileInfo(files.first()).absolutePath(), QFileInfo(m_folder.path() + "/Temp").absoluteFilePath());
    // The file carries the header of a branch and the data lines, plain.
    QFile file(files.first());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.contains("<tipo_identificador>IE</tipo_identificador>"));
    EXPECT_TRUE(bytes.contains("<identificador>1234567890107</identificador>"));
    EXPECT_TRUE(bytes.contains("<tipo_arquivo>8</tipo_arquivo>"));
    EXPECT_TRUE(bytes.contains("<cnpj>33344455000183</cnpj>"));
    TInfArquivo info;
    EXPECT_TRUE(LerNomeArquivo(expectedName, info));

    // Again: the same name, the file replaced. Encrypted, it decrypts to the data lines.
    ASSERT_TRUE(r.locate("CNPJ", "33344455000183"));
    ids.clear();
    failures.clear();
    EXPECT_EQ(generation.GerarArquivos({}, ids, QString(), failures), files);
    EXPECT_TRUE(failures.isEmpty());
    DataLayouts layouts(*m_jx);
    const QStringList dataLines = layouts.MontarDadosSolicitacao();
    ASSERT_TRUE(m_jx->crypto().CriptografarArquivo(files.first()));
    const QByteArray plain = m_jx->crypto().DescriptografarTexto(xmlfile::RetornarDados(files.first()).toLatin1());
    // The library's pass indents the lines by depth; they are otherwise the layout's.
    QStringList decrypted = QString::fromLatin1(plain).trimmed().split(QStringLiteral("\r\n"));
    for (QString& line : decrypted)
        line = line.trimmed();
    EXPECT_EQ(joined(decrypted), joined(dataLines));

    // Pending changes elsewhere in the set: refused, nothing written or applied.
    ASSERT_TRUE(r.locate("CNPJ", "11222333000181"));
    r.setValue("NOME_FANTASIA", "TYPED");
    EXPECT_THROW(generation.GerarArquivos({}, ids, QString(), failures), Error);
    r.cancelUpdates();
    ASSERT_TRUE(r.locate("CNPJ", "33344455000183"));

    // Without the keys nothing is written.
    QFile::remove(m_folder.path() + "/BIN/PrivateKey.dat");
    ids.clear();
    failures.clear();
    EXPECT_TRUE(generation.GerarArquivos({}, ids, QString(), failures).isEmpty());
    EXPECT_EQ(failures, QStringList { middle });
    EXPECT_TRUE(ids.isEmpty());
}

TEST(FileNames, RecognisedAndRefused)
{
    TInfArquivo info;
    ASSERT_TRUE(LerNomeArquivo("JXSCNPJ1122233300018120261209102030.xml", info));
    EXPECT_EQ(info.tipoIdentificador, "CNPJ");
    EXPECT_EQ(info.identificador, "11222333000181");
    EXPECT_EQ(info.tipo, "S");
    EXPECT_EQ(info.extensao, ".xml");
    EXPECT_EQ(info.data, "09/12/2026");
    EXPECT_EQ(info.hora, "10:20:30");
    ASSERT_TRUE(LerNomeArquivo("JXHCPF5299822472520261209102030.XML", info));
    EXPECT_EQ(info.tipo, "H");
    EXPECT_EQ(info.identificador, "52998224725");
    EXPECT_EQ(info.extensao, ".xml");
    EXPECT_TRUE(LerNomeArquivo("JXSCNPJ0000000000000020261209102030.xml", info)); // only the check digits count
    EXPECT_FALSE(LerNomeArquivo("JXSCNPJ1122233300018220261209102030.xml", info)); // wrong check digit
    EXPECT_FALSE(LerNomeArquivo("JXSCNPJ1122233300018120260231102030.xml", info)); // 31/02
    EXPECT_FALSE(LerNomeArquivo("JXSCNPJ1122233300018120261209246030.xml", info)); // 24:60
    EXPECT_FALSE(LerNomeArquivo("JXSCNPJ1122233300018120261209102030.txt", info));
    EXPECT_FALSE(LerNomeArquivo("XXSCNPJ1122233300018120261209102030.xml", info));
    ASSERT_TRUE(LerNomeArquivo("JX20261209102030.bkp", info));
    EXPECT_EQ(info.tipo, "B");
    EXPECT_EQ(info.data, "09/12/2026");
    EXPECT_FALSE(LerNomeArquivo("JX20261209102030.xml", info));
    EXPECT_FALSE(LerNomeArquivo("JX2026120910.bkp", info));
    // Exactly the prefix, 14 digits and the extension: a kind letter or more text is no copy.
    for (const char* other : { "JX20051225101112S.bkp", "JX20051225101112H.bkp", "JX20051225101112 (2).bkp",
             "JX200512251011123.bkp", "JX20051225101112.bkp.bkp" })
        EXPECT_FALSE(LerNomeArquivo(QString::fromLatin1(other), info)) << other;
    // An alphanumeric CNPJ may hold an S, an H or "CNPJ": the kind is read where it is written.
    ASSERT_TRUE(LerNomeArquivo("JXHCNPJ12ABC34501DE3520261209102030.xml", info));
    EXPECT_EQ(info.tipo, "H");
    EXPECT_EQ(info.tipoIdentificador, "CNPJ");
    EXPECT_EQ(info.identificador, "12ABC34501DE35");
    EXPECT_FALSE(LerNomeArquivo("JXHCNPJ12ABC34501DE3620261209102030.xml", info));
    for (const char* odd : { "", "J", "JX", "JXS", "JXH", "JXSCNPJ", "JXHCPF1" })
        EXPECT_FALSE(LerNomeArquivo(QString::fromLatin1(odd), info)) << odd;
}
