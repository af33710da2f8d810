#include "data/RecordSet.h"

#include "Error.h"
#include "db/Schema.h"
#include "db/Sqlite.h"
#include "text/Money.h"

#include <QDateTime>
#include <QLocale>

#include <cmath>

#include <algorithm>

namespace jx::data {

namespace {

FieldType fieldTypeOf(db::ColumnType type)
{
    switch (type) {
    case db::ColumnType::Auto:
        return FieldType::AutoInc;
    case db::ColumnType::Int:
        return FieldType::Integer;
    case db::ColumnType::Small:
        return FieldType::SmallInt;
    case db::ColumnType::Real:
        return FieldType::Real;
    case db::ColumnType::Decimal:
        return FieldType::Decimal;
    case db::ColumnType::Date:
        return FieldType::Date;
    case db::ColumnType::Text:
        return FieldType::Text;
    case db::ColumnType::Blob:
        return FieldType::Blob;
    }
    return FieldType::Text;
}

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

bool isIntegral(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return true;
    default:
        return false;
    }
}

bool isFloating(const QVariant& v)
{
    return v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float;
}

bool isNumber(const QVariant& v)
{
    return isIntegral(v) || isFloating(v);
}

RecordSet::RecordSet(const QString& name, QObject* parent)
    : QObject(parent)
    , m_name(name)
{
    setObjectName(name);
}

void RecordSet::setSource(const QString& sql, const QString& table, const QString& key)
{
    m_sql = sql;
    m_table = table;
    m_key = key;
}

void RecordSet::addComputedField(const QString& name, FieldType type, int size, const QString& label, Computer computer)
{
    Field f { name, type, size, label, true };
    const int existing = fieldIndex(name);
    if (existing >= 0) {
        m_fields[existing] = f;
        m_computers[existing] = std::move(computer);
        return;
    }
    m_fields.push_back(f);
    m_computers.push_back(std::move(computer));
}

void RecordSet::addMemoryField(const QString& name, FieldType type, int size, const QString& label)
{
    if (fieldIndex(name) >= 0)
        return;
    if (!m_rows.empty())
        throw Error(QStringLiteral("O campo %1 deve ser criado antes de %2 ser aberto.").arg(name, m_name));
    Field f { name, type, size, label, false, true };
    // Memory fields sit with the stored ones, before every computed field.
    int at = 0;
    while (at < m_fields.size() && !m_fields[at].computed)
        ++at;
    m_fields.insert(at, f);
    m_computers.insert(m_computers.begin() + at, Computer());
}

int RecordSet::storedCount() const
{
    int n = 0;
    for (const Field& f : m_fields)
        n += f.computed ? 0 : 1;
    return n;
}

void RecordSet::open(db::Connection& connection)
{
    db::Statement statement = connection.prepare(m_sql);
    // Exactly the parameters the statement names; a name that merely appears inside
    // another (":PAR" in ":PARTE") is not one of them.
    for (int i = 1; i <= statement.parameterCount(); ++i) {
        const QString name = statement.parameterName(i);
        const QString bare = name.mid(1);
        auto it = m_params.constFind(bare);
        if (it == m_params.cend())
            it = m_params.constFind(name);
        if (it != m_params.cend())
            statement.bind(i, it.value());
    }

    // Everything is read into locals first: a failing step leaves the set as it was.
    QVector<Field> computed;
    std::vector<Computer> computers;
    QVector<Field> memory;
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_fields[i].computed) {
            computed.push_back(m_fields[i]);
            computers.push_back(m_computers[i]);
        } else if (m_fields[i].memory) {
            memory.push_back(m_fields[i]);
        }
    }
    QVector<Field> fields;
    std::vector<Computer> fieldComputers;
    const db::TableDef* def = m_table.isEmpty() ? nullptr : db::table(m_table);
    const int columns = statement.columnCount();
    for (int c = 0; c < columns; ++c) {
        Field f;
        f.name = statement.columnName(c);
        const db::ColumnDef* column = def ? db::column(*def, f.name) : nullptr;
        if (column) {
            f.type = fieldTypeOf(column->type);
            f.size = column->size;
            f.label = QString::fromUtf8(column->label);
        }
        for (const Field& old : m_fields) {
            if (!old.computed && !old.memory && old.name == f.name && !old.label.isEmpty())
                f.label = old.label;
        }
        if (f.label.isEmpty())
            f.label = f.name;
        fields.push_back(f);
        fieldComputers.emplace_back();
    }
    for (const Field& f : memory) {
        fields.push_back(f);
        fieldComputers.emplace_back();
    }
    for (int i = 0; i < computed.size(); ++i) {
        fields.push_back(computed[i]);
        fieldComputers.push_back(computers[i]);
    }
    const int width = columns + int(memory.size());

    std::vector<Row> rows;
    qint64 nextId = m_nextRowId;
    while (statement.step()) {
        Row& row = rows.emplace_back();
        row.id = nextId++;
        row.values.resize(width);
        QVariant* values = row.values.data();
        for (int c = 0; c < columns; ++c) {
            if (!statement.isNull(c))
                values[c] = statement.value(c);
        }
        row.original = row.values; // shared until one of them changes
    }

    m_fields = std::move(fields);
    m_computers = std::move(fieldComputers);
    m_rows = std::move(rows);
    m_nextRowId = nextId;
    m_deleted.clear();
    m_state = State::Browse;
    invalidateOrderings();
    m_sortField.clear();
    rebuildView();
    m_cursor = m_view.empty() ? -1 : 0;
    m_eof = m_view.empty();
    m_currentId = currentRowId();
    m_rowBeforeInsert = -1;
    emit dataReset();
    emit currentChanged();
}

void RecordSet::openEmpty(const QVector<Field>& fields)
{
    m_fields = fields;
    m_computers.assign(fields.size(), Computer());
    m_rows.clear();
    m_deleted.clear();
    m_state = State::Browse;
    invalidateOrderings();
    rebuildView();
    m_cursor = -1;
    m_currentId = -1;
    emit dataReset();
    emit currentChanged();
}

void RecordSet::close()
{
    m_rows.clear();
    m_deleted.clear();
    m_view.clear();
    m_cursor = -1;
    m_currentId = -1;
    m_eof = true;
    m_state = State::Inactive;
    invalidateOrderings();
    emit dataReset();
}

void RecordSet::clearRows()
{
    if (m_state == State::Inactive)
        throw Error(QStringLiteral("%1 não está aberto.").arg(m_name));
    m_rows.clear();
    m_deleted.clear();
    m_state = State::Browse;
    invalidateOrderings();
    resetView(-1, -1);
    emit stateChanged();
}

int RecordSet::fieldIndex(const QString& name) const
{
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void RecordSet::setLabel(const QString& field, const QString& label)
{
    const int i = fieldIndex(field);
    if (i >= 0)
        m_fields[i].label = label;
}

qint64 RecordSet::currentRowId() const
{
    return m_cursor >= 0 && m_cursor < int(m_view.size()) ? m_rows[m_view[m_cursor]].id : -1;
}

void RecordSet::setCursor(int visibleRow)
{
    m_cursor = visibleRow >= 0 && visibleRow < int(m_view.size()) ? visibleRow : -1;
    m_eof = m_view.empty();
    const qint64 id = currentRowId();
    if (id != m_currentId) {
        m_currentId = id;
        emit currentChanged();
    }
}

bool RecordSet::placeCursorQuietly(qint64 rowId, int fallbackVisibleRow)
{
    int target = m_view.empty() ? -1 : qBound(0, fallbackVisibleRow, int(m_view.size()) - 1);
    for (int v = 0; rowId >= 0 && v < int(m_view.size()); ++v) {
        if (m_rows[m_view[v]].id == rowId) {
            target = v;
            break;
        }
    }
    m_cursor = target;
    m_eof = m_view.empty();
    const qint64 id = currentRowId();
    const bool changed = id != m_currentId;
    m_currentId = id;
    return changed;
}

void RecordSet::resetView(qint64 rowId, int fallbackVisibleRow)
{
    rebuildView();
    const bool changed = placeCursorQuietly(rowId, fallbackVisibleRow);
    emit dataReset();
    if (changed)
        emit currentChanged();
}

bool RecordSet::first()
{
    if (m_state == State::Edit || m_state == State::Insert)
        post();
    if (m_view.empty())
        return false;
    setCursor(0);
    return true;
}

bool RecordSet::last()
{
    if (m_state == State::Edit || m_state == State::Insert)
        post();
    if (m_view.empty())
        return false;
    setCursor(int(m_view.size()) - 1);
    return true;
}

bool RecordSet::next()
{
    if (m_state == State::Edit || m_state == State::Insert)
        post();
    if (m_cursor + 1 >= int(m_view.size())) {
        m_eof = true;
        return false;
    }
    setCursor(m_cursor + 1);
    return true;
}

bool RecordSet::prior()
{
    if (m_state == State::Edit || m_state == State::Insert)
        post();
    if (m_cursor <= 0)
        return false;
    setCursor(m_cursor - 1);
    return true;
}

bool RecordSet::moveTo(int visibleRow)
{
    if (visibleRow < 0 || visibleRow >= int(m_view.size()))
        return false;
    if (visibleRow == m_cursor)
        return true;
    if (m_state == State::Edit || m_state == State::Insert)
        post();
    setCursor(visibleRow);
    return true;
}

RecordSet::Row& RecordSet::currentRow()
{
    if (m_cursor < 0 || m_cursor >= int(m_view.size()))
        throw Error(QStringLiteral("Não há registro corrente em %1.").arg(m_name));
    return m_rows[m_view[m_cursor]];
}

const RecordSet::Row& RecordSet::currentRowConst() const
{
    return const_cast<RecordSet*>(this)->currentRow();
}

QVariant RecordSet::rawValue(int rawRow, int field) const
{
    if (field < 0 || field >= m_fields.size() || rawRow < 0 || rawRow >= int(m_rows.size()))
        return {};
    if (m_fields[field].computed)
        return m_computers[field] ? m_computers[field](*this, rawRow) : QVariant();
    return m_rows[rawRow].values.value(field);
}

QVariant RecordSet::rawValue(int rawRow, const QString& field) const
{
    return rawValue(rawRow, fieldIndex(field));
}

QVariant RecordSet::value(const QString& field) const
{
    if (m_cursor < 0 || m_cursor >= int(m_view.size()))
        return {};
    const int index = fieldIndex(field);
    if (index < 0)
        throw Error(QStringLiteral("Campo %1 não encontrado em %2.").arg(field, m_name));
    return rawValue(m_view[m_cursor], index);
}

QVariant RecordSet::valueAt(int visibleRow, int field) const
{
    if (visibleRow < 0 || visibleRow >= int(m_view.size()))
        return {};
    return rawValue(m_view[visibleRow], field);
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
    row.values[index] = stored;
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
        m_rows[raw].values[index] = value;
        m_rows[raw].original[index] = value;
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
    row.values.resize(storedCount());
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
    return row.values.value(field) != row.original.value(field)
        || row.values.value(field).isNull() != row.original.value(field).isNull();
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
    row.values[field] = value;
    row.original[field] = value;
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

bool RecordSet::locate(const QString& field, const QVariant& value)
{
    const int index = fieldIndex(field);
    if (index < 0)
        return false;
    for (int v = 0; v < int(m_view.size()); ++v) {
        if (sameValue(rawValue(m_view[v], index), value)) {
            moveTo(v);
            return true;
        }
    }
    return false;
}

} // namespace jx::data
