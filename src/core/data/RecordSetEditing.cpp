#include "data/RecordSet.h"

#include "Error.h"
#include "data/RowCells.h"
#include "text/Money.h"

#include <QDateTime>
#include <QLocale>

#include <cmath>

#include <algorithm>

namespace jx::data {

void RecordSet::setCellKeepingShare(Row& row, int field, const QVariant& value)
{
    // A row without changes keeps one copy of its bytes for both.
    const bool unchanged = row.values == row.original;
    cells::set(row.values, field, value);
    if (unchanged)
        row.original = row.values;
    else
        cells::set(row.original, field, value);
}

namespace {

bool isText(const QVariant& v)
{
    return v.typeId() == QMetaType::QString || v.typeId() == QMetaType::QByteArray;
}

// Whole numbers up to 2^53 convert from double exactly.
constexpr double kExactDoubleLimit = 9007199254740992.0;

} // namespace

QString RecordSet::storedMoment(const QDate& date, const QTime& time)
{
    return date.toString(Qt::ISODate) + u' ' + time.toString(QStringLiteral("HH:mm:ss"));
}

QVariant RecordSet::toStored(FieldType type, const QVariant& value, bool* ok)
{
    *ok = true;
    if (value.isNull() || !value.isValid())
        return {};
    const QString text = isText(value) ? value.toString() : QString();
    if (type != FieldType::Text && type != FieldType::Blob && isText(value) && text.trimmed().isEmpty())
        return {};
    switch (type) {
    case FieldType::Date: {
        if (value.typeId() == QMetaType::QDate) {
            *ok = value.toDate().isValid();
            return *ok ? QVariant(value.toDate().toString(Qt::ISODate)) : QVariant();
        }
        if (value.typeId() == QMetaType::QDateTime) {
            *ok = value.toDateTime().isValid();
            return *ok ? QVariant(value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))) : QVariant();
        }
        const QString t = text.trimmed();
        if (QDate::fromString(t, Qt::ISODate).isValid() && t.size() == 10)
            return t;
        // Date and time apart: the local clock has no say over a stored moment.
        if (t.size() == 19 && t.at(10) == u' ' && QDate::fromString(t.left(10), Qt::ISODate).isValid()
            && QTime::fromString(t.mid(11), QStringLiteral("HH:mm:ss")).isValid())
            return t;
        const QDate typed = QDate::fromString(t, QStringLiteral("dd/MM/yyyy"));
        if (typed.isValid())
            return typed.toString(Qt::ISODate);
        *ok = false;
        return {};
    }
    case FieldType::AutoInc:
    case FieldType::Integer:
    case FieldType::SmallInt: {
        if (isIntegral(value))
            return QVariant(value.toLongLong());
        if (isFloating(value)) {
            const double d = value.toDouble();
            *ok = std::isfinite(d) && std::trunc(d) == d && std::fabs(d) <= kExactDoubleLimit;
            return *ok ? QVariant(qint64(d)) : QVariant();
        }
        if (value.typeId() == QMetaType::Bool)
            return QVariant(qint64(value.toBool() ? 1 : 0));
        const qint64 n = text.trimmed().toLongLong(ok);
        return *ok ? QVariant(n) : QVariant();
    }
    case FieldType::Decimal: {
        if (isIntegral(value))
            return QVariant(value.toLongLong()); // already the stored count
        if (isFloating(value)) {
            const double scaled = value.toDouble() * double(money::kScale);
            *ok = std::isfinite(scaled) && std::fabs(scaled) <= kExactDoubleLimit;
            return *ok ? QVariant(qint64(std::llround(scaled))) : QVariant();
        }
        const std::optional<qint64> count = money::parse(text);
        *ok = count.has_value();
        return *ok ? QVariant(*count) : QVariant();
    }
    case FieldType::Real: {
        if (isIntegral(value) || isFloating(value)) {
            const double d = value.toDouble();
            *ok = std::isfinite(d);
            return *ok ? QVariant(d) : QVariant();
        }
        const QLocale brazil(QLocale::Portuguese, QLocale::Brazil);
        double d = brazil.toDouble(text.trimmed(), ok);
        if (!*ok)
            d = QLocale::c().toDouble(text.trimmed(), ok);
        *ok = *ok && std::isfinite(d);
        return *ok ? QVariant(d) : QVariant();
    }
    case FieldType::Blob:
        return QVariant(value.toByteArray());
    case FieldType::Text: {
        const QString t = value.toString();
        // The delivery files are ISO-8859-1: a character they cannot hold is refused here,
        // where it is typed, instead of turning into "?" in a file.
        for (const QChar c : t) {
            if (c.unicode() > 0xFF) {
                *ok = false;
                return {};
            }
        }
        return QVariant(t);
    }
    }
    return value;
}

QString RecordSet::refusedValueText(const QString& fieldName, const QVariant& value) const
{
    const int index = fieldIndex(fieldName);
    const Field* f = index >= 0 ? &m_fields[index] : nullptr;
    const QString label = f ? f->label : fieldName;
    if (f && f->type == FieldType::Text) {
        QString bad;
        for (const QChar c : value.toString()) {
            if (c.unicode() > 0xFF && !bad.contains(c))
                bad += c;
        }
        return QStringLiteral("O campo \"%1\" não aceita os caracteres \"%2\": os arquivos de entrega só "
                              "representam o alfabeto latino (ISO-8859-1).")
            .arg(label, bad);
    }
    return QStringLiteral("Valor inválido para o campo \"%1\": \"%2\".").arg(label, value.toString());
}

void RecordSet::setValue(const QString& fieldName, const QVariant& newValue)
{
    const int index = fieldIndex(fieldName);
    if (index < 0)
        throw Error(QStringLiteral("Campo %1 não encontrado em %2.").arg(fieldName, m_name));
    if (m_fields[index].computed)
        throw Error(QStringLiteral("O campo %1 é calculado e não pode ser alterado.").arg(fieldName));
    bool ok = true;
    const QVariant stored = toStored(m_fields[index].type, newValue, &ok);
    if (!ok)
        throw Error(refusedValueText(fieldName, newValue));
    if (m_state == State::Browse)
        edit();
    Row& row = currentRow();
    cells::set(row.values, index, stored);
    invalidateOrderings();
    emit rowChanged(m_cursor);
}

void RecordSet::setMarks(const QString& fieldName, const std::function<QVariant(int)>& mark)
{
    const int index = fieldIndex(fieldName);
    if (index < 0 || !m_fields[index].memory)
        throw Error(QStringLiteral("O campo %1 não é um campo de memória de %2.").arg(fieldName, m_name));
    for (size_t raw = 0; raw < m_rows.size(); ++raw) {
        const QVariant value = mark(int(raw));
        setCellKeepingShare(m_rows[raw], index, value);
    }
    invalidateOrderings();
    emit valuesChanged();
}

void RecordSet::edit()
{
    if (m_state == State::Edit || m_state == State::Insert)
        return;
    if (m_state == State::Inactive)
        throw Error(QStringLiteral("%1 não está aberto.").arg(m_name));
    Row& row = currentRow();
    m_editSnapshot = row.values;
    m_editStatus = row.status;
    m_state = State::Edit;
    emit stateChanged();
}

void RecordSet::append()
{
    if (m_state == State::Inactive)
        throw Error(QStringLiteral("%1 não está aberto.").arg(m_name));
    if (m_state == State::Edit || m_state == State::Insert)
        post();
    Row row;
    row.values = cells::nulls(storedCount());
    row.original = row.values;
    row.status = RowStatus::Inserted;
    row.id = m_nextRowId++;
    // Dropping the new row returns to the row the user was on.
    m_rowBeforeInsert = currentRowId();
    m_rows.push_back(std::move(row));
    m_view.push_back(int(m_rows.size()) - 1);
    invalidateOrderings();
    m_state = State::Insert;
    emit dataReset();
    setCursor(int(m_view.size()) - 1);
    emit stateChanged();
}

void RecordSet::post()
{
    if (m_state != State::Edit && m_state != State::Insert)
        return;
    Row& row = currentRow();
    if (m_state == State::Insert) {
        row.status = RowStatus::Inserted;
        row.sequence = ++m_sequence;
    } else if (row.status != RowStatus::Inserted && row.values != row.original) {
        row.status = RowStatus::Modified;
        row.sequence = ++m_sequence;
    }
    m_state = State::Browse;
    emit stateChanged();
    emit rowChanged(m_cursor);
}

void RecordSet::cancel()
{
    if (m_state == State::Insert) {
        const int cursor = m_cursor;
        if (cursor >= 0 && cursor < int(m_view.size()))
            m_rows.erase(m_rows.begin() + m_view[cursor]);
        m_state = State::Browse;
        invalidateOrderings();
        resetView(m_rowBeforeInsert, cursor);
        emit stateChanged();
        return;
    }
    if (m_state == State::Edit) {
        Row& row = currentRow();
        row.values = m_editSnapshot;
        row.status = m_editStatus;
        invalidateOrderings();
        m_state = State::Browse;
        emit rowChanged(m_cursor);
        emit stateChanged();
    }
}

void RecordSet::remove()
{
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    if (m_state == State::Edit)
        cancel();
    currentRow(); // throws when there is no current row
    const int raw = m_view[m_cursor];
    Row& row = m_rows[raw];
    if (row.status != RowStatus::Inserted)
        m_deleted.push_back({ row.original, ++m_sequence, row.id });
    m_rows.erase(m_rows.begin() + raw);
    invalidateOrderings();
    // The row that took the deleted one's place becomes current.
    resetView(-1, m_cursor);
}

std::vector<RecordSet::Change> RecordSet::pendingChanges() const
{
    std::vector<Change> changes;
    for (int i = 0; i < int(m_rows.size()); ++i) {
        const Row& row = m_rows[i];
        if (row.status == RowStatus::Inserted)
            changes.push_back({ Change::Kind::Insert, i, -1, row.sequence });
        else if (row.status == RowStatus::Modified)
            changes.push_back({ Change::Kind::Update, i, -1, row.sequence });
    }
    for (int i = 0; i < int(m_deleted.size()); ++i) {
        if (m_deleted[i].sequence > 0)
            changes.push_back({ Change::Kind::Delete, -1, i, m_deleted[i].sequence });
    }
    std::sort(changes.begin(), changes.end(), [](const Change& a, const Change& b) { return a.sequence < b.sequence; });
    return changes;
}

int RecordSet::pendingCount() const
{
    return int(pendingChanges().size());
}

bool RecordSet::isModified(int rawRow, int field) const
{
    const Row& row = m_rows[rawRow];
    const QVariant now = cells::value(row.values, field);
    const QVariant before = cells::value(row.original, field);
    return now != before || now.isNull() != before.isNull();
}

void RecordSet::markSent(const Change& change)
{
    if (change.kind == Change::Kind::Delete) {
        m_deleted[change.deletedIndex].sequence = 0; // purged after the send
        return;
    }
    Row& row = m_rows[change.rawRow];
    row.original = row.values;
    row.status = RowStatus::Unchanged;
    row.sequence = 0;
}

void RecordSet::purgeSentDeletes()
{
    m_deleted.erase(
        std::remove_if(m_deleted.begin(), m_deleted.end(), [](const Deleted& d) { return d.sequence == 0; }),
        m_deleted.end());
}

void RecordSet::setStoredValue(int rawRow, int field, const QVariant& value)
{
    Row& row = m_rows[rawRow];
    setCellKeepingShare(row, field, value);
    invalidateOrderings();
}

void RecordSet::notifyValuesChanged()
{
    emit valuesChanged();
}

void RecordSet::cancelUpdates()
{
    if (m_state == State::Edit || m_state == State::Insert)
        cancel();
    qint64 current = currentRowId();
    const int cursor = m_cursor;
    if (m_cursor >= 0 && m_cursor < int(m_view.size()) && m_rows[m_view[m_cursor]].status == RowStatus::Inserted)
        current = m_rowBeforeInsert; // the current row is about to go
    std::vector<Row> kept;
    for (Row& row : m_rows) {
        if (row.status == RowStatus::Inserted)
            continue;
        row.values = row.original;
        row.status = RowStatus::Unchanged;
        kept.push_back(std::move(row));
    }
    for (Deleted& d : m_deleted) {
        Row row;
        row.values = d.values;
        row.original = d.values;
        row.id = d.id;
        kept.push_back(std::move(row));
    }
    // Rows restored from deletion go back to their place in reading order.
    std::stable_sort(kept.begin(), kept.end(), [](const Row& a, const Row& b) { return a.id < b.id; });
    m_rows = std::move(kept);
    m_deleted.clear();
    invalidateOrderings();
    resetView(current, cursor);
}

} // namespace jx::data
