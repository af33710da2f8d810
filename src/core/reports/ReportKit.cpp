#include "reports/ReportKit.h"

#include "data/TdtmJX.h"

namespace jx::report {

PrintContext PrintContext::of(const TdtmJX& jx)
{
    return { jx.Config.NomeOrgao, QDateTime::currentDateTime() };
}

Font sans(double points, bool bold)
{
    return Font { Face::Sans, points, bold };
}

Font mono(double points)
{
    return Font { Face::Mono, points, false };
}

Item text(double x, double y, const QString& value, const Font& font, double width)
{
    Item item;
    item.x = x;
    item.y = y;
    item.text = value;
    item.font = font;
    item.width = width;
    return item;
}

namespace {
// Every report has at least 10 mm of right margin; 3 mm of it stay white.
constexpr double kValueIntoMargin = 7;
} // namespace

Item label(double x, double y, const QString& value, double valueX, double points)
{
    Item item = text(x, y, value, sans(points), std::max(1.0, valueX - x - 0.6));
    item.shrink = true;
    return item;
}

Item heading(double y, const QString& value, double bandWidth, double points)
{
    Item item = text(0, y, value, sans(points, true), bandWidth);
    item.align = Align::Centre;
    return item;
}

Item rule(double y, double width)
{
    Item item;
    item.kind = Item::Kind::Rule;
    item.y = y;
    item.width = width;
    return item;
}

Item wrapped(double x, double y, double width, const QString& value, const Font& font, double boxHeight)
{
    Item item = text(x, y, value, font, width);
    item.wrap = true;
    item.height = boxHeight;
    item.grows = boxHeight <= 0;
    return item;
}

Band authorityHeading(Band::Kind kind, double height, const PrintContext& context, const QString& title,
    double bandWidth, double programTitlePoints)
{
    Band band;
    band.kind = kind;
    band.height = height;
    Item emblem;
    emblem.kind = Item::Kind::Picture;
    emblem.text = kEmblem;
    emblem.width = 16;
    emblem.height = 13;
    band.items.push_back(emblem);
    band.items.push_back(heading(1, context.authority, bandWidth));
    Item program = text(0, 6, kProgramTitle, sans(programTitlePoints), bandWidth);
    program.align = Align::Centre;
    band.items.push_back(program);
    band.items.push_back(heading(11, title, bandWidth));
    return band;
}

Band pageFooter(const PrintContext& context, const QString& centreText, double bandWidth, bool doubleRule)
{
    Band band;
    band.kind = Band::Kind::PageFooter;
    band.height = 8;
    Item line = rule(0.5, bandWidth);
    if (doubleRule)
        line.kind = Item::Kind::DoubleRule;
    band.items.push_back(line);
    band.items.push_back(text(0, 2, momentText(context.printedAt), sans(8), 60));
    Item centre = text(60, 2, centreText, sans(8), bandWidth - 120);
    centre.align = Align::Centre;
    band.items.push_back(centre);
    Item number = text(bandWidth - 40, 2, QString(), sans(8), 40);
    number.align = Align::Right;
    number.computed = Computed::PageNumber;
    band.items.push_back(number);
    return band;
}

void addLine(Band& band, double y, const std::vector<Pair>& pairs, double bandWidth, double labelPoints)
{
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        const Pair& pair = pairs[i];
        // The last value of a line may run into the right margin (a CNPJ after a long label).
        const double end = i + 1 < pairs.size() ? pairs[i + 1].labelX - 1 : bandWidth + kValueIntoMargin;
        band.items.push_back(label(pair.labelX, y, pair.label, pair.valueX, labelPoints));
        // A smaller value font sits on the label's baseline.
        const double drop = (labelPoints - pair.valuePoints) * 0.25;
        band.items.push_back(text(pair.valueX, y + drop, pair.value, sans(pair.valuePoints), std::max(1.0, end - pair.valueX)));
    }
}

QString momentText(const QDateTime& moment)
{
    return moment.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
}

} // namespace jx::report
