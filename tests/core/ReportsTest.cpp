// The banded reports laid out into pages: the engine on its own (wrapping, cutting, growing
// bands, page breaks, running page numbers) and the program's reports on stored filings.
// Measured with a fixed-pitch stand-in, so that positions are known exactly.

#include "reports/FilingPrintouts.h"
#include "reports/PendingReport.h"
#include "reports/ReceiptReport.h"

#include "config/ProgramVersion.h"
#include "data/TdtmJX.h"
#include "delivery/Receipts.h"
#include "verification/Verification.h"

#include "../support/StoredFilings.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

using namespace jx;
using namespace jx::report;
using namespace jxtest;

namespace {

constexpr double kMmPerPoint = 25.4 / 72;

// Every character of the fixed-pitch face 0.6 em wide (as Courier's), of the other 0.45 em
// (about Arial's average); lines 1.2 em apart.
class FixedMetrics : public TextMetrics {
public:
    static double em(const Font& font) { return font.face == Face::Mono ? 0.6 : 0.45; }
    double width(const Font& font, const QString& text) const override
    {
        return double(text.size()) * font.points * em(font) * kMmPerPoint;
    }
    double lineHeight(const Font& font) const override { return font.points * 1.2 * kMmPerPoint; }
};

const FixedMetrics kMetrics;

const PrintContext kContext { QStringLiteral("ZKF - Órgão de teste"), QDateTime(QDate(2026, 12, 10), QTime(8, 30, 5)) };

QStringList textsOf(const Page& page)
{
    QStringList out;
    for (const Placed* item : page.texts())
        out << item->text;
    return out;
}

const Placed* find(const Page& page, const QString& text)
{
    for (const Placed* item : page.texts()) {
        if (item->text == text)
            return item;
    }
    return nullptr;
}

// The value printed right of a label on the same line.
QString valueAfter(const Page& page, const QString& label)
{
    const Placed* l = find(page, label);
    if (!l)
        return QStringLiteral("<sem rótulo>");
    const Placed* best = nullptr;
    for (const Placed* item : page.texts()) {
        if (item != l && std::abs(item->rect.top() - l->rect.top()) < 1.5 && item->rect.left() > l->rect.left()
            && (!best || item->rect.left() < best->rect.left()))
            best = item;
    }
    return best ? best->text : QString();
}

Report simpleReport(const QString& name, int details, double detailHeight)
{
    Report r;
    r.name = name;
    Band title { Band::Kind::Title, 10, { text(0, 0, QStringLiteral("TÍTULO")) } };
    Band header { Band::Kind::PageHeader, 10, { text(0, 0, QStringLiteral("CABEÇALHO")) } };
    r.bands = { title, header };
    for (int i = 0; i < details; ++i)
        r.bands.push_back({ Band::Kind::Detail, detailHeight, { text(0, 0, QStringLiteral("linha %1").arg(i + 1)) } });
    r.bands.push_back({ Band::Kind::Summary, 10, { text(0, 0, QStringLiteral("RESUMO")) } });
    r.bands.push_back(pageFooter(kContext, QStringLiteral("rodapé"), r.bandWidth(), false));
    return r;
}

// Where a text's characters stand across its line.
std::pair<double, double> inkOf(const Placed& item)
{
    const double w = kMetrics.width(item.font, item.text);
    double left = item.rect.left();
    if (item.align == Align::Centre)
        left += (item.rect.width() - w) / 2;
    else if (item.align == Align::Right)
        left = item.rect.right() - w;
    return { left, left + w };
}

// No text of a page reaches into the footer band, and none overlaps another.
void expectNoOverprint(const Page& page)
{
    const auto texts = page.texts();
    double footerTop = page.height;
    for (const Placed& item : page.items) {
        if (item.band == Band::Kind::PageFooter)
            footerTop = std::min(footerTop, item.rect.top());
    }
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const Placed* a = texts[i];
        if (a->band != Band::Kind::PageFooter) {
            EXPECT_LE(a->rect.bottom(), footerTop + 1e-6) << a->text.toStdString();
        }
        // Into the right margin at most, never within 3 mm of the paper's edge.
        EXPECT_LE(inkOf(*a).second, page.width - 3 + 1e-6) << a->text.toStdString();
        for (std::size_t j = i + 1; j < texts.size(); ++j) {
            const Placed* b = texts[j];
            if (a->text.isEmpty() || b->text.isEmpty())
                continue;
            const auto [aLeft, aRight] = inkOf(*a);
            const auto [bLeft, bRight] = inkOf(*b);
            const bool overlap = a->rect.top() < b->rect.bottom() - 0.3 && b->rect.top() < a->rect.bottom() - 0.3
                && aLeft < bRight - 0.01 && bLeft < aRight - 0.01;
            EXPECT_FALSE(overlap) << "\"" << a->text.toStdString() << "\" sobre \"" << b->text.toStdString() << "\"";
        }
    }
}

} // namespace

TEST(ReportEngine, WrapsAtBlanksKeepsBlankRunsAndBreaksLongWords)
{
    const Font f = mono(10); // 1.764 mm a character
    const double tenChars = 10 * 10 * 0.6 * kMmPerPoint;
    EXPECT_EQ(wrapText(QStringLiteral("ab   cd"), f, tenChars, kMetrics), std::vector<QString> { "ab   cd" });
    EXPECT_EQ(wrapText(QStringLiteral("abc defg hij klm"), f, tenChars, kMetrics),
        (std::vector<QString> { "abc defg", "hij klm" }));
    EXPECT_EQ(wrapText(QStringLiteral("abcdefghijklmnopqrstuvwxy"), f, tenChars, kMetrics),
        (std::vector<QString> { "abcdefghij", "klmnopqrst", "uvwxy" }));
    EXPECT_EQ(wrapText(QStringLiteral("um\r\n\r\n  dois   \n"), f, tenChars, kMetrics),
        (std::vector<QString> { "um", "", "  dois", "" }));
    // Leading blanks of a line are kept: they are the columns of a fixed-pitch text.
    EXPECT_EQ(wrapText(QStringLiteral("        xy"), f, tenChars, kMetrics), std::vector<QString> { "        xy" });
    EXPECT_EQ(cutToWidth(QStringLiteral("abcdefghijkl   "), f, tenChars, kMetrics), QStringLiteral("abcdefghij"));
    EXPECT_EQ(cutToWidth(QStringLiteral("abc   "), f, tenChars, kMetrics), QStringLiteral("abc"));
}

TEST(ReportEngine, SingleLinesAreCutAtTheBandEdgeAndBoxesAtTheirHeight)
{
    Report r;
    const QString longName = QString(120, u'N');
    Band band { Band::Kind::Detail, 20, {} };
    band.items.push_back(text(150, 0, longName, sans(10)));
    band.items.push_back(wrapped(0, 5, 50, QStringLiteral("um dois tres quatro cinco seis sete oito nove dez onze doze"),
        mono(9), 8)); // 26 characters a line; 8 mm: two lines of 9 pt
    r.bands = { band };
    const std::vector<Page> pages = layOut({ r }, kMetrics);
    ASSERT_EQ(pages.size(), 1u);
    const auto texts = pages[0].texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_LE(texts[0]->rect.left() + kMetrics.width(texts[0]->font, texts[0]->text), 200 + 1e-6);
    EXPECT_LT(texts[0]->text.size(), 120);
    EXPECT_EQ(texts[1]->text, QStringLiteral("um dois tres quatro cinco"));
    EXPECT_EQ(texts[2]->text, QStringLiteral("seis sete oito nove dez"));
}

TEST(ReportEngine, BandsFlowOverPagesWithHeaderAndFooterOnEveryPage)
{
    // Body of a page: 297 - 20 margins - 10 title (first page) - 10 header - 8 footer.
    const std::vector<Page> pages = layOut({ simpleReport(QStringLiteral("r"), 30, 10) }, kMetrics);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(textsOf(pages[0]).first(), QStringLiteral("TÍTULO"));
    EXPECT_EQ(textsOf(pages[1]).first(), QStringLiteral("CABEÇALHO"));
    EXPECT_FALSE(textsOf(pages[1]).contains(QStringLiteral("TÍTULO")));
    EXPECT_TRUE(textsOf(pages[0]).contains(QStringLiteral("linha 24")));
    EXPECT_FALSE(textsOf(pages[0]).contains(QStringLiteral("linha 25")));
    EXPECT_TRUE(textsOf(pages[1]).contains(QStringLiteral("linha 25")));
    EXPECT_EQ(textsOf(pages[1]).at(textsOf(pages[1]).size() - 4), QStringLiteral("RESUMO"));
    for (const Page& page : pages) {
        EXPECT_TRUE(textsOf(page).contains(QStringLiteral("rodapé")));
        const Placed* number = find(page, QString::number(page.number));
        ASSERT_NE(number, nullptr);
        EXPECT_NEAR(number->rect.bottom(), 297 - 10 - 8 + 2 + kMetrics.lineHeight(sans(8)), 1e-6);
        expectNoOverprint(page);
    }
}

TEST(ReportEngine, PageNumbersRunOnThroughTheReportsOfOnePrint)
{
    const std::vector<Page> pages = layOut({ simpleReport(QStringLiteral("a"), 1, 10),
                                               simpleReport(QStringLiteral("b"), 30, 10),
                                               simpleReport(QStringLiteral("c"), 1, 10) },
        kMetrics);
    ASSERT_EQ(pages.size(), 4u);
    const QStringList reports { pages[0].report, pages[1].report, pages[2].report, pages[3].report };
    EXPECT_EQ(reports, (QStringList { "a", "b", "b", "c" }));
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(pages[i].number, i + 1);
        EXPECT_NE(find(pages[i], QString::number(i + 1)), nullptr);
    }
}

TEST(ReportEngine, ABandTallerThanAPageIsCarriedOnLineByLine)
{
    Report r = simpleReport(QStringLiteral("memo"), 0, 0);
    QStringList lines;
    for (int i = 1; i <= 80; ++i)
        lines << QStringLiteral("linha do memo %1").arg(i);
    r.bands.insert(r.bands.begin() + 2, Band { Band::Kind::Detail, 8, { wrapped(0, 6, 190, lines.join(u'\n'), mono(7)) } });
    const std::vector<Page> pages = layOut({ r }, kMetrics);
    ASSERT_EQ(pages.size(), 2u);
    QStringList printed;
    for (const Page& page : pages) {
        for (const QString& t : textsOf(page)) {
            if (t.startsWith(QLatin1String("linha do memo")))
                printed << t;
        }
        expectNoOverprint(page);
    }
    EXPECT_EQ(printed, lines);
    EXPECT_TRUE(textsOf(pages[1]).contains(QStringLiteral("RESUMO")));
}

class PrintedReportsTest : public StoredFilings {
protected:
    static QString dumpOf(const RecordSet& set)
    {
        QString out = QString::number(set.recNo()) + u'|';
        for (int row = 0; row < set.count(); ++row) {
            for (int field = 0; field < set.fieldCount(); ++field)
                out += set.valueAt(row, field).toString() + u'|';
        }
        return out;
    }

    void addPending(const char* kind, const QString& local, const QString& text)
    {
        RecordSet& p = *m_jx->cdsPendecias;
        p.append();
        p.setValue("Local", local);
        p.setValue("Pendencia", text);
        p.setValue("Tipo", QLatin1String(kind));
        p.post();
    }
};

TEST_F(PrintedReportsTest, PendingListWithItsTotalsIdentificationAndNotice)
{
    storeRequests();
    m_jx->cdsPendecias->clearRows();
    addPending("E", "Dados Iniciais", QStringLiteral("Primeiro erro"));
    addPending("E", QStringLiteral("Sócios"), QStringLiteral("Segundo erro"));
    addPending("A", "Dados Iniciais", QStringLiteral("Um aviso"));
    addPending("E", QStringLiteral("Endereço"), QStringLiteral("Terceiro erro"));
    const std::vector<Page> pages = layOut({ PendingReport::build(*m_jx, 1, 3, 1, kContext) }, kMetrics);
    ASSERT_EQ(pages.size(), 1u);
    const Page& page = pages[0];
    const QStringList texts = textsOf(page);
    for (const QString& expected : { kContext.authority, QStringLiteral("JX - Inscrição Estadual"),
             PendingReport::kRequestTitle, QStringLiteral("Local"), QStringLiteral("Pendências"), QStringLiteral("Tipo"),
             PendingReport::kRequestNotice, PendingReport::kNoticeEnd, QStringLiteral("Atenção:"),
             QStringLiteral("10/12/2026 08:30:05"), QStringLiteral("JX ") + version::text(true) })
        EXPECT_TRUE(texts.contains(expected)) << expected.toStdString();
    EXPECT_EQ(valueAfter(page, QStringLiteral("CNPJ:")), QStringLiteral("11.222.333/0001-81"));
    EXPECT_EQ(valueAfter(page, QStringLiteral("Total de Erros:")), QStringLiteral("3"));
    EXPECT_EQ(valueAfter(page, QStringLiteral("Total de Avisos:")), QStringLiteral("1"));
    // The items in their order, each with its kind.
    EXPECT_EQ(valueAfter(page, QStringLiteral("Primeiro erro")), QStringLiteral("Erro"));
    EXPECT_EQ(valueAfter(page, QStringLiteral("Um aviso")), QStringLiteral("Advertência"));
    EXPECT_LT(find(page, QStringLiteral("Segundo erro"))->rect.top(), find(page, QStringLiteral("Um aviso"))->rect.top());
    EXPECT_LT(find(page, QStringLiteral("Um aviso"))->rect.top(), find(page, QStringLiteral("Terceiro erro"))->rect.top());
    expectNoOverprint(page);
}

TEST_F(PrintedReportsTest, AnEmptyPendingListStillPrintsOnePageWithZeroTotals)
{
    storeEnablements();
    m_jx->cdsPendecias->clearRows();
    const std::vector<Page> pages = layOut({ PendingReport::build(*m_jx, 0, 0, 0, kContext) }, kMetrics);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(textsOf(pages[0]).contains(PendingReport::kEnablementTitle));
    EXPECT_TRUE(textsOf(pages[0]).contains(PendingReport::kEnablementNotice));
    EXPECT_TRUE(textsOf(pages[0]).contains(QStringLiteral("Pendências")));
    // The stored enablement is identified by CNPJ (kind 3).
    EXPECT_EQ(valueAfter(pages[0], QStringLiteral("CNPJ:")), QStringLiteral("11.222.333/0001-81"));
    EXPECT_EQ(valueAfter(pages[0], QStringLiteral("Total de Erros:")), QStringLiteral("0"));
    EXPECT_EQ(valueAfter(pages[0], QStringLiteral("Total de Avisos:")), QStringLiteral("0"));
}

TEST_F(PrintedReportsTest, ALongPendingListHasItsColumnHeadersOnEveryPage)
{
    storeRequests();
    m_jx->cdsPendecias->clearRows();
    for (int i = 1; i <= 80; ++i)
        addPending(i % 3 ? "E" : "A", QStringLiteral("Sócios"), QStringLiteral("Pendência número %1").arg(i));
    const std::vector<Page> pages = layOut({ PendingReport::build(*m_jx, 1, 54, 26, kContext) }, kMetrics);
    ASSERT_GE(pages.size(), 2u);
    int items = 0;
    for (const Page& page : pages) {
        const QStringList texts = textsOf(page);
        EXPECT_TRUE(texts.contains(QStringLiteral("Pendências"))) << "página " << page.number;
        EXPECT_EQ(texts.contains(PendingReport::kRequestTitle), page.number == 1);
        items += int(texts.filter(QStringLiteral("Pendência número")).size());
        expectNoOverprint(page);
    }
    EXPECT_EQ(items, 80);
    EXPECT_TRUE(textsOf(pages.back()).contains(QStringLiteral("Total de Erros:")));
}

TEST_F(PrintedReportsTest, ALongPendingMessageWrapsAndPushesTheNextLineDown)
{
    storeRequests();
    m_jx->cdsPendecias->clearRows();
    QString message;
    while (message.size() < 250)
        message += QStringLiteral("palavra ");
    message.truncate(250);
    addPending("E", QStringLiteral("Primeira"), QStringLiteral("curta"));
    addPending("E", QString(100, u'L'), message);
    addPending("A", QStringLiteral("Terceira"), QStringLiteral("depois"));
    const std::vector<Page> pages = layOut({ PendingReport::build(*m_jx, 1, 2, 1, kContext) }, kMetrics);
    ASSERT_EQ(pages.size(), 1u);
    double lowest = 0;
    QString joined;
    for (const Placed* item : pages[0].texts()) {
        if (item->text.startsWith(QLatin1String("palavra")) || item->text.startsWith(QLatin1String("lavra"))) {
            lowest = std::max(lowest, item->rect.bottom());
            joined += item->text + u' ';
        }
    }
    EXPECT_EQ(joined.simplified(), message.simplified());
    EXPECT_GE(find(pages[0], QStringLiteral("depois"))->rect.top(), lowest - 1e-6);
    expectNoOverprint(pages[0]);
}

TEST(ReceiptReportTest, HeadingProtocolLineAndTheMemoInOneColumn)
{
    QStringList lines { QStringLiteral("Verificador de integridade: ABC"), QString(),
        QStringLiteral("D a d o s   C a d a s t r a i s"), QStringLiteral("  CNPJ: 11.222.333/0001-81") + QString(50, u' ')
            + QStringLiteral("Localização:QZ") };
    const ReceiptReport::Delivery delivery { QStringLiteral("2026000123  "), QStringLiteral("2026-12-10T14:05:00"),
        Receipts::receiptBytes(lines) };
    const std::vector<Page> pages = layOut({ ReceiptReport::build(true, delivery, kContext) }, kMetrics);
    ASSERT_EQ(pages.size(), 1u);
    const Page& page = pages[0];
    EXPECT_TRUE(textsOf(page).contains(ReceiptReport::kRequestTitle));
    EXPECT_TRUE(textsOf(page).contains(QStringLiteral("JX  ") + version::text(true)));
    EXPECT_EQ(valueAfter(page, QStringLiteral("Nº do protocolo de transmissão:")), QStringLiteral("2026000123"));
    EXPECT_EQ(valueAfter(page, QStringLiteral("Data da transmissão:")), QStringLiteral("10/12/2026"));
    EXPECT_EQ(valueAfter(page, QStringLiteral("Hora da transmissão:")), QStringLiteral("14:05:00"));
    std::vector<const Placed*> memo;
    for (const Placed* item : page.texts()) {
        if (item->font.face == Face::Mono)
            memo.push_back(item);
    }
    ASSERT_EQ(memo.size(), 4u); // the empty line is there, with nothing to draw
    for (const Placed* item : memo)
        EXPECT_DOUBLE_EQ(item->rect.left(), 10);
    EXPECT_EQ(memo[1]->text, QString());
    EXPECT_EQ(memo[3]->text, lines[3]);
}

TEST(ReceiptReportTest, ALongReceiptGoesOnToASecondPageAndAnEmptyOnePrintsTheHeading)
{
    // Eighty 7-point lines fit one page; a hundred do not.
    QStringList lines;
    for (int i = 1; i <= 100; ++i)
        lines << QStringLiteral("  linha %1").arg(i, 3, 10, QLatin1Char('0')) + QString(60, u' ') + QStringLiteral("col");
    const std::vector<Page> pages = layOut(
        { ReceiptReport::build(false, { QStringLiteral("H-1"), QVariant(), Receipts::receiptBytes(lines) }, kContext) },
        kMetrics);
    ASSERT_EQ(pages.size(), 2u);
    int printed = 0;
    for (const Page& page : pages) {
        for (const Placed* item : page.texts()) {
            if (item->font.face == Face::Mono) {
                ++printed;
                EXPECT_DOUBLE_EQ(item->rect.left(), 10);
            }
        }
        expectNoOverprint(page);
        EXPECT_NE(find(page, QString::number(page.number)), nullptr);
    }
    EXPECT_EQ(printed, 100);

    const std::vector<Page> empty
        = layOut({ ReceiptReport::build(false, { QStringLiteral("H-2"), QVariant(), QByteArray() }, kContext) }, kMetrics);
    ASSERT_EQ(empty.size(), 1u);
    EXPECT_TRUE(textsOf(empty[0]).contains(ReceiptReport::kEnablementTitle));
    EXPECT_EQ(valueAfter(empty[0], QStringLiteral("Nº do protocolo de transmissão:")), QStringLiteral("H-2"));
}

TEST_F(PrintedReportsTest, RequestPrintoutPagesForPartnersAndResponsiblesWithCursorsKept)
{
    storeRequests();
    RecordSet& partners = *m_jx->cdsSolicitacao_IE_Socio;
    ASSERT_EQ(partners.count(), 3);
    ASSERT_EQ(m_jx->cdsSolicitacao_IE_Responsavel->count(), 2);
    partners.moveTo(1);
    const QString secondAddress = m_jx->cdsIESocioEnd->text("LOGRADOURO");
    const QString before = dumpOf(*m_jx->cdsSolicitacaoIE);

    const std::vector<Report> reports = FilingPrintouts::request(*m_jx, kContext);
    const std::vector<Page> pages = layOut(reports, kMetrics);
    ASSERT_EQ(pages.size(), 6u);
    const QStringList names { pages[0].report, pages[1].report, pages[3].report, pages[4].report, pages[5].report };
    EXPECT_EQ(names, (QStringList { "qrSolicitacao", "qrSocio", "qrSocio", "qrResponsavel", "qrResponsavel" }));
    for (const Page& page : pages) {
        EXPECT_TRUE(textsOf(page).contains(QStringLiteral("JX 1.00.00")));
        EXPECT_TRUE(textsOf(page).contains(FilingPrintouts::kRequestTitle));
        EXPECT_NE(find(page, QString::number(page.number)), nullptr);
    }
    // Each person's page shows that person's own data.
    EXPECT_EQ(valueAfter(pages[1], QStringLiteral("Identificação:")), QStringLiteral("CPF 529.982.247-25"));
    EXPECT_EQ(valueAfter(pages[2], QStringLiteral("Identificação:")), QStringLiteral("CNPJ 11.444.777/0001-61"));
    EXPECT_EQ(valueAfter(pages[2], QStringLiteral("CPF Procurador/Resp. Legal:")), QStringLiteral("111.444.777-35"));
    EXPECT_EQ(valueAfter(pages[2], QStringLiteral("Perc. Participação:")), QStringLiteral("12,50"));
    EXPECT_NE(valueAfter(pages[1], QStringLiteral("Cargo:")), valueAfter(pages[2], QStringLiteral("Cargo:")));
    EXPECT_EQ(valueAfter(pages[3], QStringLiteral("Bairro:")), QStringLiteral("ZONA RURAL"));
    EXPECT_EQ(valueAfter(pages[4], QStringLiteral("CPF:")), QStringLiteral("877.482.488-00"));
    EXPECT_EQ(valueAfter(pages[5], QStringLiteral("Função:")), QString()); // no such function
    EXPECT_EQ(valueAfter(pages[5], QStringLiteral("CEP:")), QStringLiteral("     -"));

    // Nothing moved: the partner under the cursor and its address are those of before.
    EXPECT_EQ(partners.recNo(), 1);
    EXPECT_EQ(m_jx->cdsIESocioEnd->text("LOGRADOURO"), secondAddress);
    EXPECT_EQ(dumpOf(*m_jx->cdsSolicitacaoIE), before);
    EXPECT_FALSE(m_jx->cdsSolicitacaoIE->hasPending());
}

TEST_F(PrintedReportsTest, RequestFirstPageValuesInTheirDisplayForms)
{
    storeRequests();
    const std::vector<Page> pages = layOut({ FilingPrintouts::request(*m_jx, kContext).front() }, kMetrics);
    ASSERT_EQ(pages.size(), 1u);
    const Page& p = pages[0];
    EXPECT_EQ(valueAfter(p, QStringLiteral("CNPJ:")), QStringLiteral("11.222.333/0001-81"));
    EXPECT_EQ(valueAfter(p, QStringLiteral("Localização:")), QStringLiteral("QZ"));
    EXPECT_EQ(valueAfter(p, QStringLiteral("NIRE:")), QStringLiteral("53.2.000.123.4-5"));
    EXPECT_EQ(valueAfter(p, QStringLiteral("Limite Receita Bruta Anual Prevista:")), QStringLiteral("12345678,90"));
    EXPECT_EQ(valueAfter(p, QStringLiteral("Substituto Tributário:")), QStringLiteral("Sim"));
    EXPECT_EQ(valueAfter(p, QStringLiteral("Insc. Estadual Única:")), QStringLiteral("Não"));
    EXPECT_EQ(valueAfter(p, QStringLiteral("Ident. Contabilista/Empresa Contábil:")), QStringLiteral("CPF 529.982.247-25"));
    EXPECT_EQ(valueAfter(p, QStringLiteral("Categoria:")), QStringLiteral("Filial"));
    EXPECT_EQ(valueAfter(p, QStringLiteral("Livros em Escrit. de Contabilidade:")), QStringLiteral("Sim"));
    EXPECT_EQ(valueAfter(p, QStringLiteral("Nome Empresarial:")), QStringLiteral("FRIGORÍFICO SÃO JOÃO LTDA"));
    EXPECT_EQ(valueAfter(p, QStringLiteral("Data de Início de Atividade:")), QStringLiteral("30/11/2026"));
    EXPECT_EQ(valueAfter(p, QStringLiteral("Data Início:")), QString());
    // Five linked registrations padded to 18; the 12 mm box holds what fits.
    const QString linked = valueAfter(p, QStringLiteral("Incorporadas/Fundidas/Cindidas:"));
    EXPECT_TRUE(linked.startsWith(QStringLiteral("1234567890101      1234567890202"))) << linked.toStdString();
    EXPECT_FALSE(valueAfter(p, QStringLiteral("CNAE-F Principal:")).isEmpty());
    EXPECT_TRUE(textsOf(p).contains(QStringLiteral("Estabelecimento")));
    EXPECT_TRUE(textsOf(p).contains(QStringLiteral("Correspondência")));
}

TEST_F(PrintedReportsTest, ARequestWithoutPeopleIsOnePageAndFlagsReadAsTheirText)
{
    storeRequests();
    m_jx->cdsSolicitacaoIE->moveTo(0); // the bare request: no partners, no responsible persons
    ASSERT_TRUE(m_jx->cdsSolicitacao_IE_Socio->isEmpty());
    const std::vector<Page> pages = layOut(FilingPrintouts::request(*m_jx, kContext), kMetrics);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(valueAfter(pages[0], QStringLiteral("Localização:")), QStringLiteral("QZ"));
    EXPECT_EQ(valueAfter(pages[0], QStringLiteral("Substituto Tributário:")), QStringLiteral("Não"));
    EXPECT_EQ(valueAfter(pages[0], QStringLiteral("Categoria:")), QStringLiteral("Filial"));
    EXPECT_EQ(valueAfter(pages[0], QStringLiteral("Limite Receita Bruta Anual Prevista:")), QString());
    EXPECT_EQ(valueAfter(pages[0], QStringLiteral("Ident. Contabilista/Empresa Contábil:")),
        QStringLiteral("CNPJ   .   .   /    -"));
    m_jx->cdsSolicitacaoIE->moveTo(2);
    EXPECT_EQ(valueAfter(layOut(FilingPrintouts::request(*m_jx, kContext), kMetrics)[0], QStringLiteral("Localização:")),
        QStringLiteral("Outra UF"));
}

TEST_F(PrintedReportsTest, EnablementOnOnePage)
{
    storeEnablements();
    const std::vector<Page> pages = layOut({ FilingPrintouts::enablement(*m_jx, kContext) }, kMetrics);
    ASSERT_EQ(pages.size(), 1u);
    const Page& p = pages[0];
    EXPECT_TRUE(textsOf(p).contains(FilingPrintouts::kEnablementTitle));
    EXPECT_EQ(valueAfter(p, QStringLiteral("Identificação:")), QStringLiteral("11222333000181"));
    EXPECT_EQ(valueAfter(p, QStringLiteral("CPF do Responsável:")), QStringLiteral("529.982.247-25"));
    EXPECT_EQ(valueAfter(p, QStringLiteral("Data de Nascimento do Responsável:")), QStringLiteral("29/02/1980"));
    EXPECT_EQ(valueAfter(p, QStringLiteral("Caixa Postal:")), QStringLiteral("1234"));
    EXPECT_EQ(valueAfter(p, QStringLiteral("CEP da Caixa Postal:")), QStringLiteral("70000-888"));
    EXPECT_EQ(valueAfter(p, QStringLiteral("Município:")), QStringLiteral("SANTA CLARA DO QUIZAPÁ"));
    EXPECT_DOUBLE_EQ(find(p, QStringLiteral("CEP:"))->rect.left(), 11);
    EXPECT_DOUBLE_EQ(find(p, QStringLiteral("Bairro:"))->rect.left(), 11);
}

TEST(ReportEngine, AHugeTextFromOutsideIsLaidOutInLinearTime)
{
    // A restored receipt could hold anything: four megabytes on one line, no blank in it.
    const QString huge(4 * 1024 * 1024, u'X');
    QElapsedTimer timer;
    timer.start();
    const std::vector<QString> lines = wrapText(huge, mono(7), 190, kMetrics);
    EXPECT_LT(timer.elapsed(), 20000);
    ASSERT_FALSE(lines.empty());
    qsizetype total = 0;
    for (const QString& line : lines)
        total += line.size();
    EXPECT_EQ(total, huge.size());
    EXPECT_EQ(lines.front().size(), 128); // 190 mm of 1.48 mm characters
    EXPECT_EQ(cutToWidth(huge, mono(7), 190, kMetrics).size(), 128);
}
