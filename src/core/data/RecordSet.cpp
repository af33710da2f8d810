#include "data/RecordSet.h"

#include "Error.h"
#include "data/RowCells.h"
#include "db/Schema.h"
#include "db/Sqlite.h"

#include <sqlite3.h>

#include <cstring>

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
        // A stored or memory field turned computed changes the width of the rows: the next
        // open lays the fields out again.
        if (!m_fields[existing].computed)
            m_layoutSql.clear();
        m_fields[existing] = f;
        m_computers[existing] = std::move(computer);
        return;
    }
    m_fieldCache.clear();
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
    m_fieldCache.clear();
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

bool RecordSet::sameLayout(const db::Statement& statement) const
{
    const int columns = statement.columnCount();
    if (m_fields.isEmpty() || m_layoutSql != m_sql || int(m_layoutNames.size()) != columns)
        return false;
    for (int c = 0; c < columns; ++c) {
        if (std::strcmp(sqlite3_column_name(statement.handle(), c), m_layoutNames[size_t(c)].constData()) != 0)
            return false;
    }
    return true;
}

void RecordSet::layOut(const db::Statement& statement, QVector<Field>& fields, std::vector<Computer>& fieldComputers,
    std::vector<QByteArray>& names) const
{
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
    const db::TableDef* def = m_table.isEmpty() ? nullptr : db::table(m_table);
    const int columns = statement.columnCount();
    for (int c = 0; c < columns; ++c) {
        names.emplace_back(sqlite3_column_name(statement.handle(), c));
        Field f;
        f.name = QString::fromUtf8(names.back());
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
}

void RecordSet::open(db::Connection& connection)
{
    db::Statement statement = connection.cached(m_sql);
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
    const bool keepLayout = sameLayout(statement);
    QVector<Field> fields;
    std::vector<Computer> fieldComputers;
    std::vector<QByteArray> names;
    if (!keepLayout)
        layOut(statement, fields, fieldComputers, names);
    const QVector<Field>& layout = keepLayout ? m_fields : fields;
    const int columns = statement.columnCount();
    int width = 0;
    for (const Field& f : layout)
        width += f.computed ? 0 : 1;

    std::vector<Row> rows;
    qint64 nextId = m_nextRowId;
    while (statement.step()) {
        Row& row = rows.emplace_back();
        row.id = nextId++;
        row.values = cells::fromStatement(statement, columns, width);
        row.original = row.values; // shared until one of them changes
    }

    if (!keepLayout) {
        m_fieldCache.clear();
        m_fields = std::move(fields);
        m_computers = std::move(fieldComputers);
        m_layoutNames = std::move(names);
        m_layoutSql = m_sql;
    }
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
    m_fieldCache.clear();
    m_fields = fields;
    m_layoutSql.clear();
    m_layoutNames.clear();
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
    const auto cached = m_fieldCache.constFind(name);
    if (cached != m_fieldCache.cend())
        return cached.value();
    int found = -1;
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_fields[i].name.compare(name, Qt::CaseInsensitive) == 0) {
            found = i;
            break;
        }
    }
    if (m_fieldCache.size() < 512)
        m_fieldCache.insert(name, found);
    return found;
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
    return cells::value(m_rows[rawRow].values, field);
}

QVector<QVariant> RecordSet::originalValues(int rawRow) const
{
    return cells::values(m_rows[rawRow].original);
}

QVector<QVariant> RecordSet::deletedValues(int deletedIndex) const
{
    return cells::values(m_deleted[deletedIndex].values);
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


} // namespace jx::data
