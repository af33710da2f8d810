#include "data/RecordSetWriter.h"

#include "data/RecordSet.h"
#include "db/Schema.h"
#include "db/Sqlite.h"

#include <QStringList>

#include <map>
#include <memory>
#include <optional>

namespace jx::data {

namespace {

bool writable(const Field& f)
{
    return !f.computed && !f.memory;
}

QString whereClause(const RecordSet& set, const QVector<QVariant>& original, QVariantList& params)
{
    if (!set.keyField().isEmpty()) {
        params << original.value(set.fieldIndex(set.keyField()));
        return set.keyField() + QStringLiteral(" = ?");
    }
    // No key: the row is identified by all its original values, one row at a time.
    QStringList terms;
    for (int i = 0; i < set.fieldCount(); ++i) {
        if (!writable(set.field(i)))
            continue;
        terms << set.field(i).name + QStringLiteral(" IS ?");
        params << original.value(i);
    }
    return QStringLiteral("rowid = (SELECT rowid FROM %1 WHERE %2 LIMIT 1)").arg(set.table(), terms.join(" AND "));
}

// Statements of one send, prepared once per distinct text.
class StatementCache {
public:
    explicit StatementCache(db::Connection& connection)
        : m_connection(connection)
    {
    }

    void execute(const QString& sql, const QVariantList& params)
    {
        auto it = m_statements.find(sql);
        if (it == m_statements.end())
            it = m_statements.emplace(sql, std::make_unique<db::Statement>(m_connection.prepare(sql))).first;
        db::Statement& statement = *it->second;
        statement.reset();
        for (int i = 0; i < params.size(); ++i)
            statement.bind(i + 1, params[i]);
        statement.run();
    }

    db::Connection& connection() { return m_connection; }

    // The insert of a row whose key the database assigns; the same text for every such row.
    const QString& insertWithoutKey(const RecordSet& set)
    {
        if (m_insertWithoutKey.isEmpty()) {
            QStringList names;
            QStringList marks;
            for (int i = 0; i < set.fieldCount(); ++i) {
                if (!writable(set.field(i)) || set.field(i).name.compare(set.keyField(), Qt::CaseInsensitive) == 0)
                    continue;
                names << set.field(i).name;
                marks << QStringLiteral("?");
            }
            m_insertWithoutKey = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                     .arg(set.table(), names.join(", "), marks.join(", "));
        }
        return m_insertWithoutKey;
    }

private:
    db::Connection& m_connection;
    std::map<QString, std::unique_ptr<db::Statement>> m_statements;
    QString m_insertWithoutKey;
};

void sendOne(RecordSet& set, StatementCache& cache, const RecordSet::Change& change)
{
    db::Connection& connection = cache.connection();
    QVariantList params;
    switch (change.kind) {
    case RecordSet::Change::Kind::Insert: {
        const int keyIndex = set.keyField().isEmpty() ? -1 : set.fieldIndex(set.keyField());
        if (keyIndex >= 0 && set.rawValue(change.rawRow, keyIndex).isNull()) {
            for (int i = 0; i < set.fieldCount(); ++i) {
                if (writable(set.field(i)) && i != keyIndex)
                    params << set.rawValue(change.rawRow, i);
            }
            cache.execute(cache.insertWithoutKey(set), params);
            set.setStoredValue(change.rawRow, keyIndex, QVariant(connection.lastInsertId()));
            return;
        }
        QStringList names;
        QStringList marks;
        for (int i = 0; i < set.fieldCount(); ++i) {
            if (!writable(set.field(i)))
                continue;
            const QVariant v = set.rawValue(change.rawRow, i);
            names << set.field(i).name;
            marks << QStringLiteral("?");
            params << v;
        }
        cache.execute(
            QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(set.table(), names.join(", "), marks.join(", ")),
            params);
        return;
    }
    case RecordSet::Change::Kind::Update: {
        QStringList assignments;
        for (int i = 0; i < set.fieldCount(); ++i) {
            if (!writable(set.field(i)) || !set.isModified(change.rawRow, i))
                continue;
            assignments << set.field(i).name + QStringLiteral(" = ?");
            params << set.rawValue(change.rawRow, i);
        }
        if (assignments.isEmpty())
            return;
        const QString where = whereClause(set, set.originalValues(change.rawRow), params);
        cache.execute(
            QStringLiteral("UPDATE %1 SET %2 WHERE %3").arg(set.table(), assignments.join(", "), where), params);
        break;
    }
    case RecordSet::Change::Kind::Delete: {
        const QString where = whereClause(set, set.deletedValues(change.deletedIndex), params);
        cache.execute(QStringLiteral("DELETE FROM %1 WHERE %2").arg(set.table(), where), params);
        break;
    }
    }
    if (connection.changes() == 0)
        throw db::DbError(0, QStringLiteral("Registro não encontrado ou alterado por outro usuário."));
}

} // namespace

SendResult sendChanges(RecordSet& set, db::Connection& connection, int maxErrors)
{
    SendResult result;
    const auto changes = set.pendingChanges();
    if (changes.empty())
        return result;
    const bool allOrNothing = maxErrors == 0;
    std::optional<db::Savepoint> savepoint;
    if (allOrNothing)
        savepoint.emplace(connection, QStringLiteral("jx_send"));
    std::vector<RecordSet::Change> sent;
    const int keyIndex = set.keyField().isEmpty() ? -1 : set.fieldIndex(set.keyField());
    auto forgetNewKeys = [&] {
        for (const RecordSet::Change& change : sent) {
            if (change.kind == RecordSet::Change::Kind::Insert && keyIndex >= 0
                && set.field(keyIndex).type == FieldType::AutoInc)
                set.setStoredValue(change.rawRow, keyIndex, QVariant());
        }
    };
    try {
        StatementCache cache(connection);
        for (const RecordSet::Change& change : changes) {
            try {
                sendOne(set, cache, change);
                sent.push_back(change);
            } catch (const db::DbError& e) {
                ++result.refused;
                if (e.isBusy())
                    ++result.conflicts;
                result.messages << e.message();
                if (maxErrors >= 0 && result.refused > maxErrors)
                    break;
            }
        }
    } catch (...) {
        // Whatever stopped the send: rows undone with the savepoint lose their keys, rows
        // really written are no longer pending (sending them again would duplicate them).
        if (savepoint) {
            savepoint.reset();
            forgetNewKeys();
        } else {
            for (const RecordSet::Change& change : sent)
                set.markSent(change);
            set.purgeSentDeletes();
        }
        set.notifyValuesChanged();
        throw;
    }
    if (savepoint) {
        if (result.refused > 0) {
            savepoint->rollback();
            // Keys written into inserted rows were undone with them.
            forgetNewKeys();
            set.notifyValuesChanged();
            return result;
        }
        try {
            savepoint->release();
        } catch (const db::DbError& e) {
            forgetNewKeys();
            set.notifyValuesChanged();
            ++result.refused;
            if (e.isBusy())
                ++result.conflicts;
            result.messages << e.message();
            return result;
        }
    }
    for (const RecordSet::Change& change : sent)
        set.markSent(change);
    set.purgeSentDeletes();
    set.notifyValuesChanged();
    return result;
}

} // namespace jx::data
