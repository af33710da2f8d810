#include "DeliveryHeader.h"

#include "Binders.h"

#include "data/RecordSet.h"

#include <QApplication>
#include <QBoxLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QTableView>
#include <QPainter>
#include <QPainterPath>

namespace jx::gui {

namespace {

const QColor kNavy(0, 0, 128);

template <typename Draw> QPixmap drawn(Draw draw)
{
    QPixmap pixmap(48, 48);
    pixmap.fill(Qt::transparent);
    {
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p);
    } // painting ends before the picture is handed on
    return pixmap;
}

void drawDiskette(QPainter& p, const QRectF& r)
{
    const qreal u = r.width() / 40.0;
    QPainterPath body;
    body.moveTo(r.left(), r.top());
    body.lineTo(r.right() - 5 * u, r.top());
    body.lineTo(r.right(), r.top() + 5 * u);
    body.lineTo(r.right(), r.bottom());
    body.lineTo(r.left(), r.bottom());
    body.closeSubpath();
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(40, 60, 140));
    p.drawPath(body);
    // The metal shutter with its window, and the white label.
    p.setBrush(QColor(200, 200, 205));
    p.drawRect(QRectF(r.left() + 9 * u, r.top(), 20 * u, 13 * u));
    p.setBrush(QColor(40, 60, 140));
    p.drawRect(QRectF(r.left() + 22 * u, r.top() + 2 * u, 4 * u, 9 * u));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(r.left() + 5 * u, r.top() + 19 * u, 30 * u, 19 * u));
    p.setPen(QPen(QColor(150, 150, 150), 1));
    for (int line = 0; line < 3; ++line)
        p.drawLine(QPointF(r.left() + 8 * u, r.top() + (24 + 5 * line) * u),
            QPointF(r.left() + 32 * u, r.top() + (24 + 5 * line) * u));
}

void drawSheet(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setPen(QPen(kNavy, 1.5));
    for (qreal y = r.top() + 6; y < r.bottom() - 3; y += 5)
        p.drawLine(QPointF(r.left() + 4, y), QPointF(r.right() - 4, y));
}

} // namespace

QPixmap diskettePicture()
{
    return drawn([](QPainter& p) { drawDiskette(p, QRectF(4, 4, 40, 40)); });
}

QPixmap transmissionPicture()
{
    return drawn([](QPainter& p) {
        const QRectF globe(2, 14, 30, 30);
        p.setPen(QPen(kNavy, 1.5));
        p.setBrush(QColor(90, 150, 220));
        p.drawEllipse(globe);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(globe.adjusted(8, 0, -8, 0));
        p.drawLine(QPointF(globe.left(), globe.center().y()), QPointF(globe.right(), globe.center().y()));
        p.drawLine(QPointF(globe.center().x(), globe.top()), QPointF(globe.center().x(), globe.bottom()));
        // Waves going out from the globe's upper right.
        p.setPen(QPen(QColor(200, 30, 30), 2.5, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 3; ++i) {
            const qreal radius = 8 + 7 * i;
            p.drawArc(QRectF(30 - radius, 18 - radius, 2 * radius, 2 * radius), 0, 90 * 16);
        }
    });
}

QPixmap capturePicture()
{
    return drawn([](QPainter& p) {
        drawDiskette(p, QRectF(2, 2, 30, 30));
        drawSheet(p, QRectF(26, 18, 19, 27));
        p.setPen(QPen(QColor(0, 130, 0), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({ QPointF(10, 40), QPointF(20, 40), QPointF(20, 36) }));
        p.drawPolyline(QPolygonF({ QPointF(17, 43), QPointF(21, 40), QPointF(17, 37) }));
    });
}

QPixmap receiptPicture()
{
    return drawn([](QPainter& p) {
        drawSheet(p, QRectF(8, 2, 32, 44));
        p.setPen(QPen(QColor(200, 30, 30), 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(24, 30, 12, 12));
    });
}

DeliveryHeader makeDeliveryHeader(QWidget* parent, QBoxLayout* into, const char* firstName, const QPixmap& firstPicture,
    const char* secondName, const QPixmap& secondPicture)
{
    auto picture = [parent](const char* name, const QPixmap& pixmap) {
        auto* label = new QLabel(parent);
        label->setObjectName(QLatin1String(name));
        label->setPixmap(pixmap);
        label->setFixedSize(52, 52);
        label->setAlignment(Qt::AlignCenter);
        return label;
    };
    DeliveryHeader header { picture(firstName, firstPicture), picture(secondName, secondPicture), new QLabel(parent) };
    header.mode->setObjectName(QStringLiteral("lblModo"));
    QFont font = header.mode->font();
    font.setPointSize(font.pointSize() + 4);
    header.mode->setFont(font);
    setBoldNavy(header.mode, true);

    auto* row = new QHBoxLayout;
    // One cell for both pictures: the hidden one leaves no gap.
    auto* pictures = new QGridLayout;
    pictures->addWidget(header.first, 0, 0);
    pictures->addWidget(header.second, 0, 0);
    row->addLayout(pictures);
    row->addSpacing(8);
    row->addWidget(header.mode, 1);
    into->addLayout(row);
    return header;
}

void setBoldNavy(QLabel* label, bool on)
{
    QFont font = label->font();
    font.setBold(on);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(
        QPalette::WindowText, on ? QColor(0, 0, 128) : QApplication::palette(label).color(QPalette::WindowText));
    label->setPalette(palette);
}

namespace {

QTableView* rowsGrid(QWidget* parent, const char* name, data::RecordSet& set,
    const QList<data::RecordSetModel::Column>& columns, QAbstractItemView::SelectionMode mode)
{
    auto* model = new data::RecordSetModel(set, parent);
    model->setColumns(columns);
    auto* grid = new QTableView(parent);
    grid->setObjectName(QLatin1String(name));
    grid->setModel(model);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(mode);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setStretchLastSection(true);
    return grid;
}

} // namespace

QTableView* cursorGrid(QWidget* parent, const char* name, data::RecordSet& set,
    const QList<data::RecordSetModel::Column>& columns, const QList<int>& widths)
{
    QTableView* grid = rowsGrid(parent, name, set, columns, QAbstractItemView::SingleSelection);
    for (int i = 0; i < widths.size(); ++i)
        grid->setColumnWidth(i, widths.at(i));
    bind::gridCursor(grid, set);
    return grid;
}

// The record set's cursor follows the grid's current row; the grid follows the cursor only when
// it moved elsewhere, so that a multiple selection survives the cursor's own echo.
QTableView* selectionGrid(
    QWidget* parent, const char* name, data::RecordSet& set, const QList<data::RecordSetModel::Column>& columns)
{
    QTableView* grid = rowsGrid(parent, name, set, columns, QAbstractItemView::ExtendedSelection);
    QObject::connect(
        grid->selectionModel(), &QItemSelectionModel::currentRowChanged, grid, [&set](const QModelIndex& current) {
            if (current.isValid() && current.row() != set.recNo())
                set.moveTo(current.row());
        });
    auto follow = [grid, &set] {
        const int row = set.recNo();
        if (row >= 0 && row < grid->model()->rowCount() && grid->currentIndex().row() != row)
            grid->selectionModel()->setCurrentIndex(
                grid->model()->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    };
    QObject::connect(&set, &data::RecordSet::currentChanged, grid, follow);
    QObject::connect(&set, &data::RecordSet::dataReset, grid, follow);
    follow();
    return grid;
}

} // namespace jx::gui
