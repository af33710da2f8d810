#pragma once

#include <QByteArray>
#include <QVariant>
#include <QVector>

namespace jx::db {
class Statement;
}

namespace jx::data {

// The stored cells of one row in one allocation: the cell count, a tag per cell, an 8-byte
// slot per cell (an integer, a real, or where its bytes lie), then the bytes of the texts
// (UTF-8, as the engine keeps them) and blobs. The encoding is canonical — the same cells
// give the same bytes — so two rows compare by their bytes, and an unchanged row shares its
// bytes with its original (QByteArray's implicit sharing).
//
// Values come back as the engine's types: qint64, double, QString, QByteArray or null.
namespace cells {

enum class Tag : char { Null, Integer, Real, Text, Blob };

// The first columns of the statement's current row, then width - columns null cells.
QByteArray fromStatement(const db::Statement& statement, int columns, int width);
QByteArray fromValues(const QVector<QVariant>& values);
QByteArray nulls(int width);

int width(const QByteArray& row);
Tag tag(const QByteArray& row, int cell);
QVariant value(const QByteArray& row, int cell);
QVector<QVariant> values(const QByteArray& row);
// Integer and real cells without a QVariant (tag says which holds).
qint64 integer(const QByteArray& row, int cell);
double real(const QByteArray& row, int cell);

// Replaces one cell: in place for a fixed-size cell of an unshared row, else re-encoded.
void set(QByteArray& row, int cell, const QVariant& value);

} // namespace cells

} // namespace jx::data
