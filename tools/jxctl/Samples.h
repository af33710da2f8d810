#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

#include <utility>
#include <vector>

namespace jx::db {
class Connection;
}

// Sample requests, for trying the program out and for measuring it at office scale: complete
// enough to pass the verification without errors, each with its own CNPJ and name, three
// partners (the first the master) and one responsible person, all with address and contact.
// bench_office writes them through the same routine.
namespace jxctl::samples {

// Column and stored value, in the form the tables keep (dates as ISO text, money as its
// stored count), so that plain statements and the record sets write the same row.
using Values = std::vector<std::pair<QString, QVariant>>;

struct Person {
    Values row;
    Values address;
    Values contact;
};

struct Request {
    Values row; // without the keys of its address and contact
    Values address;
    Values contact;
    std::vector<Person> partners;
    std::vector<Person> responsibles;
};

// What the samples take from the reference tables.
struct References {
    QVariant cnaef; // a principal activity with no subdivision, no CAE and no linked CNPJ
    QVariant naturezaJuridica;
    QVariant formaComercializacao;
};
// Throws jx::Error when the reference tables lack them.
References references(jx::db::Connection& connection);

// Sample number n: its CNPJ, its name and its people's CPFs follow from n.
Request request(qint64 number, const References& references, const QDateTime& created);

// The highest request key: the next samples are numbered after it.
qint64 lastRequestKey(jx::db::Connection& connection);

struct Created {
    qint64 firstKey = 0;
    qint64 lastKey = 0;
};

// Writes count samples through the data layer's record sets and their writer (the way the
// forms' rows reach the tables), table by table, into the connection's open transaction: the
// caller commits. Throws jx::Error with the database's reason when a row is refused.
Created createRequests(jx::db::Connection& connection, int count, const QDateTime& created);

inline constexpr int kMaxCount = 100000;

} // namespace jxctl::samples
