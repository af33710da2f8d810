#pragma once

#include <QRectF>
#include <QString>

#include <vector>

// A banded report described as data: what the program prints, before any page exists.
// Lengths are millimetres; positions of items are from the top-left corner of their band.
namespace jx::report {

// Arial and Courier New of the printed forms; the drawing maps them to fonts with the same
// metrics, so that blank runs of a fixed-pitch text align its columns.
enum class Face { Sans, Mono };

struct Font {
    Face face = Face::Sans;
    double points = 10;
    bool bold = false;

    bool operator==(const Font&) const = default;
};

enum class Align { Left, Centre, Right };

// Texts known only while pages are laid out.
enum class Computed { None, PageNumber };

struct Item {
    enum class Kind { Text, Rule, DoubleRule, Picture };

    Kind kind = Kind::Text;
    double x = 0;
    double y = 0;
    // 0: as far as the band's right edge. A single line is cut there, never carried over.
    double width = 0;
    // A box's height (wrapped text is cut to the lines it holds); 0 for a single line.
    double height = 0;
    QString text; // for a picture, its name
    Font font;
    Align align = Align::Left;
    // Word-wraps within the width; with grows the band stretches to every line, else the
    // lines beyond the box's height are dropped.
    bool wrap = false;
    bool grows = false;
    // A single line wider than its width is drawn smaller (down to 70 %) before it is cut: a
    // label keeps its words and stays clear of the value the design places after it.
    bool shrink = false;
    Computed computed = Computed::None;
};

struct Band {
    // Title: top of a report's first page. PageHeader/PageFooter: every page. Detail and
    // Summary in their order, the summary after the last detail.
    enum class Kind { Title, PageHeader, Detail, Summary, PageFooter };

    Kind kind = Kind::Detail;
    double height = 0;
    std::vector<Item> items;
};

struct Report {
    QString name;
    double pageWidth = 210;
    double pageHeight = 297;
    double top = 10;
    double bottom = 10;
    double left = 10;
    double right = 10;
    std::vector<Band> bands;

    double bandWidth() const { return pageWidth - left - right; }
};

// Items as they stand on a page, in page millimetres: each line of a wrapped text is a
// text item of its own.
struct Placed {
    Item::Kind kind = Item::Kind::Text;
    QRectF rect;
    QString text;
    Font font;
    Align align = Align::Left;
    Band::Kind band = Band::Kind::Detail;
};

struct Page {
    QString report;
    int number = 0;
    double width = 210;
    double height = 297;
    std::vector<Placed> items;

    // The texts of the page from top to bottom, left to right (tests, text output).
    std::vector<const Placed*> texts() const;
};

// Text measurement, given by whoever draws: the same fonts measure and draw.
class TextMetrics {
public:
    virtual ~TextMetrics() = default;
    virtual double width(const Font& font, const QString& text) const = 0;
    virtual double lineHeight(const Font& font) const = 0;
};

// Lays out the reports one after the other, each from a new page; page numbers run on
// through all of them, starting at 1.
std::vector<Page> layOut(const std::vector<Report>& reports, const TextMetrics& metrics);

// Word-wraps a text to the width: breaks at blanks (blank runs inside a line are kept, those
// at a break are dropped), a word wider than the line at characters; explicit line ends kept.
std::vector<QString> wrapText(const QString& text, const Font& font, double width, const TextMetrics& metrics);

// The longest start of the text that fits the width.
QString cutToWidth(const QString& text, const Font& font, double width, const TextMetrics& metrics);

} // namespace jx::report
