#include "TscrRptPreview.h"

#include "Error.h"
#include "ReportPainter.h"
#include "data/TdtmJX.h"
#include "platform/UserPrompts.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QToolBar>

namespace jx::gui {

TscrRptPreview::TscrRptPreview(std::vector<report::Page> pages, const QString& reportName, const QString& caption,
    UserPrompts& prompts, QWidget* parent)
    : QPrintPreviewDialog(parent)
    , m_pages(std::move(pages))
    , m_prompts(prompts)
{
    setObjectName(reportName);
    setWindowTitle(caption);
    // The dialog's own printer: A4, and the reports place everything from the paper's
    // corner, margins included.
    printer()->setPageSize(QPageSize(QPageSize::A4));
    printer()->setPageOrientation(QPageLayout::Portrait);
    printer()->setFullPage(true);
    printer()->setDocName(caption);
    connect(this, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* printer) {
        QPainter painter;
        if (!painter.begin(printer))
            return;
        report::paintPages(painter, *printer, m_pages);
        painter.end();
    });
    if (auto* bar = findChild<QToolBar*>()) {
        bar->addSeparator();
        QAction* save = bar->addAction(kSavePdf);
        save->setObjectName(QStringLiteral("actSalvarPdf"));
        save->setToolTip(kSavePdf);
        connect(save, &QAction::triggered, this, [this] { savePdf(); });
    }
    resize(900, 700);
}

TscrRptPreview::~TscrRptPreview() = default;

bool TscrRptPreview::savePdf()
{
    // Named after what it shows ("Recibo.pdf"); a "/" of a caption cannot stand in a file name.
    QString name = windowTitle();
    name.replace(u'/', u'-');
    QString path = m_prompts.chooseSaveFile(kSavePdfCaption, QDir::home().filePath(name + QStringLiteral(".pdf")), kPdfFilter);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".pdf");
    try {
        report::writePdf(m_pages, path, windowTitle());
    } catch (const Error& e) {
        m_prompts.error(e.userText());
        return false;
    }
    return true;
}

void previewReports(const std::vector<report::Report>& reports, const QString& reportName, const QString& caption,
    UserPrompts& prompts, QWidget* parent)
{
    const report::QtTextMetrics metrics;
    TscrRptPreview preview(report::layOut(reports, metrics), reportName, caption, prompts, parent);
    preview.exec();
}

void previewReceipt(
    TdtmJX& jx, UserPrompts& prompts, bool request, const report::ReceiptReport::Delivery& delivery, QWidget* parent)
{
    const report::Report receipt = report::ReceiptReport::build(request, delivery, report::PrintContext::of(jx));
    previewReports({ receipt }, receipt.name, QStringLiteral("Recibo"), prompts, parent);
}

} // namespace jx::gui
