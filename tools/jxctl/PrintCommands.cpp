// jxctl imprimir: the printed forms, receipts and pending lists written as PDF files, the same
// reports the print preview shows, without a window.

#include "Cli.h"
#include "DataModule.h"

#include "ReportPainter.h"
#include "data/TdtmJX.h"
#include "db/Sqlite.h"
#include "reports/FilingPrintouts.h"
#include "reports/PendingReport.h"
#include "reports/ReceiptReport.h"

#include <QDate>

namespace jxctl {

namespace {

const QString kUsage = QStringLiteral(
    "imprimir solicitacao|habilitacao ID --pdf ARQ [--banco CAMINHO] | imprimir recibo ENTREGA_ID --pdf ARQ "
    "[--banco CAMINHO] | imprimir pendencias solicitacao|habilitacao ID --pdf ARQ [--banco CAMINHO] [--hoje DD/MM/AAAA]");

// Lays the reports out, writes them and says how many pages.
int writeReports(const std::vector<jx::report::Report>& reports, const QString& pdf, const QString& title)
{
    const jx::report::QtTextMetrics metrics;
    const auto pages = jx::report::layOut(reports, metrics);
    jx::report::writePdf(pages, pdf, title);
    out(QStringLiteral("%1 página(s) gravada(s) em %2").arg(pages.size()).arg(pdf));
    return 0;
}

int printFiling(bool request, qint64 id, const QString& database, const QString& pdf)
{
    const auto module = openDataModule(database);
    jx::TdtmJX& jx = *module->jx;
    locateFiling(jx, request, id);
    const auto context = jx::report::PrintContext::of(jx);
    if (request)
        return writeReports(jx::report::FilingPrintouts::request(jx, context), pdf, jx::report::FilingPrintouts::kRequestTitle);
    return writeReports(
        { jx::report::FilingPrintouts::enablement(jx, context) }, pdf, jx::report::FilingPrintouts::kEnablementTitle);
}

int printReceipt(qint64 deliveryId, const QString& database, const QString& pdf)
{
    const auto module = openDataModule(database);
    jx::db::Statement s = module->database->connection().prepare(
        QStringLiteral("SELECT NUMEROPROTOCOLO, DATAHORAPROTOCOLO, RECIBO, SOLICITACAO_ID FROM ENTREGAS "
                       "WHERE IDENTIFICADOR = :ID"));
    s.bind(QStringLiteral(":ID"), deliveryId);
    if (!s.step())
        throw UsageError(QStringLiteral("Entrega %1 não encontrada.").arg(deliveryId));
    if (s.value(0).isNull())
        throw UsageError(QStringLiteral("A entrega %1 ainda não tem protocolo: não há recibo a imprimir.").arg(deliveryId));
    const bool request = !s.value(3).isNull();
    const jx::report::ReceiptReport::Delivery delivery { s.text(0), s.value(1), s.value(2).toByteArray() };
    return writeReports({ jx::report::ReceiptReport::build(request, delivery, jx::report::PrintContext::of(*module->jx)) },
        pdf, QStringLiteral("Recibo"));
}

int printPending(bool request, qint64 id, const QDate& today, const QString& database, const QString& pdf)
{
    const auto module = openDataModule(database);
    jx::TdtmJX& jx = *module->jx;
    verifyFiling(jx, request, id, today);
    // The totals as the list window counts them: errors, and every other item a warning.
    const jx::data::RecordSet& list = *jx.cdsPendecias;
    int errors = 0;
    for (int v = 0; v < list.count(); ++v) {
        if (list.valueAt(v, list.fieldIndex(QStringLiteral("Tipo"))).toString() == QLatin1String("E"))
            ++errors;
    }
    return writeReports(
        { jx::report::PendingReport::build(jx, request ? 1 : 0, errors, list.count() - errors, jx::report::PrintContext::of(jx)) },
        pdf, QStringLiteral("Relação de Pendências"));
}

int print(const QStringList& argsIn)
{
    QStringList args = argsIn;
    const QString database = databaseOption(args);
    const QString pdf = takeOption(args, QStringLiteral("--pdf"));
    const QDate today = todayOption(args);
    if (pdf.isEmpty())
        throw UsageError(QStringLiteral("Informe com --pdf o arquivo a gravar. Uso: jxctl %1").arg(kUsage));
    if (args.isEmpty())
        throw UsageError(QStringLiteral("Uso: jxctl %1").arg(kUsage));
    const QString what = args.takeFirst();
    if (what == QLatin1String("recibo")) {
        requireCount(args, 1, kUsage);
        return printReceipt(idOf(args[0]), database, pdf);
    }
    if (what == QLatin1String("pendencias")) {
        requireCount(args, 2, kUsage);
        return printPending(requestKind(args[0], kUsage), idOf(args[1]), today, database, pdf);
    }
    requireCount(args, 1, kUsage);
    return printFiling(requestKind(what, kUsage), idOf(args[0]), database, pdf);
}

} // namespace

std::vector<Command> printCommands()
{
    return { { QStringLiteral("imprimir"), kUsage, print } };
}

} // namespace jxctl
