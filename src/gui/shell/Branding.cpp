#include "Branding.h"

#include <QLabel>
#include <QPainter>
#include <QPixmap>

namespace jx::gui {

QPixmap programPicture(int size)
{
    // A drawn emblem: a document with the red initials, so no picture file is needed.
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x80, 0x80, 0x80), size / 32.0 + 1));
    painter.setBrush(QColor(0xF4, 0xF4, 0xEC));
    painter.drawRoundedRect(QRectF(size * 0.15, size * 0.05, size * 0.7, size * 0.9), size * 0.06, size * 0.06);
    painter.setPen(QColor(0xC0, 0x00, 0x00));
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(int(size * 0.36));
    painter.setFont(font);
    painter.drawText(QRectF(0, 0, size, size), Qt::AlignCenter, QStringLiteral("JX"));
    painter.setPen(QPen(QColor(0x30, 0x60, 0xA0), size / 40.0 + 1));
    for (int i = 0; i < 3; ++i) {
        const double y = size * (0.72 + i * 0.06);
        painter.drawLine(QPointF(size * 0.25, y), QPointF(size * 0.75, y));
    }
    return picture;
}

QLabel* makeRedBoldLabel(const QString& text, QWidget* parent, int pointSize)
{
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSize(pointSize);
    label->setFont(font);
    // A palette, not a style sheet: a style sheet sends the label through Qt's style sheet style
    // (set up on first use), which the splash and the main window paid for at start-up for a colour.
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(0xC0, 0x00, 0x00));
    label->setPalette(palette);
    return label;
}

QLabel* makeProgramNameLabel(QWidget* parent, int pointSize)
{
    return makeRedBoldLabel(QStringLiteral("JX"), parent, pointSize);
}

} // namespace jx::gui
