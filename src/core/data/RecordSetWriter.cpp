#include "data/RecordSetWriter.h"

#include "data/RecordSet.h"
#include "db/Schema.h"
#include "db/Sqlite.h"

#include <QStringList>

namespace jx::data {

namespace {

bool writable(const Field& f)
{
    return !f.computed;
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

void execute(db::Connection& connection, const QString& sql, const QVariantList& params)
{
    db::Statement statement = connection.prepare(sql);
    for (int i = 0; i < params.size(); ++i)
        statement.bind(i + 1, params[i]);
    statement.run();
}

void sendOne(RecordSet& set, db::Connection& connection, const RecordSet::Change& change)
{
    QVariantList params;
    switch (change.kind) {
    case RecordSet::Change::Kind::Insert: {
        QStringList names;
        QStringList marks;
        const int keyIndex = set.keyField().isEmpty() ? -1 : set.fieldIndex(set.keyField());
        for (int i = 0; i < set.fieldCount(); ++i) {
            if (!writable(set.field(i)))
                continue;
            const QVariant v = set.rawValue(change.rawRow, i);
            if (i == keyIndex && v.isNull())
                continue;
            names << set.field(i).name;
            marks << QStringLiteral("?");
            params << v;
        }
        execute(connection,
                QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(set.table(), names.join(", "), marks.join(", ")),
                params);
        if (keyIndex >= 0 && set.rawValue(change.rawRow, keyIndex).isNull())
            set.setStoredValue(change.rawRow, keyIndex, QVariant(connection.lastInsertId()));
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
        execute(connection, QStringLiteral("UPDATE %1 SET %2 WHERE %3").arg(set.table(), assignments.join(", "), where),
                params);
        break;
    }
    case RecordSet::Change::Kind::Delete: {
        const QString where = whereClause(set, set.deletedValues(change.deletedIndex), params);
        execute(connection, QStringLiteral("DELETE FROM %1 WHERE %2").arg(set.table(), where), params);
        break;
    }
    }
    if (connection.changes() == 0)
        throw db::DbError(0, QStringLiteral("Registro não encontrado ou alterado por outro usuário."));
}

} // namespace

SendResult sendChanges(RecordSet& set, db::Connection& connection, int maxErrors,
                       const std::function<void(const QString&)>& onRowError)
{
    SendResult result;
    const auto changes = set.pendingChanges();
    if (changes.empty())
        return result;
    const bool allOrNothing = maxErrors == 0;
    if (allOrNothing)
        connection.exec(QStringLiteral("SAVEPOINT jx_send"));
    std::vector<RecordSet::Change> sent;
    for (const RecordSet::Change& change : changes) {
        try {
            sendOne(set, connection, change);
            sent.push_back(change);
        } catch (const db::DbError& e) {
            ++result.refused;
            if (onRowError)
                onRowError(e.message());
            if (maxErrors >= 0 && result.refused > maxErrors)
                break;
        }
    }
    if (allOrNothing) {
        if (result.refused > 0) {
            connection.exec(QStringLiteral("ROLLBACK TO jx_send"));
            connection.exec(QStringLiteral("RELEASE jx_send"));
            // Keys written into inserted rows were undone with them.
            const int keyIndex = set.keyField().isEmpty() ? -1 : set.fieldIndex(set.keyField());
            for (const RecordSet::Change& change : sent) {
                if (change.kind == RecordSet::Change::Kind::Insert && keyIndex >= 0
                    && set.field(keyIndex).type == FieldType::AutoInc)
                    set.setStoredValue(change.rawRow, keyIndex, QVariant());
            }
            return result;
        }
        connection.exec(QStringLiteral("RELEASE jx_send"));
    }
    for (const RecordSet::Change& change : sent)
        set.markSent(change);
    set.purgeSentDeletes();
    return result;
}

} // namespace jx::data
