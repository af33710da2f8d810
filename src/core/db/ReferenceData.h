#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace jx::db {

class Connection;

// The reference tables as shipped: one CSV file per table (UTF-8, header of column names,
// RFC 4180 quoting, empty = NULL, dates dd/mm/yyyy), built into the program.
struct CsvTable {
    QStringList header;
    std::vector<QStringList> rows;
};

CsvTable parseCsv(const QByteArray& utf8);
// The CSV of a reference table from the built-in data; throws jx::Error when absent.
CsvTable builtInTable(const QString& table);

// Loads every reference table into an open database, rows in file order.
void loadReferenceData(Connection& connection);

// Creates a new database file: schema, empty filing tables, reference tables filled, all
// in one transaction. Refuses to replace an existing file (jx::Error).
void createDatabase(const QString& path);

// The query of a reference table as the program reads it: the rows valid today (by the
// database's local date) in the table's own order.
QString referenceQuery(const QString& table);
QStringList referenceTables();
// "the row is valid today" for queries of tables with DATA_INICIO and DATA_FIM.
QString validityWindow();

} // namespace jx::db
