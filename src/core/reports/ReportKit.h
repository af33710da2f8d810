#pragma once

#include "reports/ReportModel.h"

#include <QDateTime>
#include <QString>

#include <vector>

// The pieces every report of the program is built from: its heading with the authority's
// emblem, its footer, label/value lines.
namespace jx {
class TdtmJX;
}

namespace jx::report {

// What a print-out knows about where and when it is printed.
struct PrintContext {
    QString authority; // the issuing authority's name (installation data)
    QDateTime printedAt;

    // The installation's authority, printed now.
    static PrintContext of(const TdtmJX& jx);
};

inline const QString kProgramTitle = QStringLiteral("JX - Inscrição Estadual");
inline const QString kEmblem = QStringLiteral("emblema");

Font sans(double points, bool bold = false);
Font mono(double points);

Item text(double x, double y, const QString& value, const Font& font = {}, double width = 0);
// A label standing before a value at valueX: made smaller rather than run into it.
Item label(double x, double y, const QString& value, double valueX, double points = 10);
// Bold, centred over the band.
Item heading(double y, const QString& value, double bandWidth, double points = 10);
Item rule(double y, double width);
Item wrapped(double x, double y, double width, const QString& value, const Font& font, double boxHeight = 0);

// The heading every form shares: the emblem in its 16 × 13 mm box at the left, the
// authority (bold), the program title, the form's title, centred over the band.
Band authorityHeading(Band::Kind kind, double height, const PrintContext& context, const QString& title,
    double bandWidth, double programTitlePoints);

// Footer: a rule (double when asked), then in 8 pt the moment of printing at the left, the
// centre text, the page number at the right.
Band pageFooter(const PrintContext& context, const QString& centreText, double bandWidth, bool doubleRule);

// A line of label/value pairs: each value reaches the next pair's label, the last one 7 mm into
// the right margin, and is cut there.
struct Pair {
    double labelX;
    QString label;
    double valueX;
    QString value;
    double valuePoints = 10;
};
void addLine(Band& band, double y, const std::vector<Pair>& pairs, double bandWidth, double labelPoints = 10);

// "dd/mm/yyyy hh:mm:ss" of the printing moment.
QString momentText(const QDateTime& moment);

} // namespace jx::report
