// jxctl imprimir: each report written as a PDF that reads back, through pdftotext, as the
// texts the report prints; and the failures that write nothing.

#include "CtlRunner.h"

#include "db/Sqlite.h"
#include "delivery/Receipts.h"

#include "../support/StoredFilings.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace jxtest;

namespace {

class JxctlPrint : public StoredFilings {
protected:
    QString pdf(const char* name) const { return m_out.filePath(QLatin1String(name)); }

    // The text of the PDF, laid out as on the page. With JX_REPORTS_DIR set, the PDF is kept
    // there too, to be looked at.
    static QString textOf(const QString& file)
    {
        if (const QString keep = qEnvironmentVariable("JX_REPORTS_DIR"); !keep.isEmpty()) {
            const QString copy = keep + u'/' + QFileInfo(file).fileName();
            QFile::remove(copy);
            QFile::copy(file, copy);
        }
        QProcess process;
        process.start(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), file, QStringLiteral("-") });
        if (!process.waitForFinished(60000) || process.exitCode() != 0)
            return QStringLiteral("<pdftotext falhou>");
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    // Blank runs as pdftotext guesses them are not the page's: compared with single blanks.
    static bool has(const QString& text, const char* expected)
    {
        return text.simplified().contains(QString::fromUtf8(expected).simplified());
    }

    static int pageCount(const QString& text) { return int(text.count(u'\f')); }

    QTemporaryDir m_out;
};

} // namespace

TEST_F(JxctlPrint, RequestPrintoutAPageForEachPersonWithTheirTexts)
{
    const qint64 id = storeRequests();
    const CtlRun run = jxctl({ "imprimir", "solicitacao", QString::number(id), "--pdf", pdf("s.pdf"), "--banco",
        m_folder.databasePath() });
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.outText().contains("6 página(s)")) << run.outText().toStdString();
    const QString text = textOf(pdf("s.pdf"));
    EXPECT_EQ(pageCount(text), 6) << text.toStdString();
    for (const char* expected : { "Solicitação de Inscrição Estadual", "JX - Inscrição Estadual", "JX 1.00.00",
             "Dados Cadastrais", "11.222.333/0001-81", "Localização:", "QZ", "53.2.000.123.4-5", "12345678,90",
             "FRIGORÍFICO SÃO JOÃO LTDA", "Filial", "Endereço/Comunicação", "70000-123", "PORTO DAS ARARAS", "Sócio",
             "CNPJ 11.444.777/0001-61", "111.444.777-35", "12,50", "Responsável", "877.482.488-00" })
        EXPECT_TRUE(has(text, expected)) << expected;
}

TEST_F(JxctlPrint, AFullRequestReceiptKeepsItsColumns)
{
    storeRequests();
    QFile stored(QStringLiteral(JX_RECEIPTS_DATA "/request.txt"));
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    const QByteArray receipt = stored.readAll();
    jx::db::Statement s = m_db->connection().prepare(
        QStringLiteral("UPDATE ENTREGAS SET RECIBO = :R, DATAHORAPROTOCOLO = '2026-12-10 09:00:00' WHERE IDENTIFICADOR = 2"));
    s.bind(QStringLiteral(":R"), receipt);
    s.run();
    ASSERT_EQ(jxctl({ "imprimir", "recibo", "2", "--pdf", pdf("recibo.pdf"), "--banco", m_folder.databasePath() }).status, 0);
    const QString text = textOf(pdf("recibo.pdf"));
    EXPECT_TRUE(has(text, "Recibo de Transmissão da Solicitação de Inscrição Estadual"));
    EXPECT_TRUE(has(text, "P-NEW"));
    EXPECT_TRUE(has(text, "09:00:00"));
    // Every stored line in order, each on a line of its own; only a line wider than the 126
    // characters the text is laid out for wraps, and goes on whole on the next.
    const QStringList lines = jx::Receipts::fromWindows1252(receipt).split(QStringLiteral("\r\n"));
    const QStringList printed = text.split(u'\n');
    qsizetype at = 0;
    for (const QString& line : lines) {
        if (line.trimmed().isEmpty())
            continue;
        if (line.size() > 126) {
            EXPECT_TRUE(has(text, line.toUtf8().constData())) << line.toStdString();
            continue;
        }
        const QString wanted = line.simplified();
        while (at < printed.size() && printed.at(at).simplified() != wanted)
            ++at;
        EXPECT_LT(at, printed.size()) << "linha ausente ou fora de ordem: " << line.toStdString();
        if (at == printed.size())
            break;
    }
}

TEST_F(JxctlPrint, EnablementReceiptAndPendingList)
{
    const qint64 enablement = storeEnablements();
    const qint64 delivery = insert("ENTREGAS",
        { { "HABILITACAO_ID", enablement }, { "NUMEROPROTOCOLO", "2026000777" },
            { "DATAHORAPROTOCOLO", "2026-12-10 14:05:00" },
            { "RECIBO",
                jx::Receipts::receiptBytes({ QStringLiteral("Verificador de integridade:        ABCDEF"), QString(),
                    QStringLiteral("Identificação: 11.222.333/0001-81") }) } });

    ASSERT_EQ(jxctl({ "imprimir", "habilitacao", QString::number(enablement), "--pdf", pdf("h.pdf"), "--banco",
                  m_folder.databasePath() })
                  .status,
        0);
    const QString form = textOf(pdf("h.pdf"));
    EXPECT_EQ(pageCount(form), 1);
    for (const char* expected : { "Habilitação de Contabilista/Empresa Contábil", "11222333000181", "529.982.247-25",
             "29/02/1980", "70000-888", "1234", "Dados de Comunicação" })
        EXPECT_TRUE(has(form, expected)) << expected;

    ASSERT_EQ(jxctl({ "imprimir", "recibo", QString::number(delivery), "--pdf", pdf("r.pdf"), "--banco",
                  m_folder.databasePath() })
                  .status,
        0);
    const QString receipt = textOf(pdf("r.pdf"));
    for (const char* expected : { "Recibo de Transmissão da Habilitação de Contabilista/Empresa Contábil",
             "2026000777", "10/12/2026", "14:05:00", "Verificador de integridade:        ABCDEF",
             "Identificação: 11.222.333/0001-81" })
        EXPECT_TRUE(has(receipt, expected)) << expected << "\n" << receipt.toStdString();

    ASSERT_EQ(jxctl({ "imprimir", "pendencias", "habilitacao", QString::number(enablement), "--pdf", pdf("p.pdf"),
                  "--banco", m_folder.databasePath(), "--hoje", "10/12/2026" })
                  .status,
        0);
    const QString pending = textOf(pdf("p.pdf"));
    for (const char* expected : { "Relação de Pendências - Habilitação de Contabilista/Empresa Contábil",
             "Total de Erros:", "Total de Avisos:", "Atenção:", "alertas que não impedem a gravação da mesma." })
        EXPECT_TRUE(has(pending, expected)) << expected;
}

TEST_F(JxctlPrint, PendingListOfARequestWithErrorsHasTheItemsAndTotalsOfTheVerification)
{
    storeRequests();
    const QString db = m_folder.databasePath();
    // The first request holds little more than its CNPJ: many errors.
    const CtlRun verified = jxctl({ "verificar", "solicitacao", "1", "--banco", db, "--hoje", "10/12/2026" });
    ASSERT_EQ(verified.status, 1);
    const QStringList items = verified.outText().split(u'\n', Qt::SkipEmptyParts);
    const qsizetype errors = items.filter(QRegularExpression("^E\t")).size();
    ASSERT_GT(errors, 2);
    ASSERT_EQ(jxctl({ "imprimir", "pendencias", "solicitacao", "1", "--pdf", pdf("pendencias.pdf"), "--banco", db,
                  "--hoje", "10/12/2026" })
                  .status,
        0);
    const QString text = textOf(pdf("pendencias.pdf"));
    EXPECT_TRUE(has(text, "Relação de Pendências - Solicitação de Inscrição Estadual"));
    EXPECT_TRUE(has(text, "CNPJ: 33.344.455/0001-83"));
    EXPECT_TRUE(has(text, QStringLiteral("Total de Erros: %1").arg(errors).toUtf8().constData()));
    EXPECT_TRUE(has(text, QStringLiteral("Total de Avisos: %1").arg(items.size() - errors).toUtf8().constData()));
    // Each item's message, whole even when it wraps in its column.
    for (const QString& item : items)
        EXPECT_TRUE(has(text, item.section(u'\t', 2).toUtf8().constData())) << item.toStdString();
}

TEST_F(JxctlPrint, FailuresWriteNothingAndSaySo)
{
    const qint64 id = storeRequests();
    const QString db = m_folder.databasePath();
    // A folder that does not exist.
    const CtlRun unwritable
        = jxctl({ "imprimir", "solicitacao", QString::number(id), "--pdf", m_out.filePath("nao/existe/s.pdf"), "--banco", db });
    EXPECT_EQ(unwritable.status, 2);
    EXPECT_TRUE(unwritable.err.contains(QStringLiteral("Não foi possível gravar o arquivo PDF"))) << unwritable.err.toStdString();

    const CtlRun unknown = jxctl({ "imprimir", "solicitacao", "999", "--pdf", pdf("x.pdf"), "--banco", db });
    EXPECT_EQ(unknown.status, 2);
    const CtlRun noPdf = jxctl({ "imprimir", "solicitacao", QString::number(id), "--banco", db });
    EXPECT_EQ(noPdf.status, 2);
    const qint64 waiting = insert("ENTREGAS", { { "SOLICITACAO_ID", id }, { "NOMEARQUIVO", "S.XML" } });
    const CtlRun noProtocol = jxctl({ "imprimir", "recibo", QString::number(waiting), "--pdf", pdf("y.pdf"), "--banco", db });
    EXPECT_EQ(noProtocol.status, 2);
    EXPECT_FALSE(QFile::exists(pdf("x.pdf")));
    EXPECT_FALSE(QFile::exists(pdf("y.pdf")));
    // A delivery without receipt text prints its heading and an empty memo.
    ASSERT_EQ(jxctl({ "imprimir", "recibo", "1", "--pdf", pdf("vazio.pdf"), "--banco", db }).status, 0);
    const QString empty = textOf(pdf("vazio.pdf"));
    EXPECT_TRUE(empty.contains("P-OLD"));
    EXPECT_TRUE(empty.contains(QStringLiteral("Recibo de Transmissão da Solicitação de Inscrição Estadual")));

    // An existing file is replaced whole.
    QFile old(pdf("s.pdf"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("velho");
    old.close();
    ASSERT_EQ(jxctl({ "imprimir", "solicitacao", QString::number(id), "--pdf", pdf("s.pdf"), "--banco", db }).status, 0);
    QFile replaced(pdf("s.pdf"));
    ASSERT_TRUE(replaced.open(QIODevice::ReadOnly));
    EXPECT_TRUE(replaced.readAll().startsWith("%PDF"));
}
