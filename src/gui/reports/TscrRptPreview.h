#pragma once

#include "reports/ReceiptReport.h"
#include "reports/ReportKit.h"
#include "reports/ReportModel.h"

#include <QPrintPreviewDialog>

#include <memory>
#include <vector>

class QPrinter;

namespace jx {
class TdtmJX;
class UserPrompts;
} // namespace jx

namespace jx::gui {

// The print preview of laid-out pages, from which the user prints them or saves them as a
// PDF ("Salvar PDF"). Named after the report it shows.
class TscrRptPreview : public QPrintPreviewDialog {
    Q_OBJECT

public:
    TscrRptPreview(std::vector<report::Page> pages, const QString& reportName, const QString& caption,
        UserPrompts& prompts, QWidget* parent = nullptr);
    ~TscrRptPreview() override;

    const std::vector<report::Page>& pages() const { return m_pages; }
    // Asks for the file and writes it; a failure is told to the user. True when written.
    bool savePdf();

    static inline const QString kSavePdf = QStringLiteral("Salvar PDF");
    static inline const QString kSavePdfCaption = QStringLiteral("Salvar como PDF");
    static inline const QString kPdfFilter = QStringLiteral("Arquivos PDF (*.pdf)");

private:
    std::vector<report::Page> m_pages;
    UserPrompts& m_prompts;
};

// Lays the reports out (page numbers running on through them) and shows them in the modal
// preview; the preview is gone when this returns.
void previewReports(const std::vector<report::Report>& reports, const QString& reportName, const QString& caption,
    UserPrompts& prompts, QWidget* parent);
// A delivery's receipt, of a request or an enablement, in the window "Recibo".
void previewReceipt(
    TdtmJX& jx, UserPrompts& prompts, bool request, const report::ReceiptReport::Delivery& delivery, QWidget* parent);

} // namespace jx::gui
