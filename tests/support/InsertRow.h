#pragma once

#include "db/Sqlite.h"

#include <QStringList>
#include <QVariantMap>

namespace jxtest {

// Writes one row straight into a table, every value bound; the new row's key.
inline qint64 insertRow(jx::db::Connection& connection, const char* table, const QVariantMap& values)
{
    QStringList names;
    QStringList marks;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        names << it.key();
        marks << u':' + it.key();
    }
    jx::db::Statement s = connection.prepare(
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(QLatin1String(table), names.join(u','), marks.join(u',')));
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        s.bind(u':' + it.key(), it.value());
    s.run();
    return connection.lastInsertId();
}

} // namespace jxtest
