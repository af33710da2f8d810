#pragma once

#include "reports/ReportModel.h"

#include <QFont>
#include <QString>

#include <map>
#include <memory>
#include <vector>

class QFontMetricsF;
class QPagedPaintDevice;
class QPainter;

namespace jx::report {

// The fonts of the printed forms: Arial and Courier New are drawn with Liberation Sans and
// Liberation Mono, which have the same character widths.
QFont qtFont(const Font& font);

// Measures with the very fonts the painter draws with, at a size independent of any screen.
class QtTextMetrics : public TextMetrics {
public:
    QtTextMetrics();
    ~QtTextMetrics() override;
    double width(const Font& font, const QString& text) const override;
    double lineHeight(const Font& font) const override;
    double ascent(const Font& font) const;

private:
    const QFontMetricsF& metricsOf(const Font& font) const;
    mutable std::map<std::tuple<int, double, bool>, std::unique_ptr<QFontMetricsF>> m_cache;
};

// Draws laid-out pages on a painter already begun on a paged device (a printer or a PDF
// writer), one page of the device for each page.
void paintPages(QPainter& painter, QPagedPaintDevice& device, const std::vector<Page>& pages);

// Writes the pages as a PDF file, replacing the file at once when it is complete (never
// half written). Throws jx::Error with kPdfWriteText when it cannot.
void writePdf(const std::vector<Page>& pages, const QString& path, const QString& title);

inline const QString kPdfWriteText = QStringLiteral("Não foi possível gravar o arquivo PDF \"%1\".");

} // namespace jx::report
