#pragma once

#include <QString>
#include <QStringList>

namespace jx::db {
class Connection;
}

namespace jx::data {

class RecordSet;

struct SendResult {
    int refused = 0;
    // Refusals because another connection held the database: worth sending again.
    int conflicts = 0;
    // The database's message for each refused row, in order.
    QStringList messages;
};

// Sends the pending changes of a record set to its table, in the order they were made:
// inserts with every stored field (the database assigns an empty auto key, which is then
// written into the row), updates of the changed fields by key, deletes by key — by all
// original values when the table has no key. A row the database refuses stays pending and
// its message is collected in the result (shown by the caller once the send is over). With
// maxErrors 0 the send is all or nothing inside a savepoint: the first refused row undoes
// the rows sent before it. With -1 every row is tried.
SendResult sendChanges(RecordSet& set, db::Connection& connection, int maxErrors);

} // namespace jx::data
