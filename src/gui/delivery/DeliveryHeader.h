#pragma once

#include "data/RecordSetModel.h"

#include <QList>
#include <QPixmap>

class QBoxLayout;
class QLabel;
class QTableView;
class QWidget;

namespace jx::gui {

// The top of the delivery windows: two pictures in one place (the mode shows one of them)
// and the mode's text in bold navy.
struct DeliveryHeader {
    QLabel* first;
    QLabel* second;
    QLabel* mode;
};

DeliveryHeader makeDeliveryHeader(QWidget* parent, QBoxLayout* into, const char* firstName, const QPixmap& firstPicture,
    const char* secondName, const QPixmap& secondPicture);

// The 48 × 48 pictures of the headers, drawn here: a diskette, a globe with its
// transmission waves, a diskette handing over a sheet (capture), a receipt.
QPixmap diskettePicture();
QPixmap transmissionPicture();
QPixmap capturePicture();
QPixmap receiptPicture();

// A read-only grid of whole rows where Ctrl and Shift pick several, bound to the set.
QTableView* selectionGrid(
    QWidget* parent, const char* name, data::RecordSet& set, const QList<data::RecordSetModel::Column>& columns);
// A read-only grid of whole rows, one row at a time, whose current row is the set's; the first
// columns take the widths given.
QTableView* cursorGrid(QWidget* parent, const char* name, data::RecordSet& set,
    const QList<data::RecordSetModel::Column>& columns, const QList<int>& widths);

// The lettering the delivery windows use to stress a text.
void setBoldNavy(QLabel* label, bool on);

} // namespace jx::gui
