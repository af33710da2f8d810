#pragma once

#include <QHash>
#include <QObject>
#include <QDate>
#include <QString>
#include <QTime>
#include <QVariant>
#include <QVector>

#include <functional>
#include <map>
#include <vector>

namespace jx::db {
class Connection;
class Statement;
}

namespace jx::data {

enum class FieldType { AutoInc, Integer, SmallInt, Real, Decimal, Date, Text, Blob };

// The kinds of value a QVariant holds, as the conversions and comparisons need them.
bool isIntegral(const QVariant& v);
bool isFloating(const QVariant& v);
bool isNumber(const QVariant& v);

struct Field {
    QString name;
    FieldType type = FieldType::Text;
    int size = 0;
    QString label;
    bool computed = false;
    // Held in the rows like a column and set by the program, but never read from or written
    // to the table (scratch values of a form).
    bool memory = false;
};

// The in-memory mirror of one query: fields, rows, a cursor, a state and the changes not
// yet sent to the table. Dates are held as ISO-8601 text, decimals as a 64-bit count of
// ten-thousandths. Computed fields are worked out when read, never stored.
//
// The cursor only moves when asked to: filtering, ordering, discarding changes and
// deleting keep the current row while it is still there, and currentChanged is emitted
// only when the current row really is another one.
class RecordSet : public QObject {
    Q_OBJECT

public:
    enum class State { Inactive, Browse, Edit, Insert };
    enum class RowStatus { Unchanged, Modified, Inserted };
    using Computer = std::function<QVariant(const RecordSet&, int rawRow)>;
    using Predicate = std::function<bool(const RecordSet&, int rawRow)>;

    explicit RecordSet(const QString& name, QObject* parent = nullptr);

    const QString& name() const { return m_name; }

    // Where rows come from and go to. The table (with its key, "" for none) is what apply
    // writes; the SQL selects with named parameters (":PAR").
    void setSource(const QString& sql, const QString& table = {}, const QString& key = {});
    void setSql(const QString& sql) { m_sql = sql; }
    const QString& sql() const { return m_sql; }
    const QString& table() const { return m_table; }
    const QString& keyField() const { return m_key; }
    void setParam(const QString& name, const QVariant& value) { m_params[name] = value; }
    QVariant param(const QString& name) const { return m_params.value(name); }

    void addComputedField(const QString& name, FieldType type, int size, const QString& label, Computer computer);
    // A settable in-memory field (see Field::memory); added before the set is opened.
    void addMemoryField(const QString& name, FieldType type, int size, const QString& label);

    // Reads the query's rows, binding each named parameter of the SQL from the parameters
    // set here (unset ones are NULL); pending changes are discarded, the cursor goes to the
    // first row. When the read fails the set keeps what it had.
    void open(db::Connection& connection);
    // An in-memory set with these fields and no rows.
    void openEmpty(const QVector<Field>& fields);
    void close();
    // Empties an in-memory set: every row goes, and nothing is left to send.
    void clearRows();
    bool isOpen() const { return m_state != State::Inactive; }
    // The query was opened at least once, so its fields are known.
    bool hasFields() const { return !m_fields.isEmpty(); }

    // Fields
    int fieldCount() const { return int(m_fields.size()); }
    const Field& field(int index) const { return m_fields[index]; }
    int fieldIndex(const QString& name) const;
    void setLabel(const QString& field, const QString& label);

    // Cursor over the visible rows (after filter and sort).
    int count() const { return int(m_view.size()); }
    bool isEmpty() const { return m_view.empty(); }
    int recNo() const { return m_cursor; }
    bool first();
    bool last();
    bool next();
    bool prior();
    bool moveTo(int visibleRow);
    bool eof() const { return m_eof; }
    int rawRowAt(int visibleRow) const { return m_view[visibleRow]; }

    // Values of the current row, or of a visible row.
    QVariant value(const QString& field) const;
    QVariant valueAt(int visibleRow, int field) const;
    QVariant rawValue(int rawRow, int field) const;
    QVariant rawValue(int rawRow, const QString& field) const;
    QString text(const QString& field) const { return value(field).toString(); }
    bool isNull(const QString& field) const { return value(field).isNull(); }
    // Sets a field of the current row, entering the edit state from browsing. The value is
    // converted to the field's stored form (see toStored); a value that does not convert
    // throws jx::Error naming the field, and the row keeps its value.
    void setValue(const QString& field, const QVariant& value);
    // Sets an in-memory field of every row (filtered out or not) from a function of its raw
    // row, without editing any: marks, not changes — a later edit does not see them as one.
    void setMarks(const QString& field, const std::function<QVariant(int rawRow)>& mark);

    // Editing
    State state() const { return m_state; }
    void edit();
    void append();
    void post();
    void cancel();
    // Deletes the current row; throws jx::Error when there is none.
    void remove();

    // Changes not yet sent: inserted and modified rows, and deleted rows with their
    // original values. Each carries the order in which it was made.
    struct Change {
        enum class Kind { Insert, Update, Delete } kind;
        int rawRow; // -1 for deletes
        int deletedIndex; // index into the deleted rows for deletes
        qint64 sequence;
    };
    std::vector<Change> pendingChanges() const;
    int pendingCount() const;
    bool hasPending() const { return pendingCount() > 0; }
    QVector<QVariant> originalValues(int rawRow) const;
    QVector<QVariant> deletedValues(int deletedIndex) const;
    bool isModified(int rawRow, int field) const;
    // The change was written: the row becomes plain (a deleted row is forgotten).
    void markSent(const Change& change);
    void purgeSentDeletes();
    // Writes a value without making a change of it (keys assigned by the database); call
    // notifyValuesChanged once the batch is done.
    void setStoredValue(int rawRow, int field, const QVariant& value);
    void notifyValuesChanged();
    void cancelUpdates();

    // Filter and order of the visible rows.
    void setFilter(Predicate predicate);
    void clearFilter();
    // Orders by the field; the ordering is built on first use and reused afterwards.
    void sortBy(const QString& field);
    void clearSort();
    const QString& sortField() const { return m_sortField; }
    // Moves to the first visible row whose field equals the value; false (no move) if none.
    bool locate(const QString& field, const QVariant& value);

    int rawCount() const { return int(m_rows.size()); }

    // Converts a value to the stored form of the field's type; ok is false when it does not
    // convert. Integers take whole numbers or their digits; decimals take their stored count
    // of ten-thousandths as an integer, an amount as a double, or the amount typed in the
    // Brazilian form ("1.500,25", "1500,25", "1500"); reals take numbers or "12,5"; dates
    // take QDate/QDateTime, ISO text or "dd/mm/yyyy"; texts must hold only characters of
    // ISO-8859-1, the encoding of the delivery files. Empty text is NULL for every type but
    // text.
    static QVariant toStored(FieldType type, const QVariant& value, bool* ok);
    // The stored text of a moment ("yyyy-MM-dd HH:mm:ss"), built from its date and time alone:
    // a moment of a skipped daylight-saving hour is as valid as any other.
    static QString storedMoment(const QDate& date, const QTime& time);
    // The message for a value the field refused.
    QString refusedValueText(const QString& field, const QVariant& value) const;

signals:
    void dataReset();
    void currentChanged();
    void rowChanged(int visibleRow);
    // Values of any rows changed in place (no rows came or went).
    void valuesChanged();
    void stateChanged();

private:
    // Stored and memory cells in the form of data/RowCells.h; values and original share
    // their bytes until the row is edited.
    struct Row {
        QByteArray values;
        QByteArray original;
        RowStatus status = RowStatus::Unchanged;
        qint64 sequence = 0;
        qint64 id = 0; // identity of the row while the set is open, in reading order
    };
    struct Deleted {
        QByteArray values;
        qint64 sequence = 0;
        qint64 id = 0;
    };

    void rebuildView();
    // Writes a cell into the row and into its original (a value that is no change).
    static void setCellKeepingShare(Row& row, int field, const QVariant& value);
    bool sameLayout(const db::Statement& statement) const;
    // The fields of the statement's columns, then the memory and the computed ones.
    void layOut(const db::Statement& statement, QVector<Field>& fields, std::vector<Computer>& computers,
        std::vector<QByteArray>& names) const;
    // Puts the cursor on the row with this identity when visible, else on the visible row
    // given (clamped); true when the current row is another one. Emits nothing.
    bool placeCursorQuietly(qint64 rowId, int fallbackVisibleRow);
    // Rebuilds the visible rows, places the cursor, then tells the views: dataReset, and
    // currentChanged only when the current row is another one.
    void resetView(qint64 rowId, int fallbackVisibleRow);
    void setCursor(int visibleRow);
    qint64 currentRowId() const;
    Row& currentRow();
    const Row& currentRowConst() const;
    int storedCount() const;
    void invalidateOrderings()
    {
        m_orderings.clear();
        m_locateIndexes.clear();
    }
    std::vector<int> orderingFor(int field);

    QString m_name;
    QString m_sql;
    QString m_table;
    QString m_key;
    QVariantMap m_params;
    QVector<Field> m_fields;
    // The statement columns m_fields were laid out from: a reopen of the same statement keeps
    // the layout instead of building it again.
    QString m_layoutSql;
    std::vector<QByteArray> m_layoutNames;
    // Field positions by the name as callers spell it; emptied whenever the fields change.
    mutable QHash<QString, int> m_fieldCache;
    std::vector<Computer> m_computers; // parallel to m_fields, empty for stored fields
    std::vector<Row> m_rows;
    std::vector<Deleted> m_deleted;
    std::vector<int> m_view;
    int m_cursor = -1;
    qint64 m_currentId = -1;
    qint64 m_rowBeforeInsert = -1;
    qint64 m_nextRowId = 1;
    bool m_eof = true;
    State m_state = State::Inactive;
    QByteArray m_editSnapshot;
    RowStatus m_editStatus = RowStatus::Unchanged;
    qint64 m_sequence = 0;
    Predicate m_filter;
    QString m_sortField;
    std::map<int, std::vector<int>> m_orderings;
    // For locating a number in a stored field: each number's first visible row. Built on first
    // use; dropped whenever values or the visible rows change. mixed: the field also holds
    // texts, which only the full comparison can match.
    struct LocateIndex {
        QHash<double, int> firstRow;
        bool mixed = false;
    };
    std::map<int, LocateIndex> m_locateIndexes;
    const LocateIndex& locateIndexFor(int field);
};

} // namespace jx::data
