#pragma once

#include <QAbstractTableModel>
#include <QStringList>

namespace jx::data {

class RecordSet;

// Shows a record set in a grid: one column per chosen field, titled with the field's label
// unless a title is given; the current row follows the selection the view asks for.
class RecordSetModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit RecordSetModel(RecordSet& set, QObject* parent = nullptr);

    struct Column {
        QString field;
        QString title; // empty: the field's label
    };
    void setColumns(const QList<Column>& columns);
    const QList<Column>& columns() const { return m_columns; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    RecordSet& recordSet() { return m_set; }
    // The display text of a stored value: dates as dd/mm/yyyy (and the time of day when there is
    // one), decimals with a comma.
    static QString displayText(const RecordSet& set, int field, const QVariant& value);

private:
    RecordSet& m_set;
    QList<Column> m_columns;
    QList<int> m_fieldIndexes;
};

} // namespace jx::data
