#include "data/RecordSetModel.h"

#include "data/RecordSet.h"

#include <QDateTime>
#include <QLocale>

namespace jx::data {

RecordSetModel::RecordSetModel(RecordSet& set, QObject* parent)
    : QAbstractTableModel(parent)
    , m_set(set)
{
    connect(&set, &RecordSet::dataReset, this, [this] {
        beginResetModel();
        setColumns(m_columns);
        endResetModel();
    });
    connect(&set, &RecordSet::valuesChanged, this, [this] {
        if (rowCount() > 0 && columnCount() > 0)
            emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    });
    connect(&set, &RecordSet::rowChanged, this, [this](int row) {
        if (row >= 0 && row < rowCount() && columnCount() > 0)
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
}

void RecordSetModel::setColumns(const QList<Column>& columns)
{
    const bool reset = columns.size() != m_columns.size();
    if (reset)
        beginResetModel();
    m_columns = columns;
    m_fieldIndexes.clear();
    for (const Column& c : m_columns)
        m_fieldIndexes << m_set.fieldIndex(c.field);
    if (reset)
        endResetModel();
}

int RecordSetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_set.count();
}

int RecordSetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QString RecordSetModel::displayText(const RecordSet& set, int field, const QVariant& value)
{
    if (value.isNull() || field < 0)
        return {};
    const QLocale brazil(QLocale::Portuguese, QLocale::Brazil);
    switch (set.field(field).type) {
    case FieldType::Date: {
        const QString text = value.toString();
        const QDateTime when = QDateTime::fromString(text.left(19), text.size() > 10 ? Qt::ISODate : Qt::ISODate);
        const QDate date = when.isValid() ? when.date() : QDate::fromString(text.left(10), Qt::ISODate);
        if (!date.isValid())
            return text;
        // A moment shows its time of day (a protocol's "Data/Hora"); a plain date does not.
        if (when.isValid() && when.time() != QTime(0, 0))
            return date.toString(QStringLiteral("dd/MM/yyyy ")) + when.time().toString(QStringLiteral("HH:mm:ss"));
        return date.toString(QStringLiteral("dd/MM/yyyy"));
    }
    case FieldType::Decimal:
        return brazil.toString(value.toLongLong() / 10000.0, 'f', 2).remove(brazil.groupSeparator());
    case FieldType::Real: {
        const double number = value.toDouble();
        return number == double(qint64(number)) ? QString::number(qint64(number))
                                                : brazil.toString(number, 'f', 2).remove(brazil.groupSeparator());
    }
    default:
        return value.toString();
    }
}

QVariant RecordSetModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    const int field = m_fieldIndexes.value(index.column(), -1);
    const QVariant value = m_set.valueAt(index.row(), field);
    return role == Qt::EditRole ? value : QVariant(displayText(m_set, field, value));
}

QVariant RecordSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= m_columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (!m_columns[section].title.isEmpty())
        return m_columns[section].title;
    const int field = m_fieldIndexes.value(section, -1);
    return field >= 0 ? m_set.field(field).label : m_columns[section].field;
}

} // namespace jx::data
