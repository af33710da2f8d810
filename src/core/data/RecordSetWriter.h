#pragma once

#include <QString>

#include <functional>

namespace jx::db {
class Connection;
}

namespace jx::data {

class RecordSet;

struct SendResult {
    int refused = 0;
};

// Sends the pending changes of a record set to its table, in the order they were made:
// inserts with every stored field (the database assigns an empty auto key, which is then
// written into the row), updates of the changed fields by key, deletes by key — by all
// original values when the table has no key. A row the database refuses stays pending and
// its message goes to onRowError. With maxErrors 0 the send is all or nothing: the first
// refused row undoes the rows sent before it. With -1 every row is tried.
SendResult sendChanges(
    RecordSet& set, db::Connection& connection, int maxErrors, const std::function<void(const QString&)>& onRowError);

} // namespace jx::data
