#include "reports/ReceiptReport.h"

#include "config/ProgramVersion.h"
#include "data/RecordSet.h"
#include "delivery/DataLayouts.h"
#include "delivery/Receipts.h"

namespace jx::report {

namespace {

// Hours, minutes and seconds of the protocol moment; a protocol recorded at 14:05 prints
// 14:05:00.
QString timeText(const QVariant& moment)
{
    const QString full = DataLayouts::dateTimeText(moment);
    if (full.isEmpty())
        return {};
    const QString time = full.section(u' ', 1, 1);
    return time.isEmpty() ? QStringLiteral("00:00:00") : time;
}

} // namespace

QStringList ReceiptReport::receiptLines(const QByteArray& stored)
{
    QString text = Receipts::fromWindows1252(stored);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    if (text.endsWith(u'\n'))
        text.chop(1);
    return text.isEmpty() ? QStringList() : text.split(u'\n');
}

QString ReceiptReport::plainText(bool request, const Delivery& delivery)
{
    const QString crlf = QStringLiteral("\r\n");
    QString text = (request ? kRequestTitle : kEnablementTitle) + crlf;
    text += QStringLiteral("Nº do protocolo de transmissão: ") + delivery.protocol.trimmed() + crlf;
    text += QStringLiteral("Data da transmissão: ") + DataLayouts::dateText(delivery.moment) + crlf;
    text += QStringLiteral("Hora da transmissão: ") + timeText(delivery.moment) + crlf + crlf;
    return text + Receipts::fromWindows1252(delivery.receipt);
}

ReceiptReport::Delivery ReceiptReport::currentDelivery(const data::RecordSet& deliveries)
{
    if (deliveries.isEmpty())
        return {};
    return { deliveries.text(QStringLiteral("NUMEROPROTOCOLO")), deliveries.value(QStringLiteral("DATAHORAPROTOCOLO")),
        deliveries.value(QStringLiteral("RECIBO")).toByteArray() };
}

Report ReceiptReport::build(bool request, const Delivery& delivery, const PrintContext& context)
{
    Report report;
    report.name = request ? QStringLiteral("TscrRptReciboSolicitacaoIE")
                          : QStringLiteral("TscrRptReciboHabilitacaoContabilista");
    const double width = report.bandWidth();

    Band title = authorityHeading(Band::Kind::Title, 22, context, request ? kRequestTitle : kEnablementTitle, width, 9);
    title.items.push_back(rule(18, width));
    title.items.push_back(rule(19.5, width));
    report.bands.push_back(std::move(title));

    Band detail;
    detail.kind = Band::Kind::Detail;
    detail.height = 8;
    addLine(detail, 1,
        { { 0, QStringLiteral("Nº do protocolo de transmissão:"), 40, delivery.protocol.trimmed(), 7 },
            { 85, QStringLiteral("Data da transmissão:"), 111, DataLayouts::dateText(delivery.moment), 7 },
            { 140, QStringLiteral("Hora da transmissão:"), 166, timeText(delivery.moment), 7 } },
        width, 7);
    // The memo: each stored line starts at its left edge; a line wider than the band wraps
    // and the memo grows, over further pages if it must.
    const QStringList lines = receiptLines(delivery.receipt);
    if (!lines.isEmpty())
        detail.items.push_back(wrapped(0, 6, width, lines.join(u'\n'), mono(7)));
    report.bands.push_back(std::move(detail));

    report.bands.push_back(pageFooter(context, QStringLiteral("JX  ") + version::text(true), width, false));
    return report;
}

} // namespace jx::report
