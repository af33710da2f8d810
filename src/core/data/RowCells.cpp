#include "data/RowCells.h"

#include "data/RecordSet.h"
#include "db/Sqlite.h"

#include <sqlite3.h>

#include <QVarLengthArray>

#include <cstring>

namespace jx::data::cells {

namespace {

constexpr int kCountBytes = 4;

int slotsStart(int count)
{
    return (kCountBytes + count + 7) & ~7;
}

int heapStart(int count)
{
    return slotsStart(count) + 8 * count;
}

struct Span {
    quint32 offset;
    quint32 length;
};

// A cell about to be written: its tag, the slot's 8 bytes, and for a text or a blob the
// bytes that go to the heap.
struct Pending {
    Tag tag = Tag::Null;
    qint64 integer = 0;
    double real = 0;
    const char* bytes = nullptr;
    int length = 0;
};

QByteArray encode(const Pending* pending, int count)
{
    qsizetype size = heapStart(count);
    for (int c = 0; c < count; ++c)
        size += pending[c].length;
    QByteArray row(size, Qt::Uninitialized);
    char* d = row.data();
    std::memset(d, 0, heapStart(count));
    const qint32 n = count;
    std::memcpy(d, &n, sizeof n);
    char* slotBytes = d + slotsStart(count);
    quint32 heap = quint32(heapStart(count));
    for (int c = 0; c < count; ++c) {
        const Pending& p = pending[c];
        d[kCountBytes + c] = char(p.tag);
        switch (p.tag) {
        case Tag::Null:
            break;
        case Tag::Integer:
            std::memcpy(slotBytes + 8 * c, &p.integer, 8);
            break;
        case Tag::Real:
            std::memcpy(slotBytes + 8 * c, &p.real, 8);
            break;
        case Tag::Text:
        case Tag::Blob: {
            const Span span { heap, quint32(p.length) };
            std::memcpy(slotBytes + 8 * c, &span, 8);
            if (p.length > 0)
                std::memcpy(d + heap, p.bytes, size_t(p.length));
            heap += quint32(p.length);
            break;
        }
        }
    }
    return row;
}

// Keeps the converted bytes of a QVariant alive while the row is encoded.
Pending pendingOf(const QVariant& value, QByteArray& holder)
{
    Pending p;
    if (!value.isValid() || value.isNull())
        return p;
    if (isIntegral(value) || value.typeId() == QMetaType::Bool) {
        p.tag = Tag::Integer;
        p.integer = value.toLongLong();
        return p;
    }
    if (isFloating(value)) {
        p.tag = Tag::Real;
        p.real = value.toDouble();
        return p;
    }
    if (value.typeId() == QMetaType::QByteArray) {
        p.tag = Tag::Blob;
        holder = value.toByteArray();
    } else {
        p.tag = Tag::Text;
        holder = value.toString().toUtf8();
    }
    p.bytes = holder.constData();
    p.length = int(holder.size());
    return p;
}

Span spanOf(const QByteArray& row, int cell)
{
    Span span;
    std::memcpy(&span, row.constData() + slotsStart(width(row)) + 8 * cell, 8);
    return span;
}

} // namespace

QByteArray fromStatement(const db::Statement& statement, int columns, int width)
{
    sqlite3_stmt* stmt = statement.handle();
    QVarLengthArray<Pending, 64> pending(width);
    for (int c = 0; c < columns && c < width; ++c) {
        Pending& p = pending[c];
        switch (sqlite3_column_type(stmt, c)) {
        case SQLITE_INTEGER:
            p.tag = Tag::Integer;
            p.integer = sqlite3_column_int64(stmt, c);
            break;
        case SQLITE_FLOAT:
            p.tag = Tag::Real;
            p.real = sqlite3_column_double(stmt, c);
            break;
        case SQLITE_TEXT:
            p.tag = Tag::Text;
            p.bytes = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
            p.length = sqlite3_column_bytes(stmt, c);
            break;
        case SQLITE_BLOB:
            p.tag = Tag::Blob;
            p.bytes = static_cast<const char*>(sqlite3_column_blob(stmt, c));
            p.length = p.bytes ? sqlite3_column_bytes(stmt, c) : 0;
            break;
        default:
            break;
        }
    }
    return encode(pending.data(), width);
}

QByteArray fromValues(const QVector<QVariant>& values)
{
    const int count = int(values.size());
    QVarLengthArray<Pending, 64> pending(count);
    QVarLengthArray<QByteArray, 64> holders(count);
    for (int c = 0; c < count; ++c)
        pending[c] = pendingOf(values[c], holders[c]);
    return encode(pending.data(), count);
}

QByteArray nulls(int width)
{
    QVarLengthArray<Pending, 64> pending(width);
    return encode(pending.data(), width);
}

int width(const QByteArray& row)
{
    if (row.size() < kCountBytes)
        return 0;
    qint32 n = 0;
    std::memcpy(&n, row.constData(), sizeof n);
    return n;
}

Tag tag(const QByteArray& row, int cell)
{
    if (cell < 0 || cell >= width(row))
        return Tag::Null;
    return Tag(row.constData()[kCountBytes + cell]);
}

qint64 integer(const QByteArray& row, int cell)
{
    qint64 v = 0;
    std::memcpy(&v, row.constData() + slotsStart(width(row)) + 8 * cell, 8);
    return v;
}

double real(const QByteArray& row, int cell)
{
    double v = 0;
    std::memcpy(&v, row.constData() + slotsStart(width(row)) + 8 * cell, 8);
    return v;
}

QVariant value(const QByteArray& row, int cell)
{
    switch (tag(row, cell)) {
    case Tag::Null:
        return {};
    case Tag::Integer:
        return QVariant(integer(row, cell));
    case Tag::Real:
        return QVariant(real(row, cell));
    case Tag::Text: {
        const Span s = spanOf(row, cell);
        return QVariant(QString::fromUtf8(row.constData() + s.offset, qsizetype(s.length)));
    }
    case Tag::Blob: {
        const Span s = spanOf(row, cell);
        return QVariant(QByteArray(row.constData() + s.offset, qsizetype(s.length)));
    }
    }
    return {};
}

QVector<QVariant> values(const QByteArray& row)
{
    const int count = width(row);
    QVector<QVariant> out;
    out.reserve(count);
    for (int c = 0; c < count; ++c)
        out.push_back(value(row, c));
    return out;
}

void set(QByteArray& row, int cell, const QVariant& newValue)
{
    const int count = width(row);
    if (cell < 0 || cell >= count)
        return;
    QByteArray holder;
    const Pending p = pendingOf(newValue, holder);
    const Tag old = tag(row, cell);
    const bool fixedOld = old == Tag::Null || old == Tag::Integer || old == Tag::Real;
    const bool fixedNew = p.tag == Tag::Null || p.tag == Tag::Integer || p.tag == Tag::Real;
    if (fixedOld && fixedNew) {
        char* d = row.data(); // detaches a row shared with its original
        d[kCountBytes + cell] = char(p.tag);
        char* slot = d + slotsStart(count) + 8 * cell;
        if (p.tag == Tag::Integer)
            std::memcpy(slot, &p.integer, 8);
        else if (p.tag == Tag::Real)
            std::memcpy(slot, &p.real, 8);
        else
            std::memset(slot, 0, 8);
        return;
    }
    // Re-encoded from the cells as they are, so the bytes stay canonical.
    QVarLengthArray<Pending, 64> pending(count);
    for (int c = 0; c < count; ++c) {
        if (c == cell) {
            pending[c] = p;
            continue;
        }
        Pending& q = pending[c];
        q.tag = tag(row, c);
        if (q.tag == Tag::Integer)
            q.integer = integer(row, c);
        else if (q.tag == Tag::Real)
            q.real = real(row, c);
        else if (q.tag == Tag::Text || q.tag == Tag::Blob) {
            const Span s = spanOf(row, c);
            q.bytes = row.constData() + s.offset;
            q.length = int(s.length);
        }
    }
    row = encode(pending.data(), count);
}

} // namespace jx::data::cells
