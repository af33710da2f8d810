#include "data/RecordSet.h"

#include "data/RowCells.h"

#include <algorithm>

namespace jx::data {

namespace {

// Orders values of one type; nulls first, like the grids of the installed program.
bool lessThan(const QVariant& a, const QVariant& b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() && !b.isNull();
    if (a.typeId() == QMetaType::QString || b.typeId() == QMetaType::QString)
        return QString::localeAwareCompare(a.toString(), b.toString()) < 0;
    return QVariant::compare(a, b) == QPartialOrdering::Less;
}

bool sameValue(const QVariant& a, const QVariant& b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull();
    if (isNumber(a) && isNumber(b))
        return a.toDouble() == b.toDouble();
    return a.toString() == b.toString();
}


} // namespace

void RecordSet::setFilter(Predicate predicate)
{
    if (m_state == State::Edit || m_state == State::Insert)
        post();
    const qint64 current = currentRowId();
    m_filter = std::move(predicate);
    resetView(current, 0);
}

void RecordSet::clearFilter()
{
    setFilter({});
}

std::vector<int> RecordSet::orderingFor(int field)
{
    auto it = m_orderings.find(field);
    if (it != m_orderings.end() && it->second.size() == m_rows.size())
        return it->second;
    std::vector<int> order(m_rows.size());
    for (int i = 0; i < int(order.size()); ++i)
        order[i] = i;
    std::vector<QVariant> keys(m_rows.size());
    for (int i = 0; i < int(keys.size()); ++i)
        keys[i] = rawValue(i, field);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return lessThan(keys[a], keys[b]); });
    m_orderings[field] = order;
    return order;
}

void RecordSet::rebuildView()
{
    m_view.clear();
    m_locateIndexes.clear();
    const int sortIndex = m_sortField.isEmpty() ? -1 : fieldIndex(m_sortField);
    std::vector<int> order;
    if (sortIndex >= 0) {
        order = orderingFor(sortIndex);
    } else {
        order.resize(m_rows.size());
        for (int i = 0; i < int(order.size()); ++i)
            order[i] = i;
    }
    for (int raw : order) {
        if (!m_filter || m_filter(*this, raw))
            m_view.push_back(raw);
    }
    // The cursor is placed again by the caller; until then it must not point past the view.
    if (m_cursor >= int(m_view.size()))
        m_cursor = m_view.empty() ? -1 : int(m_view.size()) - 1;
    m_eof = m_view.empty();
}

void RecordSet::sortBy(const QString& field)
{
    if (m_state == State::Edit || m_state == State::Insert)
        post();
    const qint64 current = currentRowId();
    m_sortField = field;
    resetView(current, 0);
}

void RecordSet::clearSort()
{
    if (m_sortField.isEmpty())
        return;
    sortBy(QString());
}

// Numbers compare as sameValue compares them: as doubles (0.0 and -0.0 alike, NaN never).
const RecordSet::LocateIndex& RecordSet::locateIndexFor(int field)
{
    const auto found = m_locateIndexes.find(field);
    if (found != m_locateIndexes.end())
        return found->second;
    LocateIndex index;
    for (int v = 0; v < int(m_view.size()); ++v) {
        const QByteArray& row = m_rows[m_view[v]].values;
        double d = 0;
        switch (cells::tag(row, field)) {
        case cells::Tag::Null:
            continue;
        case cells::Tag::Integer:
            d = double(cells::integer(row, field));
            break;
        case cells::Tag::Real:
            d = cells::real(row, field);
            break;
        case cells::Tag::Text:
        case cells::Tag::Blob:
            index.mixed = true;
            break;
        }
        if (index.mixed)
            break;
        if (d == d && !index.firstRow.contains(d + 0.0))
            index.firstRow.insert(d + 0.0, v);
    }
    return m_locateIndexes[field] = std::move(index);
}

bool RecordSet::locate(const QString& field, const QVariant& value)
{
    const int index = fieldIndex(field);
    if (index < 0)
        return false;
    if (isNumber(value) && !m_fields[index].computed) {
        const LocateIndex& numbers = locateIndexFor(index);
        if (!numbers.mixed) {
            const auto it = numbers.firstRow.constFind(value.toDouble() + 0.0);
            if (it == numbers.firstRow.cend())
                return false;
            moveTo(it.value());
            return true;
        }
    }
    for (int v = 0; v < int(m_view.size()); ++v) {
        if (sameValue(rawValue(m_view[v], index), value)) {
            moveTo(v);
            return true;
        }
    }
    return false;
}

} // namespace jx::data
