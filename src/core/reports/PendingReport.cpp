#include "reports/PendingReport.h"

#include "config/ProgramVersion.h"
#include "data/RecordSet.h"
#include "data/TdtmJX.h"
#include "text/Masks.h"

namespace jx::report {

namespace {

// "CNPJ:" of a request; "CNPJ:" or "CPF:" of an enablement by its kind of identification.
std::pair<QString, QString> identification(TdtmJX& jx, int kind)
{
    if (kind == 1) {
        const data::RecordSet& r = *jx.cdsSolicitacaoIE;
        return { QStringLiteral("CNPJ:"), r.isEmpty() ? QString() : masks::apply(r.text("CNPJ"), masks::kCnpjDisplay) };
    }
    const data::RecordSet& e = *jx.cdsSolicitacao_Contab;
    if (e.isEmpty())
        return { QStringLiteral("CNPJ:"), QString() };
    if (e.value("TIPO_IDENTIFICACAO").toInt() == 3)
        return { QStringLiteral("CNPJ:"), masks::apply(e.text("IDENTIFICACAO"), masks::kCnpjDisplay) };
    return { QStringLiteral("CPF:"), masks::apply(e.text("IDENTIFICACAO"), masks::kCpfDisplay) };
}

} // namespace

Report PendingReport::build(TdtmJX& jx, int kind, int errors, int warnings, const PrintContext& context)
{
    Report report;
    report.name = QStringLiteral("TFrmRelVerificarPendencias");
    const double width = report.bandWidth();

    Band title = authorityHeading(
        Band::Kind::Title, 25, context, kind == 1 ? kRequestTitle : kEnablementTitle, width, 9);
    title.items.push_back(rule(17, width));
    const auto [label, number] = identification(jx, kind);
    title.items.push_back(text(0, 19, label, sans(10, true), 14));
    title.items.push_back(text(14, 19, number, sans(10)));
    report.bands.push_back(std::move(title));
    // The column headers head every page of a long list.
    Band columns;
    columns.kind = Band::Kind::PageHeader;
    columns.height = 9;
    columns.items.push_back(text(0, 1, QStringLiteral("Local"), sans(9, true), 50));
    columns.items.push_back(text(52, 1, QStringLiteral("Pendências"), sans(9, true), 118));
    columns.items.push_back(text(172, 1, QStringLiteral("Tipo"), sans(9, true), 18));
    columns.items.push_back(rule(6.5, width));
    report.bands.push_back(std::move(columns));

    data::RecordSet& items = *jx.cdsPendecias;
    for (int row = 0; row < items.count(); ++row) {
        Band line;
        line.kind = Band::Kind::Detail;
        line.height = 5;
        const int raw = items.rawRowAt(row);
        // Long texts wrap inside their column and the line grows: nothing overprints the next.
        line.items.push_back(wrapped(0, 0.8, 50, items.rawValue(raw, QStringLiteral("Local")).toString(), sans(8)));
        line.items.push_back(wrapped(52, 0.8, 118, items.rawValue(raw, QStringLiteral("Pendencia")).toString(), sans(8)));
        line.items.push_back(text(172, 0.8, items.rawValue(raw, QStringLiteral("desc_Tipo")).toString(), sans(8), 18));
        report.bands.push_back(std::move(line));
    }

    Band summary;
    summary.kind = Band::Kind::Summary;
    summary.height = 26;
    summary.items.push_back(rule(1, width));
    addLine(summary, 3, { { 0, QStringLiteral("Total de Erros:"), 30, QString::number(errors), 9 } }, width, 9);
    addLine(summary, 8, { { 0, QStringLiteral("Total de Avisos:"), 30, QString::number(warnings), 9 } }, width, 9);
    summary.items.push_back(text(0, 15, QStringLiteral("Atenção:"), sans(9, true), 16));
    summary.items.push_back(
        wrapped(16, 15.3, width - 16, (kind == 1 ? kRequestNotice : kEnablementNotice) + u'\n' + kNoticeEnd, sans(8)));
    report.bands.push_back(std::move(summary));

    report.bands.push_back(pageFooter(context, QStringLiteral("JX ") + version::text(true), width, false));
    return report;
}

} // namespace jx::report
