// The reports with the fonts they are drawn with: fixed-pitch receipt columns, labels that
// keep clear of their values, and the PDF written from the preview.

#include "ReportPainter.h"
#include "db/Sqlite.h"
#include "delivery/Receipts.h"
#include "reports/FilingPrintouts.h"
#include "reports/ReceiptReport.h"

#include "../support/StoredFilings.h"

#include <gtest/gtest.h>

using namespace jx;
using namespace jx::report;

namespace {

const PrintContext kContext { QStringLiteral("ZKF - Órgão de teste"), QDateTime(QDate(2026, 12, 10), QTime(8, 30, 5)) };

} // namespace

TEST(ReportFonts, FixedPitchReceiptColumnsAlign)
{
    const QtTextMetrics metrics;
    // Every character of the receipt font has one advance: blank runs line columns up.
    const double one = metrics.width(mono(7), QStringLiteral("M"));
    EXPECT_NEAR(metrics.width(mono(7), QStringLiteral("iiiii")), 5 * one, 1e-6);
    EXPECT_NEAR(metrics.width(mono(7), QStringLiteral("     ")), 5 * one, 1e-6);
    EXPECT_NEAR(metrics.width(mono(7), QStringLiteral("ÇÃÕ")), 3 * one, 1e-6);
    // A 126-character line, the width the receipt text is laid out for, fits the band.
    EXPECT_LT(126 * one, 190);

    const QStringList lines { QStringLiteral("Verificador de integridade: ABC"), QString(),
        QStringLiteral("  Nome Empresarial: ") + QString(40, u'X') + QStringLiteral("    Data de Início de Atividade: 01/02/2005"),
        QStringLiteral("  Nome Fantasia: ") + QString(40, u'i') + QStringLiteral("       Insc. Estadual Estado Origem: 1") };
    const std::vector<Page> pages
        = layOut({ ReceiptReport::build(true, { QStringLiteral("1"), QVariant(), Receipts::receiptBytes(lines) }, kContext) },
            metrics);
    ASSERT_EQ(pages.size(), 1u);
    std::vector<const Placed*> memo;
    for (const Placed* item : pages[0].texts()) {
        if (item->font.face == Face::Mono)
            memo.push_back(item);
    }
    ASSERT_EQ(memo.size(), 4u);
    for (const Placed* item : memo)
        EXPECT_DOUBLE_EQ(item->rect.left(), 10);
    EXPECT_EQ(memo[0]->text, lines[0]);
    EXPECT_EQ(memo[2]->text, lines[2]);
    EXPECT_EQ(memo[3]->text, lines[3]);
    // The date column starts at the same place on both lines.
    const qsizetype a = lines[2].indexOf(QStringLiteral("Data de"));
    const qsizetype b = lines[3].indexOf(QStringLiteral("Insc."));
    EXPECT_EQ(a - 3, b - 3 - 0 + (a - b)); // same character position by construction
    EXPECT_NEAR(metrics.width(mono(7), lines[2].left(a)), metrics.width(mono(7), lines[3].left(a)), 1e-6);
}

namespace {

// Every label printed whole, and no text running into another, with the real fonts.
void expectClearTexts(const std::vector<Page>& pages, const std::vector<Report>& reports)
{
    std::map<QString, QStringList> labels; // by report
    for (const Report& report : reports) {
        for (const Band& band : report.bands) {
            for (const Item& item : band.items) {
                if (item.shrink)
                    labels[report.name] << item.text;
            }
        }
    }
    const QtTextMetrics metrics;
    for (const Page& page : pages) {
        QStringList printed;
        const auto texts = page.texts();
        for (const Placed* item : texts)
            printed << item->text;
        for (const QString& label : std::as_const(labels[page.report]))
            EXPECT_TRUE(printed.contains(label)) << label.toStdString() << " cortado na página " << page.number;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            for (std::size_t j = i + 1; j < texts.size(); ++j) {
                const Placed* a = texts[i];
                const Placed* b = texts[j];
                if (a->text.isEmpty() || b->text.isEmpty() || a->align != Align::Left || b->align != Align::Left)
                    continue;
                const bool sameLine = a->rect.top() < b->rect.bottom() - 0.5 && b->rect.top() < a->rect.bottom() - 0.5;
                const double aRight = a->rect.left() + metrics.width(a->font, a->text);
                const double bRight = b->rect.left() + metrics.width(b->font, b->text);
                EXPECT_FALSE(sameLine && a->rect.left() < bRight && b->rect.left() < aRight)
                    << "\"" << a->text.toStdString() << "\" sobre \"" << b->text.toStdString() << "\" na página "
                    << page.number;
            }
        }
    }
}

class PrintoutFonts : public jxtest::StoredFilings { };

} // namespace

TEST_F(PrintoutFonts, LabelsWholeAndClearOfTheirValues)
{
    storeRequests();
    storeEnablements();
    const QtTextMetrics metrics;
    const std::vector<Report> request = FilingPrintouts::request(*m_jx, kContext);
    const std::vector<Page> pages = layOut(request, metrics);
    EXPECT_EQ(pages.size(), 6u);
    expectClearTexts(pages, request);
    // An accountant's CNPJ, the widest value of its line, whole; a 120-character company name
    // cut before the paper's edge.
    const QString longName = QString(120, u'W');
    db::Statement s = m_db->connection().prepare(QStringLiteral(
        "UPDATE SOLICITACAO_IE SET DOCUMENTO_CONTABILISTA_TIPO = 3, DOCUMENTO_CONTABILISTA_NUMERO = '11222333000181', "
        "NOME_EMPRESARIAL = :NOME"));
    s.bind(QStringLiteral(":NOME"), longName);
    s.run();
    m_jx->reopenAt(*m_jx->cdsSolicitacaoIE, m_jx->cdsSolicitacaoIE->value("ID_SOLICITACAO"));
    const std::vector<Page> first = layOut({ FilingPrintouts::request(*m_jx, kContext).front() }, metrics);
    QStringList texts;
    for (const Placed* item : first[0].texts())
        texts << item->text;
    EXPECT_TRUE(texts.contains(QStringLiteral("CNPJ 11.222.333/0001-81"))) << texts.join(u'|').toStdString();
    bool nameSeen = false;
    for (const Placed* item : first[0].texts()) {
        if (!item->text.startsWith(QLatin1String("WWW")))
            continue;
        nameSeen = true;
        EXPECT_TRUE(longName.startsWith(item->text));
        EXPECT_LT(item->text.size(), 120);
        EXPECT_LE(item->rect.left() + metrics.width(item->font, item->text), 210 - 3 + 1e-6);
    }
    EXPECT_TRUE(nameSeen);

    const std::vector<Report> enablement { FilingPrintouts::enablement(*m_jx, kContext) };
    expectClearTexts(layOut(enablement, metrics), enablement);
}
