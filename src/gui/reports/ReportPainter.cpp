#include "ReportPainter.h"

#include "Error.h"

#include <QFontMetricsF>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QSaveFile>

namespace jx::report {

namespace {

// Drawing units: twentieths of a point. Fonts are sized in them, so that measuring and
// drawing agree whatever the device's resolution.
constexpr double kUnitsPerPoint = 20;
constexpr double kPointsPerMm = 72.0 / 25.4;

double units(double mm)
{
    return mm * kPointsPerMm * kUnitsPerPoint;
}

double mmOf(double unitsValue)
{
    return unitsValue / kUnitsPerPoint / kPointsPerMm;
}

QRectF unitsRect(const QRectF& mm)
{
    return QRectF(units(mm.left()), units(mm.top()), units(mm.width()), units(mm.height()));
}

// The authority's emblem, drawn (no picture file): a shield with its initials.
void drawEmblem(QPainter& painter, const QRectF& box)
{
    painter.save();
    const double side = std::min(box.width() * 0.8, box.height());
    const QRectF shield(box.left() + (box.width() - side * 0.8) / 2, box.top(), side * 0.8, side);
    QPainterPath path;
    path.moveTo(shield.left(), shield.top());
    path.lineTo(shield.right(), shield.top());
    path.lineTo(shield.right(), shield.top() + shield.height() * 0.55);
    path.quadTo(shield.right(), shield.bottom(), shield.center().x(), shield.bottom());
    path.quadTo(shield.left(), shield.bottom(), shield.left(), shield.top() + shield.height() * 0.55);
    path.closeSubpath();
    painter.setPen(QPen(QColor(0x1F, 0x3A, 0x68), units(0.3)));
    painter.setBrush(QColor(0xE8, 0xEE, 0xF7));
    painter.drawPath(path);
    QFont font = qtFont(Font { Face::Sans, 7, true });
    painter.setFont(font);
    painter.setPen(QColor(0x1F, 0x3A, 0x68));
    painter.drawText(shield.adjusted(0, 0, 0, -shield.height() * 0.2), Qt::AlignCenter, QStringLiteral("ZKF"));
    painter.restore();
}

} // namespace

QFont qtFont(const Font& font)
{
    QFont q(font.face == Face::Mono ? QStringLiteral("Liberation Mono") : QStringLiteral("Liberation Sans"));
    q.setFamilies(font.face == Face::Mono
            ? QStringList { QStringLiteral("Liberation Mono"), QStringLiteral("Courier New") }
            : QStringList { QStringLiteral("Liberation Sans"), QStringLiteral("Arial") });
    q.setStyleHint(font.face == Face::Mono ? QFont::Monospace : QFont::SansSerif);
    q.setPixelSize(qRound(font.points * kUnitsPerPoint));
    q.setBold(font.bold);
    q.setHintingPreference(QFont::PreferNoHinting);
    q.setKerning(false);
    return q;
}

QtTextMetrics::QtTextMetrics() = default;
QtTextMetrics::~QtTextMetrics() = default;

const QFontMetricsF& QtTextMetrics::metricsOf(const Font& font) const
{
    auto& slot = m_cache[{ int(font.face), font.points, font.bold }];
    if (!slot)
        slot = std::make_unique<QFontMetricsF>(qtFont(font));
    return *slot;
}

double QtTextMetrics::width(const Font& font, const QString& text) const
{
    return mmOf(metricsOf(font).horizontalAdvance(text));
}

double QtTextMetrics::lineHeight(const Font& font) const
{
    return mmOf(metricsOf(font).lineSpacing());
}

double QtTextMetrics::ascent(const Font& font) const
{
    return mmOf(metricsOf(font).ascent());
}

void paintPages(QPainter& painter, QPagedPaintDevice& device, const std::vector<Page>& pages)
{
    QtTextMetrics metrics;
    const double scale = device.logicalDpiX() / (72.0 * kUnitsPerPoint);
    for (std::size_t i = 0; i < pages.size(); ++i) {
        if (i > 0)
            device.newPage();
        painter.save();
        painter.scale(scale, device.logicalDpiY() / (72.0 * kUnitsPerPoint));
        painter.setRenderHint(QPainter::Antialiasing);
        for (const Placed& item : pages[i].items) {
            const QRectF rect = unitsRect(item.rect);
            switch (item.kind) {
            case Item::Kind::Text: {
                if (item.text.isEmpty())
                    break;
                const QFont font = qtFont(item.font);
                painter.setFont(font);
                painter.setPen(Qt::black);
                const double w = units(metrics.width(item.font, item.text));
                double x = rect.left();
                if (item.align == Align::Centre)
                    x += (rect.width() - w) / 2;
                else if (item.align == Align::Right)
                    x = rect.right() - w;
                painter.drawText(QPointF(x, rect.top() + units(metrics.ascent(item.font))), item.text);
                break;
            }
            case Item::Kind::Rule:
            case Item::Kind::DoubleRule: {
                painter.setPen(QPen(Qt::black, units(item.kind == Item::Kind::Rule ? 0.3 : 0.15)));
                painter.drawLine(QPointF(rect.left(), rect.top()), QPointF(rect.right(), rect.top()));
                if (item.kind == Item::Kind::DoubleRule)
                    painter.drawLine(QPointF(rect.left(), rect.top() + units(0.6)),
                        QPointF(rect.right(), rect.top() + units(0.6)));
                break;
            }
            case Item::Kind::Picture:
                drawEmblem(painter, rect);
                break;
            }
        }
        painter.restore();
    }
}

void writePdf(const std::vector<Page>& pages, const QString& path, const QString& title)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw Error(kPdfWriteText.arg(path), file.errorString());
    {
        QPdfWriter writer(&file);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setResolution(600);
        writer.setCreator(QStringLiteral("JX"));
        writer.setTitle(title);
        QPainter painter;
        if (!painter.begin(&writer))
            throw Error(kPdfWriteText.arg(path), QStringLiteral("QPainter::begin"));
        paintPages(painter, writer, pages);
        painter.end();
    }
    if (!file.commit())
        throw Error(kPdfWriteText.arg(path), file.errorString());
}

} // namespace jx::report
