#include "reports/ReportModel.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace jx::report {

namespace {

constexpr double kEpsilon = 1e-6;
// More characters than any line of a page holds at a legible size: a text from outside (a
// restored receipt of megabytes on one line) is measured a line's worth at a time.
constexpr qsizetype kMaxLineChars = 2000;

// Trailing blanks are never seen, and measuring them would wrap lines that fit.
QString withoutTrailingBlanks(const QString& text)
{
    qsizetype n = text.size();
    while (n > 0 && text.at(n - 1) == u' ')
        --n;
    return text.left(n);
}

// How many first characters of the text fit the width (widths of starts only grow).
qsizetype fitCount(const QString& text, const Font& font, double width, const TextMetrics& metrics)
{
    qsizetype low = 0;
    qsizetype high = text.size();
    while (low < high) {
        const qsizetype mid = (low + high + 1) / 2;
        if (metrics.width(font, text.left(mid)) <= width + kEpsilon)
            low = mid;
        else
            high = mid - 1;
    }
    return low;
}

// One placed item with its position relative to its band's top.
struct Piece {
    Placed placed;
    double top = 0;
    double height = 0;
    Computed computed = Computed::None;
};

struct BandPieces {
    std::vector<Piece> pieces;
    double height = 0;
};

BandPieces piecesOf(const Band& band, double bandWidth, const TextMetrics& metrics)
{
    BandPieces out;
    out.height = band.height;
    for (const Item& item : band.items) {
        const double width = item.width > 0 ? item.width : std::max(0.0, bandWidth - item.x);
        Piece piece;
        piece.placed.kind = item.kind;
        piece.placed.font = item.font;
        piece.placed.align = item.align;
        piece.placed.band = band.kind;
        piece.computed = item.computed;
        if (item.kind != Item::Kind::Text) {
            piece.placed.text = item.text;
            piece.placed.rect = QRectF(item.x, item.y, width, item.height);
            piece.top = item.y;
            piece.height = item.height;
            out.pieces.push_back(piece);
            continue;
        }
        const double lineHeight = metrics.lineHeight(item.font);
        double shrinkDrop = 0;
        std::vector<QString> lines;
        if (item.computed != Computed::None)
            lines.push_back(QString());
        else if (item.wrap)
            lines = wrapText(item.text, item.font, width, metrics);
        else {
            const QString line = item.text.section(u'\n', 0, 0).remove(u'\r');
            if (item.shrink) {
                const double smallest = item.font.points * 0.7;
                while (piece.placed.font.points - 0.25 >= smallest - kEpsilon
                    && metrics.width(piece.placed.font, withoutTrailingBlanks(line)) > width + kEpsilon)
                    piece.placed.font.points -= 0.25;
                // Smaller letters stay on the line's baseline.
                shrinkDrop = (metrics.lineHeight(item.font) - metrics.lineHeight(piece.placed.font)) * 0.8;
            }
            lines.push_back(cutToWidth(line, piece.placed.font, width, metrics));
        }
        if (item.wrap && !item.grows && item.height > 0) {
            const auto room = std::size_t(std::floor(item.height / lineHeight + kEpsilon));
            if (lines.size() > room)
                lines.resize(room);
        }
        for (std::size_t i = 0; i < lines.size(); ++i) {
            Piece line = piece;
            line.top = item.y + shrinkDrop + double(i) * lineHeight;
            line.height = lineHeight;
            line.placed.text = lines[i];
            line.placed.rect = QRectF(item.x, line.top, width, lineHeight);
            out.pieces.push_back(line);
        }
        if (item.grows)
            out.height = std::max(out.height, item.y + double(lines.size()) * lineHeight);
    }
    std::stable_sort(out.pieces.begin(), out.pieces.end(), [](const Piece& a, const Piece& b) { return a.top < b.top; });
    return out;
}

class Paginator {
public:
    Paginator(const Report& report, const TextMetrics& metrics, std::vector<Page>& pages, int& pageCounter)
        : m_report(report)
        , m_metrics(metrics)
        , m_pages(pages)
        , m_counter(pageCounter)
    {
        for (const Band& band : report.bands) {
            if (band.kind == Band::Kind::PageFooter)
                m_footerHeight = std::max(m_footerHeight, band.height);
        }
    }

    void run()
    {
        startPage(true);
        for (const Band& band : m_report.bands) {
            if (band.kind == Band::Kind::Detail)
                flow(band);
        }
        for (const Band& band : m_report.bands) {
            if (band.kind == Band::Kind::Summary)
                flow(band);
        }
    }

private:
    double bodyBottom() const { return m_report.pageHeight - m_report.bottom - m_footerHeight; }

    void startPage(bool first)
    {
        Page page;
        page.report = m_report.name;
        page.number = ++m_counter;
        page.width = m_report.pageWidth;
        page.height = m_report.pageHeight;
        m_pages.push_back(std::move(page));
        m_y = m_report.top;
        for (const Band& band : m_report.bands) {
            if (band.kind == Band::Kind::Title && first) {
                place(piecesOf(band, m_report.bandWidth(), m_metrics), m_y);
                m_y += band.height;
            }
        }
        for (const Band& band : m_report.bands) {
            if (band.kind == Band::Kind::PageHeader) {
                place(piecesOf(band, m_report.bandWidth(), m_metrics), m_y);
                m_y += band.height;
            }
        }
        for (const Band& band : m_report.bands) {
            if (band.kind == Band::Kind::PageFooter)
                place(piecesOf(band, m_report.bandWidth(), m_metrics), bodyBottom());
        }
        m_bodyTop = m_y;
        m_bodyEmpty = true;
    }

    void place(const BandPieces& band, double top)
    {
        for (const Piece& piece : band.pieces)
            placeOne(piece, top);
    }

    void placeOne(const Piece& piece, double bandTop)
    {
        Placed placed = piece.placed;
        placed.rect.translate(m_report.left, bandTop);
        if (piece.computed == Computed::PageNumber)
            placed.text = QString::number(m_pages.back().number);
        m_pages.back().items.push_back(std::move(placed));
    }

    void flow(const Band& band)
    {
        const BandPieces pieces = piecesOf(band, m_report.bandWidth(), m_metrics);
        if (m_y + pieces.height > bodyBottom() + kEpsilon && !m_bodyEmpty)
            startPage(false);
        if (m_y + pieces.height <= bodyBottom() + kEpsilon) {
            place(pieces, m_y);
            m_y += pieces.height;
            m_bodyEmpty = false;
            return;
        }
        // Taller than a whole page body: carried on, piece by piece, over as many pages as
        // it needs (a long receipt).
        double offset = m_y;
        for (const Piece& piece : pieces.pieces) {
            const double top = piece.top + offset;
            if (top + piece.height > bodyBottom() + kEpsilon && top > m_bodyTop + kEpsilon) {
                startPage(false);
                offset = m_bodyTop - piece.top;
            }
            placeOne(piece, offset);
        }
        m_y = std::min(bodyBottom(), offset + pieces.height);
        m_bodyEmpty = false;
    }

    const Report& m_report;
    const TextMetrics& m_metrics;
    std::vector<Page>& m_pages;
    int& m_counter;
    double m_footerHeight = 0;
    double m_y = 0;
    double m_bodyTop = 0;
    bool m_bodyEmpty = true;
};

} // namespace

std::vector<const Placed*> Page::texts() const
{
    std::vector<const Placed*> out;
    for (const Placed& item : items) {
        if (item.kind == Item::Kind::Text)
            out.push_back(&item);
    }
    std::stable_sort(out.begin(), out.end(), [](const Placed* a, const Placed* b) {
        const double ay = std::round(a->rect.top() * 10);
        const double by = std::round(b->rect.top() * 10);
        return ay != by ? ay < by : a->rect.left() < b->rect.left();
    });
    return out;
}

std::vector<Page> layOut(const std::vector<Report>& reports, const TextMetrics& metrics)
{
    std::vector<Page> pages;
    int counter = 0;
    for (const Report& report : reports)
        Paginator(report, metrics, pages, counter).run();
    return pages;
}

std::vector<QString> wrapText(const QString& text, const Font& font, double width, const TextMetrics& metrics)
{
    std::vector<QString> lines;
    QString source = text;
    source.remove(u'\r');
    for (const QString& paragraph : source.split(u'\n')) {
        const QString text = withoutTrailingBlanks(paragraph);
        if (text.isEmpty()) {
            lines.push_back(QString());
            continue;
        }
        // By position, not by copying what is left: a long paragraph stays linear.
        qsizetype pos = 0;
        while (pos < text.size()) {
            const QString window = text.mid(pos, kMaxLineChars);
            if (pos + window.size() == text.size() && metrics.width(font, window) <= width + kEpsilon) {
                lines.push_back(window);
                break;
            }
            // At least one character a line, or a narrow box would never finish.
            const qsizetype fits = std::max<qsizetype>(1, fitCount(window, font, width, metrics));
            qsizetype blank = -1;
            for (qsizetype i = std::min(fits, window.size() - 1); i > 0; --i) {
                if (window.at(i) == u' ') {
                    blank = i;
                    break;
                }
            }
            QString line = blank > 0 ? withoutTrailingBlanks(window.left(blank)) : QString();
            qsizetype next = pos + blank;
            if (line.isEmpty()) {
                line = window.left(fits);
                next = pos + fits;
            }
            lines.push_back(line);
            while (next < text.size() && text.at(next) == u' ')
                ++next;
            pos = next;
        }
    }
    return lines;
}

QString cutToWidth(const QString& text, const Font& font, double width, const TextMetrics& metrics)
{
    const QString trimmed = withoutTrailingBlanks(text);
    if (trimmed.size() <= kMaxLineChars && metrics.width(font, trimmed) <= width + kEpsilon)
        return trimmed;
    return trimmed.left(fitCount(trimmed.left(kMaxLineChars), font, width, metrics));
}

} // namespace jx::report
