#include "../support/TestFiles.h"

#include "delivery/DeliveryCrypto.h"
#include "delivery/ManipulaXml.h"
#include "delivery/RsaBlockCipher.h"
#include "delivery/RsaKey.h"
#include "platform/ScriptedPrompts.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

using namespace jx;
using namespace jxtest;

namespace {

struct VelkorRun {
    int status = -1;
    QStringList lines;
};

const QString kRequestData = QStringLiteral("<solicitacao data=\"07/03/2005\" status=\"C\" datacriacao=\"07/03/2005 "
                                            "12:00:00\">\r\n<dados_iniciais>\r\n<cnpj>11222333000181</cnpj>\r\n"
                                            "</dados_iniciais>\r\n</solicitacao>\r\n");
const QString kEnablementData = QStringLiteral("<habilitacao data=\"07/03/2005\" status=\"C\" datacriacao=\"07/03/2005 "
                                               "12:00:00\">\r\n<identificacao>\r\n<tipo>1</tipo>\r\n<numero>"
                                               "11144477735</numero>\r\n</identificacao>\r\n</habilitacao>\r\n");
const QString kForeignData = QStringLiteral("<declaracao>\r\n<valor>1</valor>\r\n</declaracao>\r\n");

class Velkor : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_home = m_dir.filePath("velkor-home");
        m_keys = m_dir.filePath("BIN");
        static const RsaKeyPair pair = RsaKeyPair::generate();
        pair.save(m_keys);
    }

    // A stamped delivery file as the program writes it for the transmitter.
    QString plainFile(const QString& name, const QString& data = kRequestData)
    {
        const QString file = m_dir.filePath(name);
        TInfCabecalho header;
        header.tipo_identificador = QStringLiteral("CNPJ");
        header.identificador = QStringLiteral("11222333000181");
        header.tipo_arquivo = QStringLiteral("6");
        header.versao_programa_gerador = QStringLiteral("1.00.01");
        header.data_inicial = header.data_final = QDate(2005, 3, 7);
        header.indicativo_substituicao = QStringLiteral("N");
        EXPECT_TRUE(xmlfile::GerarArquivoXML(file, header, data));
        stamp(file);
        return file;
    }

    // The diskette form: data section encrypted with the keys, then stamped.
    QString encryptedFile(const QString& folder, const QString& name, const QString& data, const QString& keys)
    {
        QDir().mkpath(folder);
        const QString file = QDir(folder).filePath(name);
        TInfCabecalho header;
        header.identificador = QStringLiteral("11222333000181");
        EXPECT_TRUE(xmlfile::GerarArquivoXML(file, header, data));
        ScriptedPrompts prompts;
        EXPECT_TRUE(DeliveryCrypto(keys, prompts).CriptografarArquivo(file));
        stamp(file);
        return file;
    }

    static void stamp(const QString& file)
    {
        ScriptedPrompts prompts;
        EXPECT_TRUE(xmlfile::GravarVerificador(file, prompts));
        EXPECT_TRUE(prompts.allMet());
    }

    VelkorRun velkor(const QStringList& args, const QMap<QString, QString>& switches = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const QString& key : environment.keys()) {
            if (key.startsWith(QLatin1String("VELKOR_")))
                environment.remove(key);
        }
        environment.insert(QStringLiteral("VELKOR_HOME"), m_home);
        for (auto it = switches.begin(); it != switches.end(); ++it)
            environment.insert(it.key(), it.value());
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(VELKOR_PATH), args);
        process.waitForFinished(60000);
        VelkorRun run;
        run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.lines = QString::fromUtf8(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        return run;
    }

    QStringList received() const { return QDir(QDir(m_home).filePath("recebidos")).entryList(QDir::Files, QDir::Name); }

    static QString protocolElement(const QString& file, const char* name)
    {
        const QByteArray bytes = contentOf(file);
        const QByteArray open = QByteArray("<") + name + '>';
        const qsizetype from = bytes.indexOf(open);
        const qsizetype to = bytes.indexOf(QByteArray("</") + name + '>', from);
        return from < 0 || to < 0 ? QStringLiteral("<ausente>")
                                  : QString::fromLatin1(bytes.mid(from + open.size(), to - from - open.size()));
    }

    QTemporaryDir m_dir;
    QString m_home;
    QString m_keys;
};

// The number a printed line gives for a file, checked against the one written into it.
qint64 acceptedNumber(const QString& line, const QString& file)
{
    const QString prefix = QStringLiteral("Aceito: %1 — protocolo ").arg(file);
    EXPECT_TRUE(line.startsWith(prefix)) << line.toStdString();
    const QString number = line.mid(prefix.size()).section(u' ', 0, 0);
    EXPECT_EQ(number, xmlfile::RetornarProtocolo(file));
    return number.toLongLong();
}

} // namespace

TEST_F(Velkor, ThreeFilesGetIncreasingProtocolsThatStillCheck)
{
    const QStringList files { plainFile("JX1.xml"), plainFile("JX2.xml", kEnablementData), plainFile("JX3.xml") };
    const VelkorRun run = velkor(files);
    ASSERT_EQ(run.status, 0);
    ASSERT_EQ(run.lines.size(), 3) << run.lines.join('\n').toStdString();

    const QString year = QString::number(QDate::currentDate().year());
    qint64 previous = 0;
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(files[i].toStdString());
        const qint64 number = acceptedNumber(run.lines[i], files[i]);
        EXPECT_GT(number, previous);
        previous = number;
        const QString text = xmlfile::RetornarProtocolo(files[i]);
        EXPECT_TRUE(text.startsWith(year));
        EXPECT_LE(text.size(), 17);
        EXPECT_TRUE(xmlfile::ConferirHash(files[i]));
        EXPECT_TRUE(QRegularExpression("^\\d\\d/\\d\\d/\\d{4}$").match(protocolElement(files[i], "data")).hasMatch());
        EXPECT_TRUE(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d$").match(protocolElement(files[i], "hora")).hasMatch());
        // The verifier is still the last child of the header.
        EXPECT_TRUE(contentOf(files[i]).contains("</verificador_integridade>\r\n  </cabecalho>"));
        const QString copy = QDir(m_home).filePath("recebidos/" + text + "_" + QFileInfo(files[i]).fileName());
        EXPECT_EQ(contentOf(copy), contentOf(files[i]));
    }
    EXPECT_EQ(received().size(), 3);
}

TEST_F(Velkor, EachSwitchActsOnTheMiddleFileOnly)
{
    struct Case {
        const char* name;
        QMap<QString, QString> environment;
        QStringList options;
        int status;
        // What became of the middle file, given its content before the run.
        std::function<void(const QString& file, const QByteArray& before)> middle;
        int acceptedOthers;
    };
    const auto untouched = [](const QString& file, const QByteArray& before) {
        EXPECT_EQ(contentOf(file), before);
        EXPECT_TRUE(xmlfile::RetornarProtocolo(file).isEmpty());
    };
    const QList<Case> cases {
        { "recusar", { { "VELKOR_RECUSAR", "2" } }, {}, 0, untouched, 2 },
        { "--recusar", {}, { "--recusar", "2" }, 0, untouched, 2 },
        { "quebrar", { { "VELKOR_QUEBRAR", "2" } }, {}, 0,
            [](const QString& file, const QByteArray&) {
                EXPECT_FALSE(xmlfile::RetornarProtocolo(file).trimmed().isEmpty());
                EXPECT_FALSE(xmlfile::ConferirHash(file));
            },
            2 },
        { "remover", { { "VELKOR_REMOVER", "2" } }, {}, 0,
            [](const QString& file, const QByteArray&) { EXPECT_FALSE(QFile::exists(file)); }, 2 },
        { "sem data", { { "VELKOR_SEM_DATA", "2" } }, {}, 0,
            [](const QString& file, const QByteArray&) {
                EXPECT_FALSE(xmlfile::RetornarProtocolo(file).trimmed().isEmpty());
                EXPECT_TRUE(xmlfile::ConferirHash(file));
                EXPECT_EQ(protocolElement(file, "data"), QString());
                EXPECT_EQ(protocolElement(file, "hora"), QString());
            },
            2 },
        { "saida", { { "VELKOR_SAIDA", "3" } }, {}, 3,
            [](const QString& file, const QByteArray&) { EXPECT_TRUE(xmlfile::ConferirHash(file)); }, 2 },
        { "nada", { { "VELKOR_NADA", "1" } }, {}, 0, untouched, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QStringList files { plainFile("JXa.xml"), plainFile("JXb.xml"), plainFile("JXc.xml") };
        const QByteArray before = contentOf(files[1]);
        const VelkorRun run = velkor(c.options + files, c.environment);
        EXPECT_EQ(run.status, c.status);
        c.middle(files[1], before);
        int accepted = 0;
        for (const QString& other : { files[0], files[2] })
            accepted += xmlfile::ConferirHash(other) && !xmlfile::RetornarProtocolo(other).isEmpty();
        EXPECT_EQ(accepted, c.acceptedOthers);
        EXPECT_EQ(run.lines.size(), c.acceptedOthers == 0 ? 0 : 3) << run.lines.join('\n').toStdString();
    }
}

TEST_F(Velkor, SwitchesTakeListsOfPositions)
{
    const QStringList files { plainFile("JX1.xml"), plainFile("JX2.xml"), plainFile("JX3.xml") };
    const VelkorRun run = velkor(files, { { "VELKOR_RECUSAR", "1,3" } });
    ASSERT_EQ(run.lines.size(), 3);
    EXPECT_TRUE(run.lines[0].startsWith("Recusado: " + files[0]));
    acceptedNumber(run.lines[1], files[1]);
    EXPECT_TRUE(run.lines[2].startsWith("Recusado: " + files[2]));
}

TEST_F(Velkor, BadFilesAreRefusedAndLeftAsTheyWere)
{
    const QString foreign = plainFile("JXestranho.xml", kForeignData);
    const QString truncated = plainFile("JXcortado.xml");
    writeFile(truncated, contentOf(truncated).left(300));
    const QString tampered = plainFile("JXalterado.xml");
    writeFile(tampered, contentOf(tampered).replace("11222333000181", "11222333000182"));
    const QString unstamped = m_dir.filePath("JXsemverificador.xml");
    TInfCabecalho header;
    xmlfile::GerarArquivoXML(unstamped, header, kRequestData);
    const QString encrypted = encryptedFile(m_dir.path(), "JXcifrado.xml", kRequestData, m_keys);
    const QString huge = m_dir.filePath("JXenorme.xml");
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(17 * 1024 * 1024));
    }
    const QString good = plainFile("JXbom.xml");
    const QString protocolled = plainFile("JXprotocolado.xml");
    ASSERT_EQ(velkor({ protocolled }).status, 0);

    const QStringList bad { foreign, truncated, tampered, unstamped, encrypted, huge, protocolled,
        m_dir.filePath("JXnaoexiste.xml"), m_dir.path() };
    QList<QByteArray> before;
    for (const QString& file : bad)
        before << contentOf(file);
    // The good one sits among the bad ones: a refusal must not stop the files after it.
    QStringList args = bad;
    args.insert(4, good);
    const VelkorRun run = velkor(args);
    EXPECT_EQ(run.status, 0);
    ASSERT_EQ(run.lines.size(), args.size()) << run.lines.join('\n').toStdString();
    acceptedNumber(run.lines[4], good);
    EXPECT_TRUE(xmlfile::ConferirHash(good));
    for (int i = 0; i < bad.size(); ++i) {
        SCOPED_TRACE(bad[i].toStdString());
        EXPECT_TRUE(run.lines[i < 4 ? i : i + 1].startsWith("Recusado: " + bad[i]));
        EXPECT_EQ(contentOf(bad[i]), before[i]);
    }
    EXPECT_EQ(received().size(), 2);
}

TEST_F(Velkor, EntitiesAreNeverExpanded)
{
    const QString secret = m_dir.filePath("segredo.txt");
    writeFile(secret, "conteudo-secreto");
    // Stamped with the reference written as text, then turned into a real entity reference
    // under a DOCTYPE that declares it: markup the program never writes makes the file altered,
    // so it is refused before anything could expand it.
    const QString file = plainFile("JXdoctype.xml",
        kRequestData.left(kRequestData.indexOf("</cnpj>")) + "&amp;segredo;"
            + kRequestData.mid(kRequestData.indexOf("</cnpj>")));
    QByteArray bytes = contentOf(file);
    bytes.replace("11222333000181&amp;segredo;", "11222333000181&segredo;");
    bytes.replace(
        "?>\r\n", "?>\r\n<!DOCTYPE arquivo [<!ENTITY segredo SYSTEM \"file://" + secret.toUtf8() + "\">]>\r\n");
    ASSERT_TRUE(writeFile(file, bytes));

    const VelkorRun run = velkor({ file });
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.lines.value(0).startsWith("Recusado: ")) << run.lines.value(0).toStdString();
    EXPECT_EQ(contentOf(file), bytes);
    EXPECT_TRUE(received().isEmpty());
    for (const QString& copy : received())
        EXPECT_FALSE(contentOf(QDir(m_home).filePath("recebidos/" + copy)).contains("conteudo-secreto"));
}

TEST_F(Velkor, ReturnedDisketteGetsProtocolsAndStaysEncrypted)
{
    const QString disk = m_dir.filePath("disquete");
    const QString request = encryptedFile(disk, "JXSCNPJ1122233300018120050307120000.xml", kRequestData, m_keys);
    const QString foreign = encryptedFile(disk, "outro.xml", kRequestData, m_keys);
    const QString enablement = encryptedFile(disk, "JXHCPF1114447773520050307120000.xml", kEnablementData, m_keys);
    const QByteArray foreignBefore = contentOf(foreign);
    const QString requestSection = xmlfile::RetornarDados(request);
    const QString enablementSection = xmlfile::RetornarDados(enablement);

    const VelkorRun run = velkor({ "--devolver", disk, "--chaves", m_keys });
    EXPECT_EQ(run.status, 0);
    ASSERT_EQ(run.lines.size(), 2) << run.lines.join('\n').toStdString();
    // Name order: the enablement ("JXH…") comes first.
    acceptedNumber(run.lines[0], enablement);
    acceptedNumber(run.lines[1], request);
    EXPECT_EQ(contentOf(foreign), foreignBefore);

    const RsaKey privateKey = RsaKey::load(m_keys + "/PrivateKey.dat");
    const QList<std::tuple<QString, QString, QByteArray>> returned {
        { request, requestSection, "<solicitacao " },
        { enablement, enablementSection, "<habilitacao " },
    };
    for (const auto& [file, section, root] : returned) {
        SCOPED_TRACE(file.toStdString());
        EXPECT_TRUE(xmlfile::ConferirHash(file));
        EXPECT_EQ(xmlfile::RetornarDados(file), section);
        EXPECT_TRUE(rsa::decrypt(section.toLatin1(), privateKey).startsWith(root));
    }
}

TEST_F(Velkor, ReturnedDisketteWithOtherKeysIsRefused)
{
    const QString disk = m_dir.filePath("disquete");
    const QString otherKeys = m_dir.filePath("outras-chaves");
    RsaKeyPair::generate().save(otherKeys);
    const QStringList files { encryptedFile(disk, "JX1.xml", kRequestData, otherKeys),
        encryptedFile(disk, "JX2.xml", kRequestData, m_keys), encryptedFile(disk, "JX3.xml", kRequestData, otherKeys) };
    // A plain program file is not what a diskette carries.
    QFile::copy(plainFile("JX4.xml"), QDir(disk).filePath("JX4.xml"));
    const QByteArray plainBefore = contentOf(QDir(disk).filePath("JX4.xml"));

    const VelkorRun run = velkor({ "--devolver", disk, "--chaves", m_keys });
    ASSERT_EQ(run.lines.size(), 4) << run.lines.join('\n').toStdString();
    EXPECT_TRUE(run.lines[0].startsWith("Recusado: "));
    acceptedNumber(run.lines[1], files[1]);
    EXPECT_TRUE(run.lines[2].startsWith("Recusado: "));
    EXPECT_EQ(
        run.lines[3], "Recusado: " + QDir(disk).filePath("JX4.xml") + " — a seção de dados não está criptografada");
    EXPECT_EQ(contentOf(QDir(disk).filePath("JX4.xml")), plainBefore);
    EXPECT_TRUE(xmlfile::RetornarProtocolo(files[2]).isEmpty());
}

TEST_F(Velkor, CounterSurvivesRunsAndConcurrentTransmitters)
{
    const qint64 first = acceptedNumber(velkor({ plainFile("JX1.xml") }).lines.value(0), m_dir.filePath("JX1.xml"));
    const qint64 second = acceptedNumber(velkor({ plainFile("JX2.xml") }).lines.value(0), m_dir.filePath("JX2.xml"));
    EXPECT_EQ(second, first + 1);

    // Two transmitters at once never hand out the same number.
    QStringList a, b;
    for (int i = 0; i < 4; ++i) {
        a << plainFile(QStringLiteral("JXa%1.xml").arg(i));
        b << plainFile(QStringLiteral("JXb%1.xml").arg(i));
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VELKOR_HOME"), m_home);
    QProcess one, two;
    one.setProcessEnvironment(environment);
    two.setProcessEnvironment(environment);
    one.start(QStringLiteral(VELKOR_PATH), a);
    two.start(QStringLiteral(VELKOR_PATH), b);
    ASSERT_TRUE(one.waitForFinished(60000) && two.waitForFinished(60000));
    QSet<QString> numbers;
    for (const QString& file : a + b)
        numbers.insert(xmlfile::RetornarProtocolo(file));
    EXPECT_EQ(numbers.size(), 8);
    EXPECT_FALSE(numbers.contains(QString()));
}

TEST_F(Velkor, DamagedCounterRefusesRatherThanRepeat)
{
    QDir().mkpath(m_home);
    writeFile(QDir(m_home).filePath("contador"), "doze\n");
    const QString file = plainFile("JX1.xml");
    const QByteArray before = contentOf(file);
    const VelkorRun run = velkor({ file });
    EXPECT_EQ(run.status, 0);
    ASSERT_EQ(run.lines.size(), 1);
    EXPECT_TRUE(run.lines[0].startsWith("Recusado: " + file + " — não foi possível obter o número do protocolo"));
    EXPECT_EQ(contentOf(file), before);
}

TEST_F(Velkor, UsageErrorsTouchNothing)
{
    const QString file = plainFile("JX1.xml");
    const QByteArray before = contentOf(file);
    EXPECT_EQ(velkor({}).status, 2);
    EXPECT_EQ(velkor({ file }, { { "VELKOR_RECUSAR", "segundo" } }).status, 2);
    EXPECT_EQ(velkor({ "--quebrar", "0", file }).status, 2);
    EXPECT_EQ(velkor({ "--devolver", m_dir.filePath("nao-existe") }).status, 2);
    EXPECT_EQ(velkor({ "--devolver", m_dir.path(), "--chaves", m_dir.filePath("vazia") }).status, 2);
    EXPECT_EQ(contentOf(file), before);
}
