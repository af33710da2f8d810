#pragma once

#include <QString>

#include <vector>

// The tables of the database file: names, types and sizes exactly as the program's table
// definitions give them.
namespace jx::db {

enum class ColumnType {
    Auto, // auto-increment 32-bit key
    Int, // 32-bit integer
    Small, // 16-bit unsigned integer
    Real, // double
    Decimal, // fixed point, stored as a 64-bit count of ten-thousandths
    Date, // date-time, stored as ISO-8601 text
    Text, // text of at most `size` characters
    Blob,
};

struct ColumnDef {
    const char* name;
    ColumnType type;
    int size = 0; // Text only
    const char* label = ""; // display label, when the system gives one
};

struct TableDef {
    const char* name;
    std::vector<ColumnDef> columns;
    const char* key = ""; // key column; "" for tables without one
    bool reference = false; // shipped filled, read only
};

const std::vector<TableDef>& tables();
const TableDef* table(const QString& name);
const ColumnDef* column(const TableDef& table, const QString& name);

// CREATE TABLE statement; text sizes and 16-bit ranges are enforced by CHECK constraints so
// that an over-long value is a refused row, never a silently cut one.
QString createStatement(const TableDef& table);
// Indexes on the columns that tie details to their filing: opening one filing's details must
// not read every detail row of every filing. Idempotent.
QStringList indexStatements();

inline constexpr char kDatabaseKey[] = "qlorvintexam";

} // namespace jx::db
